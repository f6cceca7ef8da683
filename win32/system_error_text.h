// The system's own description of a Win32 error number, for the user's message boxes.
#pragma once

#include <windows.h>

#include <string>

namespace zorbalin::win32 {

// FormatMessageW's text in the user's language without its trailing line break, or the
// number in decimal when the system has no text for it.
std::u16string systemErrorText(DWORD error);

}  // namespace zorbalin::win32
