// A control's text as the shared code's UTF-16 string, and back.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "wide_text.h"

namespace zorbalin::win32 {

inline std::u16string windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return fromWide(text);
}

inline bool setWindowText(HWND window, std::u16string_view text) {
    return SetWindowTextW(window, toWide(text).c_str()) != FALSE;
}

}  // namespace zorbalin::win32
