#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zorbalin::textio {

// How a plain-text candidate file was stored, so that it can be written back the same way.
// CodePage936 is Windows' code page 936 itself (GBK, with the euro sign at byte 0x80, which
// GB18030 does not have): a file is read so only when it is not GB18030.
enum class TextEncoding { Utf8, Utf8WithBom, Utf16LE, Utf16BE, Gb18030, CodePage936 };

// Decodes bytes of a Windows code page strictly: nullopt when the bytes are not valid in
// that code page (or the code page is unknown).
using CodePageDecoder =
    std::function<std::optional<std::u16string>(int codePage, std::string_view bytes)>;

// The reverse: nullopt when the text cannot be written in that code page.
using CodePageEncoder =
    std::function<std::optional<std::string>(int codePage, std::u16string_view text)>;

// The Chinese legacy code pages, by Windows' numbers.
inline constexpr int kGb18030CodePage = 54936;
inline constexpr int kCodePage936 = 936;

// A file is only ever written back in the encoding it was read in, and the only code pages a
// plain-text file is read in are the Chinese ones: the encoder a front end hands out is its
// platform's conversion behind this, which gives nullopt for every other code page.
CodePageEncoder chineseCodePagesOnly(CodePageEncoder convert);

// The byte-order mark at the start of bytes, if any, and how many bytes it takes.
struct ByteOrderMark {
    TextEncoding encoding;
    std::size_t length;
};
std::optional<ByteOrderMark> detectByteOrderMark(std::string_view bytes);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut sequence.
bool isValidUtf8(std::string_view bytes);
std::optional<std::u16string> decodeUtf8(std::string_view bytes);

// Strict UTF-16 without a byte-order mark: an odd length or an unpaired surrogate fails.
std::optional<std::u16string> decodeUtf16(std::string_view bytes, bool littleEndian);

// Every CR LF, lone LF, lone CR, U+2028 (line separator) and U+2029 (paragraph separator)
// becomes CR LF: the editor shows each of them as a line break, so the draw must see one.
// The second form hands text back unchanged, without a copy, when it has CR LF breaks
// only (the usual case).
std::u16string normalizeLineBreaks(std::u16string_view text);
std::u16string normalizeLineBreaks(std::u16string&& text);
bool hasOnlyCrLfBreaks(std::u16string_view text);

// Unpaired surrogates (which no encoding can store) become U+FFFD, and every CR LF pair
// becomes lineBreak.
std::u16string replaceLoneSurrogates(std::u16string_view text,
                                     std::u16string_view lineBreak = u"\r\n");

// The bytes of text in one of the Unicode encodings, with the byte-order mark where the
// encoding has one, every CR LF pair written as lineBreak (a lone CR or LF stays as it is).
// Unpaired surrogates are written as U+FFFD. The code pages are not handled here (they need
// a converter) and give nullopt.
std::optional<std::string> encodeUnicodeText(std::u16string_view text, TextEncoding encoding,
                                             std::u16string_view lineBreak = u"\r\n");

}  // namespace zorbalin::textio
