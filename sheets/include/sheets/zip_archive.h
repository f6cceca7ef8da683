// The entries of a zip archive, from its central directory, and an entry's bytes inflated
// with zlib. Nothing is ever extracted to disk, so an entry's name is only compared, and an
// entry is only ever read into memory within a budget.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zorbalin::sheets {

enum class ZipFailure {
    Damaged,    // not a zip that reads whole: sizes, offsets or checksums that do not add up,
                // a method other than stored or deflated, a multi-volume or Zip64 archive
    Encrypted,  // an entry encrypted by the zip itself
    TooLarge,   // more bytes than the budget left
};

struct ZipEntry {
    std::string_view name;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t size = 0;
    std::uint32_t localHeader = 0;
};

class ZipArchive {
public:
    // The archive in bytes, which must outlive it. Fails with Damaged only.
    static std::variant<ZipArchive, ZipFailure> open(std::string_view bytes);

    // The entry of that name, or null. Letters match in either case and "\" as "/", as
    // Office reads its part names.
    const ZipEntry* find(std::string_view name) const;

    // The entry's bytes, stored or inflated, their checksum checked. The budget is lessened
    // by the size the entry declares, which is checked before anything is inflated; an
    // entry that inflates to more or less than that is Damaged.
    std::variant<std::string, ZipFailure> read(const ZipEntry& entry, std::uint64_t& budget) const;

private:
    ZipArchive(std::string_view bytes, std::uint32_t directoryStart)
        : bytes_(bytes), directoryStart_(directoryStart) {}

    std::string_view bytes_;
    std::uint32_t directoryStart_;
    std::vector<ZipEntry> entries_;
};

}  // namespace zorbalin::sheets
