#pragma once

#include <QString>

#include <string>
#include <variant>

#include "textio/file_format.h"

namespace zorbalin::window {

// The text of a candidate file and how to write it back: its encoding and line ending.
struct CandidateFileText {
    std::u16string text;  // CR LF between lines
    textio::FileFormat format;
};

// Why a file was not read: the text for the user's message box.
struct ReadFailure {
    QString message;
};

using ReadOutcome = std::variant<CandidateFileText, ReadFailure>;

// Reads a candidate file: rich text, or plain text in UTF-8, UTF-16 (with its byte-order
// mark) or GB18030, with CR LF, LF or CR line breaks. Binary files, files over 64 MiB and
// undecodable bytes are refused.
ReadOutcome readCandidateFile(const QString& path);

// Replaces the file's content with text (CR LF between lines) in the given format. By
// default atomically: a temporary file beside it, with its mode, owner and group, is
// renamed over it only when completely written. A file with other hard links, in a folder
// the user may not write, or whose owner a new file could not get, is written in place
// instead, and its old bytes are put back if that fails. A file the user may not write
// (as administrator: that nobody may write) is refused and left alone; a symbolic link
// stays a link and its target gets the text.
// Returns an empty QString on success, else the text for the user's message box.
QString writeCandidateFile(const QString& path, const std::u16string& text,
                           const textio::FileFormat& format);

}  // namespace zorbalin::window
