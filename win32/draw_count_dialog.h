// The dialog that asks how many are drawn at once (每次抽取人数): over Form1 and modal, a
// label that names the number field and its range, the field with its up-down arrows, and
// 确定 and 取消. Enter accepts, Esc cancels; the keys move as in the program's other windows.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <optional>

#include "handles.h"
#include "lifecycle/main_window.h"
#include "view_window.h"

namespace zorbalin::win32 {

class DrawCountDialog final : public ViewWindow<DrawCountDialog> {
public:
    // Asks over `owner`, which takes no input meanwhile: the number chosen (1 to maximum, a
    // number beyond them taken to the nearer end), or nothing when the user cancelled.
    static std::optional<std::size_t> ask(lifecycle::MainWindow& guard, HWND owner, std::size_t current,
                                          std::size_t maximum);

private:
    friend class ViewWindow<DrawCountDialog>;
    DrawCountDialog(std::size_t current, std::size_t maximum) : current_(current), maximum_(maximum) {}
    void create(lifecycle::MainWindow& guard, HWND owner);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void applyDpi(int dpi);
    SIZE layoutControls();  // the client size it needs
    int scaled(int pixels) const { return MulDiv(pixels, layoutDpi_, layout::kDesignDpi); }
    void accept();
    void finish(std::optional<std::size_t> answer);

    std::size_t current_;
    std::size_t maximum_;
    HWND label_ = nullptr;
    HWND field_ = nullptr;
    HWND arrows_ = nullptr;
    std::array<HWND, 2> buttons_{};  // 确定, 取消
    UniqueFont font_;
    int dpi_ = layout::kDesignDpi;
    int layoutDpi_ = layout::kDesignDpi;
    bool done_ = false;
    std::optional<std::size_t> answer_;
};

}  // namespace zorbalin::win32
