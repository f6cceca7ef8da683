// Choosing a candidate file through the shared window: the dialog's answer is remembered
// whatever it is, a chosen file is loaded, tidied and written back, and a file that cannot
// be read or written is reported once and never damaged.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fake_window_port.h"
#include "layout/texts.h"

namespace zorbalin::lifecycle::testing {
namespace {

constexpr char16_t kList[] = u"/lists/class.txt";

struct ChooseCase {
    const char* name;
    std::u16string answer;
    std::optional<std::string> bytes;  // at kList
    bool readable = true;
    bool writable = true;
    std::u16string editor;                   // shown afterwards
    std::optional<ProblemCode> reported;     // the one box, naming the file
    std::string bytesAfter;
};

TEST(ChooseCandidateFile, LoadsTidiesWritesBackAndRemembersWhateverTheAnswer) {
    const ChooseCase cases[] = {
        {"cancelled", u"", std::nullopt, true, true, u"old", std::nullopt, ""},
        {"written back in its own format", kList, "a\n\n\n\nb\n", true, true, u"a\r\nb", std::nullopt, "a\nb"},
        {"unreadable is not written over", kList, "a\n\n\nb", false, true, u"old", ProblemCode::NoReadPermission,
         "a\n\n\nb"},
        {"not text", kList, std::string("\x89PNG\0", 5), true, true, u"old", ProblemCode::NotText,
         std::string("\x89PNG\0", 5)},
        {"read-only still shows its tidied text", kList, "x\n\n\ny", true, false, u"x\r\ny", ProblemCode::ReadOnly,
         "x\n\n\ny"},
    };
    for (const ChooseCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWindow form;
        form.port.settings.values[u"Path"] = u"/earlier.txt";
        form.open();
        form.port.typeIntoEditor(u"old");
        if (c.bytes) form.port.files.add(u"class.txt", *c.bytes)->markedWritable = c.writable;
        form.port.files.readable = c.readable;
        form.port.openAnswers = {c.answer};

        form.window.Command1_Click();

        ASSERT_EQ(form.port.openRequests.size(), 1u);
        EXPECT_EQ(form.port.openRequests[0], layout::kChooseFileDialogTitle);
        EXPECT_EQ(form.port.lastOpenFilter, layout::allFilesFilter());
        EXPECT_EQ(form.window.state().listPath, c.answer);  // a cancel forgets the earlier file
        EXPECT_EQ(form.port.editorShown, c.editor);
        ASSERT_EQ(form.port.boxes.size(), c.reported ? 1u : 0u);
        if (c.reported) {
            EXPECT_EQ(form.port.boxes[0].text, layout::problemMessage(problemOf(*c.reported), kList));
            EXPECT_EQ(form.port.boxes[0].owner, View::Main);
            EXPECT_EQ(form.port.boxes[0].editorShown, c.editor) << "the editor shows its text under the box";
        }
        if (c.bytes) {
            EXPECT_EQ(form.port.files.bytesOf(u"class.txt"), c.bytesAfter);
        }
        EXPECT_EQ(form.port.settings.writes, 0);  // only the shutdown stores the path
    }
}

TEST(ChooseCandidateFile, WhileScrollingChangesTheEditorNotTheDraw) {
    FakeWindow form;
    form.open();
    form.port.typeIntoEditor(u"old");
    form.window.Command2_Click();
    form.port.addFile(u"class.txt", "new1\nnew2\n");
    form.port.openAnswers = {kList};

    form.window.Command1_Click();
    form.window.Timer1_Timer();

    EXPECT_EQ(form.port.editorShown, u"new1\r\nnew2");
    EXPECT_TRUE(form.port.timerRunning);
    EXPECT_EQ(form.port.caption, layout::kStopCaption);
    EXPECT_EQ(form.port.pick, u"old");
    form.window.Command2_Click();
    form.window.Command2_Click();
    EXPECT_EQ(form.port.pick, u"new1");
}

// 保存名单 writes the editor's tidied list into the chosen file as a chosen file is written,
// again and again; only another program's change in between keeps it from writing.
TEST(SaveList, WritesTheChosenFileAsItIsWrittenBackAndNothingAnotherProgramChanged) {
    FakeWindow form;
    form.open();
    form.port.addFile(u"class.txt", "a\n\n\nb\n");
    form.port.openAnswers = {kList};
    form.window.Command1_Click();
    for (const std::u16string typed : {u"a\r\nb\r\nc\r\n", u"x\r\n\r\n\r\ny"}) {
        form.port.typeIntoEditor(typed);
        form.window.runCommand(layout::WindowCommand::SaveList);
    }
    EXPECT_EQ(form.port.files.bytesOf(u"class.txt"), "x\ny");  // its own LF breaks
    EXPECT_EQ(form.port.editorShown, u"x\r\ny");
    EXPECT_TRUE(form.port.boxes.empty());
    EXPECT_TRUE(form.port.saveRequests.empty());

    form.port.files.change(*form.port.files.folder.at(u"class.txt"), "another program's");
    form.port.typeIntoEditor(u"mine");
    form.window.runCommand(layout::WindowCommand::SaveList);
    EXPECT_EQ(form.port.files.bytesOf(u"class.txt"), "another program's");
    ASSERT_EQ(form.port.boxes.size(), 1u);
    EXPECT_EQ(form.port.boxes[0].text, layout::problemMessage(problemOf(ProblemCode::ChangedSinceRead), kList));
}

TEST(SaveList, WithoutAChosenFileAsksForOneWhichIsTheChosenFileFromThenOn) {
    FakeWindow form;
    form.open();
    form.port.typeIntoEditor(u"张三\r\n\r\n\r\n李四");
    form.window.runCommand(layout::WindowCommand::SaveList);  // cancelled: nothing happens
    EXPECT_EQ(form.window.state().listPath, u"");
    form.port.saveAnswer = std::u16string(u"/lists/new.txt");
    form.window.runCommand(layout::WindowCommand::SaveList);
    EXPECT_EQ(form.port.files.bytesOf(u"new.txt"), "\xEF\xBB\xBF\xE5\xBC\xA0\xE4\xB8\x89\r\n\xE6\x9D\x8E\xE5\x9B\x9B");
    EXPECT_EQ(form.window.state().listPath, u"/lists/new.txt");
    form.port.typeIntoEditor(u"王五");
    form.window.runCommand(layout::WindowCommand::SaveList);
    EXPECT_EQ(form.port.files.bytesOf(u"new.txt"), "\xEF\xBB\xBF\xE7\x8E\x8B\xE4\xBA\x94");
    ASSERT_EQ(form.port.saveRequests.size(), 2u);
    EXPECT_EQ(form.port.saveRequests[0].first, layout::listSaveDialog().title);
    EXPECT_TRUE(form.port.boxes.empty());
    form.window.Form_Unload();
    EXPECT_EQ(form.port.settings.value(u"Path"), u"/lists/new.txt");
}

// Its formatting is gone once it is plain text: the original is kept first, and the user told.
TEST(ChooseCandidateFile, ARichTextListIsKeptWholeBeforeItBecomesPlainText) {
    const std::string rich = "{\\rtf1\\ansi {\\b a}\\par\\par b\\par}";
    FakeWindow form;
    form.open();
    form.port.addFile(u"class.rtf", rich);
    form.port.openAnswers = {u"/lists/class.rtf"};
    form.window.Command1_Click();
    EXPECT_EQ(form.port.files.bytesOf(u"class.rtf"), "a\r\nb");
    ASSERT_TRUE(form.port.files.recovery.contains(u"class.rtf"));
    EXPECT_EQ(form.port.files.recovery.at(u"class.rtf")->bytes, rich);
    ASSERT_EQ(form.port.boxes.size(), 1u);
    EXPECT_EQ(form.port.boxes[0].text, layout::richTextKeptMessage(u"/lists/class.rtf", u"/state/class.rtf"));
    form.port.typeIntoEditor(u"c");
    form.window.runCommand(layout::WindowCommand::SaveList);
    EXPECT_EQ(form.port.boxes.size(), 1u) << "told once";
}

}  // namespace
}  // namespace zorbalin::lifecycle::testing
