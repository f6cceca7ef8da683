// Tick precision under the platform: the window's draw timer, in each of its kinds, and plain
// SetTimer as the floor, each ticking a window's thread at 50 ms and 10 ms for a few seconds.
// Only the timer is measured, not the draw it drives. Prints Markdown table rows.
// Usage: tick_probe [SECONDS]
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "draw_timer.h"

namespace {

constexpr UINT kTickMessage = WM_APP + 1;
constexpr UINT_PTR kSetTimerId = 1;

struct Recording {
    zorbalin::win32::DrawTimer* timer = nullptr;
    std::vector<LONGLONG> ticks;
};
Recording recording;

LONGLONG now() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

double counterMilliseconds(LONGLONG counts) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counts) / static_cast<double>(frequency.QuadPart);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == kTickMessage && recording.timer != nullptr && recording.timer->takeTick()) ||
        (message == WM_TIMER && wParam == kSetTimerId)) {
        recording.ticks.push_back(now());
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void serveMessagesFor(double seconds) {
    const LONGLONG start = now();
    for (double left = seconds * 1000; left > 0; left = seconds * 1000 - counterMilliseconds(now() - start)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
}

void printRow(const char* source, int intervalMs, double seconds) {
    std::vector<double> deviations;
    const auto& ticks = recording.ticks;
    for (std::size_t i = 1; i < ticks.size(); ++i)
        deviations.push_back(std::abs(counterMilliseconds(ticks[i] - ticks[i - 1]) - intervalMs));
    if (deviations.empty()) {
        std::printf("| %s at %d ms | no ticks | | | |\n", source, intervalMs);
        return;
    }
    const double mean = counterMilliseconds(ticks.back() - ticks.front()) / static_cast<double>(deviations.size());
    std::sort(deviations.begin(), deviations.end());
    const auto expected = static_cast<long>(seconds * 1000 / intervalMs);
    std::printf("| %s at %d ms | %.2f ms | %.2f ms | %.2f ms | %ld of %ld |\n", source, intervalMs, mean,
                deviations[deviations.size() / 2], deviations[deviations.size() * 99 / 100],
                std::max(0L, expected - static_cast<long>(ticks.size())), expected);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const double seconds = argc > 1 ? std::max(1.0, _wtof(argv[1])) : 10.0;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TickProbe";
    if (RegisterClassW(&windowClass) == 0) return 1;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) return 1;

    using zorbalin::win32::DrawTimer;
    using zorbalin::win32::DrawTimerKind;
    std::printf("| Timer (%.0f s each) | Mean interval | Median deviation | 99th-percentile deviation | Missed |\n"
                "|---|---:|---:|---:|---:|\n", seconds);
    for (const int intervalMs : {50, 10}) {
        for (const DrawTimerKind kind : {DrawTimerKind::HighResolutionWaitable, DrawTimerKind::TimerQueue}) {
            const std::unique_ptr<DrawTimer> timer = DrawTimer::create(window, kTickMessage, kind);
            recording = {timer.get(), {}};
            timer->setInterval(intervalMs);
            timer->setEnabled(true);
            serveMessagesFor(seconds);
            timer->setEnabled(false);
            printRow(timer->kind() == DrawTimerKind::HighResolutionWaitable
                         ? "Timer1: high-resolution waitable timer"
                         : "Timer1: timer queue with timeBeginPeriod(1)",
                     intervalMs, seconds);
        }
        recording = {};
        if (SetTimer(window, kSetTimerId, static_cast<UINT>(intervalMs), nullptr) == 0) return 1;
        serveMessagesFor(seconds);
        KillTimer(window, kSetTimerId);
        printRow("floor: plain SetTimer", intervalMs, seconds);
    }
    DestroyWindow(window);
    return 0;
}
