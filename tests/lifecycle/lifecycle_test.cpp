#include "lifecycle/lifecycle.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "layout/messages.h"

namespace zorbalin::lifecycle {
namespace {

using textio::FileFormat;
using textio::LineEnding;
using textio::TextEncoding;

constexpr char16_t kListPath[] = u"C:\\lists\\class.txt";

struct FakeFile {
    std::u16string text;  // CR LF between lines
    FileFormat format;
    bool readable = true;
};

struct WrittenFile {
    std::u16string path;
    std::u16string text;
    FileFormat format;
};

// The platform as plain fields: a settings store, a few files, the dialog's answer and the
// boxes shown.
class FakeFrontEnd : public FrontEnd {
public:
    StoredSettings settings;
    bool settingsWritable = true;
    int settingsWrites = 0;
    std::map<std::u16string, FakeFile> files;
    std::u16string writeFailure;  // "" writes succeed
    std::vector<WrittenFile> writes;
    std::u16string dialogAnswer;
    std::vector<std::u16string> reports;
    std::u16string editor = u"old text";
    std::u16string intervalField = u"(untouched)";

    StoredSettings readSettings() override { return settings; }
    bool writeSettings(const StoredSettings& values) override {
        ++settingsWrites;
        if (settingsWritable) settings = values;
        return settingsWritable;
    }
    bool isExistingFile(const std::u16string& path) override { return files.contains(path); }
    CandidateFileRead readCandidateFile(const std::u16string& path) override {
        const FakeFile& file = files.at(path);
        if (!file.readable) return u"cannot read " + path;
        return CandidateFile{file.text, file.format};
    }
    std::u16string writeCandidateFile(const std::u16string& path, const std::u16string& text,
                                      const FileFormat& format) override {
        if (!writeFailure.empty()) return writeFailure;
        writes.push_back({path, text, format});
        return {};
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

struct StartupCase {
    const char* name;
    StoredSettings stored;
    std::optional<FakeFile> file;  // at kListPath
    std::u16string expectedEditor;
    std::u16string expectedInterval;
    std::u16string expectedFailure;
};

TEST(Startup, LoadsTheRememberedFileAndInterval) {
    const FileFormat utf8{};
    const StartupCase cases[] = {
        {"first run", {}, std::nullopt, u"old text", u"50", u""},
        {"stored path deleted", {kListPath, u"120"}, std::nullopt, u"old text", u"120", u""},
        {"stored path unreadable", {kListPath, u""}, FakeFile{u"a", utf8, false}, u"old text",
         u"50", std::u16string(u"cannot read ") + kListPath},
        {"loaded and tidied", {kListPath, u""}, FakeFile{u"a\r\nb\r\n", utf8}, u"a\r\nb", u"50",
         u""},
        {"interval kept verbatim", {u"", u" 120ms"}, std::nullopt, u"old text", u" 120ms", u""},
    };
    for (const StartupCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFrontEnd frontEnd;
        frontEnd.settings = c.stored;
        if (c.file) frontEnd.files[kListPath] = *c.file;
        ProgramState state;

        Startup(state, frontEnd);

        EXPECT_EQ(state.listPath, c.stored.path);  // a missing file stays remembered
        EXPECT_EQ(frontEnd.editor, c.expectedEditor);
        EXPECT_EQ(state.draw.intervalText, c.expectedInterval);
        EXPECT_EQ(frontEnd.intervalField, c.expectedInterval);
        EXPECT_EQ(state.startupFailure, c.expectedFailure);
        EXPECT_TRUE(frontEnd.reports.empty());  // shown by the window once it is up
        EXPECT_TRUE(frontEnd.writes.empty());   // the startup never writes a file back
        EXPECT_EQ(frontEnd.settingsWrites, 0);
    }
}

TEST(Shutdown, StoresPathAndIntervalOnce) {
    FakeFrontEnd frontEnd;
    ProgramState state;
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
    ProgramState state;
    state.unloaded = true;

    Shutdown(state, frontEnd);

    EXPECT_EQ(frontEnd.settingsWrites, 0);
    EXPECT_EQ(frontEnd.settings.path, kListPath);
}

TEST(NoRepeatSetting, OnlyOneTurnsItOnAndItIsStoredAsOneOrZero) {
    const std::pair<std::u16string, bool> cases[] = {
        {u"1", true},   {u"0", false},  {u"", false},   {u"true", false},
        {u" 1", false}, {u"1 ", false}, {u"01", false}, {u"１", false},
    };
    for (const auto& [stored, on] : cases) {
        SCOPED_TRACE(::testing::PrintToString(stored));
        FakeFrontEnd frontEnd;
        frontEnd.settings.noRepeat = stored;
        ProgramState state;
        Startup(state, frontEnd);
        EXPECT_EQ(state.draw.noRepeat, on);

        Shutdown(state, frontEnd);
        EXPECT_EQ(frontEnd.settings.noRepeat, on ? u"1" : u"0");
        EXPECT_EQ(frontEnd.settings.interval, u"50");  // the other values keep their meaning
    }
}

struct ChooseCase {
    const char* name;
    std::u16string dialogAnswer;
    std::optional<FakeFile> file;  // at kListPath
    std::u16string writeFailure;
    std::u16string expectedEditor;
    std::vector<std::u16string> expectedReports;
    bool expectWrite;
};

TEST(ChooseCandidateFile, LoadsTidiesAndWritesBackInTheFilesFormat) {
    const FileFormat utf16Lf{TextEncoding::Utf16LE, LineEnding::Lf};
    const std::u16string unreadable = std::u16string(u"cannot read ") + kListPath;
    const ChooseCase cases[] = {
        {"cancelled", u"", std::nullopt, u"", u"old text", {}, false},
        {"unreadable file is not written", kListPath, FakeFile{u"a", utf16Lf, false}, u"",
         u"old text", {unreadable}, false},
        {"written back", kListPath, FakeFile{u"a\r\n\r\n\r\n\r\nb\r\n", utf16Lf}, u"",
         u"a\r\nb", {}, true},
        {"write failure reported", kListPath, FakeFile{u"a\r\nb", utf16Lf}, u"disk full",
         u"a\r\nb", {u"disk full"}, false},
    };
    for (const ChooseCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFrontEnd frontEnd;
        frontEnd.dialogAnswer = c.dialogAnswer;
        frontEnd.writeFailure = c.writeFailure;
        if (c.file) frontEnd.files[kListPath] = *c.file;
        ProgramState state;
        state.listPath = u"C:\\earlier.txt";

        ChooseCandidateFile(state, frontEnd);

        // The dialog's answer is remembered whatever it is: a cancel forgets the old file.
        EXPECT_EQ(state.listPath, c.dialogAnswer);
        EXPECT_EQ(frontEnd.editor, c.expectedEditor);
        EXPECT_EQ(frontEnd.reports, c.expectedReports);
        ASSERT_EQ(frontEnd.writes.size(), c.expectWrite ? 1u : 0u);
        if (c.expectWrite) {
            EXPECT_EQ(frontEnd.writes[0].path, kListPath);
            EXPECT_EQ(frontEnd.writes[0].text, c.expectedEditor);
            EXPECT_EQ(frontEnd.writes[0].format, utf16Lf);
        }
        EXPECT_EQ(frontEnd.settingsWrites, 0);  // only the shutdown stores the path
    }
}

}  // namespace
}  // namespace zorbalin::lifecycle
