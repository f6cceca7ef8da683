// The dots per inch a window is shown at, and what depends on it: the frame around a client
// area and the system's message font. Newer calls are looked up at run time, so the
// program still runs on Windows 7.
#pragma once

#include <windows.h>

#include "handles.h"

namespace zorbalin::win32 {

// GetDpiForWindow where the system has it, else the screen's LOGPIXELSX.
int windowDpi(HWND window);

// The system-wide dpi that SystemParametersInfoW reports its metrics at.
int systemDpi();

// The window rectangle around a client rectangle, for the window's style at the given dpi.
RECT windowRectForClient(RECT client, DWORD style, DWORD exStyle, int dpi);

// The system's message font (which covers the user's language) at the given dpi.
UniqueFont createMessageFont(int dpi);

// The dpi a window's layout is computed at: its own, raised by as much as a Chinese character
// of `font` (the window's message font at that dpi) is wider than the design font's
// (layout::layoutDpi), so that a larger system font gets the room it needs.
int fontLayoutDpi(int dpi, HFONT font);

}  // namespace zorbalin::win32
