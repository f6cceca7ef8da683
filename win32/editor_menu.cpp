#include "editor_menu.h"

#include <windowsx.h>

#include <array>
#include <string>

#include "handles.h"
#include "layout/texts.h"
#include "layout/window_commands.h"
#include "view_window.h"
#include "wide_text.h"

namespace zorbalin::win32 {

namespace {

// The message each item sends to the control; 0 for a separator and for 保存名单.
struct Item {
    std::u16string_view text;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
constexpr UINT kSaveList = WM_APP;  // stands for 保存名单, which is no message of the control
constexpr std::array<Item, 10> kItems{{
    {layout::kUndoMenuItem, EM_UNDO, 0, 0},
    {u"", 0, 0, 0},
    {layout::kCutMenuItem, WM_CUT, 0, 0},
    {layout::kCopyMenuItem, WM_COPY, 0, 0},
    {layout::kPasteMenuItem, WM_PASTE, 0, 0},
    {layout::kDeleteMenuItem, WM_CLEAR, 0, 0},
    {u"", 0, 0, 0},
    {layout::kSelectAllMenuItem, EM_SETSEL, 0, -1},
    {u"", 0, 0, 0},
    {layout::kSaveListMenuItem, kSaveList, 0, 0},
}};

// Enabled as in the control's own menu.
bool enabled(HWND editor, const Item& item) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const bool selection = start != end;
    switch (item.message) {
    case EM_UNDO: return SendMessageW(editor, EM_CANUNDO, 0, 0) != FALSE;
    case WM_CUT:
    case WM_COPY:
    case WM_CLEAR: return selection;
    case WM_PASTE: return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
    case EM_SETSEL: {
        const auto length = static_cast<DWORD>(GetWindowTextLengthW(editor));
        return length > 0 && (start != 0 || end != length);
    }
    default: return true;
    }
}

}  // namespace

bool runEditorMenu(HWND editor, HWND owner, LPARAM at) {
    SetFocus(editor);  // as the control's own menu does
    const UniqueMenu menu(CreatePopupMenu());
    if (!menu) throwMenuNotCreated();
    for (std::size_t i = 0; i < kItems.size(); ++i) {
        const Item& item = kItems[i];
        std::wstring text = toWide(item.text);
        if (item.message == kSaveList) {
            (text += L'\t') += toWide(layout::bindingName(layout::WindowView::Main, layout::WindowCommand::SaveList));
        }
        const UINT flags = item.message == 0 ? MF_SEPARATOR : MF_STRING | (enabled(editor, item) ? 0u : MF_GRAYED);
        if (!AppendMenuW(menu.get(), flags, i + 1, text.c_str())) throwMenuNotCreated();
    }
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == -1) {
        RECT rect{};
        GetWindowRect(editor, &rect);
        point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, owner, nullptr));
    if (chosen <= 0) return false;
    const Item& item = kItems[static_cast<std::size_t>(chosen - 1)];
    if (item.message == kSaveList) return true;
    SendMessageW(editor, item.message, item.wParam, item.lParam);
    return false;
}

}  // namespace zorbalin::win32
