#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "textio/file_format.h"

namespace zorbalin::draw {

struct TimeOfDay {
    int hour = 0;    // 0 to 23
    int minute = 0;
    int second = 0;

    friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

// The local time of day, from the C library's local time.
TimeOfDay localTimeOfDay();

// "08:05:09": 24-hour clock, always two digits each.
std::u16string timeOfDayText(TimeOfDay time);

struct RecordedResult {
    TimeOfDay time;
    std::size_t draw = 0;              // which draw of this run, from 1: several at once share it
    std::optional<std::size_t> round;  // its round in a draw without repeats, else none
    std::u16string text;               // the item as its line was

    friend bool operator==(const RecordedResult&, const RecordedResult&) = default;
};

// Every result of this run, oldest first. Kept in memory only: it is written to a file
// only when the user saves it.
class ResultRecord {
public:
    using Clock = std::function<TimeOfDay()>;

    ResultRecord() : ResultRecord(localTimeOfDay) {}
    explicit ResultRecord(Clock clock) : clock_(std::move(clock)) {}

    // The result of one draw: a row for each item, all with the same time and draw number.
    void add(const std::vector<std::u16string>& items, std::optional<std::size_t> round);
    void clear() {
        results_.clear();
        severalAtOnce_ = false;
    }
    const std::vector<RecordedResult>& results() const { return results_; }
    bool hasDrawOfSeveral() const { return severalAtOnce_; }

private:
    Clock clock_;
    std::vector<RecordedResult> results_;
    std::size_t draws_ = 0;  // numbered on, also after a clear
    bool severalAtOnce_ = false;
};

// Whether the record holds a draw of several at once: only then does it show the draw
// numbers, which tell the draws of one time apart.
bool recordShowsDraws(const ResultRecord& record);

// The record as text for copying: one result a line, "time TAB round TAB result", each line
// ending in CR LF, and "time TAB draw TAB round TAB result" once it shows draw numbers.
// Outside a draw without repeats the round field is empty, so that every line has the same
// columns. A tab or a line break inside a result becomes a
// space, because it would cut the line or its columns.
std::u16string recordText(const ResultRecord& record);

// How a saved record is stored: as the program's own text files are.
inline constexpr textio::FileFormat kRecordFileFormat = textio::kNewTextFileFormat;

// The bytes of a saved record: recordText in kRecordFileFormat.
std::string recordFileBytes(const ResultRecord& record);

}  // namespace zorbalin::draw
