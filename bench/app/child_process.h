// Running a measuring child process and reading what it reports.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zorbalin::bench {

struct ChildReport {
    std::chrono::steady_clock::time_point spawnedAt;  // taken just before the spawn
    std::map<std::string, std::string> values;        // "key value" lines of its output
};

// Runs the program with the arguments, in this process's environment, and waits for it.
// Nullopt when it cannot be started or does not exit with status 0.
std::optional<ChildReport> runChild(const std::string& program, const std::vector<std::string>& arguments);

// A kB figure of /proc/self/status ("VmHWM", "VmRSS"); 0 when it cannot be read.
long procStatusKb(const char* field);

// steady_clock reads CLOCK_MONOTONIC, so its count compares across processes.
long long steadyNanoseconds(std::chrono::steady_clock::time_point time);
std::chrono::steady_clock::time_point steadyTimeFromNanoseconds(long long nanoseconds);

}  // namespace zorbalin::bench
