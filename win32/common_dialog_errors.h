// Descriptions of the common dialog's own failure codes (CommDlgExtendedError), which the
// system's message table does not hold.
#pragma once

#include <windows.h>

#include <string>

namespace zorbalin::win32 {

std::u16string commonDialogErrorText(DWORD code);

}  // namespace zorbalin::win32
