#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "textio/text_encoding.h"

namespace zorbalin::textio {

// The text of a rich-text document, CR LF between lines; formatting, pictures, fonts and
// other non-text parts are left out. Bytes in a legacy code page (\'hh escapes and raw
// bytes >= 0x80) are decoded through decode; bytes it rejects become U+FFFD. Any input,
// however malformed, is read without recursion to an end. Nullopt unless the bytes are one
// whole document: "{\rtf" at the start, its outer group closed, only blanks after it.
std::optional<std::u16string> readRichText(std::string_view bytes, const CodePageDecoder& decode);

}  // namespace zorbalin::textio
