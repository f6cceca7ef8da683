// The draw's controls as plain fields: the fake of draw::DrawControls for the draw's tests and
// benchmarks, and the controls part of the shared window's fake port.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/progress.h"
#include "base/result.h"
#include "draw/draw_controls.h"
#include "draw/random_pick.h"

namespace zorbalin::testing {

template <typename Base = draw::DrawControls>
class FakeControls : public Base {
public:
    std::u16string editor;  // the text the draw reads and sets
    std::u16string pick = u"(untouched)";
    std::u16string intervalField;
    std::u16string caption = u"(untouched)";
    std::optional<std::int32_t> timerInterval;  // of the last start
    bool timerRunning = false;
    int timerStarts = 0;
    Status timerStart = done();  // what starting the timer gives
    int editorWrites = 0;
    NoProgress quietly;

    const std::u16string& editorText() override { return editor; }
    void setEditorText(const std::u16string& text) override {
        editor = text;
        ++editorWrites;
    }
    void setPickText(std::u16string_view text) override { pick = text; }
    std::u16string intervalFieldText() override { return intervalField; }
    void setIntervalFieldText(const std::u16string& text) override { intervalField = text; }
    void setStartStopCaption(std::u16string_view text) override { caption = text; }
    Status startTimer(std::int32_t milliseconds) override {
        ++timerStarts;
        timerInterval = milliseconds;
        timerRunning = timerStart.ok();
        return timerStart;
    }
    void stopTimer() override { timerRunning = false; }
    Progress& progress() override { return quietly; }
};

// Numbers from a script, counting those that did not follow a reseed from the clock (the draw
// reseeds at every tick). Beyond the script, the generator's own numbers from a fixed seed.
class ScriptedRandom final : public draw::RandomSource {
public:
    explicit ScriptedRandom(std::deque<double> scripted = {})
        : RandomSource([] { return std::uint64_t{0}; }, 1), numbers(std::move(scripted)) {}
    std::deque<double> numbers;
    int reseeds = 0;
    int numbersWithoutReseed = 0;

    void reseedFromClock() override {
        ++reseeds;
        reseeded_ = true;
    }
    double next() override {
        if (!reseeded_) ++numbersWithoutReseed;
        reseeded_ = false;
        if (numbers.empty()) return RandomSource::next();
        const double r = numbers.front();
        numbers.pop_front();
        return r;
    }

private:
    bool reseeded_ = false;
};

}  // namespace zorbalin::testing
