// The window at long work: painted first, a wait cursor, and in its caption what it is doing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/progress.h"
#include "lifecycle/progress_pacing.h"

namespace zorbalin::win32 {

// Busy from the first report of long work (lifecycle::ProgressPacing) until the handler doing
// it ends or opens anything modal. The window serves no messages meanwhile, so the clicks and
// keys that arrive wait in the queue: they are dropped when the work ends, and the window
// accepts none while it works.
class BusyWindow final : public Progress {
public:
    void attach(HWND window) { window_ = window; }
    void report(ProgressStage stage, std::uint64_t done, std::uint64_t total) override;
    bool busy() const { return pacing_.shown(); }
    // The work is over: the input that came meanwhile goes, the caption and cursor come back.
    void end();

private:
    HWND window_ = nullptr;
    lifecycle::ProgressPacing pacing_;
};

}  // namespace zorbalin::win32
