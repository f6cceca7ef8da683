#include "draw/draw_round.h"

#include <algorithm>
#include <functional>
#include <unordered_map>
#include <utility>

#include "draw/random_pick.h"

namespace zorbalin::draw {

namespace {

bool isBlank(char16_t c) {
    switch (c) {
    case u'\t': case u'\n': case u'\v': case u'\f': case u'\r': case u' ':
    case u'\u0085': case u'\u00A0': case u'\u1680': case u'\u180E':
    case u'\u2028': case u'\u2029': case u'\u202F': case u'\u205F': case u'\u2060':
    case u'\u3000': case u'\uFEFF':
        return true;
    default:
        return c >= u'\u2000' && c <= u'\u200D';  // the typographic spaces and zero-width marks
    }
}

}  // namespace

bool isBlankItem(std::u16string_view item) {
    return std::all_of(item.begin(), item.end(), isBlank);
}

void DrawRound::begin(const ItemList& items) {
    beginNumber();
    slots_.clear();
    slots_.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!isBlankItem(items[i])) slots_.push_back(i);
    }
    slots_.shrink_to_fit();
    remaining_ = slots_.size();
    shownSlots_.clear();
    built_ = true;
}

void DrawRound::carryOver(const ItemList& before, const ItemList& after) {
    std::unordered_map<std::u16string_view, std::size_t> drawn;
    for (std::size_t slot = remaining_; slot < slots_.size(); ++slot) ++drawn[before[slots_[slot]]];
    std::vector<std::size_t> left;
    std::vector<std::size_t> taken;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (isBlankItem(after[i])) continue;
        const auto match = drawn.find(after[i]);
        if (match != drawn.end() && match->second > 0) {
            --match->second;
            taken.push_back(i);
        } else {
            left.push_back(i);
        }
    }
    remaining_ = left.size();
    left.insert(left.end(), taken.begin(), taken.end());
    slots_ = std::move(left);
    slots_.shrink_to_fit();
    avoided_ = 0;
    shownSlots_.clear();
    built_ = true;
}

void DrawRound::forget() {
    slots_ = {};
    remaining_ = 0;
    avoided_ = 0;
    shownSlots_.clear();
    built_ = false;
}

void DrawRound::startOver() {
    if (!built_) return;
    beginNumber();
    remaining_ = slots_.size();
    avoided_ = 0;
}

// The lines that ended the last round go to the end of those not yet drawn, out of reach of
// the first pick; unless nothing else is left to pick.
void DrawRound::avoidFirst(const ItemList& items, std::size_t drawCount) {
    std::size_t end = remaining_;
    for (std::size_t slot = 0; slot < end;) {
        if (std::find(lastTaken_.begin(), lastTaken_.end(), items[slots_[slot]]) != lastTaken_.end()) {
            std::swap(slots_[slot], slots_[--end]);
        } else {
            ++slot;
        }
    }
    avoided_ = end < std::min(drawCount, remaining_) || end == 0 ? 0 : remaining_ - end;
}

// A round that ended before giving any result is not counted, so that the record's
// round numbers run without gaps.
void DrawRound::beginNumber() {
    if (number_ == 0 || drawn_ > 0) ++number_;
    drawn_ = 0;
}

std::vector<std::size_t> DrawRound::pick(RandomSource& random, std::size_t n) const {
    return pickDistinct(random, n, remaining_ - avoided_);
}

void DrawRound::takeShown(const std::vector<std::u16string>& texts) {
    if (shownSlots_.empty()) return;
    lastTaken_ = texts;
    avoided_ = 0;
    // Last slot first, so that a swap never moves a slot still to be taken. A request to
    // start over while the draw ran widened the window again, so they are all inside it.
    std::sort(shownSlots_.begin(), shownSlots_.end(), std::greater<>());
    for (const std::size_t slot : shownSlots_) {
        std::swap(slots_[slot], slots_[remaining_ - 1]);
        --remaining_;
    }
    ++drawn_;
    shownSlots_.clear();
}

}  // namespace zorbalin::draw
