// When long work shows its progress, and in what words.
#include "lifecycle/progress_pacing.h"

#include <gtest/gtest.h>

#include "layout/texts.h"

namespace zorbalin::lifecycle {
namespace {

using namespace std::chrono_literals;
using enum ProgressStage;

TEST(ProgressPacing, ShortWorkShowsNothingLongWorkEachStageAtOnceAndFiguresAtMostEveryInterval) {
    constexpr std::uint64_t kLong = ProgressPacing::kQuietUnits;
    struct Report {
        ProgressStage stage;
        std::uint64_t total;
        std::chrono::milliseconds at;
        bool shown;
    };
    const Report reports[] = {
        {Tidying, kLong - 1, 0ms, false},  // a short list
        {Loading, 10, 1ms, false},
        {Reading, kLong, 2ms, true},       // long work: at once
        {Reading, kLong, 100ms, false},    // its figures: not within the interval
        {Reading, kLong, 202ms, true},
        {Decoding, kLong, 203ms, true},    // the next stage: at once
        {Writing, 0, 204ms, true},         // an unknown amount may be long
    };
    ProgressPacing pacing;
    EXPECT_FALSE(pacing.shown());
    for (const Report& report : reports) {
        SCOPED_TRACE(report.at.count());
        EXPECT_EQ(pacing.shouldShow(report.stage, report.total, ProgressPacing::Clock::time_point(report.at)),
                  report.shown);
    }
    EXPECT_TRUE(pacing.shown());
    pacing.reset();
    EXPECT_FALSE(pacing.shown());
}

TEST(ProgressPacing, TheCaptionNamesTheStageAndThePartDoneOnceThereIsOne) {
    EXPECT_EQ(layout::progressCaption(Reading, 0, 100), u"Zorbalin - 正在读取文件");
    EXPECT_EQ(layout::progressCaption(Writing, 45, 100), u"Zorbalin - 正在写回文件 45%");
    EXPECT_EQ(layout::progressCaption(Decoding, 7, 0), u"Zorbalin - 正在识别文字");
}

}  // namespace
}  // namespace zorbalin::lifecycle
