// Reading a candidate file and writing its tidied text back: the one procedure both front
// ends call, over their FileSystem. It decides everything (what is refused, how a file is
// written, whether anything is written at all) and returns a Problem, never a message.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/progress.h"
#include "base/result.h"
#include "files/file_system.h"
#include "textio/file_format.h"
#include "textio/text_encoding.h"

namespace zorbalin::files {

// Work is read, written and reported in pieces of this size.
inline constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

// A fingerprint of a file's bytes, so that a write that would change nothing is told without
// keeping the old bytes.
struct ContentDigest {
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    friend bool operator==(const ContentDigest&, const ContentDigest&) = default;
};
ContentDigest digestOf(std::string_view bytes);

// A file that was read: its text, how to write it back, and which file it was. Writing goes
// to this file only, and only while its name still leads to it, unchanged.
struct LoadedFile {
    std::u16string text;        // CR LF between lines
    textio::FileFormat format;  // how to write it back
    std::u16string path;             // as the user chose it
    // The identity of what was read, kept open while it is read and written; closed between
    // two saves (a file held open on Windows keeps others from some of their own opens), it
    // is opened again by its name and taken only when it is the same file, unchanged.
    std::unique_ptr<OpenFile> file;
    FileStamp stamp;                 // as it was when the read began
    ContentDigest digest;            // of the bytes read
    std::u16string folder;           // where the open file is (links resolved by the system)
    std::u16string name;
    bool isWorkbook = false;         // an Excel workbook: its names are read, it is never written
    bool fromRichText = false;       // a rich-text document, which is written back as plain text
    // Where a rich-text document's original was kept, formatting and all, before it was
    // first written back as plain text; "" until then.
    std::u16string originalCopy;
};

struct CodePages {
    textio::CodePageDecoder decode;
    textio::CodePageEncoder encode;
};

// Opens and reads the file whole, refusing what is no candidate list: Missing, NotAFile,
// NoReadPermission, TooLarge (bounded by the limit whatever the file reports), NotText,
// ReadFailed. An Excel workbook (told by its content) gives the names of its first visible
// sheet, or WorkbookEncrypted, WorkbookLegacy, WorkbookDamaged, WorkbookNoText or
// WorkbookTooLarge. Reports Reading and Decoding.
Result<LoadedFile> readCandidateFile(FileSystem& fileSystem, std::u16string_view path,
                                     const CodePages& codePages, Progress& progress);

// Writes text (CR LF between lines) back into the file that was read, in its format. Nothing
// is written when the bytes would not change, nor ever into a workbook. Atomically by a temporary file that is given
// exactly what the file has (owner, group, mode, access lists, attributes, flags); in place
// where that would lose something (hard links, a folder the user may not write, an owner or
// attribute that cannot be kept or not even read), with a flushed copy of the old bytes in
// the recovery folder until it is done (files/write_back.h). Fails with NotEncodable,
// ReadOnly, TargetNotAFile, ChangedSinceRead, ChangedWhileWritten, NoRecoveryCopy,
// WriteFailed (nothing changed), NotRestored (`where`: the copy of the old bytes) or
// SpecialPermissionsLost (written). Reports Writing.
// After a write, `file` is the file as written: a later write compares with that. A rich-text
// document is first copied whole into the recovery folder (file.originalCopy), since its
// formatting is gone once it is plain text; without that copy nothing is written.
Status writeCandidateFile(FileSystem& fileSystem, LoadedFile& file, std::u16string_view text,
                          const CodePages& codePages, Progress& progress);

// Saves text (CR LF between lines) into the file at `path`, in `format`, as the user chose it
// in a save dialog: an existing file is replaced as a candidate file is written back (only
// that file, keeping all it has, in place where replacing would lose something), a new one
// is written under a temporary name, with the permissions any program's new file gets, and
// then renamed into place. Fails as writeCandidateFile.
Status saveTextFile(FileSystem& fileSystem, std::u16string_view path, std::u16string_view text,
                    const textio::FileFormat& format, const CodePages& codePages,
                    Progress& progress);

// A write killed in an earlier run that the user must hear of: the file it was writing, and
// what to tell (RecoveryCopyFound, `where`: the copy of the old bytes).
struct InterruptedWrite {
    std::u16string target;
    Problem problem;
};
// What killed writes left, looked at once at the start: a copy whose note or copying never
// finished (no byte of the file had been written), one equal to the file (it holds its old
// bytes), one of a write that had completed (it holds the new bytes), a note without its copy,
// and this program's temporary files beside the remembered file (one another run is writing
// stays) are cleared without a word. Those left are returned, each once: their copies stay,
// their notes go.
std::vector<InterruptedWrite> takeInterruptedWrites(FileSystem& fileSystem,
                                                    std::u16string_view rememberedPath);

}  // namespace zorbalin::files
