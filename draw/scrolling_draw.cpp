#include "draw/scrolling_draw.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "draw/candidate_text.h"
#include "draw/interval_text.h"
#include "draw/slow_stop.h"

namespace zorbalin::draw {

namespace {

void showItems(DrawSession& state, DrawControls& controls, const std::vector<std::size_t>& indices) {
    state.picks.clear();
    for (const std::size_t index : indices) state.picks.emplace_back((*state.itemList)[index]);
    controls.setPickText(pickDisplay(state));
}

// The items a draw from the round shows, for these slots.
std::vector<std::size_t> itemsOf(const DrawRound& round, const std::vector<std::size_t>& roundSlots) {
    std::vector<std::size_t> items;
    items.reserve(roundSlots.size());
    for (const std::size_t slot : roundSlots) items.push_back(round.itemAt(slot));
    return items;
}

// One random pick of the running draw: from the round when it draws from one.
std::vector<std::size_t> randomPick(DrawSession& state, RandomSource& random, std::size_t n,
                                    std::vector<std::size_t>* roundSlots) {
    if (roundSlots != nullptr) {
        *roundSlots = state.round.pick(random, n);
        return itemsOf(state.round, *roundSlots);
    }
    return pickDistinct(random, n, state.itemList->size());
}

void land(DrawSession& state, DrawControls& controls) {
    const Landing landing = std::move(*state.landing);
    state.landing.reset();
    if (!landing.roundSlots.empty()) state.round.show(landing.roundSlots);
    showItems(state, controls, landing.items);
    StopDraw(state, controls);
}

// The result is decided now, by chance, whatever is on show; the display slows down to it.
void beginLanding(DrawSession& state, DrawControls& controls, RandomSource& random) {
    const bool fromRound = state.round.isShowing();
    Landing landing;
    random.reseedFromClock();
    landing.items = randomPick(state, random, state.picks.size(), fromRound ? &landing.roundSlots : nullptr);
    landing.intervals = landingIntervals(timerIntervalMs(state.intervalText));
    const std::int32_t first = landing.intervals.front();
    state.landing = std::move(landing);
    if (!controls.startTimer(first)) land(state, controls);  // no slowing: at once
}

}  // namespace

std::u16string pickDisplay(const DrawSession& state) {
    std::u16string shown;
    for (std::size_t i = 0; i < state.picks.size(); ++i) {
        if (i > 0) shown += u'、';
        shown += pickDisplayText(state.picks[i]);
    }
    return shown;
}

void TidyCandidateText(DrawControls& controls) {
    const std::u16string& text = controls.editorText();
    // One pass over the list: it can say that it runs, not how far it has come.
    controls.progress().report(ProgressStage::Tidying, 0, text.size());
    // Written back even when nothing changed: the window puts it into the editor whenever
    // the editor shows another text.
    controls.setEditorText(tidiedCandidateText(text));
}

Status ToggleDraw(DrawSession& state, DrawControls& controls, RandomSource& random) {
    if (state.landing) return done();  // decided already: it lands as it is
    if (!state.isScrolling) return StartDraw(state, controls, random);
    if (state.slowStop) {
        beginLanding(state, controls, random);
    } else {
        StopDraw(state, controls);
    }
    return done();
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
    const std::size_t count = std::clamp<std::size_t>(state.drawCount, 1, kMaxDrawCount);
    // The first lines, not random ones.
    std::vector<std::size_t> first(std::min(count, state.itemList->size()));
    std::iota(first.begin(), first.end(), std::size_t{0});
    if (state.noRepeat) {
        if (!state.round.isBuilt()) {
            state.round.begin(*state.itemList);
        } else if (state.round.remaining() == 0) {
            state.round.startOver();
            state.round.avoidFirst(*state.itemList, count);
        }
        if (state.round.remaining() == 0) return done();  // only blank items: nothing to draw
        random.reseedFromClock();
        std::vector<std::size_t> roundSlots = state.round.pick(random, count);
        first = itemsOf(state.round, roundSlots);
        state.round.show(std::move(roundSlots));
    }
    state.intervalText = controls.intervalFieldText();
    showItems(state, controls, first);
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
    // The pick display keeps the last candidates shown: they are the result.
    controls.setStartStopCaption(state.captions.start);
    controls.stopTimer();
    state.landing.reset();
    if (state.isScrolling) {
        std::optional<std::size_t> round;
        if (state.round.isShowing()) {
            state.round.takeShown(state.picks);
            round = state.round.number();
        }
        state.record.add(state.picks, round);
        ++state.completedDraws;
    }
    state.isScrolling = false;
}

void DrawTick(DrawSession& state, DrawControls& controls, RandomSource& random) {
    // No Start has built a list; or the draw stopped and a tick was still queued, which
    // must not change the result.
    if (!state.itemList || !state.isScrolling) return;
    if (state.landing) {
        std::vector<std::int32_t>& intervals = state.landing->intervals;
        intervals.erase(intervals.begin());
        if (intervals.empty()) {
            land(state, controls);
            return;
        }
    }
    random.reseedFromClock();
    std::vector<std::size_t> roundSlots;
    const std::vector<std::size_t> items =
        randomPick(state, random, state.picks.size(), state.round.isShowing() ? &roundSlots : nullptr);
    if (state.round.isShowing()) state.round.show(std::move(roundSlots));
    showItems(state, controls, items);
    if (state.landing && !controls.startTimer(state.landing->intervals.front())) land(state, controls);
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
