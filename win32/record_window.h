// The record window 抽取记录: the results of this run, newest last, in a list that follows
// the record, and the buttons 复制, 另存为… and 清空. Not modal; closing it only hides it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstddef>

#include "handles.h"
#include "lifecycle/main_window.h"

namespace zorbalin::win32 {

class RecordWindow {
public:
    RecordWindow(lifecycle::MainWindow& form, lifecycle::HandlerGuard& guard)
        : form_(form), guard_(guard) {}
    ~RecordWindow();
    RecordWindow(const RecordWindow&) = delete;
    RecordWindow& operator=(const RecordWindow&) = delete;

    // Shown and active; created the first time, owned by `form`.
    void show(HWND form);
    bool shown() const { return window_ != nullptr && IsWindowVisible(window_) != FALSE; }
    HWND window() const { return window_; }
    // The list takes what the record holds now; cheap while that did not change.
    void refresh();

private:
    template <typename View>
    friend LRESULT CALLBACK viewProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void create(HWND form);
    void applyDpi(int dpi);
    void layoutControls();
    int scaled(int pixels) const { return MulDiv(pixels, dpi_, 96); }
    // The text of one cell, asked for by the list as it shows it.
    void describe(LVITEMW& item) const;

    lifecycle::MainWindow& form_;
    lifecycle::HandlerGuard& guard_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    std::array<HWND, 3> buttons_{};
    UniqueFont font_;
    int dpi_ = 96;
    std::size_t listed_ = 0;  // the results the list holds
};

}  // namespace zorbalin::win32
