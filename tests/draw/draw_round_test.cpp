// Draws without repeats, through the draw's own operations and a plain fake of the window.
#include "draw/scrolling_draw.h"

#include "fake_controls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zorbalin::draw {
namespace {

using ::testing::ElementsAre;
using ::testing::Optional;
using ::testing::UnorderedElementsAreArray;

class NoRepeatDraw : public ::testing::Test {
protected:
    NoRepeatDraw() { SetNoRepeat(state, true); }

    // One draw: Start, a few ticks, Stop; the result as the pick display shows it.
    std::u16string draw(int ticks = 2) {
        EXPECT_TRUE(StartDraw(state, window, random).ok());
        for (int i = 0; i < ticks; ++i) DrawTick(state, window, random);
        StopDraw(state, window);
        return window.pick;
    }
    std::vector<std::u16string> drawTimes(std::size_t count) {
        std::vector<std::u16string> results;
        for (std::size_t i = 0; i < count; ++i) results.push_back(draw(static_cast<int>(i % 3)));
        return results;
    }
    std::vector<std::optional<std::size_t>> recordedRounds() const {
        std::vector<std::optional<std::size_t>> rounds;
        for (const RecordedResult& result : state.record.results()) rounds.push_back(result.round);
        return rounds;
    }

    DrawSession state;
    zorbalin::testing::FakeControls<> window;
    RandomSource random{[] { return std::uint64_t{42}; }, 0x0dd5'eed5'0000'0001ULL};
};

struct RoundCase {
    const char* name;
    std::u16string editor;
    std::vector<std::u16string> items;  // each exactly once per round
};

TEST_F(NoRepeatDraw, EveryNonBlankItemOnceARoundThenANewRound) {
    const RoundCase cases[] = {
        {"plain", u"ann\r\nbo\r\ncy", {u"ann", u"bo", u"cy"}},
        {"equal lines are two items", u"x\r\nx\r\ny", {u"x", u"x", u"y"}},
        {"blank items never drawn", u"\r\na\r\n \t\r\nb\r\n\u3000\u00a0\u200b\r\nc",
         {u"a", u"b", u"c"}},
        {"one item", u"solo", {u"solo"}},
    };
    for (const RoundCase& c : cases) {
        SCOPED_TRACE(c.name);
        state = DrawSession{};
        SetNoRepeat(state, true);
        window.editor = c.editor;

        EXPECT_THAT(drawTimes(c.items.size()), UnorderedElementsAreArray(c.items));
        EXPECT_THAT(roundCount(state), Optional(::testing::FieldsAre(0u, c.items.size())));
        EXPECT_THAT(drawTimes(c.items.size()), UnorderedElementsAreArray(c.items));
        std::vector<std::optional<std::size_t>> expectedRounds(c.items.size(), 1);
        expectedRounds.resize(2 * c.items.size(), 2);
        EXPECT_EQ(recordedRounds(), expectedRounds);
    }
}

TEST_F(NoRepeatDraw, TicksAndTheFirstPickShowOnlyItemsNotYetDrawn) {
    window.editor = u"a\r\nb\r\nc\r\nd";
    const std::u16string first = draw();
    const std::u16string second = draw();
    EXPECT_TRUE(StartDraw(state, window, random).ok());
    for (int tick = 0; tick <= 200; ++tick) {
        ASSERT_NE(window.pick, first);
        ASSERT_NE(window.pick, second);
        DrawTick(state, window, random);
    }
    EXPECT_THAT(roundCount(state), Optional(::testing::FieldsAre(2u, 4u)));
}

TEST_F(NoRepeatDraw, OnlyBlankItemsLeaveNothingToDraw) {
    window.editor = u" \r\n\u3000";
    EXPECT_TRUE(StartDraw(state, window, random).ok());
    EXPECT_FALSE(state.isScrolling);
    EXPECT_FALSE(window.timerRunning);
    EXPECT_EQ(window.pick, u"(untouched)");
    EXPECT_THAT(roundCount(state), Optional(::testing::FieldsAre(0u, 0u)));
}

// A latecomer joins the round; those already drawn stay drawn, matched as lines.
TEST_F(NoRepeatDraw, AChangedListKeepsTheRound) {
    window.editor = u"a\r\nb\r\nc\r\nd\r\ne";
    std::vector<std::u16string> drawn = drawTimes(3);
    EXPECT_THAT(roundCount(state), Optional(::testing::FieldsAre(2u, 5u)));

    window.editor += u"\r\nlate";
    drawn.push_back(draw());
    EXPECT_THAT(roundCount(state), Optional(::testing::FieldsAre(2u, 6u)));
    window.editor = u"a\r\nb\r\nc\r\nd\r\ne\r\nlate\r\n" + drawn[0];  // a second line of a drawn name
    drawn.push_back(draw());
    drawn.push_back(draw());
    EXPECT_THAT(roundCount(state), Optional(::testing::FieldsAre(1u, 7u)));
    drawn.push_back(draw());
    EXPECT_THAT(drawn, UnorderedElementsAreArray(std::vector<std::u16string>{u"a", u"b", u"c", u"d", u"e", u"late", drawn[0]}));

    window.editor = u"x\r\ny";  // everyone drawn is gone: those left are new
    EXPECT_THAT(drawTimes(2), UnorderedElementsAreArray({u"x", u"y"}));
    EXPECT_THAT(recordedRounds(), ElementsAre(1u, 1u, 1u, 1u, 1u, 1u, 1u, 1u, 1u));
}

// Over many round boundaries of three names, the name that ended a round never begins the
// next, and each of the two others does about as often.
TEST_F(NoRepeatDraw, ANewRoundDoesNotBeginWithTheNameThatEndedTheLast) {
    window.editor = u"a\r\nb\r\nc";
    std::map<bool, int> firstIsLowerThanLast;
    std::u16string last;
    for (int round = 0; round < 3000; ++round) {
        const std::vector<std::u16string> order = drawTimes(3);
        if (!last.empty()) {
            ASSERT_NE(order.front(), last) << "round " << round;
            ++firstIsLowerThanLast[order.front() < last];
        }
        last = order.back();
    }
    EXPECT_NEAR(firstIsLowerThanLast[true], 1500, 150);
    window.editor = u"a\r\na";  // nothing else to begin with: the same name may
    EXPECT_EQ(drawTimes(4), std::vector<std::u16string>(4, u"a"));
}

TEST_F(NoRepeatDraw, RestartPutsEveryItemBackAndCountsOnlyRoundsWithResults) {
    window.editor = u"a\r\nb\r\nc";
    draw();
    draw();
    RestartRound(state);
    EXPECT_THAT(roundCount(state), Optional(::testing::FieldsAre(3u, 3u)));
    RestartRound(state);  // a round without results keeps its number
    EXPECT_THAT(drawTimes(3), UnorderedElementsAreArray({u"a", u"b", u"c"}));
    EXPECT_THAT(recordedRounds(), ElementsAre(1u, 1u, 2u, 2u, 2u));
}

TEST_F(NoRepeatDraw, RestartWhileScrollingStillTakesTheResultOut) {
    window.editor = u"a\r\nb";
    draw();
    EXPECT_TRUE(StartDraw(state, window, random).ok());
    RestartRound(state);
    StopDraw(state, window);
    EXPECT_THAT(roundCount(state), Optional(::testing::FieldsAre(1u, 2u)));
    const std::u16string last = window.pick;
    EXPECT_NE(draw(), last);
}

TEST_F(NoRepeatDraw, ARunningDrawKeepsTheModeItStartedIn) {
    window.editor = u"a\r\nb\r\nc";
    SetNoRepeat(state, false);
    EXPECT_TRUE(StartDraw(state, window, random).ok());
    SetNoRepeat(state, true);  // builds the round for the list at once
    EXPECT_THAT(roundCount(state), Optional(::testing::FieldsAre(3u, 3u)));
    StopDraw(state, window);
    EXPECT_THAT(roundCount(state), Optional(::testing::FieldsAre(3u, 3u)));

    draw();
    SetNoRepeat(state, false);
    EXPECT_EQ(roundCount(state), std::nullopt);
    draw();
    SetNoRepeat(state, true);  // the round goes on where it was
    EXPECT_THAT(roundCount(state), Optional(::testing::FieldsAre(2u, 3u)));
    EXPECT_THAT(recordedRounds(), ElementsAre(std::nullopt, 1u, std::nullopt));
}

TEST(DrawResults, StopRecordsThePickOnShowAndAQueuedTickChangesNothing) {
    for (const bool noRepeat : {false, true}) {
        SCOPED_TRACE(noRepeat);
        DrawSession state;
        state.record = ResultRecord([] { return TimeOfDay{9, 30, 5}; });
        SetNoRepeat(state, noRepeat);
        zorbalin::testing::FakeControls<> window;
        window.editor = u"p\r\nq\r\nr";
        RandomSource random([] { return std::uint64_t{7}; }, 99);

        EXPECT_TRUE(StartDraw(state, window, random).ok());
        DrawTick(state, window, random);
        EXPECT_EQ(pickDisplay(state), window.pick);
        StopDraw(state, window);
        const std::u16string result = window.pick;
        for (int i = 0; i < 20; ++i) DrawTick(state, window, random);
        StopDraw(state, window);  // a second Stop records nothing

        EXPECT_EQ(window.pick, result);
        const std::optional<std::size_t> round = noRepeat ? std::optional<std::size_t>(1) : std::nullopt;
        EXPECT_THAT(state.record.results(), ElementsAre(RecordedResult{{9, 30, 5}, 1, round, result}));
    }
}

// Over many rounds of a small list every order of results comes out equally often,
// whether a draw stops at once or after some ticks. Each round is the first of a new
// session, whose items lie in list order: a pick that favours a place in the round, or a
// first pick that is not random, shows. The seed is fixed, so the outcome is the same on
// every run.
TEST(NoRepeatFairness, EveryOrderOfFourItemsEquallyOften) {
    zorbalin::testing::FakeControls<> window;
    window.editor = u"a\r\nb\r\nc\r\nd";
    RandomSource random([] { return std::uint64_t{1'700'000'000'000'000'000ULL}; },
                        0x0123'4567'89ab'cdefULL);

    constexpr int kRounds = 24'000;
    std::map<std::u16string, int> orders;
    for (int round = 0; round < kRounds; ++round) {
        DrawSession state;
        SetNoRepeat(state, true);
        std::u16string order;
        for (int d = 0; d < 4; ++d) {
            EXPECT_TRUE(StartDraw(state, window, random).ok());
            for (int tick = (round + d) % 3; tick > 0; --tick) DrawTick(state, window, random);
            StopDraw(state, window);
            order += window.pick;
        }
        ++orders[order];
    }

    ASSERT_EQ(orders.size(), 24u);  // every result once a round, every order seen
    const double expected = kRounds / 24.0;
    double chiSquare = 0.0;
    for (const auto& [order, count] : orders) {
        chiSquare += (count - expected) * (count - expected) / expected;
    }
    constexpr double kCriticalTwentyThreeDegrees = 49.728;  // p = 0.001
    EXPECT_LT(chiSquare, kCriticalTwentyThreeDegrees);
}

}  // namespace
}  // namespace zorbalin::draw
