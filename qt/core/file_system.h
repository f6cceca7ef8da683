// The file operations of the shared file procedure on Linux: POSIX file descriptors, names
// looked up relative to the folder's descriptor without following a link that appeared,
// renameat and a flush of the folder, owner, mode, access lists and extended attributes
// copied to a replacement.
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

// Legacy code pages through Qt's ICU converters.
files::CodePages qtCodePages();

}  // namespace zorbalin::window
