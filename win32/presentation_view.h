// The presentation view: a window without frame over the whole screen on which Form1
// stands, showing the pick in the largest font that fits and the help line under it. It is
// a second view of Form1's state: it shows what the shared window tells it, and its keys and
// clicks become the shared window's commands.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "draw/fitted_font.h"
#include "handles.h"
#include "lifecycle/main_window.h"
#include "view_window.h"

namespace zorbalin::win32 {

class PresentationView final : public ViewWindow<PresentationView> {
public:
    explicit PresentationView(lifecycle::MainWindow& shared);

    // Over the screen of `form`, active; hidden again, with `form` active.
    void show(HWND form);
    void hide();
    // What it shows: painted anew.
    void showContent(std::u16string_view pick, std::u16string_view help);

private:
    friend class ViewWindow<PresentationView>;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc, RECT area);
    UniqueFont fontOf(int pixels) const;

    lifecycle::MainWindow& shared_;
    LOGFONTW face_{};  // the system's message font, which has Chinese (by itself or linked)
    std::u16string pick_;
    std::u16string help_;
    draw::FittedFont fitted_;
};

}  // namespace zorbalin::win32
