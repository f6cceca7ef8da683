#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "textio/file_format.h"
#include "textio/text_encoding.h"

namespace zorbalin::textio {

// Larger files are refused: a candidate list is text someone typed, not a data dump.
inline constexpr std::size_t kMaxCandidateFileBytes = std::size_t{64} * 1024 * 1024;

// Why the bytes of a file were not taken as candidate text.
enum class DecodeRefusal {
    NotText,   // neither rich text nor cleanly decodable plain text (binary data, bad bytes)
    TooLarge,  // more than kMaxCandidateFileBytes
};

struct DecodedText {
    std::u16string text;  // CR LF between lines, and no U+2028 or U+2029
    FileFormat format;    // how to write it back; rich text is written as UTF-8 with CR LF
    bool fromRichText = false;
};

using DecodeOutcome = std::variant<DecodedText, DecodeRefusal>;

// True when the bytes are a rich-text document (they begin with "{\rtf").
bool isRichText(std::string_view bytes);

// Reads the bytes of a candidate file. One whole rich-text document is read as rich text
// (bytes that begin like one but are not, as plain text); plain text is
// decided by its byte-order mark, else taken as UTF-8 when valid throughout (unless it is
// valid GB18030 too, reads as common hanzi there and not as names in UTF-8: see
// text_plausibility.h), else decoded strictly as GB18030, else as Windows' code page 936.
// BOM-less UTF-16 is never guessed.
// The file's line ending is the one it uses most (see detectLineEnding); every line break
// of the file and every U+2028 and U+2029 becomes CR LF, once, here.
DecodeOutcome decodeCandidateBytes(std::string_view bytes, const CodePageDecoder& decode);

// The bytes of a candidate file holding text (CR LF between lines) in the given format:
// its encoding, and its line ending in place of every CR LF. Unpaired surrogates become
// U+FFFD; nullopt when the code page cannot hold the text.
std::optional<std::string> encodeCandidateText(std::u16string_view text, const FileFormat& format,
                                               const CodePageEncoder& encode);

}  // namespace zorbalin::textio
