// The temporary file beside a file that a replacement writes first, and the names such files
// have, so that one left by a killed write can be told from the user's own files. Internal to
// the file procedure.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/result.h"
#include "files/file_system.h"

namespace zorbalin::files {

// ".~zorbalin-<16 hexadecimal digits>.tmp", random: a name no other writer picks.
std::u16string temporaryName();
bool isTemporaryName(std::u16string_view name);

// A new file beside the target, removed again unless it took the target's place.
class Temporary {
public:
    Temporary(Folder& folder, std::unique_ptr<OpenFile> file, std::u16string name)
        : folder_(folder), file_(std::move(file)), name_(std::move(name)) {}
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary();

    OpenFile& file() { return *file_; }
    // Closed first (Windows renames no open file), then renamed over `target`.
    Status replace(std::u16string_view target);

private:
    Folder& folder_;
    std::unique_ptr<OpenFile> file_;
    std::u16string name_;
};

}  // namespace zorbalin::files
