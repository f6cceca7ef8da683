#include "lifecycle/lifecycle.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fake_code_pages.h"
#include "fake_file_system.h"
#include "layout/texts.h"

namespace zorbalin::lifecycle {
namespace {

using files::testing::FakeFileSystem;
using files::testing::FakeInode;

constexpr char16_t kListPath[] = u"/lists/class.txt";

struct FakeFile {
    std::string bytes;
    bool readable = true;
    bool writable = true;
};

// The platform as plain fields: a settings store, files in memory, the dialog's answer and the
// boxes shown.
class FakeSettingsStore : public SettingsStore {
public:
    StoredSettings settings;
    std::optional<std::u16string> noRepeat;  // the NoRepeat text, as stored
    bool writable = true;
    int writes = 0;

    std::optional<std::u16string> read(std::u16string_view key) override {
        if (key == kPathKey) return settings.path;
        if (key == kIntervalKey) return settings.interval;
        return noRepeat;
    }
    Status write(const Values& values) override {
        ++writes;
        if (!writable) return Problem{ProblemCode::SettingsNotSaved};
        for (const auto& [key, text] : values) {
            if (key == kNoRepeatKey) {
                noRepeat = text;
            } else {
                (key == kPathKey ? settings.path : settings.interval) = text;
            }
        }
        return done();
    }
    std::u16string location() const override { return u"store"; }
};

class FakeFrontEnd : public FrontEnd {
public:
    FakeSettingsStore store;
    StoredSettings& settings = store.settings;
    bool& settingsWritable = store.writable;
    int& settingsWrites = store.writes;
    FakeFileSystem system;
    std::u16string dialogAnswer;
    std::vector<std::u16string> reports;
    std::u16string editor = u"old text";
    std::u16string intervalField = u"(untouched)";

    SettingsStore& settingsStore() override { return store; }
    void addFile(const FakeFile& file) {
        const auto inode = system.add(u"class.txt", file.bytes);
        system.readable = file.readable;
        inode->markedWritable = file.writable;
    }
    std::string bytes() const { return system.bytesOf(u"class.txt"); }

    files::FileSystem& fileSystem() override { return system; }
    files::CodePages codePages() override {
        return {textio::testing::fakeDecoder(), textio::testing::fakeEncoder()};
    }
    std::u16string showOpenFileDialog(std::u16string_view, std::u16string_view) override {
        return dialogAnswer;
    }
    void reportFailure(std::u16string_view message) override { reports.emplace_back(message); }

    std::u16string editorText() override { return editor; }
    void setEditorText(const std::u16string& text) override { editor = text; }
    void setPickText(std::u16string_view) override {}
    std::u16string intervalFieldText() override { return intervalField; }
    void setIntervalFieldText(const std::u16string& text) override { intervalField = text; }
    void setStartStopCaption(std::u16string_view) override {}
    void setTimerInterval(std::int32_t) override {}
    void setTimerEnabled(bool) override {}
};

std::u16string message(ProblemCode code) {
    Problem problem;
    problem.code = code;
    return layout::problemMessage(problem, kListPath);
}

struct StartupCase {
    const char* name;
    StoredSettings stored;
    std::optional<FakeFile> file;  // at kListPath
    std::u16string expectedEditor;
    std::u16string expectedInterval;
    std::u16string expectedFailure;
};

TEST(Startup, LoadsTheRememberedFileAndInterval) {
    const StartupCase cases[] = {
        {"first run", {}, std::nullopt, u"old text", u"50", u""},
        {"stored path deleted", {kListPath, u"120"}, std::nullopt, u"old text", u"120", u""},
        {"stored path unreadable", {kListPath, u""}, FakeFile{"a", false}, u"old text",
         u"50", message(ProblemCode::NoReadPermission)},
        {"stored path not text", {kListPath, u""}, FakeFile{std::string("\0\x01", 2)}, u"old text",
         u"50", message(ProblemCode::NotText)},
        {"loaded and tidied", {kListPath, u""}, FakeFile{"a\nb\n"}, u"a\r\nb", u"50", u""},
        {"interval kept verbatim", {u"", u" 120ms"}, std::nullopt, u"old text", u" 120ms", u""},
    };
    for (const StartupCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFrontEnd frontEnd;
        frontEnd.settings = c.stored;
        if (c.file) frontEnd.addFile(*c.file);
        ProgramState state;

        Startup(state, frontEnd);

        EXPECT_EQ(state.listPath, c.stored.path);  // a missing file stays remembered
        EXPECT_EQ(frontEnd.editor, c.expectedEditor);
        EXPECT_EQ(state.draw.intervalText, c.expectedInterval);
        EXPECT_EQ(frontEnd.intervalField, c.expectedInterval);
        EXPECT_EQ(state.startupFailure, c.expectedFailure);
        EXPECT_TRUE(frontEnd.reports.empty());  // shown by the window once it is up
        if (c.file) {
            EXPECT_EQ(frontEnd.bytes(), c.file->bytes);  // the startup never writes a file back
        }
        EXPECT_EQ(frontEnd.settingsWrites, 0);
    }
}

TEST(Shutdown, StoresPathAndIntervalOnce) {
    FakeFrontEnd frontEnd;
    ProgramState state;
    state.loaded = true;
    state.listPath = kListPath;
    state.draw.intervalText = u"75";

    Shutdown(state, frontEnd);
    frontEnd.settings = {};
    Shutdown(state, frontEnd);

    EXPECT_EQ(frontEnd.settingsWrites, 1);
    EXPECT_TRUE(state.settingsSaved);
}

TEST(Shutdown, StoresTheCurrentValuesAndKeepsAFailure) {
    FakeFrontEnd frontEnd;
    ProgramState state;
    state.loaded = true;
    state.listPath = kListPath;
    state.draw.intervalText = u"75";
    StoreSettings(state, frontEnd);  // the session asked first: the shutdown still stores
    state.draw.intervalText = u"80";
    frontEnd.settingsWritable = false;

    Shutdown(state, frontEnd);

    EXPECT_EQ(frontEnd.settingsWrites, 2);
    EXPECT_EQ(frontEnd.settings.path, kListPath);
    EXPECT_EQ(frontEnd.settings.interval, u"75");
    EXPECT_FALSE(state.settingsSaved);
}

TEST(Shutdown, AWindowThatNeverLoadedStoresNothing) {
    FakeFrontEnd frontEnd;
    frontEnd.settings = {kListPath, u"120"};
    ProgramState state;  // the startup never ran

    Shutdown(state, frontEnd);

    EXPECT_EQ(frontEnd.settingsWrites, 0);
    EXPECT_EQ(frontEnd.settings.path, kListPath);
}

TEST(Startup, TellsOfACopyLeftByAKilledWriteOnce) {
    FakeFrontEnd frontEnd;
    frontEnd.system.recovery[u"class.txt.old"] = std::make_shared<FakeInode>();
    frontEnd.system.recovery[u"class.txt.old.target"] = std::make_shared<FakeInode>();
    frontEnd.system.recovery[u"class.txt.old.target"]->bytes = "/lists/class.txt";
    frontEnd.system.add(u"class.txt", "neither the old nor the new list");
    ProgramState state;
    Startup(state, frontEnd);
    Problem found;
    found.code = ProblemCode::RecoveryCopyFound;
    found.where = u"/state/class.txt.old";
    EXPECT_EQ(state.startupFailure, layout::problemMessage(found, kListPath));

    ProgramState nextRun;
    Startup(nextRun, frontEnd);
    EXPECT_EQ(nextRun.startupFailure, u"");
    EXPECT_TRUE(frontEnd.system.recovery.contains(u"class.txt.old")) << "the copy is the user's";
}

TEST(NoRepeatSetting, OnlyOneTurnsItOnAndItIsWrittenOnlyOnceItExists) {
    const std::pair<std::optional<std::u16string>, bool> cases[] = {
        {u"1", true},   {u"0", false},  {u"", false},   {u"true", false},
        {u" 1", false}, {u"1 ", false}, {u"01", false}, {u"１", false}, {std::nullopt, false},
    };
    for (const auto& [stored, on] : cases) {
        SCOPED_TRACE(::testing::PrintToString(stored));
        FakeFrontEnd frontEnd;
        frontEnd.store.noRepeat = stored;
        ProgramState state;
        Startup(state, frontEnd);
        EXPECT_EQ(state.draw.noRepeat, on);

        Shutdown(state, frontEnd);
        // A store that never had the value does not get one: the window keeps its two values.
        EXPECT_EQ(frontEnd.store.noRepeat, stored ? std::optional<std::u16string>(on ? u"1" : u"0")
                                                  : std::nullopt);
        EXPECT_EQ(frontEnd.settings.interval, u"50");  // the other values keep their meaning
    }
    FakeFrontEnd frontEnd;
    ProgramState state;
    Startup(state, frontEnd);
    draw::SetNoRepeat(state.draw, true);
    Shutdown(state, frontEnd);
    EXPECT_EQ(frontEnd.store.noRepeat, u"1");
}

struct ChooseCase {
    const char* name;
    std::u16string dialogAnswer;
    std::optional<FakeFile> file;  // at kListPath
    std::u16string expectedEditor;
    std::vector<std::u16string> expectedReports;
    std::string expectedBytes;
};

TEST(ChooseCandidateFile, LoadsTidiesAndWritesBackInTheFilesFormat) {
    const ChooseCase cases[] = {
        {"cancelled", u"", std::nullopt, u"old text", {}, ""},
        {"unreadable file is not written", kListPath, FakeFile{"a\n\n\nb", false}, u"old text",
         {message(ProblemCode::NoReadPermission)}, "a\n\n\nb"},
        {"written back", kListPath, FakeFile{"a\n\n\n\nb\n"}, u"a\r\nb", {}, "a\nb"},
        {"write failure reported", kListPath, FakeFile{"a\n\n\nb", true, false}, u"a\r\nb",
         {message(ProblemCode::ReadOnly)}, "a\n\n\nb"},
    };
    for (const ChooseCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFrontEnd frontEnd;
        frontEnd.dialogAnswer = c.dialogAnswer;
        if (c.file) frontEnd.addFile(*c.file);
        ProgramState state;
        state.listPath = u"/earlier.txt";

        ChooseCandidateFile(state, frontEnd);

        // The dialog's answer is remembered whatever it is: a cancel forgets the old file.
        EXPECT_EQ(state.listPath, c.dialogAnswer);
        EXPECT_EQ(frontEnd.editor, c.expectedEditor);
        EXPECT_EQ(frontEnd.reports, c.expectedReports);
        if (c.file) {
            EXPECT_EQ(frontEnd.bytes(), c.expectedBytes);
        }
        EXPECT_EQ(frontEnd.settingsWrites, 0);  // only the shutdown stores the path
    }
}

}  // namespace
}  // namespace zorbalin::lifecycle
