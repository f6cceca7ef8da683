#include "draw/slow_stop.h"

#include <algorithm>

namespace zorbalin::draw {

std::vector<std::int32_t> landingIntervals(std::int32_t drawInterval) {
    std::vector<std::int32_t> intervals;
    // A draw slower than the whole landing lands at its own pace, in one step.
    std::int32_t next = std::max(drawInterval, kLandingFirstMs);
    for (std::int64_t total = 0; total < kLandingMs; total += next, next += std::max(next / 4, 1)) {
        intervals.push_back(next);
    }
    return intervals;
}

}  // namespace zorbalin::draw
