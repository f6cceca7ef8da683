#pragma once

#include <string>
#include <string_view>

#include "textio/text_encoding.h"

namespace zorbalin::textio {

// The line break a candidate file uses between its lines.
enum class LineEnding { CrLf, Lf, Cr };

// How a candidate file was stored, so that the tidied text goes back the same way.
struct FileFormat {
    TextEncoding encoding = TextEncoding::Utf8;
    LineEnding lineEnding = LineEnding::CrLf;

    friend bool operator==(const FileFormat&, const FileFormat&) = default;
};

// How the program writes a text file of its own (a saved record, a list saved anew): UTF-8
// with its byte-order mark, so that the Notepad of Windows 7 and spreadsheets read the
// Chinese right, and CR LF.
inline constexpr FileFormat kNewTextFileFormat{TextEncoding::Utf8WithBom, LineEnding::CrLf};

// The line break a text uses most: CR LF pairs, lone LFs and lone CRs are counted. A tie
// goes to CR LF, then to LF, so a text without any line break is written with CR LF, the
// program's own break. U+2028 and U+2029 are not counted: they are no file's line break.
LineEnding detectLineEnding(std::u16string_view text);

}  // namespace zorbalin::textio
