#pragma once

#include <optional>
#include <string>
#include <string_view>

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

// The state of the draw, owned by the window and passed to every operation.
struct DrawSession {
    DrawCaptions captions;
    std::optional<ItemList> itemList;  // absent before the first Start
    std::u16string intervalText;       // interval of the last Start
    bool isScrolling = false;

    // Draws without repeats: the option (off by default; a running draw keeps the mode it
    // started in) and the round it draws from.
    bool noRepeat = false;
    DrawRound round;

    std::u16string pickText;  // what the pick display shows, for the presentation view too
    ResultRecord record;      // every result of this run
};

// Tidies the editor's text and writes it back.
void TidyCandidateText(DrawControls& controls);

// The click on the start/stop button: StopDraw while scrolling, else StartDraw.
Status ToggleDraw(DrawSession& state, DrawControls& controls, RandomSource& random);

// Start shows the first line; in a draw without repeats, a random item not yet drawn
// instead, since a Stop before the first tick makes it the result. A timer that the system
// would not start is the problem returned: the draw is then idle, as it was.
Status StartDraw(DrawSession& state, DrawControls& controls, RandomSource& random);
// Stop keeps the pick on show as the result and records it; in a draw without repeats the
// result leaves the round.
void StopDraw(DrawSession& state, DrawControls& controls);
// A tick while scrolling shows a random item; in a draw without repeats, one not yet drawn.
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
