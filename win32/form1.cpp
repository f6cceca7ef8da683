#include "form1.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "layout/texts.h"
#include "message_loop.h"
#include "system_function.h"
#include "file_dialogs.h"
#include "view_window.h"
#include "wide_text.h"
#include "window_text.h"

namespace zorbalin::win32 {

using layout::ControlId;

namespace {

constexpr wchar_t kWindowClassName[] = L"Zorbalin.Form1";
constexpr WORD kIconResource = 1;
constexpr UINT_PTR kControlSubclass = 1;

ATOM registerWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClassName;
    // The program's icon; absent in a test program, which then shows the default one.
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource),
                                                      IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    return RegisterClassExW(&windowClass);
}

// Per-monitor aware windows of the first version scale their frames only when asked.
void enableNonClientScaling(HWND window) {
    using EnableFunction = BOOL(WINAPI*)(HWND);
    const auto enable = systemFunction<EnableFunction>(L"user32.dll", "EnableNonClientDpiScaling");
    if (enable != nullptr) enable(window);
}

}  // namespace

Form1::Form1(HINSTANCE instance, Form1Options options)
    : options_(std::move(options)), settings_(options_.settingsKeyPath),
      fileSystem_(options_.recoveryFolder) {
    static const ATOM windowClass = registerWindowClass(instance, &Form1::windowProcedure);
    (void)windowClass;  // a failed registration shows as a failed CreateWindowExW below
    // The record's list and Text1's tooltip; a control that is missing fails where it is made.
    static const BOOL commonControls = [] {
        const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        return InitCommonControlsEx(&classes);
    }();
    (void)commonControls;
    const std::wstring caption = toWide(layout::kWindowCaption);
    CreateWindowExW(kWindowExStyle, kWindowClassName, caption.c_str(), kWindowStyle,
                    CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (window_ == nullptr) {
        throw std::runtime_error("Form1: the window could not be created, error " +
                                 std::to_string(GetLastError()));
    }
    busy_.attach(window_);
    try {
        Timer1 = DrawTimer::create(window_, kTimer1TickMessage, options_.timerKind);
        createControls();
    } catch (...) {
        DestroyWindow(window_);  // never loaded: nothing is stored over the settings
        throw;
    }
    Form_Load();
}

Form1::~Form1() {
    if (window_ != nullptr) DestroyWindow(window_);
}

void Form1::show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(RichTextBox1.control());
}

LRESULT CALLBACK Form1::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        enableNonClientScaling(window);
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (!form->handle([&] { result = form->handleMessage(message, wParam, lParam); })) {
        // A failed handler must not be what keeps the session from ending.
        return message == WM_QUERYENDSESSION ? TRUE : 0;
    }
    return result;
}

LRESULT CALLBACK Form1::controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR formData) {
    auto* form = reinterpret_cast<Form1*>(formData);
    LRESULT result = 0;
    form->handle([&] { result = form->handleControlMessage(control, message, wParam, lParam); });
    return result;
}

LRESULT Form1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        handleCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case kTimer1TickMessage:
        if (Timer1 && Timer1->takeTick()) Timer1_Timer();
        return 0;
    case kWindowKeyMessage:
        return runKeyCommand(*this, layout::WindowView::Main, lParam);
    case WM_SHOWWINDOW:
        // Reported once the window is up, so the box has a window to belong to.
        if (wParam != FALSE && hasStartupNotice()) PostMessageW(window_, kStartupFailureMessage, 0, 0);
        break;
    case kStartupFailureMessage:
        tellStartupNotice();
        return 0;
    case WM_SIZE:
        layoutControls();
        return 0;
    case WM_SETCURSOR:
        if (busy_.busy()) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_GETMINMAXINFO: {
        const SIZE designed = designedWindowSize();
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = {designed.cx, designed.cy};
        return 0;
    }
    case WM_DPICHANGED: {
        applyDpi(HIWORD(wParam));
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_ACTIVATE:
        // The focus comes back to the control that had it when the window was left.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(window_, focus)) focusBeforeDeactivation_ = focus;
        } else {
            HWND focus = focusBeforeDeactivation_ != nullptr && IsWindow(focusBeforeDeactivation_)
                ? focusBeforeDeactivation_ : RichTextBox1.control();
            SetFocus(focus);
        }
        return 0;
    case WM_CLOSE:
        closeWindow(true);
        DestroyWindow(window_);
        return 0;
    case WM_QUERYENDSESSION:
        storeSettingsForSession();
        return TRUE;
    case WM_ENDSESSION:
        // Logoff or shutdown: the process may end right after this message.
        if (wParam != FALSE) Form_Unload();
        return 0;
    case WM_DESTROY:
        Form_Unload();
        if (Timer1) Timer1->setEnabled(false);
        return 0;
    case WM_NCDESTROY: {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        window_ = nullptr;
        controls_.fill(nullptr);
        if (options_.quitWhenDestroyed) PostQuitMessage(0);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Form1::handleCommand(HWND control, WORD notification) {
    if (control == this->control(ControlId::Command1) && notification == BN_CLICKED) {
        Command1_Click();
    } else if (control == this->control(ControlId::Command2) && notification == BN_CLICKED) {
        Command2_Click();
    } else if (control == RichTextBox1.control() && notification == EN_CHANGE) {
        RichTextBox1.contentChanged();
    }
}

// The editor sees its control's messages first. Text2 reports leaving it for another control
// of the window; the window being deactivated (another program, a message box) does not count.
LRESULT Form1::handleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, &Form1::controlProcedure, kControlSubclass);
    } else if (control == RichTextBox1.control()) {
        if (const std::optional<LRESULT> handled = RichTextBox1.filterMessage(message, wParam, lParam)) {
            return *handled;
        }
    } else if (control == this->control(ControlId::Text1) && message == WM_CONTEXTMENU) {
        showPickMenu(lParam);
        return 0;
    } else if (control == this->control(ControlId::Text2) && message == WM_KILLFOCUS) {
        const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
        const HWND newFocus = reinterpret_cast<HWND>(wParam);
        if (newFocus != nullptr && window_ != nullptr && IsChild(window_, newFocus)) Text2_LostFocus();
        return result;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

void Form1::showBox(const layout::MessageBoxText& box) {
    if (options_.showMessage) {
        options_.showMessage(window_, box.text, box.title);
        return;
    }
    MessageBoxW(window_, toWide(box.text).c_str(), toWide(box.title).c_str(),
                MB_OK | (box.icon == layout::BoxIcon::Warning ? MB_ICONWARNING : 0u));
}

void Form1::setControlText(ControlId id, std::u16string_view text) {
    setWindowText(control(id), text);
}

std::u16string Form1::controlText(ControlId id) {
    return windowText(control(id));
}

void Form1::showPickMenu(LPARAM at) {
    const HWND pick = control(ControlId::Text1);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(pick, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto entries = layout::pickMenu(pickMenuFacts(start != end));
    const UniqueMenu menu(CreatePopupMenu());
    if (!menu) throw std::runtime_error("Form1: the menu could not be created");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const layout::MenuEntry& entry = entries[i];
        std::wstring text = toWide(entry.text);
        if (!entry.keyName.empty()) (text += L'\t') += toWide(entry.keyName);  // the shortcut column
        const UINT flags = entry.command == layout::WindowCommand::None
            ? MF_SEPARATOR
            : MF_STRING | (entry.checked ? MF_CHECKED : 0u) | (entry.enabled ? 0u : MF_GRAYED);
        if (!AppendMenuW(menu.get(), flags, i + 1, text.c_str())) {
            throw std::runtime_error("Form1: the menu could not be created");
        }
    }
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == -1) {
        RECT rect{};
        GetWindowRect(pick, &rect);
        point = {rect.left, rect.bottom};
    }
    const int chosen = static_cast<int>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                       point.x, point.y, 0, window_, nullptr));
    if (chosen > 0) runCommand(entries[static_cast<std::size_t>(chosen - 1)].command);
}

bool Form1::setClipboardText(std::u16string_view text) {
    // The text with its NUL in movable memory, which the clipboard owns once it took it.
    const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) throw std::bad_alloc();
    void* const data = GlobalLock(memory);
    if (data == nullptr) {
        GlobalFree(memory);
        throw std::bad_alloc();
    }
    std::memcpy(data, text.data(), bytes - sizeof(char16_t));
    static_cast<char16_t*>(data)[text.size()] = u'\0';
    GlobalUnlock(memory);
    bool taken = false;
    if (OpenClipboard(window_)) {
        taken = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        CloseClipboard();
    }
    if (!taken) GlobalFree(memory);
    return taken;
}

Result<std::u16string> Form1::chooseRecordFile() {
    if (options_.chooseRecordFile) return options_.chooseRecordFile();
    // Over the record window, whose button asked; Form1 takes no input meanwhile either, so
    // that nothing starts a second save or another dialog.
    const HWND owner = record_.shown() ? record_.window() : window_;
    const bool disable = owner != window_ && IsWindowEnabled(window_);
    struct Reenable {
        HWND window;
        ~Reenable() { if (window != nullptr) EnableWindow(window, TRUE); }
    } const reenable{disable ? window_ : nullptr};
    if (disable) EnableWindow(window_, FALSE);
    return ShowSaveFileDialog(owner, layout::kRecordSaveDialogTitle, layout::kRecordDefaultFileName,
                              layout::kRecordFileExtension, layout::textFilesFilter());
}

std::u16string Form1::runOpenFileDialog(std::u16string_view title, std::u16string_view filter) {
    return ShowOpenFileDialog(window_, title, filter, options_.dialogBackend);
}

}  // namespace zorbalin::win32
