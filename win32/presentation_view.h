// The presentation view: a window without frame over the whole screen on which Form1
// stands, showing the pick in the largest font that fits and the help line under it. It is
// a second view of Form1's state: it shows what MainWindow offers, and its keys and clicks
// become MainWindow's commands.
#pragma once

#include <windows.h>

#include <string>

#include "draw/fitted_font.h"
#include "handles.h"
#include "lifecycle/main_window.h"

namespace zorbalin::win32 {

class PresentationView {
public:
    PresentationView(lifecycle::MainWindow& form, lifecycle::HandlerGuard& guard);
    ~PresentationView();
    PresentationView(const PresentationView&) = delete;
    PresentationView& operator=(const PresentationView&) = delete;

    // Over the screen of `form`, active; hidden again, with `form` active.
    void show(HWND form);
    void hide();
    bool shown() const { return window_ != nullptr && IsWindowVisible(window_) != FALSE; }
    // Painted anew when the pick or the help line changed: cheap while neither did.
    void refresh();

private:
    template <typename View>
    friend LRESULT CALLBACK viewProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc, RECT area);
    UniqueFont fontOf(int pixels) const;

    lifecycle::MainWindow& form_;
    lifecycle::HandlerGuard& guard_;
    HWND window_ = nullptr;
    LOGFONTW face_{};  // the system's message font, which has Chinese (by itself or linked)
    std::u16string pick_;
    std::u16string help_;
    draw::FittedFont fitted_;
};

}  // namespace zorbalin::win32
