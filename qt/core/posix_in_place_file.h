#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "textio/write_back.h"

namespace zorbalin::window {

// An open file descriptor as the shared in-place write sees it: pread/pwrite,
// posix_fallocate, fsync and ftruncate. Does not own the descriptor.
class PosixInPlaceFile final : public textio::InPlaceFile {
public:
    explicit PosixInPlaceFile(int fd) : fd_(fd) {}

    bool readAll(std::string& bytes) override;
    bool reserve(std::uint64_t size) override;
    bool writeAt(std::uint64_t offset, std::string_view bytes) override;
    bool flush() override;
    bool truncate(std::uint64_t size) override;
    std::u16string errorText() const override;

private:
    bool fail(int error);

    int fd_;
    int error_ = 0;
};

}  // namespace zorbalin::window
