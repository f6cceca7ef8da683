// The record window 抽取记录: the results of this run, newest last, in a list that follows
// the record, and the buttons 复制, 另存为… and 清空. Not modal; closing it only hides it. The
// program's keys work in it (Esc closes it).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstddef>

#include "handles.h"
#include "draw/result_record.h"
#include "layout/layout_table.h"
#include "lifecycle/main_window.h"
#include "view_window.h"

namespace zorbalin::win32 {

class RecordWindow final : public ViewWindow<RecordWindow> {
public:
    explicit RecordWindow(lifecycle::MainWindow& shared) : shared_(shared) {}

    // Shown and active; created the first time, owned by `form`.
    void show(HWND form);
    // The list shows the record, its newest row in sight: the first `unchangedRows` rows are
    // as before, the rest are new.
    void showRows(const draw::ResultRecord& record, std::size_t unchangedRows);

private:
    friend class ViewWindow<RecordWindow>;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void create(HWND form);
    void applyDpi(int dpi);
    void layoutControls();
    // Pixels at 96 dpi for the layout's dpi, which a larger system font raises.
    int scaled(int pixels) const { return MulDiv(pixels, layoutDpi_, layout::kDesignDpi); }
    // The 次序 column is there only while the record shows draw numbers.
    void showDrawColumn(bool shown);
    void setColumnWidths();
    // The text of one cell, asked for by the list as it shows it.
    void describe(LVITEMW& item) const;

    lifecycle::MainWindow& shared_;
    const draw::ResultRecord* record_ = nullptr;  // what the list shows
    HWND list_ = nullptr;
    std::array<HWND, 3> buttons_{};
    UniqueFont font_;
    int dpi_ = layout::kDesignDpi;
    int layoutDpi_ = layout::kDesignDpi;
    bool drawColumnShown_ = false;
};

}  // namespace zorbalin::win32
