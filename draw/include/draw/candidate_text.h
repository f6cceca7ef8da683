#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "item_list.h"

namespace zorbalin::draw {

// Candidate text: one candidate per line, lines separated by CR LF. A lone CR or a
// lone LF is not a line break and stays inside its line.

// Shortens every run of k line breaks to ceil(k/4) (two halving passes, not a loop
// until no double break is left), then drops one final CR LF if the text ends in one.
// Leading breaks are shortened but kept, so the first line may stay empty.
std::u16string tidiedCandidateText(std::u16string_view text);

// Cuts the text at every CR LF. The lines come back verbatim, empty ones included;
// n breaks give n + 1 items, so the empty text gives one empty item.
// The list keeps the text itself, so pass it by move where it is not needed afterwards.
ItemList splitItems(std::u16string text);

// A candidate as the pick display and the views show it: a list pasted from a spreadsheet
// has a TAB between its columns ("韩娟<TAB>2024015"), which no control shows alike; it is
// shown as an ideographic space, which keeps the columns apart in any font. The result
// itself stays as the line was.
std::u16string pickDisplayText(std::u16string_view item);

// Where each line of the text begins: 0, and the position after every CR LF.
std::vector<std::size_t> lineStarts(std::u16string_view text);

}  // namespace zorbalin::draw
