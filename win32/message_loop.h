#pragma once

#include <windows.h>

namespace zorbalin::win32 {

// Serves one message as the program's loop does: the keys that move between the controls of
// a window like Form1 (one with WS_EX_CONTROLPARENT), or that mean nothing there, are taken
// first; every other message goes to its window.
void serveMessage(const MSG& message);

// Serves the thread's messages until WM_QUIT. Returns the exit code.
int runMessageLoop();

}  // namespace zorbalin::win32
