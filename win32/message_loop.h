#pragma once

#include <windows.h>

namespace zorbalin::win32 {

// Offered to the top-level window for each key pressed in it, before the focused control
// sees the key: lParam points to the layout::KeyPress. Nonzero: the window took the key.
inline constexpr UINT kWindowKeyMessage = WM_APP + 16;

// Serves one message as the program's loop does: the keys that the top-level window takes
// (kWindowKeyMessage), that move between the controls of a window like Form1 (one with
// WS_EX_CONTROLPARENT), or that mean nothing there, are taken first; every other message
// goes to its window.
void serveMessage(const MSG& message);

// Serves the thread's messages until WM_QUIT. Returns the exit code.
int runMessageLoop();

}  // namespace zorbalin::win32
