#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "draw_controls.h"
#include "draw_round.h"
#include "item_list.h"
#include "random_pick.h"
#include "result_record.h"

namespace zorbalin::draw {

// What the start/stop button reads while idle and while scrolling; the window's texts.
struct DrawCaptions {
    std::u16string_view start;
    std::u16string_view stop;
};

// How many are drawn at once (一次抽取多人): 1, the plain draw, up to this.
inline constexpr std::size_t kMaxDrawCount = 99;

// A slow stop on its way: the result decided at the press, and the intervals still to come.
struct Landing {
    std::vector<std::size_t> items;  // item indices of the result, in the order drawn
    std::vector<std::size_t> roundSlots;  // their roundSlots in the round, when the draw is from one
    std::vector<std::int32_t> intervals;
};

// The state of the draw, owned by the window and passed to every operation.
struct DrawSession {
    DrawCaptions captions;
    std::optional<ItemList> itemList;  // absent before the first Start
    std::u16string intervalText;       // interval of the last Start
    bool isScrolling = false;          // a draw runs (slowing down included)

    // Draws without repeats: the option (off by default; a running draw keeps the mode it
    // started in) and the round it draws from.
    bool noRepeat = false;
    DrawRound round;
    // Several at once: every tick and the result show this many different items.
    std::size_t drawCount = 1;
    // 缓停: a stop decides the result by chance and lands on it slowly.
    bool slowStop = false;
    std::optional<Landing> landing;

    std::vector<std::u16string> picks;  // the items on show, in the order drawn
    std::size_t completedDraws = 0;     // draws that stopped on a result in this run
    ResultRecord record;                // every result of this run
};

// What the pick display shows: the items on show, each as pickDisplayText shows it, joined
// by "、".
std::u16string pickDisplay(const DrawSession& state);

// Tidies the editor's text and writes it back.
void TidyCandidateText(DrawControls& controls);

// The click on the start/stop button: StopDraw while scrolling, else StartDraw; with 缓停 a
// stop begins the landing, and a press while it lands does nothing.
Status ToggleDraw(DrawSession& state, DrawControls& controls, RandomSource& random);

// Start shows the first line (the first lines, several at once); in a draw without repeats,
// random items not yet drawn instead, since a Stop before the first tick makes them the
// result. A timer that the system would not start is the problem returned: the draw is then
// idle, as it was.
Status StartDraw(DrawSession& state, DrawControls& controls, RandomSource& random);
// Stop keeps the picks on show as the result and records them; in a draw without repeats
// they leave the round.
void StopDraw(DrawSession& state, DrawControls& controls);
// A tick while scrolling shows random items; in a draw without repeats, ones not yet drawn.
// While a slow stop lands, the tick after the last interval shows the decided result and
// stops there.
void DrawTick(DrawSession& state, DrawControls& controls, RandomSource& random);

// The option "不重复抽取". Turned on with a list drawn from already, the round is built
// for that list at once, so that the count of what is left can be shown.
void SetNoRepeat(DrawSession& state, bool on);
// "重新开始一轮": every item is in the round again.
void RestartRound(DrawSession& state);
// How far the round has come, while draws without repeats are on and a list is known.
std::optional<RoundCount> roundCount(const DrawSession& state);

// The interval field is left: its text becomes the text form of its numeric value.
void NormalizeIntervalField(DrawControls& controls);

}  // namespace zorbalin::draw
