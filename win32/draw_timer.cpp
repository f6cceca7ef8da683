#include "draw_timer.h"

#include <mmsystem.h>

#include <thread>

#include "handles.h"
#include "system_error_text.h"
#include "system_function.h"

namespace zorbalin::win32 {

namespace {

constexpr DWORD kCreateWaitableTimerHighResolution = 0x00000002;

// A high-resolution waitable timer, waited on by a thread of its own that posts the ticks.
class WaitableDrawTimer final : public DrawTimer {
public:
    WaitableDrawTimer(HWND window, UINT tickMessage, OwnedHandle timer, OwnedHandle wake)
        : DrawTimer(window, tickMessage), timer_(std::move(timer)), wake_(std::move(wake)),
          waiter_([this] { waitForTicks(); }) {}

    ~WaitableDrawTimer() override {
        CancelWaitableTimer(timer_.get());
        stopping_ = true;
        SetEvent(wake_.get());
        waiter_.join();
    }

    DrawTimerKind kind() const override { return DrawTimerKind::HighResolutionWaitable; }

    // Null when this Windows has no high-resolution waitable timer.
    static std::unique_ptr<DrawTimer> create(HWND window, UINT tickMessage) {
        using CreateTimerFunction = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD, DWORD);
        const auto createTimer =
            systemFunction<CreateTimerFunction>(L"kernel32.dll", "CreateWaitableTimerExW");
        if (createTimer == nullptr) return nullptr;
        OwnedHandle timer(createTimer(nullptr, nullptr, kCreateWaitableTimerHighResolution,
                                       TIMER_ALL_ACCESS));
        if (!timer) return nullptr;  // Windows before 10 1803 refuses the flag
        OwnedHandle wake(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!wake) return nullptr;
        return std::make_unique<WaitableDrawTimer>(window, tickMessage, std::move(timer),
                                                   std::move(wake));
    }

protected:
    bool run(std::int32_t milliseconds) override {
        LARGE_INTEGER due{};
        due.QuadPart = -static_cast<LONGLONG>(milliseconds) * 10'000;  // relative, 100 ns units
        return SetWaitableTimer(timer_.get(), &due, milliseconds, nullptr, nullptr, FALSE) != 0;
    }

    void halt() override { CancelWaitableTimer(timer_.get()); }

private:
    void waitForTicks() {
        const HANDLE handles[] = {wake_.get(), timer_.get()};
        for (;;) {
            const DWORD woken = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
            if (woken == WAIT_OBJECT_0 + 1) {
                postTick();
            } else if (woken != WAIT_OBJECT_0 || stopping_) {
                return;
            }
        }
    }

    OwnedHandle timer_;
    OwnedHandle wake_;
    std::atomic<bool> stopping_{false};
    std::thread waiter_;  // last: starts when everything it uses exists
};

// The fallback: the system's timer queue at the finest system timer resolution, which is
// raised only while the timer runs.
class TimerQueueDrawTimer final : public DrawTimer {
public:
    TimerQueueDrawTimer(HWND window, UINT tickMessage) : DrawTimer(window, tickMessage) {}
    ~TimerQueueDrawTimer() override { halt(); }

    DrawTimerKind kind() const override { return DrawTimerKind::TimerQueue; }

protected:
    bool run(std::int32_t milliseconds) override {
        halt();
        periodRaised_ = timeBeginPeriod(1) == TIMERR_NOERROR;
        const DWORD period = static_cast<DWORD>(milliseconds);
        if (!CreateTimerQueueTimer(&timer_, nullptr, &TimerQueueDrawTimer::onTimer, this, period,
                                   period, WT_EXECUTEINTIMERTHREAD)) {
            const DWORD error = GetLastError();
            timer_ = nullptr;
            halt();
            SetLastError(error);
            return false;
        }
        return true;
    }

    void halt() override {
        if (timer_ != nullptr) {
            // Waits for a running callback, so none runs after this.
            DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
            timer_ = nullptr;
        }
        if (periodRaised_) {
            timeEndPeriod(1);
            periodRaised_ = false;
        }
    }

private:
    static void CALLBACK onTimer(void* self, BOOLEAN) {
        static_cast<TimerQueueDrawTimer*>(self)->postTick();
    }

    HANDLE timer_ = nullptr;  // owned by the timer queue; deleted in halt()
    bool periodRaised_ = false;
};

}  // namespace

std::unique_ptr<DrawTimer> DrawTimer::create(HWND window, UINT tickMessage,
                                             DrawTimerKind preferred) {
    if (preferred == DrawTimerKind::HighResolutionWaitable) {
        if (auto timer = WaitableDrawTimer::create(window, tickMessage)) return timer;
    }
    return std::make_unique<TimerQueueDrawTimer>(window, tickMessage);
}

Status DrawTimer::start(std::int32_t milliseconds) {
    interval_ = milliseconds < 1 ? 1 : milliseconds;
    enabled_ = run(interval_);
    if (!enabled_) return problemOf(ProblemCode::TimerNotStarted, systemErrorText(GetLastError()));
    return done();
}

void DrawTimer::stop() {
    halt();
    enabled_ = false;
}

bool DrawTimer::takeTick() {
    tickPending_ = false;
    return enabled_;
}

void DrawTimer::postTick() {
    if (tickPending_.exchange(true)) return;
    if (!PostMessageW(window_, tickMessage_, 0, 0)) tickPending_ = false;
}

}  // namespace zorbalin::win32
