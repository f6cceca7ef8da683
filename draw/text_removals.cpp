#include "draw/text_removals.h"

#include <algorithm>
#include <new>

namespace zorbalin::draw {

namespace {

// Whether a CR LF pair straddles position `at` of the text.
bool splitsLineBreak(const std::u16string& text, std::size_t at) {
    return at > 0 && at < text.size() && text[at - 1] == u'\r' && text[at] == u'\n';
}

}  // namespace

// Each run ends where the old text next has the new text's next character: a greedy match
// that finds tidying's removals, since what it removes are line breaks before a line.
std::optional<std::vector<Removal>> removalsBetween(const std::u16string& before,
                                                    const std::u16string& after,
                                                    std::size_t maxRemovals) try {
    std::vector<Removal> removals;
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        const auto [b, a] = std::mismatch(before.begin() + static_cast<std::ptrdiff_t>(i), before.end(),
                                          after.begin() + static_cast<std::ptrdiff_t>(j), after.end());
        i = static_cast<std::size_t>(b - before.begin());
        j = static_cast<std::size_t>(a - after.begin());
        if (i == before.size() && j == after.size()) return removals;
        const std::size_t end = j == after.size() ? before.size() : before.find(after[j], i);
        const bool joinsBreak = j > 0 && j < after.size() && after[j - 1] == u'\r' && after[j] == u'\n';
        if (end == std::u16string::npos || splitsLineBreak(before, i) || splitsLineBreak(before, end) ||
            joinsBreak || removals.size() == maxRemovals) {
            return std::nullopt;
        }
        removals.push_back({i, end});
        i = end;
    }
} catch (const std::bad_alloc&) {
    return std::nullopt;  // the editor sets the whole text, which needs no list of runs
}

}  // namespace zorbalin::draw
