#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "textio/text_encoding.h"

namespace zorbalin::window {

// Strict decoding of Windows code page bytes through Qt's ICU-backed converters:
// nullopt when the bytes are invalid in that code page or the code page is unknown.
std::optional<std::u16string> decodeCodePage(int codePage, std::string_view bytes);

// A decoder for one file: keeps one converter per code page instead of opening one for
// every piece of text (a rich-text file can hold a million short pieces).
textio::CodePageDecoder makeCodePageDecoder();

// The bytes of text in a Windows code page; nullopt when the code page cannot hold it or
// is unknown.
std::optional<std::string> encodeCodePage(int codePage, std::u16string_view text);

// That encoder for the Chinese code pages alone, for textio.
textio::CodePageEncoder makeCodePageEncoder();

}  // namespace zorbalin::window
