#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "textio/text_encoding.h"

namespace zorbalin::window {

// Strict decoding of Windows code page bytes through Qt's ICU-backed converters:
// nullopt when the bytes are invalid in that code page or the code page is unknown.
// 936 is decoded as GB18030, its superset.
std::optional<std::u16string> decodeCodePage(int codePage, std::string_view bytes);

// A decoder for one file: keeps one converter per code page instead of opening one for
// every piece of text (a rich-text file can hold a million short pieces).
textio::CodePageDecoder makeCodePageDecoder();

// The GB18030 bytes of text; nullopt when it cannot be encoded (an unpaired surrogate).
std::optional<std::string> encodeGb18030(std::u16string_view text);

// An encoder for textio: code page 936 is written as GB18030; other code pages are not
// written (a file is only ever written back in the encoding it was read in).
textio::CodePageEncoder makeCodePageEncoder();

}  // namespace zorbalin::window
