// How a tidied candidate text goes back into its file: the choice between replacing the file
// atomically and writing it in place, and the in-place write, which keeps a flushed copy of
// the old bytes in the recovery folder and puts them back when any step fails.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/progress.h"
#include "base/result.h"
#include "files/file_system.h"

namespace zorbalin::files {

// What is known about the file to be written.
struct WriteTarget {
    bool isRegularFile = true;
    std::uint64_t linkCount = 1;      // hard links to the file
    bool folderWritable = true;       // a temporary file can be created beside it
    bool userMayWrite = true;         // see below
    bool replacementKeepsAll = true;  // a new file can be given its owner, mode, ACL, attributes
};
// userMayWrite is about the user, not the permission bits alone: a file the user's group may
// write is writable. An administrator who could write anything still gets false for a file
// that nobody may write (no write bit, or the read-only attribute): it stays read-only as the
// user marked it.

enum class WriteMethod {
    AtomicReplace,   // temporary file beside the target, renamed over it
    InPlace,         // overwrite the file's own bytes; keeps hard links and everything else
    RefuseReadOnly,  // the user may not write the file: leave it alone
    RefuseNotAFile,  // a folder, device or pipe
};

// Atomic replacement is the default. A replacement would break a hard link (the other names
// would keep the old list), cannot be created in a folder the user may not write, and must
// not lose the file's owner, access lists or attributes: those files are written in place.
WriteMethod chooseWriteMethod(const WriteTarget& target);

// Replaces the content of `file` (opened for writing) with newBytes: first a copy of the old
// bytes in the recovery folder, flushed, with a note naming `targetPath` for the next start
// should the program be killed; then room reserved, the new bytes written, flushed, the
// length cut, flushed. When a step fails the old bytes are copied back and flushed, and the
// first failure is reported: WriteFailed when the file is as it was (also when nothing had
// been written yet), NotRestored (`where`: the copy) when it could not be put back.
// NoRecoveryCopy when the copy cannot be made: then nothing is touched. An exception (out of
// memory) while the file is changed puts the old bytes back before it goes on.
Status writeInPlace(OpenFile& file, Folder& recovery, std::u16string_view targetPath,
                    std::string_view newBytes, Progress& progress);

}  // namespace zorbalin::files
