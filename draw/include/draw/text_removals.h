#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zorbalin::draw {

// A run of characters that a new text no longer has: [begin, end) of the old text.
struct Removal {
    std::size_t begin;
    std::size_t end;

    friend bool operator==(const Removal&, const Removal&) = default;
};

// Beyond this many runs an editor builds the new text faster in one go.
inline constexpr std::size_t kMaxRemovals = 1000;

// How `after` arises from `before` by removing at most `maxRemovals` runs of characters, in
// increasing order, none of which cuts a CR LF pair or brings a CR and an LF together into
// a new one: removing them from an editor that keeps every CR LF as one line break gives
// exactly the lines of the new text. Tidying only ever removes line breaks, so its changes
// are found; other changes (and too many runs, or too little memory for them) give nullopt.
std::optional<std::vector<Removal>> removalsBetween(const std::u16string& before,
                                                    const std::u16string& after,
                                                    std::size_t maxRemovals = kMaxRemovals);

}  // namespace zorbalin::draw
