// The copy of a file's old bytes that an in-place write keeps in the recovery folder, and the
// note beside it that names the file, so that the next start can tell what a killed write
// left. Internal to the file procedure.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/progress.h"
#include "base/result.h"
#include "files/candidate_file.h"
#include "files/file_system.h"

namespace zorbalin::files {

// Copies size bytes from the start of one file to another through buffer, reporting each
// piece as Writing progress of `done` in `total`. The source's read failures keep their cause.
Status copyBytes(OpenFile& from, OpenFile& to, std::uint64_t size, std::span<char> buffer,
                 Progress& progress, std::uint64_t done, std::uint64_t total);

// The note's name ends with this; the copy's name is the note's without it.
inline constexpr std::u16string_view kNoteSuffix = u".target";

// What a note says: the file being written, how long its old bytes are (a shorter copy was
// never finished, so no byte of the file had been written yet), and what the write was to
// leave in it. The sizes are unknown in a note an earlier version wrote.
struct RecoveryNote {
    std::u16string target;
    std::optional<std::uint64_t> oldSize;
    std::optional<ContentDigest> newDigest;
    friend bool operator==(const RecoveryNote&, const RecoveryNote&) = default;
};
std::string encodeNote(const RecoveryNote& note);
// Nothing for an empty note or one cut short: it was being written, before the copy.
std::optional<RecoveryNote> parseNote(std::string_view bytes);

class RecoveryCopy {
public:
    // First the note (target, old size, the new bytes' digest), flushed; then a copy of the
    // file's first `size` bytes, flushed; then the folder, so that both are on the disk before
    // the file is touched. Fails with the system's problem.
    static Result<RecoveryCopy> make(OpenFile& file, std::uint64_t size, Folder& folder,
                                     std::u16string_view targetPath, const ContentDigest& newDigest,
                                     std::span<char> buffer, Progress& progress, std::uint64_t total);
    RecoveryCopy(RecoveryCopy&&) noexcept = default;
    RecoveryCopy& operator=(RecoveryCopy&&) = delete;
    // Removes the copy, then the note (a note without its copy tells nothing), unless keep()
    // was called.
    ~RecoveryCopy();

    OpenFile& file() { return *copy_; }
    std::u16string path() const { return folder_->pathOf(name_); }
    // The write failed and was not undone: the copy stays for the user, who is told where it
    // is now, so the note goes.
    void keep() { removeCopy_ = false; }

private:
    RecoveryCopy(Folder& folder, std::u16string name) : folder_(&folder), name_(std::move(name)) {}

    Folder* folder_;
    std::u16string name_;
    std::unique_ptr<OpenFile> copy_;  // once made
    bool madeNote_ = false;
    bool removeCopy_ = true;
};

}  // namespace zorbalin::files
