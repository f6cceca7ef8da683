// A fresh folder under the system's temporary folder for one test, removed with everything
// in it afterwards, and small helpers for the bytes of the files in it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace zorbalin::win32::testing {

class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring file(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }
    // The names in the folder, without "." and "..".
    std::vector<std::wstring> names() const;
    static std::vector<std::wstring> namesIn(const std::wstring& folder);

private:
    std::wstring path_;
};

// The \\?\ form of a full path, so that the helpers work at any length.
std::wstring extended(const std::wstring& fullPath);

void writeBytes(const std::wstring& path, std::string_view bytes);
std::string readBytes(const std::wstring& path);

}  // namespace zorbalin::win32::testing
