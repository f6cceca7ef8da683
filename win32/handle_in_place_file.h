// The in-place write's file operations over an open Win32 file handle.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "textio/write_back.h"

namespace zorbalin::win32 {

// Works on a handle opened with GENERIC_READ | GENERIC_WRITE (not truncated); the caller
// keeps the handle open for as long as this object is used.
class HandleInPlaceFile : public textio::InPlaceFile {
public:
    explicit HandleInPlaceFile(HANDLE file) : file_(file) {}

    bool readAll(std::string& bytes) override;
    // Extending the file with SetEndOfFile allocates its clusters, so the later writes
    // cannot run out of room; the bytes already there stay.
    bool reserve(std::uint64_t size) override;
    bool writeAt(std::uint64_t offset, std::string_view bytes) override;
    bool flush() override;
    bool truncate(std::uint64_t size) override;
    std::u16string errorText() const override;

private:
    bool fail();
    bool setEnd(std::uint64_t size);

    HANDLE file_;
    DWORD error_ = ERROR_SUCCESS;
};

}  // namespace zorbalin::win32
