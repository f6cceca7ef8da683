// Form1's controls: created from the shared layout table, sized for the window's dpi and
// the system's message font (a larger font raises the dpi the table is computed at), and
// anchored when the window is enlarged.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "dpi.h"
#include "form1.h"
#include "wide_text.h"

namespace zorbalin::win32 {

namespace {

using layout::ControlId;
using layout::ControlKind;
using layout::ControlLayout;

constexpr int kFirstControlId = 100;

// The order the controls are created in, which is both the order that Tab follows and the
// order screen readers read: the fields by tab index, each right after the labels that
// name it (the first label nearest, as it gives the field its name).
std::vector<const ControlLayout*> creationOrder() {
    std::vector<const ControlLayout*> order;
    for (const ControlLayout* control : layout::controlsInTabOrder()) {
        if (control->kind == ControlKind::Label) continue;
        for (auto pair = layout::kLabelBuddies.rbegin(); pair != layout::kLabelBuddies.rend(); ++pair) {
            if (pair->field == control->id) order.push_back(&layout::layoutOf(pair->label));
        }
        order.push_back(control);
    }
    for (const ControlLayout& control : layout::kLayout) {  // labels that name no field
        if (std::find(order.begin(), order.end(), &control) == order.end()) order.push_back(&control);
    }
    return order;
}

struct ControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlClass controlClass(const ControlLayout& control) {
    switch (control.kind) {
    case ControlKind::PushButton:
        return {L"BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::Label:
        return {L"STATIC", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::LineEdit: {
        const DWORD readOnly = control.readOnly ? ES_READONLY : 0;
        return {L"EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | readOnly,
                WS_EX_CLIENTEDGE};
    }
    case ControlKind::Editor:
        return {L"EDIT", CandidateEditor::kStyle, WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", WS_CHILD, 0};
}

}  // namespace

void Form1::createControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const ControlLayout* control : creationOrder()) {
        const ControlClass kind = controlClass(*control);
        const std::size_t index = layout::indexOf(control->id);
        const HWND created = CreateWindowExW(
            kind.exStyle, kind.className, toWide(control->text).c_str(), kind.style, 0, 0, 0, 0,
            window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
            instance, nullptr);
        if (created == nullptr) throwWindowNotCreated(layout::kWindowCaption);
        controls_[index] = created;
    }
    RichTextBox1.attach(control(ControlId::RichTextBox1));
    for (HWND subclassed : {control(ControlId::Text1), control(ControlId::Text2), RichTextBox1.control()}) {
        SetWindowSubclass(subclassed, &Form1::controlProcedure, kControlSubclass, reinterpret_cast<DWORD_PTR>(this));
    }
    addPickToolTip();
    announcer_.attach(window_);

    applyDpi(windowDpi(window_));
    const SIZE size = designedWindowSize();
    SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layoutControls();
}

// The tooltip of Text1 names its menu. Owned by the window, it goes with it; without one the
// menu works all the same.
void Form1::addPickToolTip() {
    const HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                                     nullptr, nullptr, nullptr);
    if (tip == nullptr) return;
    std::wstring text = toWide(layout::pickToolTip());
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // what every version of the control takes
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control(ControlId::Text1));
    tool.lpszText = text.data();
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Form1::applyDpi(int dpi) {
    dpi_ = dpi;
    UniqueFont font = createMessageFont(dpi_);
    if (!font) return;  // the controls keep the font they have
    for (HWND control : controls_) {
        if (control != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    }
    font_ = std::move(font);  // the old font is deleted once no control uses it
    layoutDpi_ = fontLayoutDpi(dpi_, font_.get());
    layoutControls();
}

// The user chose another system font: the controls take it, and the window grows to the room
// it needs.
void Form1::applySystemFont() {
    applyDpi(dpi_);
    const SIZE designed = designedWindowSize();
    RECT window{};
    if (!GetWindowRect(window_, &window)) return;
    const int width = std::max<int>(window.right - window.left, designed.cx);
    const int height = std::max<int>(window.bottom - window.top, designed.cy);
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE Form1::designedWindowSize() const {
    const layout::PixelSize client = layout::designedClientSize(layoutDpi_);
    const RECT frame = windowRectForClient({0, 0, client.width, client.height}, kWindowStyle,
                                           kWindowExStyle, dpi_);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void Form1::layoutControls() {
    if (window_ == nullptr || controls_.front() == nullptr) return;
    RECT client{};
    if (!GetClientRect(window_, &client)) return;
    const layout::PixelSize clientSize{client.right - client.left, client.bottom - client.top};

    WindowDc dc(window_);
    SelectedObject selectedFont(dc.get(), font_.get());
    for (const ControlLayout& control : layout::kLayout) {
        HWND window = controls_[layout::indexOf(control.id)];
        if (window == nullptr) continue;
        layout::PixelRect rect = layout::anchoredRect(control, clientSize, layoutDpi_);
        if (control.kind == ControlKind::Label) {
            // Labels fit their captions in whatever font the system gives.
            const std::wstring caption = toWide(control.text);
            SIZE extent{};
            if (GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &extent)) {
                rect.width = extent.cx;
                rect.height = extent.cy;
            }
        }
        SetWindowPos(window, nullptr, rect.left, rect.top, rect.width, rect.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(window_, nullptr, TRUE);
}

}  // namespace zorbalin::win32
