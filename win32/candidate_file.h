// Reading and writing candidate files on Windows: the Win32 file API around the shared
// rules (textio decides what the bytes mean, which files are refused and how to write back;
// layout holds every message).
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "textio/file_format.h"

namespace zorbalin::win32 {

struct CandidateFile {
    std::u16string text;        // CR LF between lines
    textio::FileFormat format;  // how to write it back
};

// The file's text, or the message for the user (which names the file).
using CandidateFileRead = std::variant<CandidateFile, std::u16string>;

CandidateFileRead readCandidateFile(const std::wstring& path);

// Replaces the file's content with the text in the given format: atomically through a
// temporary file beside it where it can, else in place, restoring the old bytes on any
// failure. Returns "" when written, else the message for the user; the file keeps its
// content on failure.
std::u16string writeCandidateFile(const std::wstring& path, std::u16string_view text,
                                  const textio::FileFormat& format);

}  // namespace zorbalin::win32
