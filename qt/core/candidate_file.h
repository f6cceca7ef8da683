#pragma once

#include <QString>

#include <optional>
#include <string>

#include "textio/text_encoding.h"

namespace zorbalin::window {

// The text of a candidate file and the encoding to write it back in.
struct CandidateFileText {
    std::u16string text;  // CR LF between lines
    textio::TextEncoding encoding;
};

struct ReadOutcome {
    std::optional<CandidateFileText> file;
    QString error;  // set exactly when file is not: the text for the user's message box
};

// Reads a candidate file: rich text, or plain text in UTF-8, UTF-16 (with its byte-order
// mark) or GB18030. Binary files, files over 64 MiB and undecodable bytes are refused.
ReadOutcome readCandidateFile(const QString& path);

// Replaces the file's content with text in the given encoding, atomically: a temporary
// file beside it is renamed over it only when completely written. A read-only file is
// refused and left alone; a symbolic link stays a link and its target gets the text.
// Returns an empty QString on success, else the text for the user's message box.
QString writeCandidateFile(const QString& path, const std::u16string& text,
                           textio::TextEncoding encoding);

}  // namespace zorbalin::window
