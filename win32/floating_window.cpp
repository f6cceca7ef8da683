#include "floating_window.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "buffered_paint.h"
#include "dpi.h"
#include "layout/texts.h"
#include "wide_text.h"
#include "window_text.h"

namespace zorbalin::win32 {

namespace {

constexpr wchar_t kClassName[] = L"Zorbalin.Floating";
constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
constexpr UINT_PTR kButtonId = 1;
constexpr UINT_PTR kCloseMarkId = 2;

// At 96 dpi: the client area, the margin, the button's height, the close mark and its inset.
constexpr SIZE kClientSize{240, 132};
constexpr int kMargin = 8;
constexpr int kButtonHeight = 32;
constexpr int kCloseMarkSize = 16;
constexpr int kCloseMarkInset = 4;
// The default place: this far from the top right of the screen's work area.
constexpr int kScreenMargin = 24;
constexpr UINT kPickFormat = DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM screens) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<layout::PixelRect>*>(screens)->push_back(
            {r.left, r.top, r.right - r.left, r.bottom - r.top});
    }
    return TRUE;
}

std::vector<layout::PixelRect> screens() {
    std::vector<layout::PixelRect> found;
    EnumDisplayMonitors(nullptr, nullptr, &addMonitor, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

FloatingWindow::FloatingWindow(lifecycle::MainWindow& shared)
    : shared_(shared), fitted_(layout::kPresentationSmallestPickPixels, layout::kPresentationLargestPickPixels) {}

void FloatingWindow::create() {
    // No background: painted whole. Its title names it in the task switcher's tools.
    createWindow(shared_, kClassName, nullptr, kStyle, kFloatingExStyle, layout::kFloatingTitle, nullptr);
    const auto child = [this](std::u16string_view text, UINT_PTR id) {
        // A label that the window draws and that tells of clicks: a label takes no focus.
        const HWND created = CreateWindowExW(0, L"STATIC", toWide(text).c_str(),
                                             WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, 0, 0, 0, 0, window_,
                                             reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
        if (created == nullptr) throwWindowNotCreated(layout::kFloatingTitle);
        return created;
    };
    try {
        button_ = child(caption_.empty() ? layout::kStartCaption : caption_, kButtonId);
        closeMark_ = child(layout::kFloatingCloseName, kCloseMarkId);
    } catch (...) {
        destroyWindow();  // made whole the next time
        throw;
    }
}

void FloatingWindow::show(HWND form, std::optional<layout::PixelPoint> at) {
    if (window_ == nullptr) create();
    if (!at && placed_) {
        RECT now{};
        GetWindowRect(window_, &now);
        at = layout::PixelPoint{now.left, now.top};
    }
    if (!at) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (!GetMonitorInfoW(MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &monitor)) {
            monitor.rcWork = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        }
        const int margin = MulDiv(kScreenMargin, windowDpi(form), layout::kDesignDpi);
        at = layout::PixelPoint{monitor.rcWork.right - margin, monitor.rcWork.top + margin};  // its right edge there
        SetWindowPos(window_, nullptr, at->x, at->y, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        applyDpi(windowDpi(window_));
        at->x -= windowSize().cx;
    } else {
        // Where it goes first, for the dpi of that screen.
        SetWindowPos(window_, nullptr, at->x, at->y, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        applyDpi(windowDpi(window_));
    }
    const SIZE size = windowSize();
    const layout::PixelPoint placed = layout::placeOnScreens({at->x, at->y, size.cx, size.cy}, screens());
    SetWindowPos(window_, HWND_TOPMOST, placed.x, placed.y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    placed_ = true;
}

void FloatingWindow::hide() {
    if (shown()) ShowWindow(window_, SW_HIDE);
}

void FloatingWindow::showContent(std::u16string_view pick, std::u16string_view caption) {
    pick_ = pick;
    if (caption != caption_) {
        caption_ = caption;
        if (button_ != nullptr) setWindowText(button_, caption_);  // what a screen reader reads too
    }
    if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
    if (button_ != nullptr) InvalidateRect(button_, nullptr, FALSE);
}

void FloatingWindow::followPointer() {
    POINT pointer{};
    GetCursorPos(&pointer);
    SetWindowPos(window_, nullptr, pointer.x - dragOffset_.x, pointer.y - dragOffset_.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT FloatingWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:  // for its labels too, which ask it
        return MA_NOACTIVATE;
    case WM_NCHITTEST:
        // Dragged anywhere but on its labels, which answer for themselves.
        return HTCAPTION;
    case WM_NCLBUTTONDOWN:
        // Moved by the window itself: the system's move would activate it first (Wine's does).
        if (wParam == HTCAPTION) {
            RECT rect{};
            GetWindowRect(window_, &rect);
            dragOffset_ = {GET_X_LPARAM(lParam) - rect.left, GET_Y_LPARAM(lParam) - rect.top};
            dragging_ = true;
            SetCapture(window_);
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        if (dragging_) followPointer();
        return 0;
    case WM_LBUTTONUP:
        // Where the button is let go, also when the last moves were folded into the release.
        if (dragging_) {
            followPointer();
            ReleaseCapture();  // which ends the move
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (dragging_) {
            dragging_ = false;
            RECT rect{};
            GetWindowRect(window_, &rect);
            shared_.floatingMoved({rect.left, rect.top});
        }
        return 0;
    case WM_NCRBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
        return 0;  // no window menu, no maximising
    case WM_COMMAND: {
        // A click is told at the press; a second click soon after is a double click.
        const WORD notification = HIWORD(wParam);
        if (notification != STN_CLICKED && notification != STN_DBLCLK) return 0;
        if (reinterpret_cast<HWND>(lParam) == button_) shared_.floatingButtonPressed();
        if (reinterpret_cast<HWND>(lParam) == closeMark_) shared_.floatingClosed();
        return 0;
    }
    case WM_DRAWITEM:
        drawControl(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CLOSE:  // Alt+F4 cannot reach it; a tool that closes windows can
        shared_.floatingClosed();
        return 0;
    case WM_DPICHANGED: {
        applyDpi(HIWORD(wParam));
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        const SIZE size = windowSize();
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        paintBuffered(window_, [this](HDC dc, RECT client) { paint(dc, client); });
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void FloatingWindow::applyDpi(int dpi) {
    dpi_ = dpi;
    const UniqueFont font = createMessageFont(dpi_);
    if (!font || GetObjectW(font.get(), sizeof face_, &face_) == 0) face_.lfCharSet = DEFAULT_CHARSET;
    layoutDpi_ = fontLayoutDpi(dpi_, font.get());
    // The caption a little larger than the message font: it is read from afar.
    LOGFONTW caption = face_;
    caption.lfHeight = caption.lfHeight * 4 / 3;
    caption.lfWeight = FW_BOLD;
    captionFont_.reset(CreateFontIndirectW(&caption));
    layoutControls();
}

SIZE FloatingWindow::windowSize() const {
    const RECT frame = windowRectForClient({0, 0, scaled(kClientSize.cx), scaled(kClientSize.cy)}, kStyle,
                                           kFloatingExStyle, dpi_);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void FloatingWindow::layoutControls() {
    if (button_ == nullptr) return;
    const int width = scaled(kClientSize.cx);
    const int height = scaled(kClientSize.cy);
    const int margin = scaled(kMargin);
    const int buttonHeight = scaled(kButtonHeight);
    SetWindowPos(button_, nullptr, margin, height - margin - buttonHeight, width - 2 * margin, buttonHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const int mark = scaled(kCloseMarkSize);
    const int inset = scaled(kCloseMarkInset);
    SetWindowPos(closeMark_, nullptr, width - inset - mark, inset, mark, mark, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, FALSE);
}

void FloatingWindow::paint(HDC dc, RECT area) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    if (pick_.empty()) return;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    // Between the close mark's column on either side, above the button.
    const int margin = scaled(kMargin);
    const int side = scaled(kCloseMarkInset + kCloseMarkSize);
    const RECT box{side, margin, area.right - side, area.bottom - 2 * margin - scaled(kButtonHeight)};
    if (box.right <= box.left || box.bottom <= box.top) return;
    fitted_.setArea({box.right - box.left, box.bottom - box.top});
    const int pixels = fitted_.fit(pick_, [this, dc](std::u16string_view text, int size, int wrapWidth) {
        const UniqueFont font = fontOf(size);
        const SelectedObject selected(dc, font.get());
        RECT bounds{0, 0, wrapWidth, 0};
        drawText(dc, text, bounds, kPickFormat | DT_CALCRECT);
        return draw::TextBox{bounds.right - bounds.left, bounds.bottom - bounds.top};
    });
    const UniqueFont font = fontOf(pixels);
    const SelectedObject selected(dc, font.get());
    RECT bounds = box;
    drawText(dc, pick_, bounds, kPickFormat | DT_CALCRECT);
    RECT centred = box;
    centred.top += std::max(0L, (box.bottom - box.top - (bounds.bottom - bounds.top)) / 2);
    drawText(dc, pick_, centred, kPickFormat);
}

void FloatingWindow::drawControl(const DRAWITEMSTRUCT& item) {
    RECT rect = item.rcItem;
    if (item.hwndItem == closeMark_) {
        // A cross, drawn: the system's close glyph needs a font that Wine may not have.
        FillRect(item.hDC, &rect, GetSysColorBrush(COLOR_WINDOW));
        const int size = rect.right - rect.left;
        const int inset = size / 4;
        const UniquePen pen(CreatePen(PS_SOLID, std::max(1, size / 8), GetSysColor(COLOR_GRAYTEXT)));
        const SelectedObject selected(item.hDC, pen.get());
        MoveToEx(item.hDC, rect.left + inset, rect.top + inset, nullptr);
        LineTo(item.hDC, rect.right - inset, rect.bottom - inset);
        MoveToEx(item.hDC, rect.right - inset - 1, rect.top + inset, nullptr);
        LineTo(item.hDC, rect.left + inset - 1, rect.bottom - inset);
        return;
    }
    DrawFrameControl(item.hDC, &rect, DFC_BUTTON, DFCS_BUTTONPUSH);
    const SelectedObject selected(item.hDC, captionFont_.get());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    drawText(item.hDC, caption_, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

UniqueFont FloatingWindow::fontOf(int pixels) const {
    LOGFONTW font = face_;
    font.lfHeight = -pixels;
    font.lfWidth = 0;
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace zorbalin::win32
