#include "textio/text_encoding.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace zorbalin::textio {
namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// LINE SEPARATOR and PARAGRAPH SEPARATOR: the editor shows them as line breaks.
bool isUnicodeSeparator(char16_t unit) { return unit == u'\u2028' || unit == u'\u2029'; }

// Eight bytes at once: true when none has its high bit set (the common ASCII case).
bool eightAsciiBytes(const unsigned char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return (word & 0x8080808080808080ULL) == 0;
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes one multi-byte sequence starting at bytes[i] (whose lead is >= 0x80).
// Returns the number of bytes used, or 0 when the sequence is invalid.
std::size_t decodeUtf8Sequence(const unsigned char* p, std::size_t left, char32_t& codePoint) {
    const unsigned char lead = p[0];
    if (lead >= 0xC2 && lead <= 0xDF) {
        if (left < 2 || !isContinuation(p[1])) return 0;
        codePoint = (char32_t(lead & 0x1F) << 6) | (p[1] & 0x3F);
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !isContinuation(p[1]) || !isContinuation(p[2])) return 0;
        if (lead == 0xE0 && p[1] < 0xA0) return 0;  // overlong
        if (lead == 0xED && p[1] > 0x9F) return 0;  // surrogate
        codePoint = (char32_t(lead & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !isContinuation(p[1]) || !isContinuation(p[2]) || !isContinuation(p[3]))
            return 0;
        if (lead == 0xF0 && p[1] < 0x90) return 0;  // overlong
        if (lead == 0xF4 && p[1] > 0x8F) return 0;  // above U+10FFFF
        codePoint = (char32_t(lead & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) |
                    (char32_t(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
        return 4;
    }
    return 0;
}

void appendCodePoint(std::u16string& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
    } else {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    }
}

// Walks text by code point, turning unpaired surrogates into U+FFFD.
template <typename Visit>
void forEachCodePoint(std::u16string_view text, Visit visit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            visit(0x10000 + ((unit - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            visit(kReplacementCharacter);
        } else {
            visit(unit);
        }
    }
}

// The same, with every CR LF pair given as the code units of lineBreak.
template <typename Visit>
void forEachCodePointAndBreak(std::u16string_view text, std::u16string_view lineBreak, Visit visit) {
    if (lineBreak == u"\r\n") {
        forEachCodePoint(text, visit);
        return;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t pair = text.find(u"\r\n", start);
        const std::size_t end = pair == std::u16string_view::npos ? text.size() : pair;
        forEachCodePoint(text.substr(start, end - start), visit);
        if (pair == std::u16string_view::npos) return;
        for (const char16_t unit : lineBreak) visit(unit);
        start = pair + 2;
    }
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

void appendUtf16Unit(std::string& out, char16_t unit, bool littleEndian) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    if (littleEndian) {
        out.push_back(low);
        out.push_back(high);
    } else {
        out.push_back(high);
        out.push_back(low);
    }
}

}  // namespace

std::optional<ByteOrderMark> detectByteOrderMark(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return ByteOrderMark{TextEncoding::Utf8WithBom, 3};
    if (bytes.starts_with("\xFF\xFE")) return ByteOrderMark{TextEncoding::Utf16LE, 2};
    if (bytes.starts_with("\xFE\xFF")) return ByteOrderMark{TextEncoding::Utf16BE, 2};
    return std::nullopt;
}

bool isValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        if (i + 8 <= size && eightAsciiBytes(p + i)) {
            i += 8;
        } else if (p[i] < 0x80) {
            ++i;
        } else {
            char32_t ignored;
            const std::size_t length = decodeUtf8Sequence(p + i, size - i, ignored);
            if (length == 0) return false;
            i += length;
        }
    }
    return true;
}

std::optional<std::u16string> decodeUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    // UTF-16 never needs more units than UTF-8 has bytes. Decoding straight into the
    // result, then shortening it in place, keeps to one large allocation: a second one
    // of tens of MiB costs more in fresh pages than the whole decoding.
    std::u16string out(size, u'\0');
    char16_t* const begin = out.data();
    char16_t* o = begin;
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            *o++ = lead;
            ++i;
            while (i + 8 <= size && eightAsciiBytes(p + i)) {
                for (std::size_t k = 0; k < 8; ++k) o[k] = p[i + k];
                o += 8;
                i += 8;
            }
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = decodeUtf8Sequence(p + i, size - i, codePoint);
        if (length == 0) return std::nullopt;
        i += length;
        if (codePoint < 0x10000) {
            *o++ = static_cast<char16_t>(codePoint);
        } else {
            codePoint -= 0x10000;
            *o++ = static_cast<char16_t>(0xD800 + (codePoint >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
        }
    }
    out.resize(static_cast<std::size_t>(o - begin));
    return out;
}

std::optional<std::u16string> decodeUtf16(std::string_view bytes, bool littleEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::u16string out(bytes.size() / 2, u'\0');
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t k = 0; k < out.size(); ++k) {
        const unsigned first = p[2 * k];
        const unsigned second = p[2 * k + 1];
        out[k] = static_cast<char16_t>(littleEndian ? (second << 8 | first) : (first << 8 | second));
    }
    for (std::size_t k = 0; k < out.size(); ++k) {
        if (isHighSurrogate(out[k])) {
            if (k + 1 >= out.size() || !isLowSurrogate(out[k + 1])) return std::nullopt;
            ++k;
        } else if (isLowSurrogate(out[k])) {
            return std::nullopt;
        }
    }
    return out;
}

bool hasOnlyCrLfBreaks(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 >= text.size() || text[i + 1] != u'\n') return false;
            ++i;
        } else if (text[i] == u'\n' || isUnicodeSeparator(text[i])) {
            return false;
        }
    }
    return true;
}

std::u16string normalizeLineBreaks(std::u16string&& text) {
    if (hasOnlyCrLfBreaks(text)) return std::move(text);
    return normalizeLineBreaks(std::u16string_view(text));
}

std::u16string normalizeLineBreaks(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t i = 0;
    while (i < text.size()) {
        // Copy the stretch up to the next CR or LF in one go.
        std::size_t next = i;
        while (next < text.size() && text[next] != u'\r' && text[next] != u'\n' &&
               !isUnicodeSeparator(text[next])) {
            ++next;
        }
        out.append(text.substr(i, next - i));
        if (next == text.size()) break;
        out.append(u"\r\n");
        i = next + ((text[next] == u'\r' && next + 1 < text.size() && text[next + 1] == u'\n') ? 2 : 1);
    }
    return out;
}

std::u16string replaceLoneSurrogates(std::u16string_view text, std::u16string_view lineBreak) {
    std::u16string out;
    std::size_t size = 0;
    forEachCodePointAndBreak(text, lineBreak, [&size](char32_t c) { size += c >= 0x10000 ? 2 : 1; });
    out.reserve(size);
    forEachCodePointAndBreak(text, lineBreak, [&out](char32_t c) { appendCodePoint(out, c); });
    return out;
}

CodePageEncoder chineseCodePagesOnly(CodePageEncoder convert) {
    return [convert = std::move(convert)](int codePage,
                                          std::u16string_view text) -> std::optional<std::string> {
        if (codePage != kGb18030CodePage && codePage != kCodePage936) return std::nullopt;
        return convert(codePage, text);
    };
}

std::optional<std::string> encodeUnicodeText(std::u16string_view text, TextEncoding encoding,
                                             std::u16string_view lineBreak) {
    // Measured first, so that the bytes take one allocation of exactly their size: a list of
    // 64 MiB must not ask for half as much again.
    std::string out;
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8WithBom: {
        const bool mark = encoding == TextEncoding::Utf8WithBom;
        std::size_t size = mark ? 3 : 0;
        forEachCodePointAndBreak(text, lineBreak, [&size](char32_t c) {
            size += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        });
        out.reserve(size);
        if (mark) out = "\xEF\xBB\xBF";
        forEachCodePointAndBreak(text, lineBreak, [&out](char32_t c) { appendUtf8(out, c); });
        return out;
    }
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool littleEndian = encoding == TextEncoding::Utf16LE;
        std::size_t size = 2;
        forEachCodePointAndBreak(text, lineBreak, [&size](char32_t c) { size += c >= 0x10000 ? 4 : 2; });
        out.reserve(size);
        appendUtf16Unit(out, 0xFEFF, littleEndian);
        forEachCodePointAndBreak(text, lineBreak, [&out, littleEndian](char32_t c) {
            if (c < 0x10000) {
                appendUtf16Unit(out, static_cast<char16_t>(c), littleEndian);
            } else {
                appendUtf16Unit(out, static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), littleEndian);
                appendUtf16Unit(out, static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)), littleEndian);
            }
        });
        return out;
    }
    case TextEncoding::Gb18030:
    case TextEncoding::CodePage936:
        break;
    }
    return std::nullopt;
}

}  // namespace zorbalin::textio
