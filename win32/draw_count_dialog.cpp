#include "draw_count_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "base/decimal_text.h"
#include "dpi.h"
#include "layout/texts.h"
#include "message_loop.h"
#include "wide_text.h"
#include "window_text.h"

namespace zorbalin::win32 {

namespace {

constexpr wchar_t kClassName[] = L"Zorbalin.DrawCount";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// WS_EX_CONTROLPARENT: Tab moves between its controls.
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// At 96 dpi: the margin, the space between rows, the field, its arrows, a button.
constexpr int kMargin = 12;
constexpr int kGap = 8;
constexpr SIZE kFieldSize{96, 23};
constexpr int kArrowsWidth = 18;
constexpr SIZE kButtonSize{80, 26};

// The number in the field: its digits, the largest beyond `maximum` taken as maximum; nothing
// for a field without one.
std::optional<std::size_t> numberIn(std::u16string_view text, std::size_t maximum) {
    while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    std::size_t value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = std::min(value * 10 + static_cast<std::size_t>(c - u'0'), maximum + 1);
    }
    return value;
}

}  // namespace

std::optional<std::size_t> DrawCountDialog::ask(lifecycle::MainWindow& guard, HWND owner, std::size_t current,
                                                std::size_t maximum) {
    DrawCountDialog dialog(std::clamp<std::size_t>(current, 1, maximum), std::max<std::size_t>(maximum, 1));
    dialog.create(guard, owner);
    EnableWindow(owner, FALSE);
    ShowWindow(dialog.window_, SW_SHOW);
    SetForegroundWindow(dialog.window_);
    SetFocus(dialog.field_);
    SendMessageW(dialog.field_, EM_SETSEL, 0, -1);
    while (!dialog.done_ && dialog.window_ != nullptr) {
        MSG message{};
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // the program's loop ends too
            break;
        }
        if (got == -1) break;
        serveMessage(message);
    }
    // The owner first, so that it is active again once the dialog is gone.
    EnableWindow(owner, TRUE);
    dialog.destroyWindow();
    return dialog.answer_;
}

void DrawCountDialog::create(lifecycle::MainWindow& guard, HWND owner) {
    createWindow(guard, kClassName, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), kStyle, kExStyle,
                 layout::kDrawCountTitle, owner);
    const auto child = [this](const wchar_t* className, std::u16string_view text, DWORD style, DWORD exStyle = 0) {
        const HWND created = CreateWindowExW(exStyle, className, toWide(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                                             0, 0, 0, 0, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (created == nullptr) throwWindowNotCreated(layout::kDrawCountTitle);
        return created;
    };
    try {
        // The label right before the field, which a screen reader names after it.
        label_ = child(L"STATIC", layout::drawCountLabel(maximum_), SS_NOPREFIX);
        field_ = child(L"EDIT", decimalText(current_), WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
        arrows_ = child(UPDOWN_CLASSW, u"", UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS);
        SendMessageW(arrows_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(field_), 0);
        SendMessageW(arrows_, UDM_SETRANGE32, 1, static_cast<LPARAM>(maximum_));
        SendMessageW(arrows_, UDM_SETPOS32, 0, static_cast<LPARAM>(current_));
        buttons_[0] = child(L"BUTTON", layout::kOkButton, WS_TABSTOP | BS_DEFPUSHBUTTON);
        buttons_[1] = child(L"BUTTON", layout::kCancelButton, WS_TABSTOP | BS_PUSHBUTTON);
    } catch (...) {
        destroyWindow();
        throw;
    }
    applyDpi(windowDpi(window_));
}

LRESULT DrawCountDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kWindowKeyMessage: {
        const auto& press = *reinterpret_cast<const layout::KeyPress*>(lParam);
        if (press.ctrl || press.shift || press.alt) return 0;
        if (press.key == layout::InputKey::Escape) {
            finish(std::nullopt);
            return 1;
        }
        // Enter on a button presses that button (the program's loop does it).
        const HWND focus = GetFocus();
        if (press.key == layout::InputKey::Enter && focus != buttons_[0] && focus != buttons_[1]) {
            if (!press.autoRepeat) accept();
            return 1;
        }
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            if (reinterpret_cast<HWND>(lParam) == buttons_[0]) accept();
            if (reinterpret_cast<HWND>(lParam) == buttons_[1]) finish(std::nullopt);
        }
        return 0;
    case WM_CLOSE:
        finish(std::nullopt);
        return 0;
    case WM_DPICHANGED:
        applyDpi(HIWORD(wParam));
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void DrawCountDialog::applyDpi(int dpi) {
    dpi_ = dpi;
    UniqueFont font = createMessageFont(dpi_);
    if (font) {
        for (HWND control : {label_, field_, buttons_[0], buttons_[1]}) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        }
        font_ = std::move(font);
    }
    layoutDpi_ = fontLayoutDpi(dpi_, font_.get());
    const SIZE client = layoutControls();
    // Over the middle of its owner.
    RECT owner{};
    GetWindowRect(GetWindow(window_, GW_OWNER), &owner);
    const RECT frame = windowRectForClient({0, 0, client.cx, client.cy}, kStyle, kExStyle, dpi_);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, (owner.left + owner.right - width) / 2, (owner.top + owner.bottom - height) / 2,
                 width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE DrawCountDialog::layoutControls() {
    SIZE label{};
    {
        WindowDc dc(window_);
        const SelectedObject selected(dc.get(), font_.get());
        const std::wstring text = toWide(layout::drawCountLabel(maximum_));
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &label);
    }
    const int margin = scaled(kMargin);
    const int gap = scaled(kGap);
    const SIZE field{scaled(kFieldSize.cx), scaled(kFieldSize.cy)};
    const SIZE button{scaled(kButtonSize.cx), scaled(kButtonSize.cy)};
    const int width = std::max<int>(label.cx, 2 * button.cx + gap) + 2 * margin;
    const int fieldTop = margin + label.cy + gap / 2;
    const int buttonsTop = fieldTop + field.cy + 2 * gap;
    const int arrows = scaled(kArrowsWidth);
    const auto place = [](HWND control, int left, int top, int w, int h) {
        SetWindowPos(control, nullptr, left, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(label_, margin, margin, label.cx, label.cy);
    place(field_, margin, fieldTop, field.cx - arrows, field.cy);
    place(arrows_, margin + field.cx - arrows, fieldTop, arrows, field.cy);
    place(buttons_[0], width - margin - 2 * button.cx - gap, buttonsTop, button.cx, button.cy);
    place(buttons_[1], width - margin - button.cx, buttonsTop, button.cx, button.cy);
    return {width, buttonsTop + button.cy + margin};
}

void DrawCountDialog::accept() {
    const std::optional<std::size_t> typed = numberIn(windowText(field_), maximum_);
    finish(std::clamp<std::size_t>(typed.value_or(current_), 1, maximum_));
}

void DrawCountDialog::finish(std::optional<std::size_t> answer) {
    answer_ = answer;
    done_ = true;
}

}  // namespace zorbalin::win32
