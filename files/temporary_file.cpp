#include "temporary_file.h"

#include <random>

namespace zorbalin::files {
namespace {

constexpr std::u16string_view kPrefix = u".~zorbalin-";
constexpr std::u16string_view kSuffix = u".tmp";
constexpr std::size_t kDigits = 16;
constexpr std::u16string_view kHexDigits = u"0123456789abcdef";

}  // namespace

std::u16string temporaryName() {
    static std::mt19937_64 random{std::random_device{}()};
    std::u16string name(kPrefix);
    for (std::uint64_t bits = random(), i = 0; i < kDigits; ++i, bits >>= 4) name += kHexDigits[bits & 15];
    return name += kSuffix;
}

bool isTemporaryName(std::u16string_view name) {
    if (name.size() != kPrefix.size() + kDigits + kSuffix.size() || !name.starts_with(kPrefix) ||
        !name.ends_with(kSuffix)) {
        return false;
    }
    const std::u16string_view digits = name.substr(kPrefix.size(), kDigits);
    return digits.find_first_not_of(kHexDigits) == std::u16string_view::npos;
}

Temporary::~Temporary() {
    file_.reset();
    if (!name_.empty()) (void)folder_.remove(name_);
}

Status Temporary::replace(std::u16string_view target) {
    file_.reset();
    Status replaced = folder_.replace(name_, target);
    if (replaced) name_.clear();
    return replaced;
}

}  // namespace zorbalin::files
