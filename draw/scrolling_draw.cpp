#include "draw/scrolling_draw.h"

#include "draw/candidate_text.h"
#include "draw/interval_text.h"
#include "layout/texts.h"

#include <utility>

namespace zorbalin::draw {

void TidyCandidateText(DrawControls& controls) {
    const std::u16string text = controls.editorText();
    // One pass over the list: it can say that it runs, not how far it has come.
    controls.progress().report(ProgressStage::Tidying, 0, text.size());
    // Written back even when nothing changed: the window puts it into the editor whenever
    // the editor shows another text.
    controls.setEditorText(tidiedCandidateText(text));
}

void ToggleDraw(DrawSession& state, DrawControls& controls) {
    if (state.isScrolling) {
        StopDraw(state, controls);
    } else {
        StartDraw(state, controls);
    }
}

void StartDraw(DrawSession& state, DrawControls& controls) {
    TidyCandidateText(controls);
    std::u16string text = controls.editorText();
    if (text.empty()) return;  // nothing to draw from: only the tidying happened

    // The list and the interval are a snapshot: later edits reach the next Start only.
    state.itemList = splitItems(std::move(text));
    state.intervalText = controls.intervalFieldText();
    controls.setPickText((*state.itemList)[0]);  // the first line, not a random one
    controls.setStartStopCaption(layout::kStopCaption);
    controls.setTimerInterval(timerIntervalMs(state.intervalText));
    controls.setTimerEnabled(true);
    state.isScrolling = true;
}

void StopDraw(DrawSession& state, DrawControls& controls) {
    // The pick display keeps the last candidate shown: that is the result.
    controls.setStartStopCaption(layout::kStartCaption);
    controls.setTimerEnabled(false);
    state.isScrolling = false;
}

void DrawTick(const DrawSession& state, DrawControls& controls, RandomSource& random) {
    if (!state.itemList) return;  // no Start has built a list
    random.reseedFromClock();
    const ItemList& items = *state.itemList;
    const double r = random.next();
    controls.setPickText(items[pickIndex(r, items.size())]);
}

void NormalizeIntervalField(DrawControls& controls) {
    controls.setIntervalFieldText(textForm(numericValue(controls.intervalFieldText())));
}

}  // namespace zorbalin::draw
