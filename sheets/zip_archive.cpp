#include "sheets/zip_archive.h"

#include <zlib.h>

#include <memory>
#include <new>
#include <stdexcept>

namespace zorbalin::sheets {
namespace {

constexpr std::uint32_t kEndOfDirectory = 0x06054b50;
constexpr std::uint32_t kDirectoryEntry = 0x02014b50;
constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::size_t kEndOfDirectorySize = 22;
constexpr std::size_t kDirectoryEntrySize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kEncryptedFlag = 1;

std::uint16_t le16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}
std::uint32_t le32(std::string_view bytes, std::size_t at) {
    return le16(bytes, at) | static_cast<std::uint32_t>(le16(bytes, at + 2)) << 16;
}

// The end-of-directory record: the last one whose comment reaches the end of the bytes.
std::size_t findEndOfDirectory(std::string_view bytes) {
    if (bytes.size() < kEndOfDirectorySize) return std::string_view::npos;
    const std::size_t last = bytes.size() - kEndOfDirectorySize;
    const std::size_t first = last > 0xFFFF ? last - 0xFFFF : 0;
    for (std::size_t at = last + 1; at-- > first;) {
        if (le32(bytes, at) == kEndOfDirectory && at + kEndOfDirectorySize + le16(bytes, at + 20) == bytes.size()) {
            return at;
        }
    }
    return std::string_view::npos;
}

char folded(char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    return c == '\\' ? '/' : c;
}

bool samePartName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (folded(a[i]) != folded(b[i])) return false;
    }
    return true;
}

struct Inflater {
    z_stream stream{};
    Inflater() {
        const int started = inflateInit2(&stream, -MAX_WBITS);  // raw deflate, as zip has it
        if (started == Z_MEM_ERROR) throw std::bad_alloc();
        if (started != Z_OK) throw std::runtime_error("zlib could not start inflating");
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    ~Inflater() { inflateEnd(&stream); }
};

}  // namespace

std::variant<ZipArchive, ZipFailure> ZipArchive::open(std::string_view bytes) {
    const std::size_t end = findEndOfDirectory(bytes);
    if (end == std::string_view::npos) return ZipFailure::Damaged;
    const std::uint16_t count = le16(bytes, end + 10);
    const std::uint32_t directorySize = le32(bytes, end + 12);
    const std::uint32_t directoryStart = le32(bytes, end + 16);
    // One volume only; the marks of Zip64 (all bits set) are no real sizes here.
    if (le16(bytes, end + 4) != 0 || le16(bytes, end + 6) != 0 || le16(bytes, end + 8) != count ||
        count == 0xFFFF || directoryStart == 0xFFFFFFFFu ||
        std::uint64_t{directoryStart} + directorySize > end) {
        return ZipFailure::Damaged;
    }

    ZipArchive archive(bytes, directoryStart);
    archive.entries_.reserve(count);
    std::size_t at = directoryStart;
    const std::size_t directoryEnd = std::size_t{directoryStart} + directorySize;
    for (std::uint16_t i = 0; i < count; ++i) {
        if (at + kDirectoryEntrySize > directoryEnd || le32(bytes, at) != kDirectoryEntry) {
            return ZipFailure::Damaged;
        }
        const std::size_t nameSize = le16(bytes, at + 28);
        const std::size_t entrySize =
            kDirectoryEntrySize + nameSize + le16(bytes, at + 30) + le16(bytes, at + 32);
        if (at + entrySize > directoryEnd || le16(bytes, at + 34) != 0) return ZipFailure::Damaged;
        ZipEntry entry;
        entry.name = bytes.substr(at + kDirectoryEntrySize, nameSize);
        entry.flags = le16(bytes, at + 8);
        entry.method = le16(bytes, at + 10);
        entry.crc = le32(bytes, at + 16);
        entry.compressedSize = le32(bytes, at + 20);
        entry.size = le32(bytes, at + 24);
        entry.localHeader = le32(bytes, at + 42);
        archive.entries_.push_back(entry);
        at += entrySize;
    }
    if (at != directoryEnd) return ZipFailure::Damaged;
    return archive;
}

const ZipEntry* ZipArchive::find(std::string_view name) const {
    for (const ZipEntry& entry : entries_) {
        if (samePartName(entry.name, name)) return &entry;
    }
    return nullptr;
}

std::variant<std::string, ZipFailure> ZipArchive::read(const ZipEntry& entry,
                                                       std::uint64_t& budget) const {
    if (entry.flags & kEncryptedFlag) return ZipFailure::Encrypted;
    if (entry.method != kStored && entry.method != kDeflated) return ZipFailure::Damaged;
    if (entry.size > budget) return ZipFailure::TooLarge;
    // The local header must be where the directory says, name and all, and the data must end
    // before the directory begins.
    const std::size_t header = entry.localHeader;
    if (header + kLocalHeaderSize > directoryStart_ || le32(bytes_, header) != kLocalHeader) {
        return ZipFailure::Damaged;
    }
    const std::size_t nameSize = le16(bytes_, header + 26);
    const std::size_t data = header + kLocalHeaderSize + nameSize + le16(bytes_, header + 28);
    if (std::uint64_t{data} + entry.compressedSize > directoryStart_ ||
        bytes_.substr(header + kLocalHeaderSize, nameSize) != entry.name) {
        return ZipFailure::Damaged;
    }
    const std::string_view packed = bytes_.substr(data, entry.compressedSize);
    budget -= entry.size;

    std::string out;
    if (entry.method == kStored) {
        if (entry.compressedSize != entry.size) return ZipFailure::Damaged;
        out.assign(packed);
    } else {
        // One byte more than declared, so that an entry that inflates to more is caught.
        out.resize(std::size_t{entry.size} + 1);
        Inflater inflater;
        inflater.stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
        inflater.stream.avail_in = static_cast<uInt>(packed.size());
        inflater.stream.next_out = reinterpret_cast<Bytef*>(out.data());
        inflater.stream.avail_out = static_cast<uInt>(out.size());
        const int inflated = inflate(&inflater.stream, Z_FINISH);
        if (inflated == Z_MEM_ERROR) throw std::bad_alloc();
        if (inflated != Z_STREAM_END || inflater.stream.total_out != entry.size ||
            inflater.stream.avail_in != 0) {
            return ZipFailure::Damaged;
        }
        out.resize(entry.size);
    }
    if (crc32_z(0, reinterpret_cast<const Bytef*>(out.data()), out.size()) != entry.crc) {
        return ZipFailure::Damaged;
    }
    return out;
}

}  // namespace zorbalin::sheets
