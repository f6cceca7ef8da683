#include "form1.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "editor_menu.h"
#include "file_dialogs.h"
#include "layout/texts.h"
#include "message_loop.h"
#include "window_text.h"

namespace zorbalin::win32 {

using layout::ControlId;

namespace {

constexpr wchar_t kWindowClassName[] = L"Zorbalin.Form1";

// Something modal over one of the program's windows. Over a view, Form1 takes no input
// meanwhile either, and the small window over the slides never does, so that nothing starts
// a second dialog or box from there.
class ModalOver {
public:
    ModalOver(HWND owner, HWND form, HWND floating)
        : form_(owner != form && IsWindowEnabled(form) ? form : nullptr),
          floating_(floating != nullptr && IsWindowEnabled(floating) ? floating : nullptr) {
        for (HWND window : {form_, floating_}) {
            if (window != nullptr) EnableWindow(window, FALSE);
        }
    }
    ~ModalOver() {
        for (HWND window : {form_, floating_}) {
            if (window != nullptr) EnableWindow(window, TRUE);
        }
    }
    ModalOver(const ModalOver&) = delete;
    ModalOver& operator=(const ModalOver&) = delete;

private:
    HWND form_;
    HWND floating_;
};

}  // namespace

Form1::Form1(Form1Options options)
    : options_(std::move(options)), settings_(options_.settingsKeyPath),
      fileSystem_(options_.recoveryFolder) {
    // The record's list, Text1's tooltip, the draw count's arrows; a control that is missing
    // fails where it is made.
    static const BOOL commonControls = [] {
        const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
        return InitCommonControlsEx(&classes);
    }();
    (void)commonControls;
    createWindow(shared_, kWindowClassName, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), kWindowStyle,
                 kWindowExStyle, layout::kWindowCaption, nullptr);
    busy_.attach(window_);
    try {
        Timer1 = DrawTimer::create(window_, kTimer1TickMessage, options_.timerKind);
        createControls();
    } catch (...) {
        destroyWindow();  // never loaded: nothing is stored over the settings
        throw;
    }
    shared_.Form_Load();
}

Form1::~Form1() {
    destroyWindow();
}

void Form1::show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(RichTextBox1.control());
}

LRESULT CALLBACK Form1::controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR formData) {
    auto* form = reinterpret_cast<Form1*>(formData);
    LRESULT result = 0;
    form->shared_.handle([&] { result = form->handleControlMessage(control, message, wParam, lParam); });
    return result;
}

LRESULT Form1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        handleCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case kTimer1TickMessage:
        if (Timer1 && Timer1->takeTick()) shared_.Timer1_Timer();
        return 0;
    case kWindowKeyMessage:
        return runKeyCommand(shared_, layout::WindowView::Main, lParam);
    case WM_SHOWWINDOW:
        // Reported once the window is up, so the box has a window to belong to.
        if (wParam != FALSE && shared_.hasStartupNotice()) PostMessageW(window_, kStartupFailureMessage, 0, 0);
        break;
    case kStartupFailureMessage:
        shared_.tellStartupNotice();
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
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETNONCLIENTMETRICS) applySystemFont();
        break;
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
        shared_.closeWindow(true);
        DestroyWindow(window_);
        return 0;
    case WM_QUERYENDSESSION:
        shared_.storeSettingsForSession();
        return TRUE;
    case WM_ENDSESSION:
        // Logoff or shutdown: the process may end right after this message.
        if (wParam != FALSE) shared_.Form_Unload();
        return 0;
    case WM_DESTROY:
        shared_.Form_Unload();
        floating_.close();
        if (Timer1) Timer1->stop();
        return 0;
    case WM_NCDESTROY:
        controls_.fill(nullptr);
        if (options_.quitWhenDestroyed) PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Form1::handleCommand(HWND control, WORD notification) {
    if (control == this->control(ControlId::Command1) && notification == BN_CLICKED) {
        shared_.Command1_Click();
    } else if (control == this->control(ControlId::Command2) && notification == BN_CLICKED) {
        shared_.Command2_Click();
    } else if (control == RichTextBox1.control() && notification == EN_CHANGE) {
        RichTextBox1.contentChanged();
    }
}

// The editor sees its control's messages first. Text2 reports leaving it for another control
// of the window; the window being deactivated (another program, a message box) does not count.
LRESULT Form1::handleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, &Form1::controlProcedure, kControlSubclass);
    } else if (control == RichTextBox1.control() && message == WM_CONTEXTMENU) {
        if (runEditorMenu(control, window_, lParam)) shared_.runCommand(layout::WindowCommand::SaveList);
        return 0;
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
        if (newFocus != nullptr && window_ != nullptr && IsChild(window_, newFocus)) shared_.Text2_LostFocus();
        return result;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

HWND Form1::viewWindow(lifecycle::View view) const {
    switch (view) {
    case lifecycle::View::Presentation:
        if (presentation_.shown()) return presentation_.window();
        break;
    case lifecycle::View::Record:
        if (record_.shown()) return record_.window();
        break;
    case lifecycle::View::Main:
        break;
    }
    return window_;
}

void Form1::showBox(const layout::MessageBoxText& box, lifecycle::View owner) {
    const HWND ownerWindow = viewWindow(owner);
    const ModalOver modal(ownerWindow, window_, floating_.window());
    if (options_.showBox) {
        options_.showBox(ownerWindow, box);
        return;
    }
    MessageBoxW(ownerWindow, toWide(box.text).c_str(), toWide(box.title).c_str(),
                MB_OK | (box.icon == layout::BoxIcon::Warning ? MB_ICONWARNING : 0u));
}

std::u16string Form1::showOpenFileDialog(std::u16string_view title, std::u16string_view filter) {
    const ModalOver modal(window_, window_, floating_.window());
    return ShowOpenFileDialog(window_, title, filter, options_.dialogBackend);
}

Result<std::u16string> Form1::showSaveFileDialog(const layout::SaveDialogTexts& dialog, lifecycle::View owner) {
    const HWND ownerWindow = viewWindow(owner);
    const ModalOver modal(ownerWindow, window_, floating_.window());
    if (options_.saveDialog) return options_.saveDialog(ownerWindow);
    return ShowSaveFileDialog(ownerWindow, dialog);
}

void Form1::showPresentation(bool open) {
    if (open) {
        presentation_.show(window_);
    } else {
        presentation_.hide();
    }
}

void Form1::showFloating(bool shown, std::optional<layout::PixelPoint> at) {
    if (shown) {
        floating_.show(window_, at);
    } else {
        floating_.hide();
    }
}

std::optional<std::size_t> Form1::askDrawCount(std::size_t current, std::size_t maximum) {
    const ModalOver modal(window_, window_, floating_.window());
    return DrawCountDialog::ask(shared_, window_, current, maximum);
}

void Form1::setPickText(std::u16string_view text) {
    setWindowText(control(ControlId::Text1), text);
}

std::u16string Form1::intervalFieldText() {
    return windowText(control(ControlId::Text2));
}

void Form1::setIntervalFieldText(const std::u16string& text) {
    setWindowText(control(ControlId::Text2), text);
}

void Form1::setStartStopCaption(std::u16string_view caption) {
    setWindowText(control(ControlId::Command2), caption);
}

void Form1::announce(std::u16string_view text) {
    announcer_.announce(text);
}

void Form1::copyPickSelection() {
    SendMessageW(control(ControlId::Text1), WM_COPY, 0, 0);
}

void Form1::selectAllPick() {
    SendMessageW(control(ControlId::Text1), EM_SETSEL, 0, -1);
}

void Form1::showPickMenu(LPARAM at) {
    const HWND pick = control(ControlId::Text1);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(pick, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto entries = shared_.pickMenu(start != end);
    const UniqueMenu menu(CreatePopupMenu());
    if (!menu) throwMenuNotCreated();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const layout::MenuEntry& entry = entries[i];
        std::wstring text = toWide(entry.text);
        if (!entry.keyName.empty()) (text += L'\t') += toWide(entry.keyName);  // the shortcut column
        const UINT flags = entry.command == layout::WindowCommand::None
            ? MF_SEPARATOR
            : MF_STRING | (entry.checked ? MF_CHECKED : 0u) | (entry.enabled ? 0u : MF_GRAYED);
        if (!AppendMenuW(menu.get(), flags, i + 1, text.c_str())) throwMenuNotCreated();
    }
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == -1) {
        RECT rect{};
        GetWindowRect(pick, &rect);
        point = {rect.left, rect.bottom};
    }
    const int chosen = static_cast<int>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                       point.x, point.y, 0, window_, nullptr));
    if (chosen > 0) shared_.runCommand(entries[static_cast<std::size_t>(chosen - 1)].command);
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

}  // namespace zorbalin::win32
