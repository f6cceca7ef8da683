// The fingerprint of a file's bytes (files/candidate_file.h's ContentDigest), also taken
// piece by piece, so that a file is told apart from another without holding either whole.
// Internal to the file procedure.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/result.h"
#include "files/candidate_file.h"

namespace zorbalin::files {

class DigestBuilder {
public:
    void add(std::string_view bytes);
    ContentDigest finish() const;

private:
    void mix(std::uint64_t word);
    std::uint64_t hash_ = 0xCBF29CE484222325ULL;
    std::uint64_t size_ = 0;
    unsigned char pending_[8] = {};  // the bytes of a word not yet complete
    std::size_t pendingCount_ = 0;
};

// The digest of the file's bytes from the start to its end, read through buffer.
Result<ContentDigest> digestOfFile(OpenFile& file, std::span<char> buffer);

}  // namespace zorbalin::files
