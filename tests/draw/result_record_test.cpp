#include "draw/result_record.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace zorbalin::draw {
namespace {

TEST(TimeOfDayText, TwoDigitsEachOnATwentyFourHourClock) {
    const std::pair<TimeOfDay, std::u16string> cases[] = {
        {{0, 0, 0}, u"00:00:00"}, {{8, 5, 9}, u"08:05:09"}, {{23, 59, 59}, u"23:59:59"}};
    for (const auto& [time, text] : cases) EXPECT_EQ(timeOfDayText(time), text);
}

TEST(LocalTimeOfDay, AgreesWithTheCLibrary) {
    for (int attempt = 0; attempt < 3; ++attempt) {  // a second may turn in between
        const TimeOfDay ours = localTimeOfDay();
        const std::time_t now = std::time(nullptr);
        const std::tm* const local = std::localtime(&now);
        ASSERT_NE(local, nullptr);
        if (ours == TimeOfDay{local->tm_hour, local->tm_min, local->tm_sec}) return;
    }
    ADD_FAILURE() << "the local time of day differs from std::localtime's";
}

class RecordText : public ::testing::Test {
protected:
    ResultRecord record{[this] { return now; }};
    TimeOfDay now{14, 3, 27};
};

TEST_F(RecordText, OneLinePerResultWithTimeRoundAndResult) {
    record.add({u"张三"}, std::nullopt);
    record.add({u"李四"}, 1);
    EXPECT_EQ(recordText(record), u"14:03:27\t\t张三\r\n14:03:27\t1\t李四\r\n");
}

// Once several are drawn at once, the draw numbers tell the draws of one time apart.
TEST_F(RecordText, WithSeveralAtOnceTheDrawNumberToo) {
    record.add({u"张三"}, std::nullopt);
    now = {14, 3, 40};
    record.add({u"李四", u"王五"}, 1);  // two at once: one time, one draw
    record.add({u"a\tb\r\nc\rd\ne\u2028f"}, 12);
    record.add({u""}, std::nullopt);

    EXPECT_EQ(recordText(record),
              u"14:03:27\t1\t\t张三\r\n"
              u"14:03:40\t2\t1\t李四\r\n"
              u"14:03:40\t2\t1\t王五\r\n"
              u"14:03:40\t3\t12\ta b  c d e f\r\n"
              u"14:03:40\t4\t\t\r\n");
    EXPECT_EQ(record.results().at(3).text, u"a\tb\r\nc\rd\ne\u2028f");  // kept as shown
}

TEST_F(RecordText, SavedAsUtf8WithByteOrderMarkAndCrLf) {
    record.add({u"王五"}, 2);
    EXPECT_EQ(recordFileBytes(record), "\xEF\xBB\xBF" "14:03:27\t2\t\xE7\x8E\x8B\xE4\xBA\x94\r\n");
}

TEST_F(RecordText, ClearedRecordIsEmpty) {
    record.add({u"x"}, std::nullopt);
    record.clear();
    EXPECT_TRUE(record.results().empty());
    EXPECT_EQ(recordText(record), u"");
    EXPECT_EQ(recordFileBytes(record), "\xEF\xBB\xBF");
}

}  // namespace
}  // namespace zorbalin::draw
