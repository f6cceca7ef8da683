// When a window shows the progress of long work.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "base/progress.h"

namespace zorbalin::lifecycle {

// Work on a short list is over before anyone could read about it, so a stage shows only when
// it has at least kQuietUnits to do (or does not know how much); then at once when it
// begins, and its figures at most every kInterval.
class ProgressPacing {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::uint64_t kQuietUnits = 256 * 1024;
    static constexpr std::chrono::milliseconds kInterval{200};

    // Whether the report is to be shown now.
    bool shouldShow(ProgressStage stage, std::uint64_t total, Clock::time_point now);
    // Whether anything was shown since the last reset: the window then looks busy.
    bool shown() const { return stage_.has_value(); }
    void reset() { stage_.reset(); }

private:
    std::optional<ProgressStage> stage_;  // the stage last shown
    Clock::time_point shownAt_;
};

}  // namespace zorbalin::lifecycle
