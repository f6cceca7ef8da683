// Tidying and cutting a large candidate text, measured beside a plain copy of the same
// buffer. Prints the ratios at the end; there is no pass or fail.
#include "draw/candidate_text.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using zorbalin::draw::splitItems;
using zorbalin::draw::tidiedCandidateText;

// A million lines of two to four CJK characters or short ASCII names, about 10 MB of
// UTF-16, with a run of two to nine blank lines now and then.
const std::u16string& candidateText() {
    static const std::u16string text = [] {
        std::mt19937 generator(7);
        std::uniform_int_distribution<int> nameLength(2, 4);
        std::uniform_int_distribution<int> hanzi(0x4e00, 0x9fa5);
        std::uniform_int_distribution<int> letter('a', 'z');
        std::uniform_int_distribution<int> percent(0, 99);
        std::uniform_int_distribution<int> blankRun(2, 9);
        std::u16string built;
        built.reserve(5'400'000);
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

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(candidateText().size() * sizeof(char16_t)));
}

void BM_PlainCopy(benchmark::State& state) {
    const std::u16string& text = candidateText();
    for (auto _ : state) {
        std::u16string copy(text);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    setBytes(state);
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);

void BM_Tidy(benchmark::State& state) {
    const std::u16string& text = candidateText();
    for (auto _ : state) {
        std::u16string tidied = tidiedCandidateText(text);
        benchmark::DoNotOptimize(tidied.data());
        benchmark::ClobberMemory();
    }
    setBytes(state);
}
BENCHMARK(BM_Tidy)->Unit(benchmark::kMillisecond);

void BM_TidyAndCut(benchmark::State& state) {
    const std::u16string& text = candidateText();
    std::size_t items = 0;
    for (auto _ : state) {
        zorbalin::draw::ItemList cut = splitItems(tidiedCandidateText(text));
        items = cut.size();
        benchmark::DoNotOptimize(&cut);
        benchmark::ClobberMemory();
    }
    state.counters["items"] = static_cast<double>(items);
    setBytes(state);
}
BENCHMARK(BM_TidyAndCut)->Unit(benchmark::kMillisecond);

// Shows the usual table and keeps the real time per iteration of each benchmark.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanosecondsPerIteration;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                nanosecondsPerIteration[run.run_name.function_name] =
                    run.real_accumulated_time * 1e9 / static_cast<double>(run.iterations);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const std::u16string& text = candidateText();
    std::printf("candidate text: %zu UTF-16 units (%.1f MB)\n", text.size(),
                static_cast<double>(text.size() * sizeof(char16_t)) / 1e6);

    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto& times = reporter.nanosecondsPerIteration;
    const auto copy = times.find("BM_PlainCopy");
    if (copy == times.end()) return 0;
    const auto printRatio = [&](const char* name, const char* label, double goal) {
        const auto found = times.find(name);
        if (found == times.end()) return;
        std::printf("%-14s %.2fx the plain copy (goal: within %.0fx)\n", label,
                    found->second / copy->second, goal);
    };
    printRatio("BM_Tidy", "tidy:", 3.0);
    printRatio("BM_TidyAndCut", "tidy + cut:", 6.0);
    return 0;
}
