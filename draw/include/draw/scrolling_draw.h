#pragma once

#include <optional>
#include <string>

#include "draw_controls.h"
#include "item_list.h"
#include "random_pick.h"

namespace zorbalin::draw {

inline constexpr char16_t kStartCaption[] = u"开始滚动";
inline constexpr char16_t kStopCaption[] = u"停止滚动";

// The state of the draw, owned by the window and passed to every operation.
struct DrawState {
    std::optional<ItemList> itemList;  // absent before the first Start
    std::u16string intervalText;       // interval of the last Start
    bool isScrolling = false;
};

// Tidies the editor's text and writes it back.
void TidyCandidateText(DrawControls& controls);

// The click on the start/stop button: StopDraw while scrolling, else StartDraw.
void ToggleDraw(DrawState& state, DrawControls& controls);

void StartDraw(DrawState& state, DrawControls& controls);
void StopDraw(DrawState& state, DrawControls& controls);
void DrawTick(const DrawState& state, DrawControls& controls, RandomSource& random);

// The interval field is left: its text becomes the text form of its numeric value.
void NormalizeIntervalField(DrawControls& controls);

}  // namespace zorbalin::draw
