// The benchmark's one table: each figure beside its floor and its target.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zorbalin::bench {

struct Target {
    enum class Kind { None, AtMost, AtMostTimesFloor };
    Kind kind = Kind::None;
    double limit = 0;

    static Target none() { return {}; }
    static Target atMost(double value) { return {Kind::AtMost, value}; }
    static Target atMostTimesFloor(double factor) { return {Kind::AtMostTimesFloor, factor}; }
};

struct ResultRow {
    std::string measure;
    std::string unit;               // "ms", "MiB", "%", "" for counts
    double ours = 0;
    std::optional<double> floor;    // the same work done by bare Qt
    Target target;

    std::optional<double> ratio() const;
    // Empty when the row has no target.
    std::optional<bool> met() const;
};

class ResultsTable {
public:
    void section(std::string title);
    void add(ResultRow row);

    // A markdown table, one section heading row per section, and a count of targets met.
    std::string markdown() const;

    const std::vector<ResultRow>& rows() const { return rows_; }

private:
    struct Entry {
        std::optional<std::string> section;
        std::optional<ResultRow> row;
    };
    std::vector<Entry> entries_;
    std::vector<ResultRow> rows_;
};

// A figure with a precision suited to its size: 0.0123, 1.23, 12.3, 1234.
std::string formatFigure(double value);

}  // namespace zorbalin::bench
