// How a tidied candidate text goes back into its file: the choice between replacing the
// file atomically and writing it in place, and the in-place write itself, which restores
// the old bytes when any step fails. Standard C++; the front end supplies the facts and
// the file operations.
//
// A front end saves a candidate file like this:
//   1. Follow symbolic links to the file that holds the text and gather a WriteTarget
//      about it (exists, regular file, link count, folder writable, user may write it,
//      whether a replacement could keep its owner and group).
//   2. chooseWriteMethod(target):
//        RefuseReadOnly  -> report layout::FileProblem::ReadOnly, touch nothing;
//        RefuseNotAFile  -> report layout::FileProblem::TargetNotAFile;
//        AtomicReplace   -> the platform's own: a temporary file beside the target with
//                           the target's mode (and owner and group where permitted),
//                           renamed over it only when completely written and flushed;
//        InPlace         -> open the target for reading and writing WITHOUT truncating,
//                           wrap the handle in an InPlaceFile, call writeInPlace.
//   3. Encode the text first (textio::encodeCandidateText), so that a text the file's
//      encoding cannot hold is refused before either method touches the file.
//   4. An InPlaceFailed maps to layout::FileProblem::WriteFailed when the original was
//      restored, and to layout::FileProblem::WriteFailedNotRestored when it was not.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace zorbalin::textio {

// What the front end found out about the file (the end of any chain of links).
struct WriteTarget {
    bool exists = false;
    bool isRegularFile = true;        // meaningful when exists
    std::uint64_t linkCount = 1;      // hard links to the file; 1 where the system has none
    bool folderWritable = true;       // a temporary file can be created beside it
    bool userMayWrite = true;         // the user may write the file itself (see below)
    bool replacementKeepsOwner = true;  // a new file can be given the file's owner and group
};
// userMayWrite is about the user, not the permission bits alone: a file the user's group
// may write is writable. An administrator who could write anything still gets false for
// a file that nobody may write (no write bit, or the read-only attribute), so such a file
// stays read-only as the user marked it.

enum class WriteMethod {
    AtomicReplace,   // temporary file beside the target, renamed over it
    InPlace,         // overwrite the file's own bytes; keeps hard links, owner, group, mode
    RefuseReadOnly,  // the user may not write the file: leave it alone
    RefuseNotAFile,  // a folder, device or pipe
};

// Atomic replacement is the default. A replacement would break a hard link (the other
// names would keep the old list), cannot be created in a folder the user may not write,
// and would hand the file to the writer when its owner and group cannot be kept: those
// files are written in place. A file that does not exist yet is created by replacement.
WriteMethod chooseWriteMethod(const WriteTarget& target);

// The few operations the in-place write needs from an open file. Each returns false on
// failure and leaves the system's description in errorText().
class InPlaceFile {
public:
    virtual ~InPlaceFile() = default;
    // The whole current content (the bytes to restore if anything fails).
    virtual bool readAll(std::string& bytes) = 0;
    // Makes sure size bytes have disk space (posix_fallocate, or the platform's
    // equivalent) so that overwriting cannot run out of room half-way. May extend the
    // file's size; must not change existing bytes.
    virtual bool reserve(std::uint64_t size) = 0;
    virtual bool writeAt(std::uint64_t offset, std::string_view bytes) = 0;
    // Pushes written data (and the size) to the disk: fsync, FlushFileBuffers.
    virtual bool flush() = 0;
    virtual bool truncate(std::uint64_t size) = 0;
    virtual std::u16string errorText() const = 0;
};

struct InPlaceWritten {};
struct InPlaceFailed {
    std::u16string detail;         // the system's description of the first failure
    bool originalRestored = true;  // false: the old bytes could not be written back either
};
using InPlaceOutcome = std::variant<InPlaceWritten, InPlaceFailed>;

// Replaces the file's content with newBytes: read the old bytes, reserve room when the
// new ones are longer, write them from the start, flush, truncate to the new length,
// flush. When any step fails, the old bytes are written back at their old length and
// flushed, and the first failure is reported.
InPlaceOutcome writeInPlace(InPlaceFile& file, std::string_view newBytes);

}  // namespace zorbalin::textio
