#include "results_table.h"

#include <cmath>
#include <cstdio>

namespace zorbalin::bench {

std::string formatFigure(double value) {
    const double magnitude = std::abs(value);
    const char* format = magnitude >= 100 ? "%.0f" : magnitude >= 10 ? "%.1f"
                       : magnitude >= 0.1 || magnitude == 0 ? "%.2f" : "%.3f";
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::optional<double> ResultRow::ratio() const {
    if (!floor || *floor <= 0) return std::nullopt;
    return ours / *floor;
}

std::optional<bool> ResultRow::met() const {
    switch (target.kind) {
    case Target::Kind::None: return std::nullopt;
    case Target::Kind::AtMost: return ours <= target.limit;
    case Target::Kind::AtMostTimesFloor:
        if (!ratio()) return std::nullopt;
        return *ratio() <= target.limit;
    }
    return std::nullopt;
}

void ResultsTable::section(std::string title) {
    entries_.push_back({std::move(title), std::nullopt});
}

void ResultsTable::add(ResultRow row) {
    rows_.push_back(row);
    entries_.push_back({std::nullopt, std::move(row)});
}

namespace {

std::string withUnit(double value, const std::string& unit) {
    return unit.empty() ? formatFigure(value) : formatFigure(value) + " " + unit;
}

std::string targetText(const ResultRow& row) {
    switch (row.target.kind) {
    case Target::Kind::None: return "–";
    case Target::Kind::AtMost: return "≤ " + withUnit(row.target.limit, row.unit);
    case Target::Kind::AtMostTimesFloor: return "≤ " + formatFigure(row.target.limit) + "× floor";
    }
    return "–";
}

}  // namespace

std::string ResultsTable::markdown() const {
    std::string out = "| Measure | Ours | Floor | Ratio | Target | Met |\n"
                      "|---|---:|---:|---:|---|:-:|\n";
    int targets = 0;
    int met = 0;
    for (const Entry& entry : entries_) {
        if (entry.section) {
            out += "| **" + *entry.section + "** | | | | | |\n";
            continue;
        }
        const ResultRow& row = *entry.row;
        const std::optional<bool> verdict = row.met();
        if (verdict) {
            ++targets;
            met += *verdict ? 1 : 0;
        }
        out += "| " + row.measure + " | " + withUnit(row.ours, row.unit) + " | " +
               (row.floor ? withUnit(*row.floor, row.unit) : "–") + " | " +
               (row.ratio() ? formatFigure(*row.ratio()) + "×" : "–") + " | " + targetText(row) +
               " | " + (verdict ? (*verdict ? "yes" : "**no**") : "–") + " |\n";
    }
    out += "\nTargets met: " + std::to_string(met) + " of " + std::to_string(targets) + "\n";
    return out;
}

}  // namespace zorbalin::bench
