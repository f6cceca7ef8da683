// The file operations of the shared file procedure on Linux: POSIX file descriptors, names
// looked up relative to the folder's descriptor without following a link that appeared,
// renameat and a flush of the folder; owner, mode, access lists, extended attributes and
// file flags copied to a replacement (and those it got from its folder removed); open file
// description locks on what is written; set-ID bits and file capabilities put back after an
// in-place write.
#pragma once

#include <QString>

#include "files/candidate_file.h"
#include "files/file_system.h"

namespace zorbalin::window {

class PosixFileSystem final : public files::FileSystem {
public:
    // The recovery folder: $XDG_STATE_HOME/zorbalin (~/.local/state/zorbalin) unless given.
    explicit PosixFileSystem(QString recoveryFolder = {});

    Result<files::OpenedFile> openForReading(std::u16string_view path) override;
    Result<std::unique_ptr<files::Folder>> openFolder(std::u16string_view path) override;
    Result<std::unique_ptr<files::Folder>> openRecoveryFolder() override;

    const QString& recoveryFolder() const { return recoveryFolder_; }

private:
    QString recoveryFolder_;
};

// Whether this process sees every extended attribute of a file: trusted.* ones are listed
// only to the administrator (CAP_SYS_ADMIN). Without it, on a file system that keeps them,
// a replacement could lose some unseen, so files are written in place.
bool seesEveryAttribute();

// Legacy code pages through Qt's ICU converters.
files::CodePages qtCodePages();

}  // namespace zorbalin::window
