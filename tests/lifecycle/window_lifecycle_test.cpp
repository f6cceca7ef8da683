// The shared window's startup and shutdown over the fake port: what a user sees at start, what
// is told once the window is up, and what is remembered for the next run.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fake_window_port.h"
#include "layout/texts.h"

namespace zorbalin::lifecycle::testing {
namespace {

using files::testing::FakeInode;

std::u16string message(ProblemCode code, std::u16string_view path) {
    return layout::problemMessage(problemOf(code), path);
}

struct StartupCase {
    const char* name;
    std::optional<std::u16string> path;  // stored; a file there when bytes are given
    std::optional<std::string> bytes;
    std::optional<std::u16string> interval;
    std::u16string editor;
    std::u16string shownInterval;
    bool reported;  // a box once the window is up, naming the file
};

TEST(WindowStartup, LoadsTheRememberedFileAndIntervalAndTellsWhatFailedOnceShown) {
    const StartupCase cases[] = {
        {"first run", std::nullopt, std::nullopt, std::nullopt, u"", u"50", false},
        {"remembered file deleted", u"/lists/gone.txt", std::nullopt, u"120", u"", u"120", false},
        {"remembered file tidied", u"/lists/class.txt", "a\n\n\nb\n", std::nullopt, u"a\r\nb", u"50", false},
        {"remembered file not text", u"/lists/class.txt", std::string("\x89PNG\0\x01", 6), std::nullopt, u"",
         u"50", true},
        {"interval shown verbatim", std::nullopt, std::nullopt, u" abc", u"", u" abc", false},
    };
    for (const StartupCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWindow form;
        if (c.path) form.port.settings.values[u"Path"] = *c.path;
        if (c.interval) form.port.settings.values[u"Interval"] = *c.interval;
        if (c.bytes) form.port.addFile(u"class.txt", *c.bytes);

        form.window.Form_Load();
        EXPECT_TRUE(form.port.boxes.empty());  // nothing is shown before the window is
        form.port.shown = true;
        form.window.tellStartupNotice();

        EXPECT_EQ(form.port.editorShown, c.editor);
        EXPECT_EQ(form.port.intervalField, c.shownInterval);
        EXPECT_EQ(form.window.state().listPath, c.path.value_or(u""));  // a missing file stays remembered
        ASSERT_EQ(form.port.boxes.size(), c.reported ? 1u : 0u);
        if (c.reported) {
            EXPECT_EQ(form.port.boxes[0].text, message(ProblemCode::NotText, *c.path));
        }
        if (c.bytes) {
            EXPECT_EQ(form.port.files.bytesOf(u"class.txt"), *c.bytes) << "the startup writes nothing";
        }
        form.window.tellStartupNotice();
        EXPECT_EQ(form.port.boxes.size(), c.reported ? 1u : 0u) << "told once";
        EXPECT_EQ(form.port.settings.writes, 0);
    }
}

TEST(WindowStartup, TellsOfACopyLeftByAKilledWriteOnce) {
    FakeWindow form;
    form.port.files.recovery[u"class.txt.old"] = std::make_shared<FakeInode>();
    form.port.files.recovery[u"class.txt.old.target"] = std::make_shared<FakeInode>();
    form.port.files.recovery[u"class.txt.old.target"]->bytes = "/lists/class.txt";
    form.port.files.add(u"class.txt", "neither the old nor the new list");
    form.open();
    Problem found = problemOf(ProblemCode::RecoveryCopyFound);
    found.where = u"/state/class.txt.old";
    ASSERT_EQ(form.port.boxes.size(), 1u);
    EXPECT_EQ(form.port.boxes[0].text, layout::problemMessage(found, u"/lists/class.txt"));

    FakeWindow nextRun;
    nextRun.port.files.recovery = form.port.files.recovery;
    nextRun.open();
    EXPECT_TRUE(nextRun.port.boxes.empty());
    EXPECT_TRUE(nextRun.port.files.recovery.contains(u"class.txt.old")) << "the copy is the user's";
}

TEST(WindowShutdown, StoresThePathAndTheIntervalOfTheLastStartOnce) {
    FakeWindow form;
    form.port.settings.values = {{u"Path", u"/lists/gone.txt"}, {u"Interval", u"80"}};
    form.open();
    form.port.typeIntoEditor(u"x\r\ny");
    form.port.intervalField = u"30";
    form.window.Command2_Click();  // starts with 30
    form.port.intervalField = u"200";  // typed after the Start: not stored

    form.window.closeWindow(true);
    form.window.Form_Unload();

    EXPECT_EQ(form.port.settings.writes, 1);
    EXPECT_EQ(form.port.settings.value(u"Path"), u"/lists/gone.txt");
    EXPECT_EQ(form.port.settings.value(u"Interval"), u"30");
    EXPECT_FALSE(form.port.settings.value(u"NoRepeat")) << "an option never touched is not stored";
    EXPECT_TRUE(form.port.boxes.empty());
}

TEST(WindowShutdown, AWindowThatNeverLoadedStoresNothing) {
    FakeWindow form;
    form.window.Form_Unload();
    EXPECT_EQ(form.port.settings.writes, 0);
}

TEST(WindowShutdown, OnlyTheUserWhoClosesHearsThatNothingWasStored) {
    for (const bool byUser : {true, false}) {
        SCOPED_TRACE(byUser);
        FakeWindow form;
        form.open();
        form.port.settings.writable = false;
        form.window.closeWindow(byUser);
        ASSERT_EQ(form.port.boxes.size(), byUser ? 1u : 0u);
        if (byUser) {
            EXPECT_TRUE(form.port.boxes[0].text.starts_with(u"无法保存设置到“~/.config/Pellanor/"));
        }
    }
}

TEST(WindowShutdown, TheSessionsRequestStoresAndTheCloseStoresAgain) {
    FakeWindow form;
    form.open();
    form.port.settings.writable = false;
    form.window.storeSettingsForSession();  // the end of the session: no box waits for anyone
    EXPECT_TRUE(form.port.boxes.empty());
    form.port.settings.writable = true;
    form.port.intervalField = u"70";
    form.port.typeIntoEditor(u"a");
    form.window.Command2_Click();  // the user cancelled the logout and went on
    form.window.closeWindow(true);
    EXPECT_EQ(form.port.settings.writes, 2);
    EXPECT_EQ(form.port.settings.value(u"Interval"), u"70");
    EXPECT_TRUE(form.port.boxes.empty());
}

TEST(NoRepeatSetting, OnlyOneTurnsItOnAndItIsWrittenOnlyOnceItExists) {
    const std::pair<std::optional<std::u16string>, bool> cases[] = {
        {u"1", true},   {u"0", false},  {u"", false},   {u"true", false},
        {u" 1", false}, {u"1 ", false}, {u"01", false}, {u"１", false}, {std::nullopt, false},
    };
    for (const auto& [stored, on] : cases) {
        SCOPED_TRACE(::testing::PrintToString(stored));
        FakeWindow form;
        if (stored) form.port.settings.values[u"NoRepeat"] = *stored;
        form.open();
        EXPECT_EQ(form.window.state().draw.noRepeat, on);
        form.window.Form_Unload();
        // A store that never had the value does not get one: the window keeps its two values.
        EXPECT_EQ(form.port.settings.value(u"NoRepeat"),
                  stored ? std::optional<std::u16string>(on ? u"1" : u"0") : std::nullopt);
        EXPECT_EQ(form.port.settings.value(u"Interval"), u"50");
    }
    FakeWindow form;
    form.open();
    form.window.runCommand(layout::WindowCommand::ToggleNoRepeat);
    form.window.runCommand(layout::WindowCommand::ToggleNoRepeat);
    form.window.Form_Unload();
    EXPECT_EQ(form.port.settings.value(u"NoRepeat"), u"0") << "turned on and off again: the choice is kept";
}

}  // namespace
}  // namespace zorbalin::lifecycle::testing
