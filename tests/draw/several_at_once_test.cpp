// Several at once and the slow stop, through the draw's own operations and the plain fake of
// its controls.
#include "draw/scrolling_draw.h"
#include "draw/slow_stop.h"
#include "fake_controls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zorbalin::draw {
namespace {

using ::testing::ElementsAre;
using zorbalin::testing::FakeControls;

RandomSource fixedSource(std::uint64_t seed) {
    return RandomSource([] { return std::uint64_t{1'700'000'000'000'000'000ULL}; }, seed);
}

struct Session {
    Session(std::u16string text, std::size_t count, bool noRepeat) {
        controls.editor = std::move(text);
        state.captions = {u"start", u"stop"};
        state.drawCount = count;
        SetNoRepeat(state, noRepeat);
    }
    // Start, some ticks, Stop (landing the slow stop): the picks of the result.
    std::vector<std::u16string> draw(RandomSource& random, int ticks) {
        EXPECT_TRUE(StartDraw(state, controls, random).ok());
        for (int i = 0; i < ticks; ++i) DrawTick(state, controls, random);
        EXPECT_TRUE(ToggleDraw(state, controls, random).ok());
        while (state.isScrolling) DrawTick(state, controls, random);
        return state.picks;
    }
    DrawSession state;
    FakeControls<> controls;
};

TEST(SeveralAtOnce, ThreeOfSevenWithoutRepeatsDrawEveryoneOnceAndTheLastDrawOnlyWhoIsLeft) {
    Session session(u"a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng", 3, true);
    RandomSource random = fixedSource(5);
    std::vector<std::u16string> everyone;
    std::vector<std::size_t> sizes;
    for (int d = 0; d < 3; ++d) {
        const std::vector<std::u16string> picks = session.draw(random, d);
        sizes.push_back(picks.size());
        everyone.insert(everyone.end(), picks.begin(), picks.end());
    }
    EXPECT_THAT(sizes, ElementsAre(3u, 3u, 1u));
    std::sort(everyone.begin(), everyone.end());
    EXPECT_THAT(everyone, ElementsAre(u"a", u"b", u"c", u"d", u"e", u"f", u"g"));
    EXPECT_EQ(session.state.record.results().size(), 7u);
    EXPECT_EQ(session.state.record.results()[3].draw, 2u);
    EXPECT_EQ(session.state.record.results()[3].time, session.state.record.results()[5].time);
    EXPECT_EQ(session.controls.pick, pickDisplay(session.state));
}

// Every tick and every result shows different lines: two equal lines are two items.
TEST(SeveralAtOnce, ATickNeverShowsALineTwiceAndTheDisplayJoinsThem) {
    Session session(u"x\r\nx\r\ny", 2, false);
    RandomSource random = fixedSource(9);
    EXPECT_TRUE(StartDraw(session.state, session.controls, random).ok());
    EXPECT_EQ(session.controls.pick, u"x、x");  // the first lines, as a single draw's first
    std::map<std::u16string, int> shown;
    for (int tick = 0; tick < 3000; ++tick) {
        DrawTick(session.state, session.controls, random);
        ++shown[session.controls.pick];
    }
    EXPECT_EQ(shown.size(), 3u);  // x、x, x、y and y、x, never y、y
    EXPECT_FALSE(shown.contains(u"y、y"));
}

// Each 2-subset of four items is as likely as any other, with and without repeats, whatever
// tick the stop comes at (chi-square at p = 0.001, five degrees of freedom).
TEST(SeveralAtOnce, EverySubsetIsEquallyLikely) {
    for (const bool noRepeat : {false, true}) {
        SCOPED_TRACE(noRepeat);
        RandomSource random = fixedSource(0x5eed);
        std::map<std::u16string, int> subsets;
        constexpr int kDraws = 12'000;
        for (int d = 0; d < kDraws; ++d) {
            Session session(u"a\r\nb\r\nc\r\nd", 2, noRepeat);
            // Without repeats a fresh round each time, so that the first draw counts; with
            // them, a tick at least, since a Start shows the first lines.
            std::vector<std::u16string> picks = session.draw(random, 1 + d % 3);
            std::sort(picks.begin(), picks.end());
            ++subsets[picks[0] + picks[1]];
        }
        ASSERT_EQ(subsets.size(), 6u);
        double chiSquare = 0;
        for (const auto& [subset, count] : subsets) {
            const double expected = kDraws / 6.0;
            chiSquare += (count - expected) * (count - expected) / expected;
        }
        EXPECT_LT(chiSquare, 20.515);
    }
}

TEST(SlowStop, TheIntervalsGrowForAboutTwoSeconds) {
    for (const std::int32_t interval : {1, 50, 300}) {
        SCOPED_TRACE(interval);
        const std::vector<std::int32_t> steps = landingIntervals(interval);
        ASSERT_FALSE(steps.empty());
        EXPECT_EQ(steps.front(), std::max(interval, kLandingFirstMs));
        EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
        EXPECT_GT(steps.back(), 2 * steps.front()) << "the last steps visibly slower";
        const std::int64_t total = std::accumulate(steps.begin(), steps.end(), std::int64_t{0});
        EXPECT_GE(total, kLandingMs);
        EXPECT_LT(total, kLandingMs + steps.back());
    }
    EXPECT_EQ(landingIntervals(5000), std::vector<std::int32_t>{5000});
}

// The result is decided at the press and the display lands on it: the timer runs at the
// growing intervals, the button reads start only once it has landed, and a press meanwhile
// does nothing.
TEST(SlowStop, LandsOnTheResultDecidedAtThePress) {
    Session session(u"a\r\nb\r\nc\r\nd", 1, false);
    session.state.slowStop = true;
    session.controls.intervalField = u"50";
    RandomSource random = fixedSource(3);
    EXPECT_TRUE(StartDraw(session.state, session.controls, random).ok());
    EXPECT_TRUE(ToggleDraw(session.state, session.controls, random).ok());  // the press
    ASSERT_TRUE(session.state.landing);
    const std::u16string decided(session.state.itemList->operator[](session.state.landing->items[0]));
    std::vector<std::int32_t> intervals;
    while (session.state.isScrolling) {
        intervals.push_back(*session.controls.timerInterval);
        EXPECT_EQ(session.controls.caption, u"stop");
        EXPECT_TRUE(ToggleDraw(session.state, session.controls, random).ok());  // ignored
        session.controls.editor = u"changed";  // the list changes: the result does not
        DrawTick(session.state, session.controls, random);
    }
    EXPECT_EQ(intervals, landingIntervals(50));
    EXPECT_EQ(session.controls.pick, decided);
    EXPECT_EQ(session.controls.caption, u"start");
    EXPECT_FALSE(session.controls.timerRunning);
    ASSERT_EQ(session.state.record.results().size(), 1u);
    EXPECT_EQ(session.state.record.results()[0].text, decided);
}

// Whatever is on show when the press comes, each item is the result equally often: at every
// tick phase of the same sequence the results follow one distribution, the uniform one.
TEST(SlowStop, TheResultDoesNotDependOnWhenThePressComes) {
    constexpr int kDraws = 4000;
    for (int phase = 0; phase < 4; ++phase) {
        SCOPED_TRACE(phase);
        RandomSource random = fixedSource(77);  // the same sequence for every phase
        std::map<std::u16string, int> results;
        int sameAsShown = 0;
        for (int d = 0; d < kDraws; ++d) {
            Session session(u"a\r\nb\r\nc\r\nd", 1, d % 2 == 0);
            session.state.slowStop = true;
            EXPECT_TRUE(StartDraw(session.state, session.controls, random).ok());
            for (int tick = 0; tick < phase; ++tick) DrawTick(session.state, session.controls, random);
            const std::u16string shownAtPress = session.controls.pick;
            EXPECT_TRUE(ToggleDraw(session.state, session.controls, random).ok());
            while (session.state.isScrolling) DrawTick(session.state, session.controls, random);
            ++results[session.controls.pick];
            sameAsShown += session.controls.pick == shownAtPress;
        }
        ASSERT_EQ(results.size(), 4u);
        double chiSquare = 0;
        for (const auto& [item, count] : results) {
            chiSquare += (count - kDraws / 4.0) * (count - kDraws / 4.0) / (kDraws / 4.0);
        }
        EXPECT_LT(chiSquare, 16.266);  // three degrees of freedom, p = 0.001
        EXPECT_NEAR(sameAsShown, kDraws / 4, kDraws / 20) << "what was on show did not decide it";
    }
}

}  // namespace
}  // namespace zorbalin::draw
