// The window's design read at other screen densities, and how it follows a larger window.
#include "layout/layout_table.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace zorbalin::layout {
namespace {

struct DpiCase {
    int dpi;
    PixelSize client;
    PixelRect editor;
};

class DesignAtDpiTest : public testing::TestWithParam<DpiCase> {};

TEST_P(DesignAtDpiTest, ScalesTwipsToTheNearestPixel) {
    EXPECT_EQ(designedClientSize(GetParam().dpi), GetParam().client);
    EXPECT_EQ(designedRect(layoutOf(ControlId::RichTextBox1), GetParam().dpi), GetParam().editor);
}

INSTANTIATE_TEST_SUITE_P(
    Densities, DesignAtDpiTest,
    testing::Values(DpiCase{96, {288, 361}, {8, 144, 273, 209}},
                    DpiCase{120, {360, 451}, {10, 180, 341, 261}},   // 451.25, 341.25, 261.25
                    DpiCase{144, {432, 542}, {12, 216, 410, 314}},   // 541.5 and 409.5 round up
                    DpiCase{192, {576, 722}, {16, 288, 546, 418}}),
    [](const testing::TestParamInfo<DpiCase>& param) { return std::to_string(param.param.dpi); });

struct AnchorCase {
    ControlId control;
    PixelRect whenEnlarged;  // client 388 x 461 at 96 dpi: 100 pixels more each way
};

class AnchoringTest : public testing::TestWithParam<AnchorCase> {};

TEST_P(AnchoringTest, FollowsTheEnlargedWindowAndNeverShrinks) {
    const ControlLayout& control = layoutOf(GetParam().control);
    EXPECT_EQ(anchoredRect(control, {388, 461}), GetParam().whenEnlarged);
    EXPECT_EQ(anchoredRect(control, {100, 100}), designedRect(control));
}

INSTANTIATE_TEST_SUITE_P(
    Controls, AnchoringTest,
    testing::Values(AnchorCase{ControlId::Command2, {308, 8, 73, 25}},
                    AnchorCase{ControlId::Command1, {308, 112, 73, 25}},
                    AnchorCase{ControlId::Text1, {8, 40, 373, 18}},
                    AnchorCase{ControlId::Text2, {8, 88, 81, 18}},
                    AnchorCase{ControlId::RichTextBox1, {8, 144, 373, 309}}),
    [](const testing::TestParamInfo<AnchorCase>& param) { return layoutOf(param.param.control).name; });

TEST(LayoutTable, TabOrderStartsInTheEditorAndCoversEveryControlOnce) {
    const auto ordered = controlsInTabOrder();
    std::set<std::string> names;
    for (const ControlLayout* control : ordered) {
        ASSERT_NE(control, nullptr);
        names.insert(control->name);
    }
    EXPECT_EQ(names.size(), kLayout.size());
    EXPECT_STREQ(ordered[0]->name, "RichTextBox1");
    EXPECT_STREQ(ordered[1]->name, "Command1");
    EXPECT_STREQ(ordered[2]->name, "Command2");
}

// The pick above the help band, inside the screen, never overlapping, on any screen.
TEST(PresentationLayout, PickAboveHelpInsideTheScreen) {
    const PixelSize screens[] = {{1920, 1080}, {1280, 1024}, {640, 40}, {0, 0}};
    for (const PixelSize screen : screens) {
        SCOPED_TRACE(testing::Message() << screen.width << "x" << screen.height);
        const PresentationLayout areas = presentationLayout(screen);
        EXPECT_GE(areas.pick.height, 0);
        EXPECT_LE(areas.pick.top + areas.pick.height, areas.help.top);
        EXPECT_EQ(areas.help.height, 2 * areas.helpPixels);
        EXPECT_GE(areas.helpPixels, 16);
        if (screen.height >= 1024) {
            EXPECT_LE(areas.help.top + areas.help.height, screen.height);
            EXPECT_GE(areas.pick.height, screen.height * 3 / 4);  // the pick takes most of it
        }
    }
}

TEST(LayoutDpi, GrowsWithTheFontNeverBelowTheScreens) {
    EXPECT_EQ(layoutDpi(96, 12), 96);    // the design font
    EXPECT_EQ(layoutDpi(96, 11), 96);    // a smaller font keeps the designed size
    EXPECT_EQ(layoutDpi(96, 21), 168);   // 16 points
    EXPECT_EQ(layoutDpi(144, 18), 144);  // the design font at 150 %
    EXPECT_EQ(layoutDpi(144, 32), 256);
}

TEST(PresentationGrid, GivesAThreeCharacterNameTheLargestCellAndCoversEveryPick) {
    EXPECT_EQ(presentationGrid({1800, 900}, 1), (Grid{1, 1}));
    EXPECT_EQ(presentationGrid({1800, 900}, 3), (Grid{1, 3}));
    EXPECT_EQ(presentationGrid({1800, 900}, 10), (Grid{3, 4}));
    for (std::size_t cells = 1; cells <= 99; ++cells) {
        const Grid grid = presentationGrid({1800, 900}, cells);
        EXPECT_GE(static_cast<std::size_t>(grid.columns * grid.rows), cells);
        EXPECT_LT(static_cast<std::size_t>(grid.columns * (grid.rows - 1)), cells) << "no empty row";
    }
    const PixelRect area{10, 20, 300, 100};
    EXPECT_EQ(gridCell(area, {3, 2}, 0), (PixelRect{10, 20, 100, 50}));
    EXPECT_EQ(gridCell(area, {3, 2}, 5), (PixelRect{210, 70, 100, 50}));
    EXPECT_EQ(gridPickArea({210, 70, 100, 50}, {3, 2}), (PixelRect{222, 75, 76, 40})) << "neighbours kept apart";
    EXPECT_EQ(gridPickArea(area, {1, 1}), area) << "one pick takes its whole area, as without the grid";
}

TEST(PlaceOnScreens, KeepsTheSmallWindowWhollyOnAScreenThatExists) {
    const std::vector<PixelRect> screens = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    EXPECT_EQ(placeOnScreens({100, 100, 300, 150}, screens), (PixelPoint{100, 100}));
    EXPECT_EQ(placeOnScreens({1800, 100, 300, 150}, screens), (PixelPoint{1920, 100})) << "most on the second";
    EXPECT_EQ(placeOnScreens({3100, 1000, 300, 150}, screens), (PixelPoint{2900, 874}));
    EXPECT_EQ(placeOnScreens({5000, 5000, 300, 150}, screens), (PixelPoint{1620, 930})) << "its screen is gone";
    EXPECT_EQ(pointOfText(pointText({-20, 300})), (PixelPoint{-20, 300}));
    for (const std::u16string_view bad : {u"", u"1", u"a,b", u"1,2,3", u"9999999,1"}) {
        EXPECT_EQ(pointOfText(bad), std::nullopt);
    }
}

}  // namespace
}  // namespace zorbalin::layout
