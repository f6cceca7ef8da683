#include "lifecycle/progress_pacing.h"

namespace zorbalin::lifecycle {

bool ProgressPacing::shouldShow(ProgressStage stage, std::uint64_t total, Clock::time_point now) {
    const bool newStage = stage_ != stage;
    if (newStage && total != 0 && total < kQuietUnits) return false;
    if (!newStage && now - shownAt_ < kInterval) return false;
    stage_ = stage;
    shownAt_ = now;
    return true;
}

}  // namespace zorbalin::lifecycle
