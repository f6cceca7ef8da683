#include "content_digest.h"

#include <cstring>

namespace zorbalin::files {

// 64-bit words through a multiply and a fold; the bytes after the last whole word one by one;
// the size goes in separately.
constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;

void DigestBuilder::mix(std::uint64_t word) {
    hash_ = (hash_ ^ word) * kMultiplier;
    hash_ ^= hash_ >> 29;
}

void DigestBuilder::add(std::string_view bytes) {
    size_ += bytes.size();
    std::size_t i = 0;
    while (pendingCount_ > 0 && pendingCount_ < 8 && i < bytes.size()) {
        pending_[pendingCount_++] = static_cast<unsigned char>(bytes[i++]);
    }
    if (pendingCount_ == 8) {
        std::uint64_t word;
        std::memcpy(&word, pending_, sizeof word);
        mix(word);
        pendingCount_ = 0;
    }
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        mix(word);
    }
    for (; i < bytes.size(); ++i) pending_[pendingCount_++] = static_cast<unsigned char>(bytes[i]);
}

ContentDigest DigestBuilder::finish() const {
    DigestBuilder last = *this;
    for (std::size_t i = 0; i < pendingCount_; ++i) last.mix(pending_[i]);
    return ContentDigest{size_, last.hash_};
}

ContentDigest digestOf(std::string_view bytes) {
    DigestBuilder digest;
    digest.add(bytes);
    return digest.finish();
}

Result<ContentDigest> digestOfFile(OpenFile& file, std::span<char> buffer) {
    DigestBuilder digest;
    for (std::uint64_t offset = 0;;) {
        Result<std::size_t> got = file.readAt(offset, buffer);
        if (!got) return got.takeProblem();
        if (*got == 0) return digest.finish();
        digest.add(std::string_view(buffer.data(), *got));
        offset += *got;
    }
}

}  // namespace zorbalin::files
