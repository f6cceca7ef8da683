#pragma once

#include <optional>
#include <string>

#include "draw_controls.h"
#include "item_list.h"
#include "random_pick.h"

namespace zorbalin::draw {

// The state of the draw, owned by the window and passed to every operation.
struct DrawSession {
    std::optional<ItemList> itemList;  // absent before the first Start
    std::u16string intervalText;       // interval of the last Start
    bool isScrolling = false;
};

// Tidies the editor's text and writes it back.
void TidyCandidateText(DrawControls& controls);

// The click on the start/stop button: StopDraw while scrolling, else StartDraw.
void ToggleDraw(DrawSession& state, DrawControls& controls);

void StartDraw(DrawSession& state, DrawControls& controls);
void StopDraw(DrawSession& state, DrawControls& controls);
void DrawTick(const DrawSession& state, DrawControls& controls, RandomSource& random);

// The interval field is left: its text becomes the text form of its numeric value.
void NormalizeIntervalField(DrawControls& controls);

}  // namespace zorbalin::draw
