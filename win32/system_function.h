// Entry points looked up at run time: a function newer than Windows 7 (or one a test makes
// missing) is used where the system has it, with a fallback where it does not.
#pragma once

#include <windows.h>

namespace zorbalin::win32 {

// The function `name` of the module, or null. Function must be the entry point's pointer type
// with its calling convention (WINAPI), which differs from the default on 32-bit Windows.
template <typename Function>
Function systemFunction(HMODULE module, const char* name) {
    const FARPROC address = module == nullptr ? nullptr : GetProcAddress(module, name);
    // Through void(*)(), the one function type a cast from FARPROC may go through quietly.
    return address == nullptr ? nullptr
                              : reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// The same from a DLL that every process has loaded (user32.dll, kernel32.dll).
template <typename Function>
Function systemFunction(const wchar_t* loadedModule, const char* name) {
    return systemFunction<Function>(GetModuleHandleW(loadedModule), name);
}

}  // namespace zorbalin::win32
