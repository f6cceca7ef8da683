#include "draw/result_record.h"

#include <ctime>

#include "base/decimal_text.h"
#include "textio/text_encoding.h"

namespace zorbalin::draw {

namespace {

void appendTwoDigits(std::u16string& out, int value) {
    appendDecimal(out, static_cast<std::uint64_t>(value < 0 ? 0 : value), 2);
}

}  // namespace

// The 32-bit Windows build has a 32-bit time_t, which runs out in 2038: there the 64-bit
// functions of the C runtime are asked instead (Windows 2000 and later have them).
TimeOfDay localTimeOfDay() {
    std::tm local{};
#if defined(_WIN32)
    const __time64_t now = _time64(nullptr);
    const std::tm* const read = _localtime64(&now);
    if (read == nullptr) return {};
    local = *read;  // the runtime's own copy for this thread
#else
    const std::time_t now = std::time(nullptr);
    if (localtime_r(&now, &local) == nullptr) return {};
#endif
    return {local.tm_hour, local.tm_min, local.tm_sec};
}

std::u16string timeOfDayText(TimeOfDay time) {
    std::u16string text;
    appendTwoDigits(text, time.hour);
    text += u':';
    appendTwoDigits(text, time.minute);
    text += u':';
    appendTwoDigits(text, time.second);
    return text;
}

void ResultRecord::add(const std::vector<std::u16string>& items, std::optional<std::size_t> round) {
    const TimeOfDay time = clock_();
    ++draws_;
    severalAtOnce_ = severalAtOnce_ || items.size() > 1;
    for (const std::u16string& item : items) results_.push_back({time, draws_, round, item});
}

bool recordShowsDraws(const ResultRecord& record) {
    return record.hasDrawOfSeveral();
}

std::u16string recordText(const ResultRecord& record) {
    std::u16string text;
    const bool draws = recordShowsDraws(record);
    for (const RecordedResult& result : record.results()) {
        text += timeOfDayText(result.time);
        text += u'\t';
        if (draws) appendDecimal(text, result.draw) += u'\t';
        if (result.round) appendDecimal(text, *result.round);
        text += u'\t';
        for (const char16_t c : result.text) {
            const bool cuts = c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u2028' || c == u'\u2029';
            text += cuts ? u' ' : c;
        }
        text += u"\r\n";
    }
    return text;
}

std::string recordFileBytes(const ResultRecord& record) {
    // Only a code-page encoding can fail, and the record is never written in one.
    return textio::encodeUnicodeText(recordText(record), kRecordFileFormat.encoding).value_or("");
}

}  // namespace zorbalin::draw
