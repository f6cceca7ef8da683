// Figures for the Windows window, printed rather than asserted: how precisely Timer1 ticks
// with each timer kind, and how long the editor control takes to take and show long lists.
// Run under Wine: tools/wine-run.sh build-dir/tests/win32/win32_window_bench.exe
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "candidate_editor.h"
#include "draw/candidate_text.h"
#include "draw_timer.h"

namespace {

using zorbalin::win32::CandidateEditor;
using zorbalin::win32::DrawTimer;
using zorbalin::win32::DrawTimerKind;

constexpr UINT kTickMessage = WM_APP + 1;

double nowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / ticksPerMs;
}

struct TickRecorder {
    DrawTimer* timer = nullptr;
    std::vector<double> times;
};

LRESULT CALLBACK recorderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* recorder = reinterpret_cast<TickRecorder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kTickMessage && recorder != nullptr && recorder->timer->takeTick()) {
        recorder->times.push_back(nowMs());
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void measureTicks(DrawTimerKind kind, int intervalMs, int ticks) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = recorderProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TickRecorder";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"TickRecorder", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    TickRecorder recorder;
    auto timer = DrawTimer::create(window, kTickMessage, kind);
    recorder.timer = timer.get();
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&recorder));
    timer->setInterval(intervalMs);
    const double start = nowMs();
    timer->setEnabled(true);
    MSG message{};
    while (static_cast<int>(recorder.times.size()) < ticks && GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    timer->setEnabled(false);

    // Deviation of each tick from its place on the ideal grid, and of each gap from the interval.
    std::vector<double> gapDeviation;
    double previous = start;
    for (double time : recorder.times) {
        gapDeviation.push_back(std::fabs(time - previous - intervalMs));
        previous = time;
    }
    const double meanGap = (recorder.times.back() - start) / static_cast<double>(ticks);
    double sum = 0;
    for (double d : gapDeviation) sum += d;
    std::sort(gapDeviation.begin(), gapDeviation.end());
    const double p99 = gapDeviation[static_cast<std::size_t>(0.99 * static_cast<double>(gapDeviation.size() - 1))];
    std::printf("%-24s %3d ms  %4d ticks  mean interval %7.3f ms  mean |deviation| %6.3f ms  "
                "p99 |deviation| %6.3f ms  max %6.3f ms\n",
                timer->kind() == DrawTimerKind::HighResolutionWaitable ? "high-resolution waitable"
                                                                        : "timer queue",
                intervalMs, ticks, meanGap, sum / static_cast<double>(ticks), p99,
                gapDeviation.back());
    timer.reset();
    DestroyWindow(window);
}

std::u16string candidateLines(int lines) {
    std::u16string text;
    text.reserve(static_cast<std::size_t>(lines) * 14);
    for (int i = 0; i < lines; ++i) {
        if (i > 0) text += u"\r\n";
        text += u"候选人 ";
        for (char c : std::to_string(i)) text += static_cast<char16_t>(c);
    }
    return text;
}

void measureEditor(int lines) {
    const std::u16string text = candidateLines(lines);
    HWND frame = CreateWindowExW(0, L"STATIC", L"editor", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                 0, 0, 300, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND control = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", CandidateEditor::kStyle, 8, 144,
                                   273, 209, frame, nullptr, GetModuleHandleW(nullptr), nullptr);
    CandidateEditor editor;
    editor.attach(control);

    double start = nowMs();
    editor.setText(text);
    editor.flush();
    ShowWindow(frame, SW_SHOWNORMAL);
    UpdateWindow(frame);
    const double shown = nowMs() - start;

    editor.contentChanged();  // as after a user's edit: the text is read from the control
    start = nowMs();
    const std::size_t length = editor.text().size();
    const double read = nowMs() - start;

    // Removing one line break near the end and one near the start, as tidying does.
    start = nowMs();
    SendMessageW(control, EM_SETSEL, length - 2, static_cast<LPARAM>(length));
    SendMessageW(control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    const double removedAtEnd = nowMs() - start;
    start = nowMs();
    SendMessageW(control, EM_SETSEL, 3, 5);
    SendMessageW(control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    const double removedAtStart = nowMs() - start;

    std::printf("EDIT control %8d lines: set and show %8.1f ms, read back %6.1f ms (%zu units), "
                "remove a break at the end %6.1f ms, at the start %6.1f ms\n",
                lines, shown, read, length, removedAtEnd, removedAtStart);
    DestroyWindow(frame);
}

// Start tidies the list in the editor: here a list with a blank line after every
// `blankEvery`th line, so that tidying removes one line break in each of those places.
void measureTidy(int lines, int blankEvery) {
    std::u16string untidy;
    untidy.reserve(static_cast<std::size_t>(lines) * 15);
    for (int i = 1; i <= lines; ++i) {
        if (i > 1) untidy += u"\r\n";
        untidy += u"候选人 ";
        for (char c : std::to_string(i)) untidy += static_cast<char16_t>(c);
        if (i % blankEvery == 0) untidy += u"\r\n";  // the blank line after it
    }
    const std::u16string tidy = zorbalin::draw::tidiedCandidateText(untidy);
    HWND frame = CreateWindowExW(0, L"STATIC", L"editor", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                 0, 0, 300, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND control = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", CandidateEditor::kStyle, 8, 144,
                                   273, 209, frame, nullptr, GetModuleHandleW(nullptr), nullptr);
    CandidateEditor editor;
    editor.attach(control);
    editor.setText(untidy);
    editor.flush();
    ShowWindow(frame, SW_SHOWNORMAL);
    UpdateWindow(frame);

    const double start = nowMs();
    editor.setText(tidy);
    editor.flush();
    UpdateWindow(frame);
    const double tidied = nowMs() - start;

    editor.contentChanged();  // read back what the control holds
    std::printf("EDIT control %8d lines, a blank line after every %7d: tidy (%zu -> %zu units) "
                "%8.1f ms, control text %s\n",
                lines, blankEvery, untidy.size(), tidy.size(), tidied,
                editor.text() == tidy ? "exact" : "WRONG");
    DestroyWindow(frame);
}

}  // namespace

int main(int argc, char** argv) {
    const bool ticksOnly = argc > 1 && std::string(argv[1]) == "ticks";
    const bool editorOnly = argc > 1 && std::string(argv[1]) == "editor";
    if (argc > 1 && std::string(argv[1]) == "tidy") {
        for (int lines : {100'000, 1'000'000}) {
            measureTidy(lines, lines / 4);
            measureTidy(lines, 1000);
        }
        return 0;
    }
    if (!editorOnly) {
        for (DrawTimerKind kind : {DrawTimerKind::HighResolutionWaitable, DrawTimerKind::TimerQueue}) {
            measureTicks(kind, 50, 300);
            measureTicks(kind, 10, 500);
        }
    }
    if (!ticksOnly) {
        measureEditor(100'000);
        measureEditor(1'000'000);
        for (int lines : {100'000, 1'000'000}) {
            measureTidy(lines, lines / 4);
            measureTidy(lines, 1000);
        }
    }
    return 0;
}
