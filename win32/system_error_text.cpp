#include "system_error_text.h"

#include <string>

#include "base/decimal_text.h"

#include "wide_text.h"

namespace zorbalin::win32 {

std::u16string systemErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) {
        return decimalText(error);
    }
    std::wstring text(buffer, length);
    LocalFree(buffer);
    // The system's texts end with CR LF (and sometimes a blank): the box adds its own lines.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return fromWide(text);
}

}  // namespace zorbalin::win32
