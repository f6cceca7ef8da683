// A tick of the draw with a million candidates as the presentation view sees it: the pick,
// and the font fitted to the view against a fake measure. Prints the time of a tick and the
// measurements it took, beside a plain halving search over all sizes at every tick; there
// is no pass or fail.
#include "draw/fitted_font.h"
#include "draw/scrolling_draw.h"
#include "fake_controls.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>

namespace {

using namespace zorbalin::draw;

// Names of two to four CJK characters, a fifth of them ASCII names instead.
std::u16string candidateText(std::int64_t candidates) {
    std::mt19937 generator(7);
    std::uniform_int_distribution<int> nameLength(2, 4);
    std::uniform_int_distribution<int> hanzi(0x4e00, 0x9fa5);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::uniform_int_distribution<int> percent(0, 99);
    std::u16string text;
    for (std::int64_t line = 0; line < candidates; ++line) {
        if (line != 0) text += u"\r\n";
        const bool ascii = percent(generator) < 20;
        for (int i = nameLength(generator) + (ascii ? 3 : 0); i > 0; --i) {
            text += static_cast<char16_t>(ascii ? letter(generator) : hanzi(generator));
        }
    }
    return text;
}

// CJK characters as wide as the font's size, others half as wide, wrapped anywhere.
TextBox fakeMeasure(std::u16string_view text, int pixels, int wrapWidth) {
    int lines = 1;
    int lineWidth = 0;
    int widest = 0;
    for (const char16_t c : text) {
        const int width = c < 0x2e80 ? pixels / 2 : pixels;
        if (lineWidth > 0 && lineWidth + width > wrapWidth) {
            ++lines;
            lineWidth = 0;
        }
        lineWidth += width;
        widest = std::max(widest, lineWidth);
    }
    return {widest, lines * pixels * 5 / 4};
}

// The window as the view sees it: every pick is fitted as it is shown.
class ViewControls : public zorbalin::testing::FakeControls<> {
public:
    ViewControls(std::u16string candidates, bool plainSearch) : plainSearch_(plainSearch) {
        editor = std::move(candidates);
        font_.setArea(kArea);
    }

    long long measures = 0;
    int fontPixels = 0;

    void setPickText(std::u16string_view shown) override {
        fontPixels = plainSearch_ ? largestByHalving(shown) : font_.fit(shown, measure_);
    }

private:
    static constexpr int kSmallest = 12;
    static constexpr int kLargest = 800;
    static constexpr TextBox kArea{1800, 900};  // a 1920 x 1080 screen less the help line
    int largestByHalving(std::u16string_view shown) {
        int low = kSmallest - 1;
        int high = kLargest + 1;
        while (high - low > 1) {
            const int middle = low + (high - low) / 2;
            const TextBox box = measure_(shown, middle, kArea.width);
            (box.width <= kArea.width && box.height <= kArea.height ? low : high) = middle;
        }
        return std::max(low, kSmallest);
    }

    bool plainSearch_;
    FittedFont font_{kSmallest, kLargest};
    MeasureText measure_ = [this](std::u16string_view shown, int pixels, int wrapWidth) {
        ++measures;
        return fakeMeasure(shown, pixels, wrapWidth);
    };
};

// Arguments: the number of candidates, draws without repeats (0 or 1), and a plain halving
// search instead of the fitted font (0 or 1).
void BM_Tick(benchmark::State& state) {
    ViewControls controls(candidateText(state.range(0)), state.range(2) != 0);
    DrawSession session;
    SetNoRepeat(session, state.range(1) != 0);
    RandomSource random;
    if (!StartDraw(session, controls, random)) state.SkipWithError("the draw did not start");
    controls.measures = 0;
    for (auto _ : state) {
        DrawTick(session, controls, random);
        benchmark::DoNotOptimize(controls.fontPixels);
    }
    state.counters["measures/tick"] =
        static_cast<double>(controls.measures) / static_cast<double>(state.iterations());
    state.counters["candidates"] = static_cast<double>(session.itemList->size());
}
BENCHMARK(BM_Tick)
    ->ArgNames({"candidates", "noRepeat", "plainSearch"})
    ->Args({1'000'000, 0, 0})
    ->Args({1'000'000, 1, 0})
    ->Args({1'000'000, 0, 1})
    ->Args({40, 1, 0})
    ->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
