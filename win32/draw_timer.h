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

    // Milliseconds, at least 1; a running timer starts its period again at once.
    void setInterval(std::int32_t milliseconds);
    void setEnabled(bool enabled);
    bool enabled() const { return enabled_; }
    std::int32_t interval() const { return interval_; }

    // The window calls this for each tick message: whether the tick is to be served (a
    // tick posted just before the timer was disabled is not).
    bool takeTick();

protected:
    DrawTimer(HWND window, UINT tickMessage) : window_(window), tickMessage_(tickMessage) {}
    // From any thread: one tick message, unless one is still waiting.
    void postTick();

    virtual bool start(std::int32_t milliseconds) = 0;
    virtual void stop() = 0;

private:
    HWND window_;
    UINT tickMessage_;
    std::atomic<bool> tickPending_{false};
    std::int32_t interval_ = layout::kTimerInitialIntervalMs;
    bool enabled_ = false;
};

}  // namespace zorbalin::win32
