// What every window of the program (Form1, the presentation view, the record window) has in
// common: an object that keeps its window, one window procedure that passes each message
// through the shared window's guard, its class registered once, and the keys the message loop
// offers.
#pragma once

#include <windows.h>

#include <string_view>
#include <utility>

#include "base/problem_error.h"
#include "layout/window_commands.h"
#include "lifecycle/main_window.h"
#include "system_error_text.h"
#include "system_function.h"
#include "wide_text.h"

namespace zorbalin::win32 {

// The program's icon (resources/zorbalin.rc); a test program has none and shows the default.
inline constexpr WORD kIconResource = 1;

// What a window could not be made of: the system's text, and the window named by its title.
[[noreturn]] inline void throwWindowNotCreated(std::u16string_view title) {
    Problem problem = problemOf(ProblemCode::WindowNotCreated, systemErrorText(GetLastError()));
    problem.where = title;
    throw ProblemError(std::move(problem));
}

// A menu the system would not make.
[[noreturn]] inline void throwMenuNotCreated() {
    throw ProblemError(problemOf(ProblemCode::MenuNotCreated, systemErrorText(GetLastError())));
}

// The window of a View object (in the spirit of the classic samples' BaseWindow<T>): the
// View has `LRESULT handleMessage(UINT, WPARAM, LPARAM)`, which gets every message of its
// window from WM_NCCREATE on through the guard, and window() is the window until it is gone.
template <typename View>
class ViewWindow {
public:
    ViewWindow(const ViewWindow&) = delete;
    ViewWindow& operator=(const ViewWindow&) = delete;

    HWND window() const { return window_; }
    bool shown() const { return window_ != nullptr && IsWindowVisible(window_) != FALSE; }

protected:
    ViewWindow() = default;
    // A window still there is let go of first: its last messages find no View.
    ~ViewWindow() {
        if (window_ == nullptr) return;
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }

    // Registers the class (`background` null: the View paints all of its area) the first time
    // and creates the window, whose messages then run through `guard`. A window the system
    // would not make is a WindowNotCreated problem naming it by its title.
    void createWindow(lifecycle::MainWindow& guard, const wchar_t* className, HBRUSH background,
                      DWORD style, DWORD exStyle, std::u16string_view title, HWND owner) {
        static const ATOM registered = [&] {
            const HINSTANCE instance = GetModuleHandleW(nullptr);
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = &ViewWindow::procedure;
            windowClass.hInstance = instance;
            windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            windowClass.hbrBackground = background;
            windowClass.lpszClassName = className;
            windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource),
                                                              IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
            windowClass.hIconSm = static_cast<HICON>(
                LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                           GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
            return RegisterClassExW(&windowClass);
        }();
        (void)registered;  // a failed registration shows as a failed CreateWindowExW
        guard_ = &guard;
        CreateWindowExW(exStyle, className, toWide(title).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), this);
        if (window_ == nullptr) throwWindowNotCreated(title);
    }

    // Destroys the window now, while the View can still serve its last messages.
    void destroyWindow() {
        if (window_ != nullptr) DestroyWindow(window_);
    }

    HWND window_ = nullptr;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* created = static_cast<ViewWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            created->window_ = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
            enableNonClientScaling(window);
        }
        auto* self = reinterpret_cast<ViewWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
        LRESULT result = 0;
        const bool served = self->guard_->handle(
            [&] { result = static_cast<View*>(self)->handleMessage(message, wParam, lParam); });
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->window_ = nullptr;
        }
        // A failed handler must not be what keeps the session from ending.
        if (!served) return message == WM_QUERYENDSESSION ? TRUE : 0;
        return result;
    }

    // Per-monitor aware windows of the first version scale their frames only when asked.
    static void enableNonClientScaling(HWND window) {
        using EnableFunction = BOOL(WINAPI*)(HWND);
        const auto enable = systemFunction<EnableFunction>(L"user32.dll", "EnableNonClientDpiScaling");
        if (enable != nullptr) enable(window);
    }

    lifecycle::MainWindow* guard_ = nullptr;
};

// A key that the message loop offers (kWindowKeyMessage): the command bound to it in the view
// is carried out. Nonzero when there was one.
inline LRESULT runKeyCommand(lifecycle::MainWindow& shared, layout::WindowView view, LPARAM press) {
    const layout::WindowCommand command =
        layout::commandForKey(view, *reinterpret_cast<const layout::KeyPress*>(press));
    if (command == layout::WindowCommand::None) return 0;
    shared.runCommand(command);
    return 1;
}

}  // namespace zorbalin::win32
