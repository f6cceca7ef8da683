// The small window over the slides (悬浮窗): the pick in a large font and under it one button
// that starts and stops, with a small close mark. Always on top and never active, so that the
// program that has the keyboard (a slide show) keeps it after a click here: clicks on it do
// not activate it, and its button and close mark are drawn by the window, not controls that
// would take the focus. Moved by dragging anywhere else on it (the window moves itself, as
// the system's move would activate it). It belongs to no window, so that it stays while
// Form1 is minimised.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "draw/fitted_font.h"
#include "handles.h"
#include "layout/layout_table.h"
#include "lifecycle/main_window.h"
#include "view_window.h"

namespace zorbalin::win32 {

inline constexpr DWORD kFloatingExStyle = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;

class FloatingWindow final : public ViewWindow<FloatingWindow> {
public:
    explicit FloatingWindow(lifecycle::MainWindow& shared);

    // Shown, not activated, at `at` (its top left) kept wholly on a screen that exists, or
    // where it was, or the first time near the top right of the screen `form` stands on.
    void show(HWND form, std::optional<layout::PixelPoint> at);
    void hide();
    void close() { destroyWindow(); }
    // What it shows: the pick and its button's caption.
    void showContent(std::u16string_view pick, std::u16string_view caption);

    // Its button and close mark: labels that the window draws, named for a screen reader by
    // their text (the caption, layout::kFloatingCloseName).
    HWND button() const { return button_; }
    HWND closeMark() const { return closeMark_; }

private:
    friend class ViewWindow<FloatingWindow>;
    void followPointer();
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    void applyDpi(int dpi);
    SIZE windowSize() const;
    void layoutControls();
    void paint(HDC dc, RECT area);
    void drawControl(const DRAWITEMSTRUCT& item);
    int scaled(int pixels) const { return MulDiv(pixels, layoutDpi_, layout::kDesignDpi); }
    UniqueFont fontOf(int pixels) const;

    lifecycle::MainWindow& shared_;
    HWND button_ = nullptr;
    HWND closeMark_ = nullptr;
    LOGFONTW face_{};  // the system's message font at the window's dpi
    UniqueFont captionFont_;
    int dpi_ = layout::kDesignDpi;
    int layoutDpi_ = layout::kDesignDpi;
    std::u16string pick_;
    std::u16string caption_;
    draw::FittedFont fitted_;
    bool placed_ = false;  // it has been on the screen
    bool dragging_ = false;
    POINT dragOffset_{};   // of the pointer from the window's top left
};

}  // namespace zorbalin::win32
