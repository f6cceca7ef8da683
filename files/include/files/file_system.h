// The platform's file operations, as the shared file procedure needs them: open a file and
// read it, the folder that holds it (names looked up there, never through a link that
// appeared; a new file that replaces another in one step), and the private recovery folder.
// Each front end implements them once (POSIX, Win32); every decision is made in the
// procedure (files/candidate_file.h).
//
// A failure is a Problem whose code the procedure replaces with its own; the platform fills
// in what the system said: `detail` (its text) and `cause` (NotFound, AccessDenied, NoSpace...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace zorbalin::files {

enum class FileKind { RegularFile, Folder, Other };  // Other: a device, pipe, socket or link

// Which file, and whether it changed: the same stamp means the same file (device and inode,
// volume and file ID) with the same size and times, so with the same bytes.
struct FileStamp {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // last write, in the system's own units
    std::int64_t changed = 0;   // last change of content or metadata, where the system has one

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// Room on the file's disk for writing it in place.
struct DiskSpace {
    std::uint64_t available = ~std::uint64_t{0};  // bytes this user may still write
    // Every write takes new room until it is done (btrfs): putting old bytes back takes as
    // much again.
    bool copyOnWrite = false;
};

// What writing to a file clears by itself (Linux: set-user-ID and set-group-ID, which an
// ordinary user's write clears, and file capabilities, which any write clears), read before
// an in-place write so that it can be put back after it. Nothing on Windows.
struct SpecialPermissions {
    bool setUserId = false;
    bool setGroupId = false;
    std::string capability;  // the system's own bytes; empty: none

    bool any() const { return setUserId || setGroupId || !capability.empty(); }
    friend bool operator==(const SpecialPermissions&, const SpecialPermissions&) = default;
};

struct FileFacts {
    FileKind kind = FileKind::RegularFile;
    FileStamp stamp;
    std::uint64_t linkCount = 1;  // hard links; 1 where the system has none
    bool markedWritable = true;   // a write permission bit, no read-only attribute
};

// An open file. Reading, writing and flushing work on what was opened, whatever its name
// leads to meanwhile.
class OpenFile {
public:
    virtual ~OpenFile() = default;
    virtual Result<FileFacts> facts() = 0;
    // Up to buffer.size() bytes from offset; 0 at the end of the file.
    virtual Result<std::size_t> readAt(std::uint64_t offset, std::span<char> buffer) = 0;
    // All of bytes, or a failure (part of them may have been written).
    virtual Status writeAt(std::uint64_t offset, std::string_view bytes) = 0;
    // Disk space for size bytes, so that writing them cannot run out of room; may extend the
    // file, never changes the bytes it has.
    virtual Status reserve(std::uint64_t size) = 0;
    virtual Status truncate(std::uint64_t size) = 0;
    // Written data and size on the disk (fsync, FlushFileBuffers).
    virtual Status flush() = 0;
    // Where the system cannot tell, as much as could ever be needed and no copy-on-write.
    virtual DiskSpace space() = 0;
    virtual SpecialPermissions specialPermissions() = 0;
    // Gives the file back those of `before` that a write cleared, where this user may;
    // returns those still missing.
    virtual SpecialPermissions putBack(const SpecialPermissions& before) = 0;
};

// A file opened for writing is kept from other writers until it is closed, where the system
// can: an open file description lock on Linux (advisory: it stops only programs that lock
// too; a file system without locks goes unlocked), no write sharing on Windows. Held by
// another program, the open fails with SystemCause::InUse.
enum class OpenMode {
    Read,
    ReadWrite,          // an existing file, not truncated
    CreateNew,          // a new file only this user may read; fails when the name exists
    CreateNewOrdinary,  // a new file as any program's: the permissions the umask and the
                        // folder's default access list give; fails when the name exists
};

// A folder, opened: the folder of a file that was read, or the recovery folder. Names are
// looked up in it without following a link at the last step, whatever happens to the path
// that led to it.
class Folder {
public:
    virtual ~Folder() = default;
    // The full path of a name in it, as the user reads it.
    virtual std::u16string pathOf(std::u16string_view name) = 0;
    // A link at `name` is FileKind::Other or a file of its own; a missing one fails with
    // SystemCause::NotFound.
    virtual Result<FileFacts> factsOf(std::u16string_view name) = 0;
    // Whether the system lets this user write the file (permissions, access lists, flags).
    virtual bool userMayWrite(std::u16string_view name) = 0;
    // Whether a new file here could be given all that `file` has, as far as can be told
    // before making one: false where this user cannot even read all of it (Linux: the
    // trusted.* attributes only the administrator sees).
    virtual bool newFileCouldKeepAllOf(OpenFile& file) = 0;
    // In a folder the user may not write, CreateNew fails with SystemCause::AccessDenied.
    virtual Result<std::unique_ptr<OpenFile>> open(std::u16string_view name, OpenMode mode) = 0;
    // Gives `to` (a new file) exactly what `from` has besides its bytes, nothing more: owner
    // and group (owner first, so that set-user-ID and set-group-ID survive), mode, access
    // lists and extended attributes (those `to` got from its folder and `from` lacks removed),
    // file flags (chattr) and attributes, each read back. Both are files of this file system.
    // A failure means something would be lost or added: the procedure then writes in place.
    virtual Status keepMetadata(OpenFile& from, OpenFile& to) = 0;
    // `from` (closed) takes the place of `to` in one step; then the folder is flushed, so
    // that a power failure cannot bring the old file back.
    virtual Status replace(std::u16string_view from, std::u16string_view to) = 0;
    virtual Status remove(std::u16string_view name) = 0;
    virtual Result<std::vector<std::u16string>> names() = 0;
    // The folder's own entries on the disk.
    virtual Status flush() = 0;
};

struct OpenedFile {
    std::unique_ptr<OpenFile> file;
    // Where the open file really is, asked of the open file (links resolved by the system):
    // the folder and the name in it.
    std::u16string folder;
    std::u16string name;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens the file for reading, following links as any program does; a pipe or device opens
    // without waiting.
    virtual Result<OpenedFile> openForReading(std::u16string_view path) = 0;
    virtual Result<std::unique_ptr<Folder>> openFolder(std::u16string_view path) = 0;
    // Whether the character separates the folders of a path ("/"; on Windows "\\" too).
    virtual bool isPathSeparator(char16_t c) const { return c == u'/'; }
    // The private folder for copies of old bytes ($XDG_STATE_HOME/zorbalin,
    // %LOCALAPPDATA%\Zorbalin), created when missing; a failure has `where` set to it.
    virtual Result<std::unique_ptr<Folder>> openRecoveryFolder() = 0;
};

}  // namespace zorbalin::files
