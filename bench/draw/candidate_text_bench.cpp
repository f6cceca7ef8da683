// Tidying and cutting a candidate text of a million lines, beside a plain copy of the same
// buffer: no pass over the text can cost less. Compare the medians of
//   draw_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "draw/candidate_text.h"

namespace {

// A million lines of two to four CJK characters or short ASCII names, about 10 MB of
// UTF-16, with a run of two to nine blank lines now and then.
const std::u16string& candidateText() {
    static const std::u16string text = [] {
        std::mt19937 generator(7);
        std::uniform_int_distribution<int> nameLength(2, 4), hanzi(0x4e00, 0x9fa5),
            letter('a', 'z'), percent(0, 99), blankRun(2, 9);
        std::u16string built;
        for (int line = 0; line < 1'000'000; ++line) {
            const bool ascii = percent(generator) < 20;
            for (int i = nameLength(generator) + (ascii ? 2 : 0); i > 0; --i) {
                built += static_cast<char16_t>(ascii ? letter(generator) : hanzi(generator));
            }
            built += u"\r\n";
            if (percent(generator) == 0) {
                for (int i = blankRun(generator); i > 0; --i) built += u"\r\n";
            }
        }
        return built;
    }();
    return text;
}

template <typename Work>
void CandidateText(benchmark::State& state, Work work) {
    const std::u16string& text = candidateText();
    for (auto _ : state) {
        auto result = work(text);
        benchmark::DoNotOptimize(&result);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size() * sizeof(char16_t)));
}

using Text = const std::u16string&;
BENCHMARK_CAPTURE(CandidateText, PlainCopy, [](Text text) { return std::u16string(text); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CandidateText, Tidy, [](Text text) { return zorbalin::draw::tidiedCandidateText(text); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CandidateText, TidyAndCut, [](Text text) {
    return zorbalin::draw::splitItems(zorbalin::draw::tidiedCandidateText(text));
})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
