// A handler that runs out of memory: the window shows it and stays as it was, whichever
// allocation fails.
#include "failing_allocations.h"
#include "form1_fixture.h"
#include "layout/texts.h"
#include "message_box_catcher.h"

namespace zorbalin::test {
namespace {

using zorbalin::testing::FailingAllocations;

using HandlerFailureTest = Form1Test;

TEST_F(HandlerFailureTest, StartRunningOutOfMemoryAnywhereLeavesTheWindowAsItWas) {
    const QString untidy = QStringLiteral("候选人\n\n").repeated(3000);
    constexpr std::size_t kLarge = 16 * 1024;  // the list's copies, not the captions'
    const auto clickStartStop = [this] { QTest::mouseClick(startStop(), Qt::LeftButton); };
    openShown();
    editor()->setPlainText(untidy);
    FailingAllocations::arm(kLarge);
    clickStartStop();
    const std::size_t steps = FailingAllocations::disarm();
    ASSERT_GE(steps, 3u);
    ASSERT_EQ(startStop()->text(), QStringLiteral("停止滚动"));
    clickStartStop();

    for (std::size_t step = 1; step <= steps; ++step) {
        SCOPED_TRACE(::testing::Message() << "allocation " << step << " of " << steps);
        editor()->setPlainText(untidy);
        MessageBoxCatcher boxes;
        FailingAllocations::arm(kLarge, step);
        clickStartStop();
        FailingAllocations::disarm();
        ASSERT_TRUE(form->isVisible());
        if (boxes.caught().empty()) {  // a step with another way to do it (the editor's whole text)
            EXPECT_EQ(editor()->document()->blockCount(), 3000);
            EXPECT_TRUE(timer()->isActive());
            clickStartStop();
            continue;
        }
        ASSERT_EQ(boxes.caught().size(), 1);
        EXPECT_EQ(boxes.caught()[0].text, qs(std::u16string(layout::kOutOfMemoryMessage)));
        form->StoreSettings();  // another handler: the failed one left nothing for it to flush
        EXPECT_EQ(editor()->toPlainText(), untidy);
        EXPECT_EQ(startStop()->text(), QStringLiteral("开始滚动"));
        EXPECT_FALSE(timer()->isActive());
    }
    clickStartStop();  // and with memory again, it works
    EXPECT_EQ(pick()->text(), QStringLiteral("候选人"));
    EXPECT_EQ(editor()->document()->blockCount(), 3000);
}

// Loading and writing back: whichever allocation fails, the editor keeps its text and the
// file its bytes, or the whole choice goes through.
TEST_F(HandlerFailureTest, ChoosingAFileRunningOutOfMemoryAnywhereLosesNothing) {
    const QByteArray untidy = QByteArray("候选人\r\n\r\n").repeated(3000);
    const QByteArray tidy = QByteArray("候选人\r\n").repeated(3000).chopped(2);
    constexpr std::size_t kLarge = 16 * 1024;
    const QString path = writeFile(QStringLiteral("list.txt"), untidy);
    dialog.answer = [path] { return path; };
    openShown();
    editor()->setPlainText(QStringLiteral("earlier"));
    FailingAllocations::arm(kLarge);
    QTest::mouseClick(chooseFile(), Qt::LeftButton);
    const std::size_t steps = FailingAllocations::disarm();
    ASSERT_GE(steps, 4u);
    ASSERT_EQ(readFile(path), tidy);

    for (std::size_t step = 1; step <= steps; ++step) {
        SCOPED_TRACE(::testing::Message() << "allocation " << step << " of " << steps);
        writeFile(QStringLiteral("list.txt"), untidy);
        editor()->setPlainText(QStringLiteral("earlier"));
        MessageBoxCatcher boxes;
        FailingAllocations::arm(kLarge, step);
        QTest::mouseClick(chooseFile(), Qt::LeftButton);
        FailingAllocations::disarm();
        ASSERT_TRUE(form->isVisible());
        if (boxes.caught().empty()) {  // a step with another way to do it
            EXPECT_EQ(readFile(path), tidy);
            continue;
        }
        ASSERT_EQ(boxes.caught().size(), 1);
        EXPECT_EQ(boxes.caught()[0].text, qs(std::u16string(layout::kOutOfMemoryMessage)));
        form->StoreSettings();  // another handler: the failed one left nothing for it to flush
        EXPECT_EQ(editor()->toPlainText(), QStringLiteral("earlier"));
        EXPECT_EQ(readFile(path), untidy);
    }
}

}  // namespace
}  // namespace zorbalin::test
