// A handler that runs out of memory: the window shows it and stays as it was, whichever
// allocation fails.
#include "form1_fixture.h"

#include "failing_allocations.h"
#include "layout/texts.h"

namespace zorbalin::win32::testing {
namespace {

using zorbalin::testing::FailingAllocations;

using HandlerFailureTest = Form1Test;

TEST_F(HandlerFailureTest, StartRunningOutOfMemoryAnywhereLeavesTheWindowAsItWas) {
    std::u16string untidy;
    for (int i = 0; i < 3000; ++i) untidy += u"候选人\r\n\r\n";
    constexpr std::size_t kLarge = 16 * 1024;  // the list's copies, not the captions'
    constexpr std::size_t kTidiedSize = 3000 * 5 - 2;  // one break between the lines
    openShown();
    typeText(editor(), untidy);
    FailingAllocations::arm(kLarge);
    click(startStop());
    const std::size_t steps = FailingAllocations::disarm();
    ASSERT_GE(steps, 3u);
    ASSERT_EQ(textOf(startStop()), u"停止滚动");
    click(startStop());

    for (std::size_t step = 1; step <= steps; ++step) {
        SCOPED_TRACE(::testing::Message() << "allocation " << step << " of " << steps);
        typeText(editor(), untidy);
        boxes.clear();
        FailingAllocations::arm(kLarge, step);
        click(startStop());
        FailingAllocations::disarm();
        ASSERT_TRUE(IsWindowVisible(form->window()));
        if (boxes.empty()) {  // a step with another way to do it (the editor's whole text)
            EXPECT_EQ(textOf(editor()).size(), kTidiedSize);
            EXPECT_TRUE(form->timer().enabled());
            click(startStop());
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, layout::kOutOfMemoryMessage);
        EXPECT_EQ(textOf(editor()), untidy);
        EXPECT_EQ(textOf(startStop()), u"开始滚动");
        EXPECT_FALSE(form->timer().enabled());
    }
    click(startStop());  // and with memory again, it works
    EXPECT_EQ(textOf(pick()), u"候选人");
    EXPECT_EQ(textOf(editor()).size(), kTidiedSize);
}

// Loading and writing back: whichever allocation fails, the editor keeps its text and the
// file its bytes, or the whole choice goes through.
TEST_F(HandlerFailureTest, ChoosingAFileRunningOutOfMemoryAnywhereLosesNothing) {
    std::string untidy;
    std::string tidy;
    for (int i = 0; i < 3000; ++i) {
        untidy += "\xE5\x80\x99\xE9\x80\x89\r\n\r\n";  // 候选
        tidy += "\xE5\x80\x99\xE9\x80\x89\r\n";
    }
    tidy.resize(tidy.size() - 2);
    constexpr std::size_t kLarge = 16 * 1024;
    const std::wstring path = writeFile(L"list.txt", untidy);
    dialog.answer = [&path] { return fromWide(path); };
    openShown();
    typeText(editor(), u"earlier");
    FailingAllocations::arm(kLarge);
    click(chooseFile());
    const std::size_t steps = FailingAllocations::disarm();
    ASSERT_GE(steps, 4u);
    ASSERT_EQ(readBytes(path), tidy);

    for (std::size_t step = 1; step <= steps; ++step) {
        SCOPED_TRACE(::testing::Message() << "allocation " << step << " of " << steps);
        writeBytes(path, untidy);
        typeText(editor(), u"earlier");
        boxes.clear();
        FailingAllocations::arm(kLarge, step);
        click(chooseFile());
        FailingAllocations::disarm();
        ASSERT_TRUE(IsWindowVisible(form->window()));
        if (boxes.empty()) {  // a step with another way to do it
            EXPECT_EQ(readBytes(path), tidy);
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, layout::kOutOfMemoryMessage);
        click(startStop());  // other handlers: the failed one left nothing for them to flush
        click(startStop());
        EXPECT_EQ(textOf(editor()), u"earlier");
        EXPECT_EQ(readBytes(path), untidy);
    }
}

}  // namespace
}  // namespace zorbalin::win32::testing
