#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "item_list.h"
#include "random_pick.h"

namespace zorbalin::draw {

// Whether an item holds nothing to read: empty, or only blanks (spaces, tabs, the
// ideographic and no-break spaces, the other Unicode spaces, and invisible marks such as
// U+200B and U+FEFF). In a draw without repeats such an item is never a result.
bool isBlankItem(std::u16string_view item);

// How far a round has come: the presentation view's help line shows "剩余 3 / 40".
struct RoundCount {
    std::size_t remaining;  // not yet drawn, the pick on show while scrolling included
    std::size_t total;      // in the round when it began
};

// A round of draws without repeats over one item list: every non-blank item once, each
// draw among the items not yet drawn, each of them with the same chance.
//
// The round's items are kept as item indices in one array whose first `remaining` slots
// hold the items not yet drawn; a drawn item is swapped behind them. A pick is then one
// random slot among the first `remaining`, and a removal one swap: neither depends on the
// size of the list. Starting over only widens the window again, since the array always
// holds every item of the round.
class DrawRound {
public:
    // Whether the round was built for the current item list.
    bool isBuilt() const { return built_; }

    // Builds a new round over the list's non-blank items (one pass over the list).
    void begin(const ItemList& items);
    // The list changed from `before` to `after` between two draws: the round goes on. Lines
    // already drawn stay drawn (matched as lines: a line twice is two items, and a drawn one
    // matches one of them), new lines join those not yet drawn, removed lines leave it.
    void carryOver(const ItemList& before, const ItemList& after);
    // No list: the round no longer applies; the next begin numbers a new round.
    void forget();
    // Every item of the list is in the round again (a request, or all were drawn).
    void startOver();
    // A round that began because the last one ended does not begin with the lines that ended
    // it, when it holds enough others: its first draw picks among the other lines only.
    void avoidFirst(const ItemList& items, std::size_t drawCount);

    std::size_t remaining() const { return remaining_; }
    RoundCount count() const { return {remaining_, slots_.size()}; }
    // The round's number in this run, from 1; a round that ended before any result keeps
    // its number for the next. 0 before the first round.
    std::size_t number() const { return number_; }

    // n different slots among the items not yet drawn (all that are left when fewer), each
    // n-subset equally likely, in the order drawn. Needs remaining() > 0.
    std::vector<std::size_t> pick(RandomSource& random, std::size_t n) const;
    // The item index of a slot.
    std::size_t itemAt(std::size_t slot) const { return slots_[slot]; }
    // These slots are on show: a draw from the round is running.
    void show(std::vector<std::size_t> roundSlots) { shownSlots_ = std::move(roundSlots); }
    bool isShowing() const { return !shownSlots_.empty(); }
    // The draw stopped: the items on show (these are their texts) leave the round.
    void takeShown(const std::vector<std::u16string>& texts);
    // The draw never ran: the items on show stay in the round.
    void dropShown() { shownSlots_.clear(); }

private:
    void beginNumber();

    std::vector<std::size_t> slots_;  // item indices; [0, remaining_) not yet drawn
    std::size_t remaining_ = 0;
    std::size_t avoided_ = 0;  // the last of the slots not yet drawn, kept out of the first pick
    std::vector<std::u16string> lastTaken_;  // the texts of the last result
    std::size_t drawn_ = 0;  // results of the current round
    std::size_t number_ = 0;
    std::vector<std::size_t> shownSlots_;
    bool built_ = false;
};

}  // namespace zorbalin::draw
