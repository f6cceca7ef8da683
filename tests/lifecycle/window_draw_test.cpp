// The draw as the shared window runs it: what its handlers put into the controls, once each
// handler ends, and a timer the system would not start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_window_port.h"
#include "layout/texts.h"

namespace zorbalin::lifecycle::testing {
namespace {

TEST(WindowDraw, StartTidiesOnceShowsTheFirstLineAndStopKeepsTheResult) {
    FakeWindow form;
    form.open();
    form.port.typeIntoEditor(u"张三\r\n李四\r\n\r\n\r\n");
    form.port.intervalField = u"120ms";
    form.random->numbers = {0.6};

    form.window.Command2_Click();
    EXPECT_EQ(form.port.editorShown, u"张三\r\n李四");
    EXPECT_EQ(form.port.editorFlushes, 1);
    EXPECT_EQ(form.port.pick, u"张三");
    EXPECT_EQ(form.port.caption, layout::kStopCaption);
    EXPECT_EQ(form.port.timerInterval, 120);
    EXPECT_TRUE(form.port.timerRunning);

    form.window.Timer1_Timer();
    EXPECT_EQ(form.port.pick, u"李四");
    EXPECT_TRUE(form.port.announced.empty()) << "a screen reader hears no item while it scrolls";
    form.window.Command2_Click();
    EXPECT_EQ(form.port.announced, std::vector<std::u16string>{u"抽取结果：李四"});
    EXPECT_EQ(form.port.caption, layout::kStartCaption);
    EXPECT_FALSE(form.port.timerRunning);
    EXPECT_EQ(form.port.pick, u"李四");
    form.window.Timer1_Timer();  // a tick that was queued before the stop
    EXPECT_EQ(form.port.pick, u"李四");
    EXPECT_TRUE(form.port.boxes.empty());
}

TEST(WindowDraw, LeavingTheIntervalFieldTidiesItAndStartTakesItVerbatim) {
    FakeWindow form;
    form.open();
    form.port.intervalField = u"  80ms";
    form.window.Text2_LostFocus();
    EXPECT_EQ(form.port.intervalField, u"80");
    form.port.intervalField = u"abc";
    form.port.typeIntoEditor(u"a");
    form.window.Command2_Click();
    EXPECT_EQ(form.port.intervalField, u"abc");
    EXPECT_EQ(form.port.timerInterval, 1);
    form.window.Form_Unload();
    EXPECT_EQ(form.port.settings.value(u"Interval"), u"abc");
}

// A click takes the focus from the field, which tidies it; F5 or a key in a view leaves the
// focus where it is, yet must do the same.
TEST(WindowDraw, EveryWayOfStartingOrStoppingTidiesAFocusedIntervalFieldAsTheClickDoes) {
    const std::pair<const char*, void (*)(MainWindow&)> ways[] = {
        {"Command2", [](MainWindow& window) { window.Command2_Click(); }},
        {"F5 or a view's key", [](MainWindow& window) { window.runCommand(layout::WindowCommand::StartStop); }},
    };
    for (const auto& [name, press] : ways) {
        SCOPED_TRACE(name);
        FakeWindow form;
        form.open();
        form.port.typeIntoEditor(u"a\r\nb");
        form.port.intervalFocused = true;
        form.port.intervalField = u"120ms";
        press(form.window);
        EXPECT_EQ(form.port.intervalField, u"120");
        EXPECT_EQ(form.port.timerInterval, 120);
        form.port.intervalField = u" 90";
        press(form.window);  // the stop tidies too
        EXPECT_EQ(form.port.intervalField, u"90");
        form.window.Form_Unload();
        EXPECT_EQ(form.port.settings.value(u"Interval"), u"120");
    }
}

TEST(WindowDraw, ATimerThatWillNotStartLeavesTheDrawIdleAndSaysSo) {
    FakeWindow form;
    form.open();
    form.port.typeIntoEditor(u"a\r\nb");
    form.port.timerStart = problemOf(ProblemCode::TimerNotStarted, u"资源不足");

    form.window.Command2_Click();

    EXPECT_FALSE(form.window.state().draw.isScrolling);
    EXPECT_FALSE(form.port.timerRunning);
    EXPECT_EQ(form.port.caption, layout::kStartCaption);
    ASSERT_EQ(form.port.boxes.size(), 1u);
    EXPECT_EQ(form.port.boxes[0].text, layout::problemMessage(form.port.timerStart.problem()));
    form.window.Command2_Click();  // a second try is a Start again, not a Stop
    EXPECT_EQ(form.port.timerStarts, 2);
    EXPECT_TRUE(form.window.state().draw.record.results().empty());
}

}  // namespace
}  // namespace zorbalin::lifecycle::testing
