// The classroom options through the shared window: the commands of keys and menus, the record
// window's buttons, and what the views are told.
#include <gtest/gtest.h>

#include <string>

#include "draw/result_record.h"
#include "fake_window_port.h"
#include "layout/texts.h"

namespace zorbalin::lifecycle::testing {
namespace {

using layout::WindowCommand;

// Three draws over a, b, c, each stopped on what the scripted numbers pick.
void drawThree(FakeWindow& form) {
    form.port.typeIntoEditor(u"a\r\nb\r\nc");
    form.random->numbers = {0.5, 0.9};
    for (int i = 0; i < 3; ++i) {
        form.window.Command2_Click();
        if (i > 0) form.window.Timer1_Timer();
        form.window.Command2_Click();
    }
}

TEST(WindowViews, ThePresentationIsToldWhatToShowWhenOpenedAndWhenItChanges) {
    FakeWindow form;
    form.open();
    form.port.typeIntoEditor(u"a\r\nb");
    form.window.runCommand(WindowCommand::TogglePresentation);
    ASSERT_TRUE(form.port.presentation);
    ASSERT_EQ(form.port.presentationTold.size(), 1u);
    EXPECT_TRUE(form.port.presentationTold[0].first.empty());
    EXPECT_EQ(form.port.presentationTold[0].second, layout::presentationHelpLine(std::nullopt));

    form.random->numbers = {0.9, 0.9};
    form.window.runCommand(WindowCommand::StartStop);  // shows a
    form.window.Timer1_Timer();                          // b
    form.window.Timer1_Timer();                          // b again: nothing to tell
    form.window.runCommand(WindowCommand::ToggleNoRepeat);  // the help line counts the round
    ASSERT_EQ(form.port.presentationTold.size(), 4u);
    EXPECT_EQ(form.port.presentationTold[1].first, std::vector<std::u16string>{u"a"});
    EXPECT_EQ(form.port.presentationTold[2].first, std::vector<std::u16string>{u"b"});
    EXPECT_EQ(form.port.presentationTold[3].second, layout::presentationHelpLine(draw::RoundCount{2, 2}));

    form.window.runCommand(WindowCommand::LeavePresentation);
    form.window.Timer1_Timer();
    EXPECT_EQ(form.port.presentationTold.size(), 4u) << "a closed view is told nothing";
    form.window.runCommand(WindowCommand::TogglePresentation);
    EXPECT_EQ(form.port.presentationTold.size(), 5u) << "opened again, it is told anew";
}

TEST(WindowViews, TheRecordWindowIsToldWhichRowsAreNew) {
    FakeWindow form;
    form.open();
    drawThree(form);  // before the window opens
    form.window.runCommand(WindowCommand::OpenRecord);
    form.window.Command2_Click();
    form.window.Command2_Click();
    form.window.Command2_Click();  // a Start: nothing new
    form.window.clearRecord();
    const std::vector<std::pair<std::size_t, std::size_t>> told = {{3, 0}, {4, 3}, {0, 0}};
    EXPECT_EQ(form.port.recordTold, told);
}

TEST(RecordButtons, CopySaveAndClearWithTheirFailuresOverTheRecordWindow) {
    FakeWindow form;
    form.open();
    drawThree(form);
    form.window.runCommand(WindowCommand::OpenRecord);
    const std::u16string text = draw::recordText(form.window.state().draw.record);

    form.window.copyRecord();
    EXPECT_EQ(form.port.clipboard, text);
    form.port.clipboardBusy = true;
    form.window.copyRecord();
    ASSERT_EQ(form.port.boxes.size(), 1u);
    EXPECT_EQ(form.port.boxes[0].text, layout::kClipboardBusyMessage);
    EXPECT_EQ(form.port.boxes[0].owner, View::Record);

    form.window.saveRecord();  // cancelled
    form.port.saveAnswer = std::u16string(u"/lists/记录.txt");
    form.window.saveRecord();
    EXPECT_EQ(form.port.files.bytesOf(u"记录.txt"), draw::recordFileBytes(form.window.state().draw.record));
    form.port.saveAnswer = problemOf(ProblemCode::Internal, u"no dialog");
    form.window.saveRecord();
    ASSERT_EQ(form.port.boxes.size(), 2u);
    EXPECT_EQ(form.port.boxes[1].text, layout::problemMessage(form.port.saveAnswer.problem()));
    EXPECT_EQ(form.port.boxes[1].owner, View::Record);
    ASSERT_EQ(form.port.saveRequests.size(), 3u);
    EXPECT_EQ(form.port.saveRequests[0].first, layout::recordSaveDialog().title);
    EXPECT_EQ(form.port.saveRequests[0].second, View::Record);

    form.window.clearRecord();
    EXPECT_TRUE(form.window.state().draw.record.results().empty());
}

TEST(WindowCommands, EachCommandReachesItsPrimitiveOrRule) {
    FakeWindow form;
    form.open();
    form.window.runCommand(WindowCommand::CopyPick);
    form.window.runCommand(WindowCommand::SelectAllPick);
    EXPECT_EQ(form.port.pickCopies, 1);
    EXPECT_EQ(form.port.pickSelections, 1);
    form.window.runCommand(WindowCommand::TogglePresentation);
    form.window.runCommand(WindowCommand::TogglePresentation);
    EXPECT_FALSE(form.port.presentation);

    form.port.typeIntoEditor(u"a\r\nb");
    form.window.runCommand(WindowCommand::ToggleNoRepeat);
    EXPECT_TRUE(form.window.pickMenu(false)[4].checked);
    form.window.runCommand(WindowCommand::StartStop);
    form.window.runCommand(WindowCommand::StartStop);
    EXPECT_EQ(draw::roundCount(form.window.state().draw)->remaining, 1u);
    form.window.runCommand(WindowCommand::RestartRound);
    EXPECT_EQ(draw::roundCount(form.window.state().draw)->remaining, 2u);
    EXPECT_TRUE(form.window.pickMenu(false)[1].enabled) << "the pick display has a text to select";
}

}  // namespace
}  // namespace zorbalin::lifecycle::testing
