#include "stats.h"

#include <algorithm>
#include <cmath>

namespace zorbalin::bench {

double median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    const std::size_t middle = samples.size() / 2;
    std::nth_element(samples.begin(), samples.begin() + static_cast<long>(middle), samples.end());
    const double upper = samples[middle];
    if (samples.size() % 2 == 1) return upper;
    const double lower = *std::max_element(samples.begin(), samples.begin() + static_cast<long>(middle));
    return (lower + upper) / 2;
}

double percentile(std::vector<double> samples, double p) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(samples.size())));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

TickSummary summariseTicks(const std::vector<std::chrono::steady_clock::time_point>& ticks,
                           std::chrono::steady_clock::time_point start,
                           std::chrono::steady_clock::duration runTime, int intervalMs) {
    using Ms = std::chrono::duration<double, std::milli>;
    TickSummary summary;
    summary.receivedTicks = static_cast<long>(ticks.size());
    summary.expectedTicks = static_cast<long>(Ms(runTime).count() / intervalMs);

    // The first interval runs from the start of the timer to the first tick.
    std::vector<double> intervals;
    std::vector<double> deviations;
    intervals.reserve(ticks.size());
    deviations.reserve(ticks.size());
    auto previous = start;
    for (const auto tick : ticks) {
        const double interval = Ms(tick - previous).count();
        intervals.push_back(interval);
        deviations.push_back(std::abs(interval - intervalMs));
        previous = tick;
    }
    if (!intervals.empty()) {
        double sum = 0;
        for (double interval : intervals) sum += interval;
        summary.meanIntervalMs = sum / static_cast<double>(intervals.size());
    }
    summary.medianDeviationMs = median(deviations);
    summary.p99DeviationMs = percentile(deviations, 99);
    return summary;
}

}  // namespace zorbalin::bench
