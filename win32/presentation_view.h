// The presentation view: a window without frame over the whole screen on which Form1
// stands, showing the picks (a grid of them, several at once) in the largest font in which
// each fits its cell, and the help line under them. It is a second view of Form1's state: it
// shows what the shared window tells it, and its keys and clicks become the shared window's
// commands. A screen reader finds the picks as the text of a label in it (its title stays).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

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
    // What it shows, the picks in the order drawn: painted anew.
    void showContent(const std::vector<std::u16string>& picks, std::u16string_view help);
    // The label a screen reader reads the picks from.
    HWND pickLabel() const { return pickLabel_; }

private:
    friend class ViewWindow<PresentationView>;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc, RECT area);
    // The size of font in which every pick fits a cell of that size.
    int fittedPixels(HDC dc, draw::TextBox cell);
    UniqueFont fontOf(int pixels) const;

    lifecycle::MainWindow& shared_;
    LOGFONTW face_{};  // the system's message font, which has Chinese (by itself or linked)
    std::vector<std::u16string> picks_;
    std::u16string help_;
    HWND pickLabel_ = nullptr;  // of no size: it shows nothing
    draw::FittedFont fitted_;
};

}  // namespace zorbalin::win32
