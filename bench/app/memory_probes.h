// Child-process modes of app_bench that measure memory, one scenario per process so that
// each peak belongs to that scenario alone. Each prints "key value" lines (kB) and
// returns the process's exit status.
#pragma once

#include <QString>

namespace zorbalin::bench {

// The window loads the file at startup, is shown, and a draw is started from it.
// Prints loaded_hwm_kb (peak after the load) and started_hwm_kb (peak after the Start).
int measureWindowMemory(const QString& path);

// A bare QPlainTextEdit, shown, takes the file's text decoded from UTF-8.
// Prints hwm_kb.
int measureBareEditorMemory(const QString& path);

// The window draws from the file's list for `ticks` ticks, driven directly rather than by
// waiting for the timer. Prints rss_before_kb, rss_after_kb and hwm_kb.
int measureTickMemory(const QString& path, long ticks);

}  // namespace zorbalin::bench
