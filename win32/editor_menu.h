// The editor's menu. An edit control's own menu cannot take an item of the program's, so the
// program makes it whole: 撤销, 剪切, 复制, 粘贴, 删除 and 全选, enabled as the control's own
// are, then 保存名单 with its key.
#pragma once

#include <windows.h>

namespace zorbalin::win32 {

// Opens the menu of `editor` at the pointer (`at` as WM_CONTEXTMENU gives it; -1: from the
// keyboard, over the middle of the editor) and does the chosen edit in the control. True
// when 保存名单 was chosen, which is the window's to carry out. A menu the system would not
// make is a MenuNotCreated problem.
bool runEditorMenu(HWND editor, HWND owner, LPARAM at);

}  // namespace zorbalin::win32
