#include "message_loop.h"

#include <utility>

#include "layout/window_commands.h"

namespace zorbalin::win32 {

namespace {

// The keys mean what they mean in the Linux program. Not a dialog manager's: that would press
// a default button on Enter, close the window on Esc in the editor, and look for access keys.
//
//   Tab, Shift+Tab          the next or previous control; a single-line field reached with
//                           the keyboard has its text selected; the editor keeps its tabs out
//   arrow keys on a button  Left and Up the previous control, Right and Down the next
//   Enter                   a line break in the editor; on a push button, presses it (as
//                           Space does); nothing elsewhere (no default button)
//   Esc, Ctrl+Tab           nothing, but what a window makes of Esc (the record window and
//                           the presentation view: layout::kKeyBindings)
//   Alt+letter              nothing (no control has an access key) and no beep; Alt+Space
//                           still opens the system menu and Alt+F4 still closes

// The window whose controls the keys move between.
HWND navigableWindow(HWND window) {
    const HWND root = window == nullptr ? nullptr : GetAncestor(window, GA_ROOT);
    if (root == nullptr || (GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) == 0) {
        return nullptr;
    }
    return root;
}

bool isDown(int key) { return GetKeyState(key) < 0; }

UINT dialogCode(HWND control) {
    return static_cast<UINT>(SendMessageW(control, WM_GETDLGCODE, 0, 0));
}

bool isPushButton(HWND control) {
    return (dialogCode(control) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

bool isEditControl(HWND control) { return (dialogCode(control) & DLGC_HASSETSEL) != 0; }

bool isMultiLineEdit(HWND control) {
    return isEditControl(control) && (GetWindowLongPtrW(control, GWL_STYLE) & ES_MULTILINE) != 0;
}

void moveFocus(HWND window, HWND from, bool previous) {
    const HWND next = GetNextDlgTabItem(window, from == window ? nullptr : from, previous);
    if (next == nullptr) return;
    if (isEditControl(next) && !isMultiLineEdit(next)) SendMessageW(next, EM_SETSEL, 0, -1);
    SetFocus(next);
    // The keyboard is in use: the controls show where the focus is.
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

// The window's commands (layout::commandForKey) come before the control's own use of a key,
// wherever the focus is: Ctrl+H in an edit control is no backspace then.
bool offerCommandKey(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    using layout::InputKey;
    static constexpr std::pair<WPARAM, InputKey> kKeys[] = {
        {VK_F5, InputKey::F5},         {VK_F11, InputKey::F11},     {VK_ESCAPE, InputKey::Escape},
        {VK_SPACE, InputKey::Space},   {VK_RETURN, InputKey::Enter}, {'H', InputKey::H},
        {'S', InputKey::S}};
    for (const auto& [virtualKey, key] : kKeys) {
        if (message.wParam != virtualKey) continue;
        const HWND root = message.hwnd == nullptr ? nullptr : GetAncestor(message.hwnd, GA_ROOT);
        if (root == nullptr) return false;
        const layout::KeyPress press{key, isDown(VK_CONTROL), isDown(VK_SHIFT), isDown(VK_MENU),
                                     (message.lParam & (1 << 30)) != 0};
        return SendMessageW(root, kWindowKeyMessage, 0, reinterpret_cast<LPARAM>(&press)) != 0;
    }
    return false;
}

// Whether the window took the key.
bool takeWindowKey(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSCHAR) return false;
    const HWND window = navigableWindow(message.hwnd);
    if (window == nullptr) return false;
    if (message.message == WM_SYSCHAR) return message.wParam != L' ';
    switch (message.wParam) {
    case VK_TAB:
        if (!isDown(VK_CONTROL)) moveFocus(window, message.hwnd, isDown(VK_SHIFT));
        return true;
    case VK_ESCAPE:
        return true;
    case VK_RETURN:
        // Held down, it presses once.
        if (isPushButton(message.hwnd) && (message.lParam & (1 << 30)) == 0) {
            SendMessageW(message.hwnd, BM_CLICK, 0, 0);
        }
        return !isMultiLineEdit(message.hwnd);
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        if (!isPushButton(message.hwnd)) return false;
        moveFocus(window, message.hwnd, message.wParam == VK_LEFT || message.wParam == VK_UP);
        return true;
    default:
        return false;
    }
}

}  // namespace

void serveMessage(const MSG& message) {
    if (offerCommandKey(message) || takeWindowKey(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int runMessageLoop() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        serveMessage(message);
    }
}

}  // namespace zorbalin::win32
