// The file operations of the shared file procedure on Windows: the Win32 file API, the file
// ID and final path asked of the open handle, names checked without following a link that
// appeared, ReplaceFileW (which keeps the access list and attributes) and a recovery folder
// in %LOCALAPPDATA%\Zorbalin.
#pragma once

#include <string>

#include "files/candidate_file.h"
#include "files/file_system.h"

namespace zorbalin::win32 {

class Win32FileSystem final : public files::FileSystem {
public:
    // The recovery folder: %LOCALAPPDATA%\Zorbalin unless given.
    explicit Win32FileSystem(std::wstring recoveryFolder = {});

    Result<files::OpenedFile> openForReading(std::u16string_view path) override;
    Result<std::unique_ptr<files::Folder>> openFolder(std::u16string_view path) override;
    Result<std::unique_ptr<files::Folder>> openRecoveryFolder() override;

    const std::wstring& recoveryFolder() const { return recoveryFolder_; }

private:
    std::wstring recoveryFolder_;
};

// Legacy code pages through MultiByteToWideChar and WideCharToMultiByte.
files::CodePages win32CodePages();

}  // namespace zorbalin::win32
