// The Windows program measured under Wine (or on Windows) by tools/run-windows-benchmarks.sh.
// Each prints milliseconds and a peak working set in MiB.
//   probe start TITLE PROGRAM [ARGUMENT]  from starting PROGRAM until a visible window titled
//       TITLE exists and the program waits for input, and the program's peak so far; then
//       the window is closed
//   probe choose [FILE]  Form1 shown, then a click on Command1 that the dialog answers with
//       FILE (load, tidy, write back): the click, and this process's peak. Without FILE, the
//       idle window alone
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "form1.h"

namespace {

using namespace zorbalin;

double nowMs() {
    LARGE_INTEGER counter{}, frequency{};
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double peakMiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return -1;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

int start(int argc, wchar_t** argv) {
    std::wstring commandLine = L"\"" + std::wstring(argv[3]) + L"\"";
    if (argc > 4) commandLine += L" \"" + std::wstring(argv[4]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double begin = nowMs();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) return 1;
    HWND window = nullptr;
    while (window == nullptr && nowMs() - begin < 900'000) {  // 64 MiB take a minute under Wine
        window = FindWindowW(nullptr, argv[2]);
        if (window != nullptr && (!IsWindowVisible(window) || WaitForInputIdle(process.hProcess, 900'000) != 0)) {
            window = nullptr;
        }
        if (window == nullptr) Sleep(1);
    }
    if (window != nullptr) {
        std::printf("%.1f %.1f\n", nowMs() - begin, peakMiB(process.hProcess));
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 60'000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return window != nullptr ? 0 : 1;
}

void serveWaitingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

struct AnsweringDialog final : dialogs::OpenFileDialogBackend {
    std::u16string path;
    bool failed = false;
    Result<std::u16string> chooseExistingFile(const dialogs::OpenFileDialogRequest&) override { return path; }
    void showFailureBox(std::u16string_view, std::u16string_view) override { failed = true; }
};

int choose(int argc, wchar_t** argv) {
    AnsweringDialog dialog;
    win32::Form1Options options;
    options.settingsKeyPath = L"Software\\Zorbalin\\Benchmark";  // never the user's own
    options.dialogBackend = &dialog;
    options.showBox = [&dialog](HWND, const layout::MessageBoxText&) { dialog.failed = true; };
    options.quitWhenDestroyed = false;
    double begin = 0, end = 0;
    {
        win32::Form1 form(options);
        form.show(SW_SHOWNORMAL);
        serveWaitingMessages();
        begin = nowMs();
        if (argc > 2) {
            dialog.path = win32::fromWide(argv[2]);
            SendMessageW(form.control(layout::ControlId::Command1), BM_CLICK, 0, 0);
            serveWaitingMessages();
            dialog.failed = dialog.failed || GetWindowTextLengthW(form.control(layout::ControlId::RichTextBox1)) == 0;
        }
        end = nowMs();
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, options.settingsKeyPath.c_str());
    std::printf("%.1f %.1f\n", end - begin, peakMiB(GetCurrentProcess()));
    return dialog.failed ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"start" && argc > 3) return start(argc, argv);
    if (mode == L"choose") return choose(argc, argv);
    std::fprintf(stderr, "usage: probe start TITLE PROGRAM [ARGUMENT] | probe choose [FILE]\n");
    return 2;
}
