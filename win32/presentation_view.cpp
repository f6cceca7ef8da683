#include "presentation_view.h"

#include <algorithm>

#include "buffered_paint.h"
#include "dpi.h"
#include "layout/layout_table.h"
#include "layout/texts.h"
#include "layout/window_commands.h"
#include "message_loop.h"
#include "view_window.h"
#include "wide_text.h"
#include "window_text.h"

namespace zorbalin::win32 {

namespace {

constexpr wchar_t kClassName[] = L"Zorbalin.Presentation";
// How the pick is measured and drawn: centred, wrapped between words, a word too long for a
// line broken inside it.
constexpr UINT kPickFormat = DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;

}  // namespace

PresentationView::PresentationView(lifecycle::MainWindow& shared)
    : shared_(shared), fitted_(layout::kPresentationSmallestPickPixels, layout::kPresentationLargestPickPixels) {
    const UniqueFont font = createMessageFont(layout::kDesignDpi);
    if (!font || GetObjectW(font.get(), sizeof face_, &face_) == 0) face_.lfCharSet = DEFAULT_CHARSET;
}

void PresentationView::show(HWND form) {
    if (window_ == nullptr) {
        // No background: painted whole, without flicker.
        createWindow(shared_, kClassName, nullptr, WS_POPUP, 0, layout::kPresentationTitle, form);
        pickLabel_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0, 0,
                                     window_, nullptr, GetModuleHandleW(nullptr), nullptr);
        showContent(picks_, help_);
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &monitor)) {
        monitor.rcMonitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const RECT& screen = monitor.rcMonitor;
    SetWindowPos(window_, HWND_TOP, screen.left, screen.top, screen.right - screen.left,
                 screen.bottom - screen.top, SWP_SHOWWINDOW);
    InvalidateRect(window_, nullptr, FALSE);
    SetForegroundWindow(window_);
}

void PresentationView::hide() {
    if (!shown()) return;
    ShowWindow(window_, SW_HIDE);
    SetForegroundWindow(GetWindow(window_, GW_OWNER));
}

void PresentationView::showContent(const std::vector<std::u16string>& picks, std::u16string_view help) {
    if (&picks != &picks_) picks_ = picks;
    help_ = help;
    if (window_ == nullptr) return;
    std::u16string spoken;
    for (const std::u16string& pick : picks_) {
        if (!spoken.empty()) spoken += u'、';
        spoken += pick;
    }
    if (pickLabel_ != nullptr) setWindowText(pickLabel_, spoken);
    InvalidateRect(window_, nullptr, FALSE);
}

LRESULT PresentationView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    using layout::WindowCommand;
    switch (message) {
    case kWindowKeyMessage:
        return runKeyCommand(shared_, layout::WindowView::Presentation, lParam);
    case WM_LBUTTONDOWN: {
        // A click with Ctrl, Shift or Alt held is no click.
        const layout::KeyPress click{layout::InputKey::Click, (wParam & MK_CONTROL) != 0,
                                     (wParam & MK_SHIFT) != 0, GetKeyState(VK_MENU) < 0};
        shared_.runCommand(layout::commandForKey(layout::WindowView::Presentation, click));
        return 0;
    }
    case WM_CLOSE:  // Alt+F4 leaves the view as Esc does
        shared_.runCommand(WindowCommand::LeavePresentation);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        paintBuffered(window_, [this](HDC dc, RECT client) { paint(dc, client); });
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void PresentationView::paint(HDC dc, RECT area) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const layout::PresentationLayout areas =
        layout::presentationLayout({area.right - area.left, area.bottom - area.top});
    const auto toRect = [](const layout::PixelRect& r) {
        return RECT{r.left, r.top, r.left + r.width, r.top + r.height};
    };
    RECT help = toRect(areas.help);
    const UniqueFont helpFont = fontOf(areas.helpPixels);
    {
        const SelectedObject selected(dc, helpFont.get());
        drawText(dc, help_, help, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (picks_.empty()) return;

    // One cell a pick, in the order drawn; several have a space between them.
    const layout::Grid grid = layout::presentationGrid({areas.pick.width, areas.pick.height}, picks_.size());
    const int gap = picks_.size() > 1
        ? std::min(areas.pick.width / grid.columns, areas.pick.height / grid.rows) / 16 : 0;
    const auto inner = [gap](const layout::PixelRect& cell) {
        return RECT{cell.left + gap, cell.top + gap, cell.left + cell.width - gap, cell.top + cell.height - gap};
    };
    // The smallest cell, as the cells differ by a pixel at most.
    const int pixels = fittedPixels(dc, {std::max(1, areas.pick.width / grid.columns - 2 * gap),
                                         std::max(1, areas.pick.height / grid.rows - 2 * gap)});
    const UniqueFont font = fontOf(pixels);
    const SelectedObject selected(dc, font.get());
    for (std::size_t i = 0; i < picks_.size(); ++i) {
        const RECT box = inner(layout::gridCell(areas.pick, grid, i));
        RECT bounds = box;
        drawText(dc, picks_[i], bounds, kPickFormat | DT_CALCRECT);
        RECT centred = box;
        centred.top += std::max(0L, (box.bottom - box.top - (bounds.bottom - bounds.top)) / 2);
        drawText(dc, picks_[i], centred, kPickFormat);
    }
}

int PresentationView::fittedPixels(HDC dc, draw::TextBox cell) {
    fitted_.setArea(cell);
    const draw::MeasureText measure = [this, dc](std::u16string_view text, int size, int wrapWidth) {
        const UniqueFont font = fontOf(size);
        const SelectedObject selected(dc, font.get());
        RECT bounds{0, 0, wrapWidth, 0};
        drawText(dc, text, bounds, kPickFormat | DT_CALCRECT);
        return draw::TextBox{bounds.right - bounds.left, bounds.bottom - bounds.top};
    };
    int pixels = layout::kPresentationLargestPickPixels;
    for (const std::u16string& pick : picks_) pixels = std::min(pixels, fitted_.fit(pick, measure));
    return pixels;
}

UniqueFont PresentationView::fontOf(int pixels) const {
    LOGFONTW font = face_;
    font.lfHeight = -pixels;
    font.lfWidth = 0;
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace zorbalin::win32
