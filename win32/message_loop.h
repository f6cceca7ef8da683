#pragma once

#include <windows.h>

namespace zorbalin::win32 {

// Serves the thread's messages until WM_QUIT, with Tab and Shift+Tab moving the focus
// through the controls of `dialogWindow`. Returns the exit code.
int runMessageLoop(HWND dialogWindow);

}  // namespace zorbalin::win32
