// The copy of a file's old bytes that an in-place write keeps in the recovery folder, and the
// note beside it that names the file, so that the next start can tell of a write that was
// killed. Internal to the file procedure.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/progress.h"
#include "base/result.h"
#include "files/file_system.h"

namespace zorbalin::files {

// Copies size bytes from the start of one file to another through buffer, reporting each
// piece as Writing progress of `done` in `total`. The source's read failures keep their cause.
Status copyBytes(OpenFile& from, OpenFile& to, std::uint64_t size, std::span<char> buffer,
                 Progress& progress, std::uint64_t done, std::uint64_t total);

// The note's name ends with this; the copy's name is the note's without it.
inline constexpr std::u16string_view kNoteSuffix = u".target";

class RecoveryCopy {
public:
    // Copies the file's first `size` bytes into a new file of the recovery folder, flushes it,
    // then writes and flushes the note naming targetPath. Fails with the system's problem.
    static Result<RecoveryCopy> make(OpenFile& file, std::uint64_t size, Folder& folder,
                                     std::u16string_view targetPath, std::span<char> buffer,
                                     Progress& progress, std::uint64_t total);
    RecoveryCopy(RecoveryCopy&&) noexcept = default;
    RecoveryCopy& operator=(RecoveryCopy&&) = delete;
    // Removes copy and note unless keep() was called.
    ~RecoveryCopy();

    OpenFile& file() { return *copy_; }
    std::u16string path() const { return folder_->pathOf(name_); }
    // The write failed and was not undone: the copy stays for the user, who is told where it
    // is now, so the note goes.
    void keep();

private:
    RecoveryCopy(Folder& folder, std::u16string name, std::unique_ptr<OpenFile> copy)
        : folder_(&folder), name_(std::move(name)), copy_(std::move(copy)) {}

    Folder* folder_;
    std::u16string name_;
    std::unique_ptr<OpenFile> copy_;
    bool removeCopy_ = true;
};

}  // namespace zorbalin::files
