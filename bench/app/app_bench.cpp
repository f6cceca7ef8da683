// The application benchmark: the real window on Qt's offscreen platform, measured for cold
// start, start latency, file loading, tick precision and memory, each beside what bare Qt
// needs for the same work. Prints one markdown table of medians.
//
//   app_bench [--quick] [--only SECTION]  every section, or one of cold, start, load, ticks,
//                                         memory (--quick: fewer runs, shorter tick runs)
//   app_bench --child MODE ARGS...      one memory scenario, run by the benchmark itself
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "candidate_lists.h"
#include "child_process.h"
#include "form_access.h"
#include "form_scenarios.h"
#include "memory_probes.h"
#include "results_table.h"
#include "stats.h"

namespace zorbalin::bench {
namespace {

struct Options {
    bool quick = false;
    int runs = 5;                     // per in-process measurement
    int runsAtAMillion = 3;           // where one run takes seconds
    int coldStarts = 15;              // per program
    std::chrono::milliseconds tickRun{10'000};
    long memoryTicks = 1'000'000;
};

// Settings and files of this process and its children stay in a temporary folder.
void useTemporaryHome(const QTemporaryDir& home) {
    const QByteArray root = QDir(home.path()).absolutePath().toUtf8();
    for (const char* folder : {"config", "data", "cache", "runtime"}) QDir(home.path()).mkpath(folder);
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qputenv("XDG_RUNTIME_DIR", root + "/runtime");
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

void progress(const char* what) {
    static const auto start = std::chrono::steady_clock::now();
    const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "app_bench: %6.1f s  %s\n", elapsed, what);
}

std::string thousands(int value) {
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

std::string siblingProgram(const char* name) {
    return (QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name)).toStdString();
}

// Milliseconds from the spawn to the window shown, for each program (its path and
// arguments), median over the runs. The programs take turns, so that a change in the
// machine's load between runs touches them alike. 0 for a program that failed.
std::vector<double> coldStartMs(const std::vector<std::vector<std::string>>& programs, int runs) {
    std::vector<std::vector<double>> samples(programs.size());
    for (int run = -1; run < runs; ++run) {  // run -1 warms the page cache
        for (std::size_t p = 0; p < programs.size(); ++p) {
            const std::vector<std::string> arguments(programs[p].begin() + 1, programs[p].end());
            const auto report = runChild(programs[p].front(), arguments);
            if (run < 0 || !report || !report->values.count("shown")) continue;
            const auto shown = steadyTimeFromNanoseconds(std::stoll(report->values.at("shown")));
            samples[p].push_back(std::chrono::duration<double, std::milli>(shown - report->spawnedAt).count());
        }
    }
    std::vector<double> medians;
    for (const auto& programSamples : samples) medians.push_back(median(programSamples));
    return medians;
}

// The figures that a memory child reports, in MiB; aborts when it fails.
std::map<std::string, double> memoryChildMiB(const std::vector<std::string>& arguments) {
    const auto report = runChild(siblingProgram("app_bench"), arguments);
    if (!report) std::abort();
    std::map<std::string, double> figures;
    for (const auto& [key, value] : report->values) figures[key] = static_cast<double>(std::stol(value)) / 1024.0;
    return figures;
}

int runsFor(const Options& options, int lines) {
    return lines >= 1'000'000 ? options.runsAtAMillion : options.runs;
}

// The widget's floor for a list of that many lines: a bare QPlainTextEdit taking it.
double widgetFloorMs(const Options& options, int lines, bool shown) {
    static std::map<std::pair<int, bool>, double> measured;
    const auto key = std::make_pair(lines, shown);
    if (!measured.count(key)) {
        measured[key] = median(bareSetPlainTextMs(tidiedText(lines), shown, runsFor(options, lines)));
    }
    return measured[key];
}

void coldStart(ResultsTable& table, const Options& options) {
    progress("cold start");
    rememberCandidateFile({});
    table.section("Cold start (process start to window shown, offscreen)");
    const std::vector<double> ms = coldStartMs({{siblingProgram("app_start_probe")},
                                                {siblingProgram("bare_widget_probe")},
                                                {siblingProgram("bare_widget_probe"), "label"}},
                                               options.coldStarts);
    table.add({"Form1, no remembered file (floor: one empty QWidget)", "ms", ms[0], ms[1], Target::atMostTimesFloor(1.5)});
    table.add({"reference: one QWidget with one Chinese QLabel", "ms", ms[2], ms[1], Target::none()});
}

void startLatency(ResultsTable& table, const Options& options) {
    table.section("Start latency (click on Command2 to timer running; floor: bare setPlainText of the tidied list, shown)");
    for (const int lines : {10'000, 100'000, 1'000'000}) {
        progress(("start latency, " + thousands(lines)).c_str());
        const int runs = runsFor(options, lines);
        const Target tidyTarget = lines == 100'000     ? Target::atMost(50)
                                  : lines == 1'000'000 ? Target::atMost(500)
                                                       : Target::none();
        table.add({thousands(lines) + ", text already tidy", "ms",
                   median(startLatencyMs(lines, ListShape::Tidy, runs)), std::nullopt, tidyTarget});
        const double floor = widgetFloorMs(options, lines, true);
        table.add({thousands(lines) + ", needs tidying (a blank run, a final break)", "ms",
                   median(startLatencyMs(lines, ListShape::FewBlankRuns, runs)), floor,
                   Target::atMostTimesFloor(1.5)});
        if (lines >= 100'000) {
            table.add({thousands(lines) + ", needs tidying (a blank line after every one)", "ms",
                       median(startLatencyMs(lines, ListShape::BlankLineEvery, runs)), floor,
                       Target::atMostTimesFloor(1.5)});
        }
    }
}

void loading(ResultsTable& table, const Options& options, const QString& folder) {
    table.section("Loading a UTF-8 file, lines ended by CR LF (floor: bare setPlainText of the list, hidden at startup, shown for choose-file)");
    for (const int lines : {100'000, 1'000'000}) {
        progress(("loading, " + thousands(lines)).c_str());
        const int runs = runsFor(options, lines);
        const QString path = folder + QStringLiteral("/load-%1.txt").arg(lines);
        if (!writeCandidateFile(path, lines)) std::abort();
        const Target target = lines == 1'000'000 ? Target::atMostTimesFloor(1.5) : Target::none();
        table.add({thousands(lines) + " lines at startup (window not yet shown)", "ms",
                   median(startupLoadMs(path, runs)), widgetFloorMs(options, lines, false), target});
        table.add({thousands(lines) + " lines by choose-file (load, tidy, write back)", "ms",
                   median(chooseFileMs(path, lines, runs)), widgetFloorMs(options, lines, true), target});
    }
}

void ticks(ResultsTable& table, const Options& options) {
    table.section("Ticks (1,000 candidates, window shown, " + std::to_string(options.tickRun.count() / 1000) +
                  " s each; floor: a bare precise QTimer)");
    for (const int interval : {1, 10, 50}) {
        progress(("ticks at " + std::to_string(interval) + " ms").c_str());
        const TickRun run = scrollFor(interval, options.tickRun);
        const TickRun bare = bareTimerFor(interval, options.tickRun);
        const std::string at = "at " + std::to_string(interval) + " ms: ";
        table.add({at + "mean interval", "ms", run.ticks.meanIntervalMs, bare.ticks.meanIntervalMs,
                   interval == 1 ? Target::atMost(1.2) : Target::none()});
        table.add({at + "median deviation", "ms", run.ticks.medianDeviationMs, bare.ticks.medianDeviationMs,
                   Target::none()});
        table.add({at + "99th-percentile deviation", "ms", run.ticks.p99DeviationMs, bare.ticks.p99DeviationMs,
                   interval == 50 ? Target::atMost(2) : Target::none()});
        table.add({at + "missed ticks (of " + std::to_string(run.ticks.expectedTicks) + ")", "",
                   static_cast<double>(run.ticks.missedTicks()), static_cast<double>(bare.ticks.missedTicks()),
                   Target::none()});
        table.add({at + "CPU while scrolling, one core", "%", run.cpuPercent, bare.cpuPercent,
                   interval == 50 ? Target::atMost(2) : Target::none()});
    }
}

void memory(ResultsTable& table, const Options& options, const QString& folder) {
    table.section("Peak memory of the whole process (VmHWM; floor: a bare QPlainTextEdit, shown, with the same text)");
    for (const int lines : {100'000, 1'000'000}) {
        progress(("memory, " + thousands(lines)).c_str());
        const QString path = folder + QStringLiteral("/memory-%1.txt").arg(lines);
        if (!writeCandidateFile(path, lines)) std::abort();
        const std::string file = path.toStdString();
        const double floor = memoryChildMiB({"--child", "memory-bare", file}).at("hwm_kb");
        const auto ours = memoryChildMiB({"--child", "memory-window", file});
        const Target target = lines == 1'000'000 ? Target::atMostTimesFloor(1.5) : Target::none();
        table.add({thousands(lines) + " candidates loaded at startup", "MiB", ours.at("loaded_hwm_kb"), floor, Target::none()});
        table.add({thousands(lines) + " candidates, window shown and drawing", "MiB", ours.at("started_hwm_kb"), floor, target});
    }
    progress("memory over many ticks");
    const QString path = folder + QStringLiteral("/memory-ticks.txt");
    if (!writeCandidateFile(path, 100'000)) std::abort();
    const auto ticks = memoryChildMiB({"--child", "memory-ticks", path.toStdString(), std::to_string(options.memoryTicks)});
    table.add({"resident growth over " + thousands(static_cast<int>(options.memoryTicks)) + " ticks (100,000 candidates)",
               "MiB", ticks.at("rss_after_kb") - ticks.at("rss_before_kb"), std::nullopt, Target::atMost(1)});
}

int runChildMode(int argc, char** argv) {
    const std::string mode = argv[2];
    const QString path = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    if (mode == "memory-window") return measureWindowMemory(path);
    if (mode == "memory-bare") return measureBareEditorMemory(path);
    if (mode == "memory-ticks" && argc > 4) return measureTickMemory(path, std::atol(argv[4]));
    std::fprintf(stderr, "app_bench: unknown child mode %s\n", mode.c_str());
    return 2;
}

}  // namespace
}  // namespace zorbalin::bench

int main(int argc, char** argv) {
    using namespace zorbalin::bench;
    const bool child = argc > 2 && std::strcmp(argv[1], "--child") == 0;

    QTemporaryDir home;
    if (!home.isValid()) return 2;
    useTemporaryHome(home);
    QApplication app(argc, argv);
    if (child) return runChildMode(argc, argv);

    Options options;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            options = {true, 3, 1, 7, std::chrono::milliseconds(2'000), 100'000};
        } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            only = argv[++i];
        } else {
            std::fprintf(stderr, "usage: app_bench [--quick] [--only cold|start|load|ticks|memory]\n");
            return 2;
        }
    }
    const auto wanted = [&only](const char* section) { return only.empty() || only == section; };
    const QString folder = home.path() + QStringLiteral("/files");
    QDir().mkpath(folder);

    ResultsTable table;
    if (wanted("cold")) coldStart(table, options);
    if (wanted("start")) startLatency(table, options);
    if (wanted("load")) loading(table, options, folder);
    if (wanted("ticks")) ticks(table, options);
    if (wanted("memory")) memory(table, options, folder);

    std::printf("## Application benchmark%s\n\n%s", options.quick ? " (--quick)" : "", table.markdown().c_str());
    return 0;
}
