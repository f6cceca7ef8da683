// The options for the event and the lesson through the shared window: how many at once, the
// slow stop and the small window over the slides, and what of them is remembered.
#include <gtest/gtest.h>

#include <string>

#include "fake_window_port.h"
#include "layout/texts.h"

namespace zorbalin::lifecycle::testing {
namespace {

using layout::WindowCommand;
using namespace std::chrono_literals;

TEST(Options, EachIsStoredOnlyOnceChangedOrStoredBefore) {
    FakeWindow untouched;
    untouched.open();
    untouched.window.Form_Unload();
    EXPECT_EQ(untouched.port.settings.values.size(), 2u) << "Path and Interval only";

    FakeWindow form;
    form.port.settings.values = {{u"DrawCount", u"12"}, {u"SlowStop", u"1"}, {u"Floating", u"0"}};
    form.open();
    EXPECT_EQ(form.window.state().draw.drawCount, 12u);
    EXPECT_TRUE(form.window.state().draw.slowStop);
    form.port.typeIntoEditor(u"a\r\nb\r\nc");
    form.port.drawCountAnswer = 2;
    form.window.runCommand(WindowCommand::AskDrawCount);
    ASSERT_EQ(form.port.drawCountAsked.size(), 1u);
    EXPECT_EQ(form.port.drawCountAsked[0], std::make_pair(std::size_t{3}, std::size_t{3})) << "never more than the items";
    form.window.runCommand(WindowCommand::ToggleSlowStop);
    form.window.runCommand(WindowCommand::ToggleFloating);
    form.window.floatingMoved({-20, 300});
    form.window.Form_Unload();
    const std::map<std::u16string, std::u16string, std::less<>> stored = {
        {u"Path", u""},      {u"Interval", u"50"}, {u"DrawCount", u"2"},
        {u"SlowStop", u"0"}, {u"Floating", u"1"},  {u"FloatingPosition", u"-20,300"}};
    EXPECT_EQ(form.port.settings.values, stored);
}

TEST(Options, ABadStoredCountIsOne) {
    for (const std::u16string stored : {u"0", u"100", u"x", u"", u"-3", u"1e2"}) {
        FakeWindow form;
        form.port.settings.values[u"DrawCount"] = stored;
        form.open();
        EXPECT_EQ(form.window.state().draw.drawCount, 1u);
    }
}

TEST(SeveralAtOnceInTheWindow, TheViewsGetEveryPickAndTheHelpLineSaysWhenFewAreLeft) {
    FakeWindow form;
    form.port.settings.values = {{u"DrawCount", u"3"}, {u"NoRepeat", u"1"}};
    form.open();
    form.port.typeIntoEditor(u"a\r\nb\r\nc\r\nd");
    form.window.runCommand(WindowCommand::TogglePresentation);
    form.window.Command2_Click();
    form.window.Command2_Click();
    EXPECT_EQ(form.port.presentationTold.back().first.size(), 3u);
    form.window.Command2_Click();
    EXPECT_EQ(form.port.presentationTold.back().first.size(), 1u);
    EXPECT_EQ(form.port.presentationTold.back().second,
              layout::presentationHelpLine(draw::RoundCount{1, 4}, 1, 3));
    EXPECT_NE(form.port.presentationTold.back().second.find(u"本轮只剩 1 人"), std::u16string::npos);
    form.window.Command2_Click();
    EXPECT_EQ(form.port.announced.size(), 2u);
    EXPECT_EQ(form.port.announced[0].find(u"抽取结果："), 0u);
}

// What is told to a screen reader comes once the slow stop has landed.
TEST(SlowStopInTheWindow, ThePressDecidesAndOnlyTheLandingIsTheResult) {
    FakeWindow form;
    form.port.settings.values = {{u"SlowStop", u"1"}};
    form.open();
    form.port.typeIntoEditor(u"a\r\nb\r\nc");
    form.window.Command2_Click();
    form.window.Command2_Click();  // the press: the draw slows down
    EXPECT_TRUE(form.window.state().draw.isScrolling);
    EXPECT_TRUE(form.port.announced.empty());
    form.window.runCommand(WindowCommand::StartStop);  // F5 meanwhile: nothing
    for (int tick = 0; tick < 100 && form.window.state().draw.isScrolling; ++tick) form.window.Timer1_Timer();
    EXPECT_FALSE(form.window.state().draw.isScrolling);
    EXPECT_EQ(form.port.caption, layout::kStartCaption);
    ASSERT_EQ(form.window.state().draw.record.results().size(), 1u);
    EXPECT_EQ(form.port.announced, std::vector<std::u16string>{layout::resultAnnouncement(form.port.pick)});
}

TEST(FloatingWindow, OpensWhereItWasLeftShowsThePickAndItsButtonTakesNoDoublePress) {
    FakeWindow form;
    form.port.settings.values = {{u"Floating", u"1"}, {u"FloatingPosition", u"40,60"}};
    form.open();  // remembered open: it opens once the window is up
    ASSERT_TRUE(form.port.floating);
    ASSERT_EQ(form.port.floatingShownAt.size(), 1u);
    EXPECT_EQ(form.port.floatingShownAt[0], (layout::PixelPoint{40, 60}));
    form.port.typeIntoEditor(u"a\r\nb");

    form.window.floatingButtonPressed();
    form.now += 100ms;
    form.window.floatingButtonPressed();  // a bounce: no second press
    EXPECT_TRUE(form.window.state().draw.isScrolling);
    EXPECT_EQ(form.port.floatingTold.back(), std::make_pair(std::u16string(u"a"), std::u16string(layout::kStopCaption)));
    form.now += 400ms;
    form.window.floatingButtonPressed();
    EXPECT_FALSE(form.window.state().draw.isScrolling);
    EXPECT_EQ(form.port.floatingTold.back().second, layout::kStartCaption);

    form.window.floatingClosed();
    EXPECT_FALSE(form.port.floating);
    EXPECT_FALSE(form.window.pickMenu(false)[9].checked);
    form.window.Form_Unload();
    EXPECT_EQ(form.port.settings.value(u"Floating"), u"0");
}

}  // namespace
}  // namespace zorbalin::lifecycle::testing
