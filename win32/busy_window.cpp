#include "busy_window.h"

#include "layout/texts.h"
#include "window_text.h"

namespace zorbalin::win32 {

namespace {

void dropQueuedInput() {
    MSG message{};
    const std::pair<UINT, UINT> input[] = {
        {WM_KEYFIRST, WM_KEYLAST}, {WM_MOUSEFIRST, WM_MOUSELAST}, {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK}};
    for (const auto& [first, last] : input) {
        while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE)) {
        }
    }
}

}  // namespace

void BusyWindow::report(ProgressStage stage, std::uint64_t done, std::uint64_t total) {
    const bool wasBusy = busy();
    if (!pacing_.shouldShow(stage, total, lifecycle::ProgressPacing::Clock::now())) return;
    const bool visible = IsWindowVisible(window_) != FALSE;
    if (!wasBusy && visible) SetCursor(LoadCursorW(nullptr, IDC_WAIT));  // WM_SETCURSOR keeps it
    // Painted now what is waiting to be (where a dialog just closed, say): the window serves
    // no WM_PAINT until the work is over.
    if (visible) RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    setWindowText(window_, layout::progressCaption(stage, done, total));
}

void BusyWindow::end() {
    if (!busy()) return;
    setWindowText(window_, layout::kWindowCaption);
    pacing_.reset();
    dropQueuedInput();
    // The pointer's own cursor again, through a WM_SETCURSOR for where it stands.
    POINT pointer{};
    if (IsWindowVisible(window_) && GetCursorPos(&pointer)) SetCursorPos(pointer.x, pointer.y);
}

}  // namespace zorbalin::win32
