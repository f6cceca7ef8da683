// Between the Windows API's wide strings and the shared code's UTF-16 strings: on Windows
// wchar_t is a UTF-16 code unit, so the two hold the same units.
#pragma once

#include <string>
#include <string_view>

namespace zorbalin::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring toWide(std::u16string_view text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

inline std::u16string fromWide(std::wstring_view text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

}  // namespace zorbalin::win32
