// The window at long work: a wait cursor, and in its title what it is doing.
#pragma once

#include <cstdint>

#include "base/progress.h"
#include "lifecycle/progress_pacing.h"

class QWidget;

namespace zorbalin::window {

// Busy from the first report of long work (lifecycle::ProgressPacing) until the handler doing
// it ends or opens anything modal. No events are served meanwhile, so the clicks and keys that
// arrive wait: they are served to a disabled window when the work ends, which drops them, and
// the window accepts none while it works.
class BusyWindow final : public Progress {
public:
    explicit BusyWindow(QWidget* window) : window_(window) {}
    void report(ProgressStage stage, std::uint64_t done, std::uint64_t total) override;
    bool busy() const { return pacing_.shown(); }
    // The work is over: the input that came meanwhile goes, the title and cursor come back.
    void end();

private:
    QWidget* window_;
    lifecycle::ProgressPacing pacing_;
};

}  // namespace zorbalin::window
