// Measurements taken in this process on the real window: each gives one sample per run.
#pragma once

#include <QString>

#include <chrono>
#include <vector>

#include "candidate_lists.h"
#include "stats.h"

namespace zorbalin::bench {

// Milliseconds from the click on the start button until it returns with the timer
// running, each run with the list of that shape in the editor, not yet read by the window
// (as after the user pasted or typed it).
std::vector<double> startLatencyMs(int lines, ListShape shape, int runs);

// Milliseconds for a bare QPlainTextEdit of the editor's size, shown or not, to take the
// text (what it lays out afterwards in the event loop is not counted, as for the window).
std::vector<double> bareSetPlainTextMs(const std::u16string& crlfText, bool shown, int runs);

// Milliseconds to build the window when it loads the file at startup.
std::vector<double> startupLoadMs(const QString& path, int runs);

// Milliseconds for the click on the choose-file button to load, tidy and write back the
// file (rewritten with `lines` lines before each run).
std::vector<double> chooseFileMs(const QString& path, int lines, int runs);

struct TickRun {
    TickSummary ticks;
    double cpuPercent = 0;  // of one core, user and system time over the run
};

// Draws from a list of a thousand candidates at the interval for the given time.
TickRun scrollFor(int intervalMs, std::chrono::milliseconds runTime);

// The floor: a bare precise QTimer at the interval, with nothing to do at its ticks.
TickRun bareTimerFor(int intervalMs, std::chrono::milliseconds runTime);

}  // namespace zorbalin::bench
