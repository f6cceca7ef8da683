// What Form1's other windows (the presentation view, the record window) have in common: an
// object that keeps its window, a procedure that passes each message through Form1's one
// guard, a window class registered once, and the keys the message loop offers.
#pragma once

#include <windows.h>

#include "layout/window_commands.h"
#include "lifecycle/handler_guard.h"
#include "lifecycle/main_window.h"

namespace zorbalin::win32 {

// The procedure of a window created with its View's address: each message goes to
// View::handleMessage through View::guard_; View::window_ is the window until it is gone.
template <typename View>
LRESULT CALLBACK viewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* view = static_cast<View*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        view->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    auto* view = reinterpret_cast<View*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (view == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        view->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    view->guard_.run([&] { result = view->handleMessage(message, wParam, lParam); });
    return result;
}

// Registers the class once per process; a failed registration shows as a failed
// CreateWindowExW.
template <typename View>
void registerViewClass(const wchar_t* name, HBRUSH background) {
    static const ATOM registered = [&] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &viewProcedure<View>;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = background;
        windowClass.lpszClassName = name;
        return RegisterClassExW(&windowClass);
    }();
    (void)registered;
}

// A key that the message loop offers (kWindowKeyMessage): the command bound to it in the view
// is carried out. Nonzero when there was one.
inline LRESULT runKeyCommand(lifecycle::MainWindow& form, layout::WindowView view, LPARAM press) {
    const layout::WindowCommand command =
        layout::commandForKey(view, *reinterpret_cast<const layout::KeyPress*>(press));
    if (command == layout::WindowCommand::None) return 0;
    form.runCommand(command);
    return 1;
}

}  // namespace zorbalin::win32
