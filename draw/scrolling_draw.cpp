#include "draw/scrolling_draw.h"

#include "draw/candidate_text.h"
#include "draw/interval_text.h"

#include <utility>

namespace zorbalin::draw {

namespace {

void showItem(DrawSession& state, DrawControls& controls, std::size_t index) {
    const std::u16string_view item = (*state.itemList)[index];
    state.pickText.assign(item);
    controls.setPickText(pickDisplayText(item));
}

}  // namespace

void TidyCandidateText(DrawControls& controls) {
    const std::u16string& text = controls.editorText();
    // One pass over the list: it can say that it runs, not how far it has come.
    controls.progress().report(ProgressStage::Tidying, 0, text.size());
    // Written back even when nothing changed: the window puts it into the editor whenever
    // the editor shows another text.
    controls.setEditorText(tidiedCandidateText(text));
}

Status ToggleDraw(DrawSession& state, DrawControls& controls, RandomSource& random) {
    if (state.isScrolling) {
        StopDraw(state, controls);
        return done();
    }
    return StartDraw(state, controls, random);
}

Status StartDraw(DrawSession& state, DrawControls& controls, RandomSource& random) {
    TidyCandidateText(controls);
    const std::u16string& text = controls.editorText();
    if (text.empty()) return done();  // nothing to draw from: only the tidying happened

    // The list and the interval are a snapshot: later edits reach the next Start only.
    // A list whose text is unchanged is kept, and with it its round.
    if (!state.itemList || state.itemList->text() != text) {
        ItemList items = splitItems(std::u16string(text));
        if (state.itemList && state.round.isBuilt()) state.round.carryOver(*state.itemList, items);
        state.itemList = std::move(items);
    }
    std::size_t first = 0;  // the first line, not a random one
    if (state.noRepeat) {
        if (!state.round.isBuilt()) {
            state.round.begin(*state.itemList);
        } else if (state.round.remaining() == 0) {
            state.round.startOver();
            state.round.avoidFirst(*state.itemList);
        }
        if (state.round.remaining() == 0) return done();  // only blank items: nothing to draw
        random.reseedFromClock();
        first = state.round.show(random.next());
    }
    state.intervalText = controls.intervalFieldText();
    showItem(state, controls, first);
    controls.setStartStopCaption(state.captions.stop);
    if (Status started = controls.startTimer(timerIntervalMs(state.intervalText)); !started) {
        // Nothing ticks, so the draw does not claim to run: the button reads as before, and
        // no pick of this Start becomes a result.
        controls.setStartStopCaption(state.captions.start);
        state.round.dropShown();
        return started;
    }
    state.isScrolling = true;
    return done();
}

void StopDraw(DrawSession& state, DrawControls& controls) {
    // The pick display keeps the last candidate shown: that is the result.
    controls.setStartStopCaption(state.captions.start);
    controls.stopTimer();
    if (state.isScrolling) {
        std::optional<std::size_t> round;
        if (state.round.isShowing()) {
            state.round.takeShown(state.pickText);
            round = state.round.number();
        }
        state.record.add(state.pickText, round);
    }
    state.isScrolling = false;
}

void DrawTick(DrawSession& state, DrawControls& controls, RandomSource& random) {
    // No Start has built a list; or the draw stopped and a tick was still queued, which
    // must not change the result.
    if (!state.itemList || !state.isScrolling) return;
    random.reseedFromClock();
    const double r = random.next();
    const std::size_t index =
        state.round.isShowing() ? state.round.show(r) : pickIndex(r, state.itemList->size());
    showItem(state, controls, index);
}

void SetNoRepeat(DrawSession& state, bool on) {
    state.noRepeat = on;
    if (on && state.itemList && !state.round.isBuilt()) state.round.begin(*state.itemList);
}

void RestartRound(DrawSession& state) {
    state.round.startOver();
}

std::optional<RoundCount> roundCount(const DrawSession& state) {
    if (!state.noRepeat || !state.round.isBuilt()) return std::nullopt;
    return state.round.count();
}

void NormalizeIntervalField(DrawControls& controls) {
    controls.setIntervalFieldText(textForm(numericValue(controls.intervalFieldText())));
}

}  // namespace zorbalin::draw
