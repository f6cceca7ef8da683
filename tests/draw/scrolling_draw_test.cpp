#include "draw/scrolling_draw.h"
#include "fake_controls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zorbalin::draw {
namespace {

using ::testing::ElementsAre;

const double kLargestBelowOne = std::nextafter(1.0, 0.0);

using zorbalin::testing::ScriptedRandom;

class ScrollingDraw : public ::testing::Test {
protected:
    ScrollingDraw() { state.captions = {u"start", u"stop"}; }
    DrawSession state;
    zorbalin::testing::FakeControls<> controls;
    ScriptedRandom noNumbers;  // a draw with repeats takes none at Start
};

TEST_F(ScrollingDraw, TidyWritesTheEditorEvenWhenNothingChanges) {
    controls.editor = u"a\r\nb";
    TidyCandidateText(controls);
    EXPECT_EQ(controls.editorWrites, 1);
    EXPECT_EQ(controls.editor, u"a\r\nb");
}

class StartWithoutCandidates : public ScrollingDraw,
                               public ::testing::WithParamInterface<std::u16string> {};

TEST_P(StartWithoutCandidates, OnlyTidies) {
    controls.editor = GetParam();
    controls.intervalField = u"50";
    state.intervalText = u"80";

    EXPECT_TRUE(StartDraw(state, controls, noNumbers).ok());

    EXPECT_EQ(controls.editor, u"");
    EXPECT_EQ(controls.editorWrites, 1);
    EXPECT_EQ(controls.pick, u"(untouched)");
    EXPECT_EQ(controls.caption, u"(untouched)");
    EXPECT_FALSE(controls.timerInterval.has_value());
    EXPECT_FALSE(controls.timerRunning);
    EXPECT_FALSE(state.itemList.has_value());
    EXPECT_EQ(state.intervalText, u"80");
    EXPECT_FALSE(state.isScrolling);
}

INSTANTIATE_TEST_SUITE_P(EmptyOrBreaksOnly, StartWithoutCandidates,
                         ::testing::Values(u"", u"\r\n", u"\r\n\r\n\r\n\r\n"));

TEST_F(ScrollingDraw, StartShowsTheFirstCandidateAndRunsTheTimer) {
    controls.editor = u"x\r\ny\r\n\r\n\r\nz\r\n";
    controls.intervalField = u"50";

    EXPECT_TRUE(StartDraw(state, controls, noNumbers).ok());

    EXPECT_EQ(controls.editor, u"x\r\ny\r\nz");
    ASSERT_TRUE(state.itemList.has_value());
    EXPECT_THAT(*state.itemList, ElementsAre(u"x", u"y", u"z"));
    EXPECT_EQ(controls.pick, u"x");
    EXPECT_EQ(controls.caption, u"stop");
    EXPECT_EQ(controls.timerInterval, 50);
    EXPECT_TRUE(controls.timerRunning);
    EXPECT_TRUE(state.isScrolling);
    EXPECT_EQ(state.intervalText, u"50");
}

struct IntervalCase {
    std::u16string field;
    std::int32_t milliseconds;
};

class StartInterval : public ScrollingDraw, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(StartInterval, KeepsTheFieldVerbatimAndRunsTheTimerAtItsValue) {
    controls.editor = u"x";
    controls.intervalField = GetParam().field;
    EXPECT_TRUE(StartDraw(state, controls, noNumbers).ok());
    EXPECT_EQ(state.intervalText, GetParam().field);
    EXPECT_EQ(controls.timerInterval, GetParam().milliseconds);
    EXPECT_TRUE(controls.timerRunning);
}

INSTANTIATE_TEST_SUITE_P(
    Intervals, StartInterval,
    ::testing::Values(IntervalCase{u"120ms", 120}, IntervalCase{u"2.5", 2}, IntervalCase{u"3.5", 4},
                      IntervalCase{u"  80", 80}, IntervalCase{u"0", 1}, IntervalCase{u"-20", 1},
                      IntervalCase{u"abc", 1}, IntervalCase{u"1e999", 2147483647},
                      IntervalCase{u"１２０", 120}));

TEST_F(ScrollingDraw, StopBeforeTheFirstTickLeavesTheFirstCandidateShown) {
    controls.editor = u"x\r\ny";
    controls.intervalField = u"50";
    EXPECT_TRUE(StartDraw(state, controls, noNumbers).ok());

    StopDraw(state, controls);

    EXPECT_EQ(controls.pick, u"x");
    EXPECT_EQ(controls.caption, u"start");
    EXPECT_FALSE(controls.timerRunning);
    EXPECT_FALSE(state.isScrolling);
    ASSERT_TRUE(state.itemList.has_value());
    EXPECT_THAT(*state.itemList, ElementsAre(u"x", u"y"));
    EXPECT_EQ(state.intervalText, u"50");
}

TEST_F(ScrollingDraw, TicksReseedEveryTimeAndShowTheItemThatTheNumberPicks) {
    controls.editor = u"x\r\n\r\n\r\n\r\n\r\ny\r\nz";  // five breaks leave an empty item
    EXPECT_TRUE(StartDraw(state, controls, noNumbers).ok());
    ASSERT_THAT(*state.itemList, ElementsAre(u"x", u"", u"y", u"z"));
    ScriptedRandom random({0.0, 0.3, 0.5, kLargestBelowOne, 0.26});

    std::vector<std::u16string> shown;
    for (int tick = 0; tick < 5; ++tick) {
        DrawTick(state, controls, random);
        shown.push_back(controls.pick);
    }

    EXPECT_THAT(shown, ElementsAre(u"x", u"", u"y", u"z", u""));
    EXPECT_EQ(random.reseeds, 5);
    EXPECT_EQ(random.numbersWithoutReseed, 0);
}

TEST_F(ScrollingDraw, ATabBetweenColumnsIsShownAsAWideSpaceAndKeptInTheResult) {
    controls.editor = u"韩娟\t2024015\r\nb";
    EXPECT_TRUE(StartDraw(state, controls, noNumbers).ok());
    EXPECT_EQ(controls.pick, u"韩娟\u30002024015");
    StopDraw(state, controls);
    EXPECT_EQ(state.record.results().back().text, u"韩娟\t2024015");
}

TEST_F(ScrollingDraw, SingleCandidateIsShownAtEveryTick) {
    controls.editor = u"only";
    EXPECT_TRUE(StartDraw(state, controls, noNumbers).ok());
    ScriptedRandom random({0.0, 0.5, kLargestBelowOne});
    for (int tick = 0; tick < 3; ++tick) {
        controls.pick.clear();
        DrawTick(state, controls, random);
        EXPECT_EQ(controls.pick, u"only");
    }
}

TEST_F(ScrollingDraw, TickWithoutAnItemListDoesNothing) {
    ScriptedRandom random;
    DrawTick(state, controls, random);
    EXPECT_EQ(controls.pick, u"(untouched)");
    EXPECT_EQ(random.reseeds, 0);
}

TEST_F(ScrollingDraw, EditsWhileScrollingWaitForTheNextStart) {
    controls.editor = u"x\r\ny";
    controls.intervalField = u"50";
    EXPECT_TRUE(ToggleDraw(state, controls, noNumbers).ok());
    ASSERT_TRUE(state.isScrolling);

    controls.editor = u"p\r\n\r\nq\r\n";
    controls.intervalField = u"75";
    ScriptedRandom random({kLargestBelowOne});
    DrawTick(state, controls, random);
    EXPECT_EQ(controls.pick, u"y");
    EXPECT_EQ(controls.timerInterval, 50);
    EXPECT_EQ(state.intervalText, u"50");

    EXPECT_TRUE(ToggleDraw(state, controls, noNumbers).ok());  // stop
    EXPECT_FALSE(state.isScrolling);
    EXPECT_EQ(controls.caption, u"start");
    EXPECT_EQ(controls.pick, u"y");

    EXPECT_TRUE(ToggleDraw(state, controls, noNumbers).ok());  // start again with the edited text and interval
    EXPECT_TRUE(state.isScrolling);
    EXPECT_EQ(controls.editor, u"p\r\nq");
    EXPECT_THAT(*state.itemList, ElementsAre(u"p", u"q"));
    EXPECT_EQ(controls.pick, u"p");
    EXPECT_EQ(controls.timerInterval, 75);
    EXPECT_EQ(state.intervalText, u"75");
    EXPECT_EQ(controls.caption, u"stop");
}

struct FieldCase {
    std::u16string typed;
    std::u16string normalized;
};

class NormalizeField : public ScrollingDraw, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(NormalizeField, WritesTheTextFormOfTheNumericValue) {
    controls.intervalField = GetParam().typed;
    state.intervalText = u"50";
    NormalizeIntervalField(controls);
    EXPECT_EQ(controls.intervalField, GetParam().normalized);
    EXPECT_EQ(state.intervalText, u"50");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, NormalizeField,
    ::testing::Values(FieldCase{u"abc", u"0"}, FieldCase{u"120ms", u"120"}, FieldCase{u"  80", u"80"},
                      FieldCase{u"2.5", u"2.5"}, FieldCase{u"", u"0"}, FieldCase{u"-3", u"-3"},
                      FieldCase{u"+7", u"7"}, FieldCase{u"-0", u"0"}, FieldCase{u"050.50", u"50.5"},
                      FieldCase{u"1e999", u"1.7976931348623157e308"}, FieldCase{u"100000", u"100000"},
                      FieldCase{u"0.0001", u"0.0001"}, FieldCase{u"１２０", u"120"},
                      FieldCase{u"\u3000９０", u"90"}, FieldCase{u"－５", u"-5"},
                      FieldCase{u"１２．５", u"12.5"}));

// Chi-square of a million ticks over n candidates through the real random source.
// The seed is fixed, so the outcome is the same on every run.
double chiSquareOfTicks(std::size_t candidates, RandomSource::Clock clock) {
    DrawSession state;
    zorbalin::testing::FakeControls<> controls;
    for (std::size_t i = 0; i < candidates; ++i) {
        if (i != 0) controls.editor += u"\r\n";
        controls.editor += static_cast<char16_t>(u'0' + i);
    }
    RandomSource random(std::move(clock), 0x0123'4567'89ab'cdefULL);
    (void)StartDraw(state, controls, random);

    constexpr int kTicks = 1'000'000;
    std::array<int, 10> counts{};
    for (int tick = 0; tick < kTicks; ++tick) {
        DrawTick(state, controls, random);
        ++counts.at(static_cast<std::size_t>(controls.pick.at(0) - u'0'));
    }
    const double expected = static_cast<double>(kTicks) / static_cast<double>(candidates);
    double chiSquare = 0.0;
    for (std::size_t i = 0; i < candidates; ++i) {
        const double difference = counts[i] - expected;
        chiSquare += difference * difference / expected;
    }
    return chiSquare;
}

RandomSource::Clock frozenClock() {
    return [] { return std::uint64_t{1'700'000'000'000'000'000ULL}; };
}

RandomSource::Clock millisecondClock() {
    return [now = std::uint64_t{1'700'000'000'000'000'000ULL}]() mutable {
        now += 1'000'000;
        return now;
    };
}

// Critical values of chi-square at p = 0.001.
constexpr double kCriticalNineDegrees = 27.877;
constexpr double kCriticalSixDegrees = 22.458;

TEST(DrawFairness, TenCandidatesWithAFrozenClock) {
    EXPECT_LT(chiSquareOfTicks(10, frozenClock()), kCriticalNineDegrees);
}

TEST(DrawFairness, SevenCandidatesWithAFrozenClock) {
    EXPECT_LT(chiSquareOfTicks(7, frozenClock()), kCriticalSixDegrees);
}

TEST(DrawFairness, TenCandidatesWithAClockAdvancingOneMillisecondPerTick) {
    EXPECT_LT(chiSquareOfTicks(10, millisecondClock()), kCriticalNineDegrees);
}

TEST(DrawFairness, SevenCandidatesWithAClockAdvancingOneMillisecondPerTick) {
    EXPECT_LT(chiSquareOfTicks(7, millisecondClock()), kCriticalSixDegrees);
}

}  // namespace
}  // namespace zorbalin::draw
