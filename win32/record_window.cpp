#include "record_window.h"

#include <algorithm>
#include <string>

#include "base/decimal_text.h"
#include "dpi.h"
#include "draw/result_record.h"
#include "layout/texts.h"
#include "message_loop.h"
#include "view_window.h"
#include "wide_text.h"

namespace zorbalin::win32 {

namespace {

constexpr wchar_t kClassName[] = L"Zorbalin.Record";

struct Button {
    std::u16string_view caption;
    void (lifecycle::MainWindow::*press)();
};
constexpr std::array<Button, 3> kButtons{{
    {layout::kRecordCopyButton, &lifecycle::MainWindow::copyRecord},
    {layout::kRecordSaveButton, &lifecycle::MainWindow::saveRecord},
    {layout::kRecordClearButton, &lifecycle::MainWindow::clearRecord},
}};

// The list's columns, in order: the draw number only while the record shows it, as the
// copied text does.
enum class Field { Time, Draw, Round, Result };
struct Column {
    Field field;
    std::u16string_view title;
    int width;  // pixels at 96 dpi; the last column fills the rest
};
constexpr std::array<Column, 4> kColumns{{
    {Field::Time, layout::kRecordTimeColumn, layout::kRecordTimeColumnWidth},
    {Field::Draw, layout::kRecordDrawColumn, layout::kRecordDrawColumnWidth},
    {Field::Round, layout::kRecordRoundColumn, layout::kRecordRoundColumnWidth},
    {Field::Result, layout::kRecordResultColumn, 0}}};

// The list's column at a position, with or without the draw number; null past the last.
constexpr std::size_t kDrawColumn = 1;
const Column* columnAt(std::size_t at, bool drawShown) {
    if (!drawShown && at >= kDrawColumn) ++at;
    return at < kColumns.size() ? &kColumns[at] : nullptr;
}
std::size_t columnCount(bool drawShown) { return kColumns.size() - (drawShown ? 0 : 1); }

void insertColumn(HWND list, std::size_t at, const Column& column) {
    std::wstring title = toWide(column.title);
    LVCOLUMNW inserted{};
    inserted.mask = LVCF_TEXT;
    inserted.pszText = title.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, at, reinterpret_cast<LPARAM>(&inserted));
}

// At 96 dpi: the space around and between the controls, a button.
constexpr int kMargin = 8;
constexpr SIZE kButtonSize{88, 26};

}  // namespace

void RecordWindow::show(HWND form) {
    if (window_ == nullptr) {
        try {
            create(form);
        } catch (...) {
            destroyWindow();  // made whole the next time, not shown half made
            throw;
        }
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void RecordWindow::create(HWND form) {
    // WS_EX_CONTROLPARENT: Tab moves between the list and the buttons.
    constexpr DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    constexpr DWORD exStyle = WS_EX_CONTROLPARENT;
    createWindow(shared_, kClassName, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), style, exStyle,
                 layout::kRecordWindowTitle, form);

    const auto child = [this](const wchar_t* className, std::u16string_view text, DWORD childStyle) {
        const HWND created = CreateWindowExW(0, className, toWide(text).c_str(), WS_CHILD | WS_VISIBLE |
                                             WS_TABSTOP | childStyle, 0, 0, 0, 0, window_, nullptr,
                                             GetModuleHandleW(nullptr), nullptr);
        if (created == nullptr) throwWindowNotCreated(layout::kRecordWindowTitle);
        return created;
    };
    // A list that asks for the cells it shows: a long record costs nothing to follow.
    list_ = child(WC_LISTVIEWW, u"", LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER);
    SetWindowLongPtrW(list_, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (std::size_t i = 0; i < columnCount(drawColumnShown_); ++i) {
        insertColumn(list_, i, *columnAt(i, drawColumnShown_));
    }
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        buttons_[i] = child(L"BUTTON", kButtons[i].caption, BS_PUSHBUTTON);
    }

    applyDpi(windowDpi(window_));
    const RECT frame = windowRectForClient(
        {0, 0, scaled(layout::kRecordClientWidth), scaled(layout::kRecordClientHeight)}, style, exStyle, dpi_);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RecordWindow::showRows(const draw::ResultRecord& record, std::size_t unchangedRows) {
    record_ = &record;
    showDrawColumn(draw::recordShowsDraws(record));
    const std::size_t count = record.results().size();
    SendMessageW(list_, LVM_SETITEMCOUNT, count, 0);
    if (count > unchangedRows) SendMessageW(list_, LVM_ENSUREVISIBLE, count - 1, FALSE);  // the newest
}

void RecordWindow::showDrawColumn(bool shown) {
    if (shown == drawColumnShown_) return;
    drawColumnShown_ = shown;
    if (shown) {
        insertColumn(list_, kDrawColumn, kColumns[kDrawColumn]);
    } else {
        SendMessageW(list_, LVM_DELETECOLUMN, kDrawColumn, 0);
    }
    setColumnWidths();
}

LRESULT RecordWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kWindowKeyMessage:
        return runKeyCommand(shared_, layout::WindowView::Record, lParam);
    case WM_COMMAND:
        for (std::size_t i = 0; i < kButtons.size(); ++i) {
            if (reinterpret_cast<HWND>(lParam) == buttons_[i] && HIWORD(wParam) == BN_CLICKED) {
                (shared_.*kButtons[i].press)();
            }
        }
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == list_ && header->code == LVN_GETDISPINFOW) {
            describe(reinterpret_cast<NMLVDISPINFOW*>(lParam)->item);
        }
        return 0;
    }
    case WM_SETFOCUS:
        SetFocus(list_);
        return 0;
    case WM_CLOSE:
        ShowWindow(window_, SW_HIDE);
        return 0;
    case WM_SIZE:
        layoutControls();
        return 0;
    case WM_GETMINMAXINFO: {  // room for the buttons
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize.x = scaled(static_cast<int>(kButtons.size()) * (kButtonSize.cx + kMargin) + 3 * kMargin);
        limits->ptMinTrackSize.y = scaled(4 * kButtonSize.cy + 3 * kMargin);
        return 0;
    }
    case WM_DPICHANGED: {
        applyDpi(HIWORD(wParam));
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void RecordWindow::applyDpi(int dpi) {
    dpi_ = dpi;
    UniqueFont font = createMessageFont(dpi_);
    if (font) {
        for (HWND control : {list_, buttons_[0], buttons_[1], buttons_[2]}) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
        }
        font_ = std::move(font);
    }
    layoutDpi_ = fontLayoutDpi(dpi_, font_.get());
    setColumnWidths();
    layoutControls();
}

void RecordWindow::setColumnWidths() {
    const std::size_t count = columnCount(drawColumnShown_);
    for (std::size_t i = 0; i + 1 < count; ++i) {
        SendMessageW(list_, LVM_SETCOLUMNWIDTH, i, scaled(columnAt(i, drawColumnShown_)->width));
    }
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, count - 1, LVSCW_AUTOSIZE_USEHEADER);
}

void RecordWindow::layoutControls() {
    RECT client{};
    if (list_ == nullptr || !GetClientRect(window_, &client)) return;
    const int margin = scaled(kMargin);
    const SIZE button{scaled(kButtonSize.cx), scaled(kButtonSize.cy)};
    const int buttonsTop = client.bottom - margin - button.cy;
    SetWindowPos(list_, nullptr, margin, margin, client.right - 2 * margin, buttonsTop - 2 * margin,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    int left = client.right - static_cast<int>(kButtons.size()) * (button.cx + margin);
    for (HWND control : buttons_) {
        SetWindowPos(control, nullptr, left, buttonsTop, button.cx, button.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        left += button.cx + margin;
    }
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, columnCount(drawColumnShown_) - 1, LVSCW_AUTOSIZE_USEHEADER);
}

void RecordWindow::describe(LVITEMW& item) const {
    if (record_ == nullptr) return;
    const auto& results = record_->results();
    if ((item.mask & LVIF_TEXT) == 0 || item.cchTextMax <= 0 || item.iItem < 0 ||
        static_cast<std::size_t>(item.iItem) >= results.size()) {
        return;
    }
    const Column* column = item.iSubItem < 0 ? nullptr : columnAt(static_cast<std::size_t>(item.iSubItem), drawColumnShown_);
    if (column == nullptr) return;
    const draw::RecordedResult& result = results[static_cast<std::size_t>(item.iItem)];
    std::u16string text;
    switch (column->field) {
    case Field::Time: text = draw::timeOfDayText(result.time); break;
    case Field::Draw: text = decimalText(result.draw); break;
    case Field::Round:
        if (result.round) text = decimalText(*result.round);
        break;
    case Field::Result: text = result.text; break;
    }
    // Cut to the list's buffer: it shows no more of a cell than that anyway.
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax) - 1);
    std::copy_n(text.data(), length, reinterpret_cast<char16_t*>(item.pszText));
    item.pszText[length] = L'\0';
}

}  // namespace zorbalin::win32
