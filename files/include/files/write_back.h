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

// The file to be written in place, as the procedure found it.
struct InPlaceTarget {
    OpenFile& file;             // opened for writing, kept from other writers where the system can
    Folder& folder;             // the folder that holds its name
    std::u16string_view name;
    std::u16string_view path;   // as the user chose it: named in the recovery note
    FileStamp stamp;            // as it was read
};

// A copy-on-write disk takes new room for every byte written, and as much again to put the
// old bytes back; this much more, for what the file system itself writes meanwhile.
inline constexpr std::uint64_t kCopyOnWriteMargin = std::uint64_t{1} << 20;

// Replaces the content of the file with newBytes: first a note naming `path` and a copy of
// the old bytes in the recovery folder, flushed, for the next start should the program be
// killed; then the room checked on a copy-on-write disk, room reserved, the new bytes
// written, flushed, the length cut, flushed, and what the write cleared (set-ID bits, file
// capabilities) put back. The file must be as it was read just before its first byte is
// written, as each step left it before the next (and of the size that step gives), hold
// exactly the new bytes after the last, and its name must still lead to it: otherwise
// another program wrote it meanwhile, and what was written is put back.
//
// Fails with ChangedSinceRead (nothing written, or the name leads elsewhere now and the file
// it led to was put back), ChangedWhileWritten (put back: the file is as it was read),
// WriteFailed (the file is as it was: also when no byte of it had changed), NotRestored
// (`where`: the copy) when it could not be put back, NoRecoveryCopy (`where`: the folder)
// when the copy cannot be made: then nothing is touched. SpecialPermissionsLost when written
// but what the write cleared could not be put back (`number`: the kLost... bits). An exception
// (out of memory) while the file is changed puts the old bytes back before it goes on. Only
// what this write changed is ever put back, never what another program wrote elsewhere.
Status writeInPlace(const InPlaceTarget& target, Folder& recovery, std::string_view newBytes,
                    Progress& progress);

}  // namespace zorbalin::files
