#include "posix_in_place_file.h"

#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "qstring_u16.h"

namespace zorbalin::window {

bool PosixInPlaceFile::fail(int error) {
    error_ = error;
    return false;
}

bool PosixInPlaceFile::readAll(std::string& bytes) {
    struct stat status {};
    if (fstat(fd_, &status) != 0) return fail(errno);
    bytes.resize(static_cast<std::size_t>(status.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = pread(fd_, bytes.data() + done, bytes.size() - done,
                                  static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(errno);
        if (got == 0) break;  // shrunk since fstat
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return true;
}

bool PosixInPlaceFile::reserve(std::uint64_t size) {
    const int error = posix_fallocate(fd_, 0, static_cast<off_t>(size));
    return error == 0 || fail(error);
}

bool PosixInPlaceFile::writeAt(std::uint64_t offset, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                       static_cast<off_t>(offset + done));
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return fail(errno);
        done += static_cast<std::size_t>(written);
    }
    return true;
}

bool PosixInPlaceFile::flush() { return fsync(fd_) == 0 || fail(errno); }

bool PosixInPlaceFile::truncate(std::uint64_t size) {
    return ftruncate(fd_, static_cast<off_t>(size)) == 0 || fail(errno);
}

std::u16string PosixInPlaceFile::errorText() const { return fromQString(qt_error_string(error_)); }

}  // namespace zorbalin::window
