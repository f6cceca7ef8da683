// Times a program from the moment it is started until its window is visible and the program
// waits for input (WaitForInputIdle: its first message loop has nothing left to do), then
// closes the window and prints the milliseconds. Every wait is bounded.
// Usage: start_probe WINDOW_TITLE PROGRAM [ARGUMENT]
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kStartLimitMs = 300'000;  // a million candidates take tens of seconds under Wine

double millisecondsSince(LARGE_INTEGER start) {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: start_probe WINDOW_TITLE PROGRAM [ARGUMENT]\n");
        return 2;
    }
    std::wstring commandLine = L"\"" + std::wstring(argv[2]) + L"\"";
    if (argc > 3) commandLine += L" \"" + std::wstring(argv[3]) + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start{};
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start the program: error %lu\n", GetLastError());
        return 1;
    }
    HWND window = nullptr;
    while (millisecondsSince(start) < kStartLimitMs) {
        window = FindWindowW(nullptr, argv[1]);
        if (window != nullptr && IsWindowVisible(window) &&
            WaitForInputIdle(process.hProcess, kStartLimitMs) == 0)
            break;
        window = nullptr;
        Sleep(1);
    }
    const double elapsed = millisecondsSince(start);
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 30'000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (window == nullptr) {
        std::fprintf(stderr, "no visible window titled as given within %lu ms\n", kStartLimitMs);
        return 1;
    }
    std::printf("%.1f\n", elapsed);
    return 0;
}
