// Timer1: ticks as precise as the platform allows, delivered to the window's thread.
//
// A waiting thread (or the system's timer-queue thread) posts one private message to the
// window per tick, so that the tick handler runs on the window's thread only, and keeps
// running while a modal loop (a message box, the open-file dialog, moving the window) serves
// the messages instead of the program's own loop. At most one tick waits in the queue at a
// time: a busy window skips ticks rather than piling them up.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "base/result.h"
#include "layout/layout_table.h"

namespace zorbalin::win32 {

enum class DrawTimerKind {
    HighResolutionWaitable,  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION (Windows 10 1803 and later)
    TimerQueue,              // timeBeginPeriod(1) and a timer-queue timer, everywhere
};

class DrawTimer {
public:
    // The high-resolution timer where the system offers it, else the timer queue; the
    // timer queue when asked for.
    static std::unique_ptr<DrawTimer> create(HWND window, UINT tickMessage,
                                             DrawTimerKind preferred = DrawTimerKind::HighResolutionWaitable);
    virtual ~DrawTimer() = default;

    virtual DrawTimerKind kind() const = 0;

    // Ticks every `milliseconds` (at least 1) from now on, a running timer starting its period
    // again; a TimerNotStarted problem with the system's text when the system would not.
    Status start(std::int32_t milliseconds);
    void stop();
    bool enabled() const { return enabled_; }
    std::int32_t interval() const { return interval_; }

    // The window calls this for each tick message: whether the tick is to be served (a
    // tick posted just before the timer was stopped is not).
    bool takeTick();

protected:
    DrawTimer(HWND window, UINT tickMessage) : window_(window), tickMessage_(tickMessage) {}
    // From any thread: one tick message, unless one is still waiting.
    void postTick();

    // false when the system would not, with its error number for GetLastError.
    virtual bool run(std::int32_t milliseconds) = 0;
    virtual void halt() = 0;

private:
    HWND window_;
    UINT tickMessage_;
    std::atomic<bool> tickPending_{false};
    std::int32_t interval_ = layout::kTimerInitialIntervalMs;
    bool enabled_ = false;
};

}  // namespace zorbalin::win32
