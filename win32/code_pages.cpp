#include "code_pages.h"

#include <windows.h>

#include <climits>
#include <string>

namespace zorbalin::win32 {
namespace {

constexpr auto kGb18030CodePage = static_cast<unsigned>(textio::kGb18030CodePage);

// IsValidCodePage alone is not enough: Wine 8 answers for 54936 but cannot convert it.
bool systemConvertsGb18030() {
    if (IsValidCodePage(kGb18030CodePage) == FALSE) return false;
    wchar_t unit = 0;
    return MultiByteToWideChar(kGb18030CodePage, MB_ERR_INVALID_CHARS, "a", 1, &unit, 1) == 1;
}

// The code page that converts what textio means by codePage.
unsigned systemCodePage(int codePage) {
    return codePage == textio::kGb18030CodePage ? chineseCodePage()
                                                : static_cast<unsigned>(codePage);
}

std::optional<std::u16string> decode(int codePage, std::string_view bytes) {
    if (bytes.empty()) return std::u16string();
    if (codePage <= 0 || bytes.size() > INT_MAX) return std::nullopt;
    const unsigned system = systemCodePage(codePage);
    const int byteCount = static_cast<int>(bytes.size());
    // No multibyte code page gives more UTF-16 units than bytes (GB18030 and UTF-8 give two
    // units for four bytes at most), so one call usually does; the size query is the fallback.
    std::wstring text(bytes.size(), L'\0');
    // MB_ERR_INVALID_CHARS makes bad bytes fail instead of turning into U+FFFD. Code pages
    // that refuse the flag (the ISO 2022 family, UTF-7, Symbol) cannot report bad bytes,
    // so they are not read at all (ERROR_INVALID_FLAGS lands here too).
    int units = MultiByteToWideChar(system, MB_ERR_INVALID_CHARS, bytes.data(), byteCount,
                                    text.data(), static_cast<int>(text.size()));
    if (units == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        units = MultiByteToWideChar(system, MB_ERR_INVALID_CHARS, bytes.data(), byteCount,
                                    nullptr, 0);
        if (units <= 0) return std::nullopt;
        text.assign(static_cast<std::size_t>(units), L'\0');
        units = MultiByteToWideChar(system, MB_ERR_INVALID_CHARS, bytes.data(), byteCount,
                                    text.data(), units);
    }
    if (units <= 0) return std::nullopt;
    text.resize(static_cast<std::size_t>(units));
    return std::u16string(text.begin(), text.end());
}

// GB18030 (54936) takes WC_ERR_INVALID_CHARS; 936 does not, and reports a character it
// cannot hold only through lpUsedDefaultChar. WC_NO_BEST_FIT_CHARS keeps 936 from writing
// a look-alike instead of refusing.
bool convert(unsigned codePage, std::u16string_view text, char* out, int outSize, int& written) {
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    const int unitCount = static_cast<int>(text.size());
    if (codePage == kGb18030CodePage) {
        written = WideCharToMultiByte(codePage, WC_ERR_INVALID_CHARS, units, unitCount, out,
                                      outSize, nullptr, nullptr);
        return written > 0;
    }
    BOOL usedDefault = FALSE;
    written = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, units, unitCount, out, outSize,
                                  nullptr, &usedDefault);
    return written > 0 && usedDefault == FALSE;
}

std::optional<std::string> encode(int codePage, std::u16string_view text) {
    if (codePage <= 0) return std::nullopt;
    if (text.empty()) return std::string();
    if (text.size() > INT_MAX / 4) return std::nullopt;
    const unsigned system = systemCodePage(codePage);
    int size = 0;
    if (!convert(system, text, nullptr, 0, size)) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    int written = 0;
    if (!convert(system, text, bytes.data(), size, written) || written != size) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

unsigned chineseCodePage() {
    static const unsigned codePage = systemConvertsGb18030()
                                         ? kGb18030CodePage
                                         : static_cast<unsigned>(textio::kCodePage936);
    return codePage;
}

textio::CodePageDecoder makeCodePageDecoder() { return decode; }

textio::CodePageEncoder makeCodePageEncoder() { return textio::chineseCodePagesOnly(encode); }

}  // namespace zorbalin::win32
