// The figures that the application benchmark prints: medians, percentiles, tick summaries
// and the verdicts against the targets.
#include <gtest/gtest.h>

#include "results_table.h"
#include "stats.h"

namespace zorbalin::bench {
namespace {

using std::chrono::milliseconds;
using TimePoint = std::chrono::steady_clock::time_point;

TEST(BenchFigures, MedianAndPercentile) {
    EXPECT_EQ(median({}), 0);
    EXPECT_EQ(median({3, 1, 2}), 2);
    EXPECT_EQ(median({4, 1, 3, 2}), 2.5);
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i) hundred.push_back(i);
    EXPECT_EQ(percentile(hundred, 99), 99);
    EXPECT_EQ(percentile(hundred, 100), 100);
    EXPECT_EQ(percentile({7}, 99), 7);
}

TEST(BenchFigures, TickSummaryCountsFromTheStartAndMissedTicks) {
    const TimePoint start{};
    // Set to 10 ms over 50 ms: ticks at 10, 20, 32 and 40 ms; the one at 50 ms never came.
    const std::vector<TimePoint> ticks = {start + milliseconds(10), start + milliseconds(20),
                                          start + milliseconds(32), start + milliseconds(40)};
    const TickSummary summary = summariseTicks(ticks, start, milliseconds(50), 10);
    EXPECT_DOUBLE_EQ(summary.meanIntervalMs, 10);
    EXPECT_DOUBLE_EQ(summary.p99DeviationMs, 2);
    EXPECT_DOUBLE_EQ(summary.medianDeviationMs, 1);  // deviations 0, 0, 2, 2
    EXPECT_EQ(summary.expectedTicks, 5);
    EXPECT_EQ(summary.missedTicks(), 1);
}

TEST(BenchFigures, VerdictsAgainstAbsoluteAndFloorTargets) {
    struct Case {
        const char* what;
        ResultRow row;
        std::optional<bool> met;
    };
    const Case cases[] = {
        {"under a limit", {"a", "ms", 40, std::nullopt, Target::atMost(50)}, true},
        {"on a limit", {"a", "ms", 50, std::nullopt, Target::atMost(50)}, true},
        {"over a limit", {"a", "ms", 51, std::nullopt, Target::atMost(50)}, false},
        {"within 1.5x the floor", {"a", "ms", 150, 100.0, Target::atMostTimesFloor(1.5)}, true},
        {"beyond 1.5x the floor", {"a", "ms", 151, 100.0, Target::atMostTimesFloor(1.5)}, false},
        {"floor that failed to measure", {"a", "ms", 1, 0.0, Target::atMostTimesFloor(1.5)}, std::nullopt},
        {"no target", {"a", "ms", 1, 2.0, Target::none()}, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(c.row.met(), c.met) << c.what;
}

TEST(BenchFigures, TableCountsTheTargetsMet) {
    ResultsTable table;
    table.section("Start");
    table.add({"fast", "ms", 10, std::nullopt, Target::atMost(50)});
    table.add({"slow", "ms", 90, 40.0, Target::atMostTimesFloor(1.5)});
    table.add({"info", "", 3, std::nullopt, Target::none()});
    const std::string text = table.markdown();
    EXPECT_NE(text.find("| **Start** |"), std::string::npos);
    EXPECT_NE(text.find("| slow | 90.0 ms | 40.0 ms | 2.25× | ≤ 1.50× floor | **no** |"), std::string::npos) << text;
    EXPECT_NE(text.find("Targets met: 1 of 2"), std::string::npos);
}

}  // namespace
}  // namespace zorbalin::bench
