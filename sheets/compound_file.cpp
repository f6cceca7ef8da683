#include "sheets/compound_file.h"

#include <cstdint>
#include <vector>

namespace zorbalin::sheets {
namespace {

constexpr std::string_view kSignature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::uint32_t kLastRealSector = 0xFFFFFFF9;  // above: end of chain, free, FAT...
constexpr std::size_t kHeaderFatSectors = 109;
constexpr std::size_t kDirectoryEntrySize = 128;
constexpr unsigned char kStreamEntry = 2;

std::uint32_t le32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

class Sectors {
public:
    Sectors(std::string_view bytes, std::size_t size) : bytes_(bytes), size_(size) {}
    // Sector n, whole, or empty when it is no real sector of the file.
    std::string_view operator[](std::uint32_t n) const {
        const std::uint64_t offset = (std::uint64_t{n} + 1) * size_;
        if (n > kLastRealSector || offset + size_ > bytes_.size()) return {};
        return bytes_.substr(static_cast<std::size_t>(offset), size_);
    }
    std::size_t size() const { return size_; }
    std::size_t count() const { return bytes_.size() / size_; }

private:
    std::string_view bytes_;
    std::size_t size_;
};

// A stream name, UTF-16LE in the entry, equal to an ASCII name in any case.
bool hasName(std::string_view entry, std::string_view name) {
    const std::size_t length = static_cast<unsigned char>(entry[64]) | static_cast<unsigned char>(entry[65]) << 8;
    if (length != (name.size() + 1) * 2) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = entry[2 * i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        char n = name[i];
        if (n >= 'a' && n <= 'z') n = static_cast<char>(n - 'a' + 'A');
        if (entry[2 * i + 1] != 0 || c != n) return false;
    }
    return true;
}

}  // namespace

bool isCompoundFile(std::string_view bytes) { return bytes.starts_with(kSignature); }

CompoundContent compoundContent(std::string_view bytes) {
    if (!isCompoundFile(bytes) || bytes.size() < 512) return CompoundContent::Other;
    const std::uint16_t shift = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0x1E]) |
                                                           static_cast<unsigned char>(bytes[0x1F]) << 8);
    if (shift != 9 && shift != 12) return CompoundContent::Other;
    const Sectors sectors(bytes, std::size_t{1} << shift);
    const std::size_t perSector = sectors.size() / 4;

    // The sectors of the allocation table: 109 in the header, the rest in a chain of its own.
    std::vector<std::uint32_t> fat;
    const std::uint32_t fatCount = le32(bytes, 0x2C);
    for (std::size_t i = 0; i < kHeaderFatSectors && fat.size() < fatCount; ++i) {
        fat.push_back(le32(bytes, 0x4C + 4 * i));
    }
    std::uint32_t more = le32(bytes, 0x44);
    for (std::size_t steps = 0; fat.size() < fatCount && steps < sectors.count(); ++steps) {
        const std::string_view sector = sectors[more];
        if (sector.empty()) return CompoundContent::Other;
        for (std::size_t i = 0; i + 1 < perSector && fat.size() < fatCount; ++i) fat.push_back(le32(sector, 4 * i));
        more = le32(sector, 4 * (perSector - 1));
    }
    const auto nextSector = [&](std::uint32_t n) -> std::uint32_t {
        if (n / perSector >= fat.size()) return 0xFFFFFFFE;
        const std::string_view sector = sectors[fat[n / perSector]];
        return sector.empty() ? 0xFFFFFFFE : le32(sector, 4 * (n % perSector));
    };

    // The directory's chain, each step bounded so that a loop in it ends.
    bool legacy = false;
    std::uint32_t n = le32(bytes, 0x30);
    for (std::size_t steps = 0; n <= kLastRealSector && steps < sectors.count(); ++steps, n = nextSector(n)) {
        const std::string_view sector = sectors[n];
        if (sector.empty()) break;
        for (std::size_t at = 0; at + kDirectoryEntrySize <= sector.size(); at += kDirectoryEntrySize) {
            const std::string_view entry = sector.substr(at, kDirectoryEntrySize);
            if (static_cast<unsigned char>(entry[66]) != kStreamEntry) continue;
            if (hasName(entry, "EncryptedPackage")) return CompoundContent::EncryptedPackage;
            legacy = legacy || hasName(entry, "Workbook") || hasName(entry, "Book");
        }
    }
    return legacy ? CompoundContent::LegacyWorkbook : CompoundContent::Other;
}

}  // namespace zorbalin::sheets
