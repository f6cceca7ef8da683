#include "handle_in_place_file.h"

#include <algorithm>

#include "system_error_text.h"

namespace zorbalin::win32 {
namespace {

// ReadFile and WriteFile take a 32-bit count.
constexpr std::size_t kChunk = std::size_t{1} << 30;

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

}  // namespace

bool HandleInPlaceFile::fail() {
    error_ = GetLastError();
    return false;
}

bool HandleInPlaceFile::readAll(std::string& bytes) {
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file_, &size) == FALSE) return fail();
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto want = static_cast<DWORD>(std::min(kChunk, bytes.size() - done));
        OVERLAPPED position = at(done);
        DWORD got = 0;
        if (ReadFile(file_, bytes.data() + done, want, &got, &position) == FALSE) return fail();
        if (got == 0) break;  // shrank since it was measured
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool HandleInPlaceFile::setEnd(std::uint64_t size) {
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    if (SetFilePointerEx(file_, end, nullptr, FILE_BEGIN) == FALSE) return fail();
    if (SetEndOfFile(file_) == FALSE) return fail();
    return true;
}

bool HandleInPlaceFile::reserve(std::uint64_t size) {
    LARGE_INTEGER current{};
    if (GetFileSizeEx(file_, &current) == FALSE) return fail();
    if (size <= static_cast<std::uint64_t>(current.QuadPart)) return true;
    return setEnd(size);
}

bool HandleInPlaceFile::writeAt(std::uint64_t offset, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto count = static_cast<DWORD>(std::min(kChunk, bytes.size() - done));
        OVERLAPPED position = at(offset + done);
        DWORD written = 0;
        if (WriteFile(file_, bytes.data() + done, count, &written, &position) == FALSE) {
            return fail();
        }
        if (written == 0) {
            error_ = ERROR_WRITE_FAULT;
            return false;
        }
        done += written;
    }
    return true;
}

bool HandleInPlaceFile::flush() { return FlushFileBuffers(file_) != FALSE || fail(); }

bool HandleInPlaceFile::truncate(std::uint64_t size) { return setEnd(size); }

std::u16string HandleInPlaceFile::errorText() const { return systemErrorText(error_); }

}  // namespace zorbalin::win32
