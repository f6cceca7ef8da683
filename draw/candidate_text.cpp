#include "draw/candidate_text.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace zorbalin::draw {

namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';
constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// Texts are scanned in blocks of fixed length: loops of a constant trip count over
// plain comparisons are ones that the compiler turns into vector instructions.
// Where the toolchain can pick a version at load time, the scans also get a build
// for wider vectors; elsewhere they stay portable C++.
constexpr std::size_t kBlock = 32;

#if defined(__x86_64__) && defined(__ELF__) && (defined(__GNUC__) || defined(__clang__))
#define ZORBALIN_WIDE_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ZORBALIN_WIDE_VECTOR_CLONES
#endif

// Whether p[j] is LF and p[j + 1] is CR for some j in the block (reads kBlock + 1).
bool blockHasLfCr(const char16_t* p) {
    unsigned short hit = 0;
    for (std::size_t j = 0; j < kBlock; ++j) {
        hit |= static_cast<unsigned short>((p[j] == kLf) & (p[j + 1] == kCr));
    }
    return hit != 0;
}

// The number of j in the block where p[j] is CR and p[j + 1] is LF (reads kBlock + 1).
std::size_t blockBreakCount(const char16_t* p) {
    unsigned short count = 0;
    for (std::size_t j = 0; j < kBlock; ++j) {
        count = static_cast<unsigned short>(count + ((p[j] == kCr) & (p[j + 1] == kLf)));
    }
    return count;
}

// The first index i >= from with LF at i and CR at i + 1, or kNotFound. An LF
// directly followed by a CR is where two line breaks meet, which is rare in a list.
ZORBALIN_WIDE_VECTOR_CLONES
std::size_t findLfCr(const char16_t* p, std::size_t from, std::size_t size) {
    std::size_t i = from;
    while (i + kBlock < size && !blockHasLfCr(p + i)) i += kBlock;
    for (; i + 1 < size; ++i) {
        if (p[i] == kLf && p[i + 1] == kCr) return i;
    }
    return kNotFound;
}

ZORBALIN_WIDE_VECTOR_CLONES
std::size_t countBreaks(const char16_t* p, std::size_t size) {
    std::size_t count = 0;
    std::size_t i = 0;
    for (; i + kBlock < size; i += kBlock) count += blockBreakCount(p + i);
    for (; i + 1 < size; ++i) count += (p[i] == kCr) & (p[i + 1] == kLf);
    return count;
}

// Bit j set where a line break starts at p[j], for j in [0, 64) (reads 65). The flags
// are computed as bytes, which vectorizes, and then gathered eight at a time by one
// multiplication; this keeps the cutting free of a mispredicted branch per line.
constexpr std::size_t kMaskBlock = 64;

std::uint64_t blockBreakMask(const char16_t* p) {
    unsigned char flags[kMaskBlock];
    for (std::size_t j = 0; j < kMaskBlock; ++j) {
        flags[j] = static_cast<unsigned char>((p[j] == kCr) & (p[j + 1] == kLf));
    }
    std::uint64_t mask = 0;
    for (std::size_t k = 0; k < kMaskBlock / 8; ++k) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, flags + 8 * k, 8);
        if constexpr (std::endian::native == std::endian::little) {
            // Byte i (0 or 1) lands on bit 56 + i, with no carries between the terms.
            eight = (eight * 0x0102040810204080ULL) >> 56;
        } else {
            std::uint64_t gathered = 0;
            for (std::size_t i = 0; i < 8; ++i) gathered |= std::uint64_t{flags[8 * k + i]} << i;
            eight = gathered;
        }
        mask |= eight << (8 * k);
    }
    return mask;
}

bool isBreakAt(const char16_t* p, std::size_t i, std::size_t size) {
    return i + 1 < size && p[i] == kCr && p[i + 1] == kLf;
}

}  // namespace

// Two CR LF can never overlap, and shortening a run never joins it to a neighbouring
// CR or LF, so each halving pass acts on every run of k breaks on its own: k becomes
// ceil(k/2), and two passes give ceil(k/4). One scan therefore does both passes.
// Only runs of two or more breaks change, and each of them holds an LF directly
// followed by a CR, so the text is copied in large spans between such places.
std::u16string tidiedCandidateText(std::u16string_view text) {
    const char16_t* const p = text.data();
    const std::size_t size = text.size();
    std::u16string out;
    out.reserve(size);

    std::size_t copied = 0;  // p[0, copied) is accounted for in out
    std::size_t from = 0;
    for (std::size_t i; (i = findLfCr(p, from, size)) != kNotFound;) {
        from = i + 1;
        if (i == 0 || p[i - 1] != kCr || !isBreakAt(p, i + 1, size)) continue;  // lone CR or LF

        // A run of at least two breaks starts at i - 1: everything before it was
        // searched already, so no earlier break belongs to it.
        const std::size_t runStart = i - 1;
        std::size_t runEnd = runStart;
        std::size_t breaks = 0;
        while (isBreakAt(p, runEnd, size)) {
            ++breaks;
            runEnd += 2;
        }
        const std::size_t kept = (breaks + 3) / 4;
        out.append(p + copied, runStart + 2 * kept - copied);  // the kept breaks are the run's first
        copied = runEnd;
        from = runEnd;
    }
    out.append(p + copied, size - copied);

    const std::size_t length = out.size();
    if (length >= 2 && out[length - 2] == kCr && out[length - 1] == kLf) out.resize(length - 2);
    return out;
}

std::vector<std::size_t> lineStarts(std::u16string_view text) {
    const char16_t* const p = text.data();
    const std::size_t size = text.size();

    std::vector<std::size_t> starts;
    starts.reserve(countBreaks(p, size) + 1);
    starts.push_back(0);
    std::size_t i = 0;
    for (; i + kMaskBlock < size; i += kMaskBlock) {
        for (std::uint64_t mask = blockBreakMask(p + i); mask != 0; mask &= mask - 1) {
            starts.push_back(i + static_cast<std::size_t>(std::countr_zero(mask)) + 2);
        }
    }
    // A break that straddled the last block boundary was taken already; its LF at i
    // cannot start another.
    for (; i + 1 < size; ++i) {
        if (p[i] == kCr && p[i + 1] == kLf) {
            starts.push_back(i + 2);
            ++i;
        }
    }
    return starts;
}

ItemList splitItems(std::u16string text) {
    return ItemList(std::move(text));
}

ItemList::ItemList(std::u16string text) : text_(std::move(text)), lineStarts_(lineStarts(text_)) {}

std::u16string_view ItemList::operator[](std::size_t index) const {
    const std::size_t begin = lineStarts_[index];
    const std::size_t end = index + 1 < lineStarts_.size() ? lineStarts_[index + 1] - 2 : text_.size();
    return std::u16string_view(text_).substr(begin, end - begin);
}

std::u16string pickDisplayText(std::u16string_view item) {
    std::u16string shown(item);
    for (char16_t& c : shown) {
        if (c == u'\t') c = u'\u3000';
    }
    return shown;
}

}  // namespace zorbalin::draw
