#include "draw/fitted_font.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace zorbalin::draw {
namespace {

// Square characters of the font's size, wrapped character by character; one character
// wider than the wrap width stands out of it. Counts its calls.
struct FakeMeasure {
    int calls = 0;

    TextBox operator()(std::u16string_view text, int pixels, int wrapWidth) {
        ++calls;
        const int length = static_cast<int>(text.size());
        const int perLine = std::max(1, wrapWidth / pixels);
        const int lines = std::max(1, (length + perLine - 1) / perLine);
        return {std::min(length, perLine) * pixels, lines * pixels};
    }
};

int largestThatFits(std::u16string_view text, TextBox area, int smallest, int largest) {
    FakeMeasure measure;
    for (int pixels = largest; pixels > smallest; --pixels) {
        const TextBox box = measure(text, pixels, area.width);
        if (box.width <= area.width && box.height <= area.height) return pixels;
    }
    return smallest;
}

// Whatever size was fitted before, the answer is the largest that fits, as a plain search
// from the top finds it.
TEST(FittedFont, FindsTheLargestSizeThatFitsWhateverCameBefore) {
    std::mt19937 generator(12345);
    std::uniform_int_distribution<int> length(0, 80);
    std::uniform_int_distribution<int> side(1, 1200);
    FakeMeasure measure;
    const MeasureText measureText = std::ref(measure);
    FittedFont font(8, 400);
    TextBox area{800, 450};
    font.setArea(area);
    for (int i = 0; i < 3000; ++i) {
        if (i % 100 == 0) {
            area = {side(generator), side(generator)};
            font.setArea(area);
        }
        const std::u16string text(static_cast<std::size_t>(length(generator)), u'字');
        ASSERT_EQ(font.fit(text, measureText), largestThatFits(text, area, 8, 400))
            << "length " << text.size() << " in " << area.width << " x " << area.height;
    }
}

TEST(FittedFont, FewMeasurementsFromTheLastSizeAndNoneForARepeatedPick) {
    FakeMeasure measure;
    const MeasureText measureText = std::ref(measure);
    FittedFont font(8, 400);
    font.setArea({1000, 300});

    EXPECT_EQ(font.fit(u"张三", measureText), 300);
    measure.calls = 0;
    EXPECT_EQ(font.fit(u"李四", measureText), 300);
    EXPECT_EQ(measure.calls, 2);

    measure.calls = 0;
    EXPECT_EQ(font.fit(u"欧阳娜娜", measureText), 250);  // wraps at the last size
    EXPECT_LE(measure.calls, 4);  // halving over all sizes takes 9

    measure.calls = 0;
    EXPECT_EQ(font.fit(u"张三", measureText), 300);
    EXPECT_EQ(measure.calls, 0);

    font.setArea({500, 300});  // a new area forgets
    EXPECT_EQ(font.fit(u"张三", measureText), 250);
    EXPECT_GT(measure.calls, 0);
}

TEST(FittedFont, TheSmallestSizeWhenNothingFits) {
    FakeMeasure measure;
    FittedFont font(8, 400);
    font.setArea({0, 0});
    EXPECT_EQ(font.fit(u"x", std::ref(measure)), 8);
}

}  // namespace
}  // namespace zorbalin::draw
