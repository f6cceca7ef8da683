// Whether the file about to be written is still the one that was read: what a name that
// leads nowhere now means, said once. Internal to the file procedure.
#pragma once

#include <string_view>

#include "base/result.h"
#include "files/file_system.h"

namespace zorbalin::files {

// A failure met while finding the file that was read again: a name (or folder) that leads
// nowhere now means that another program moved or removed it; anything else is the
// system's own failure to write.
Problem lookupFailure(Problem found);

// The same file: device and inode, volume and file ID.
inline bool sameFile(const FileStamp& a, const FileStamp& b) {
    return a.volume == b.volume && a.file == b.file;
}

// The name leads to a regular file with this stamp: the very file, unchanged. Otherwise
// ChangedSinceRead, or the system's failure to look.
Result<FileFacts> nameLeadsTo(Folder& folder, std::u16string_view name, const FileStamp& stamp);

}  // namespace zorbalin::files
