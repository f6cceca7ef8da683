// Summaries of measured samples.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

namespace zorbalin::bench {

// The median (mean of the middle two for an even count); 0 for no samples.
double median(std::vector<double> samples);

// The nearest-rank percentile, p in (0, 100]; 0 for no samples.
double percentile(std::vector<double> samples, double p);

struct TickSummary {
    double meanIntervalMs = 0;
    double medianDeviationMs = 0;  // |interval - set interval|
    double p99DeviationMs = 0;
    long expectedTicks = 0;        // whole intervals that fit in the run
    long receivedTicks = 0;
    long missedTicks() const { return expectedTicks > receivedTicks ? expectedTicks - receivedTicks : 0; }
};

// Summarises the ticks of a timer set to `intervalMs` that ran from `start` for `runTime`,
// given the time of each tick.
TickSummary summariseTicks(const std::vector<std::chrono::steady_clock::time_point>& ticks,
                           std::chrono::steady_clock::time_point start,
                           std::chrono::steady_clock::duration runTime, int intervalMs);

}  // namespace zorbalin::bench
