// The platform as plain fields, for the shared window's own tests: the controls, an editor
// that takes texts when a handler ends, the settings store, the files in memory, the dialogs'
// answers, the boxes shown and what the views were told. A hook before each primitive lets a
// test throw at it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fake_code_pages.h"
#include "fake_controls.h"
#include "fake_file_system.h"
#include "lifecycle/main_window.h"
#include "lifecycle/window_port.h"

namespace zorbalin::lifecycle::testing {

// The store's values by name, as text.
class FakeSettingsStore final : public SettingsStore {
public:
    std::map<std::u16string, std::u16string, std::less<>> values;
    bool writable = true;
    int writes = 0;

    std::optional<std::u16string> read(std::u16string_view key) override;
    Status write(const Values& written) override;
    std::u16string location() const override { return u"~/.config/Pellanor/Pellanor.conf"; }
    std::optional<std::u16string> value(std::u16string_view key) const;
};

struct ShownBox {
    std::u16string title;
    std::u16string text;
    layout::BoxIcon icon;
    View owner;
    std::u16string editorShown;  // what the editor showed while the box was up
};

class FakeWindowPort final : public zorbalin::testing::FakeControls<WindowPort> {
public:
    FakeWindowPort();

    // The editor control: what it shows, and whether a text waits for the end of the handler.
    std::u16string editorShown;
    bool editorPending = false;
    int editorFlushes = 0;
    bool intervalFocused = false;
    // The window.
    bool shown = false;
    int busyReports = 0;
    bool busy = false;
    std::vector<ShownBox> boxes;
    std::function<void(const ShownBox&)> duringBox;  // runs while the box is up
    // The dialogs: the open dialog's answers in turn ("" when none is left), the save
    // dialog's answer.
    std::deque<std::u16string> openAnswers;
    std::vector<std::u16string> openRequests;  // the titles asked with
    std::u16string lastOpenFilter;
    Result<std::u16string> saveAnswer = std::u16string();
    std::vector<std::pair<std::u16string, View>> saveRequests;  // the title and the owner
    // The views.
    bool presentation = false;
    std::vector<std::pair<std::vector<std::u16string>, std::u16string>> presentationTold;  // picks, help
    bool floating = false;
    std::vector<std::optional<layout::PixelPoint>> floatingShownAt;
    std::vector<std::pair<std::u16string, std::u16string>> floatingTold;  // pick, caption
    std::optional<std::size_t> drawCountAnswer;
    std::vector<std::pair<std::size_t, std::size_t>> drawCountAsked;  // current, maximum
    bool recordWindow = false;
    std::vector<std::pair<std::size_t, std::size_t>> recordTold;  // rows, unchanged rows
    std::vector<std::u16string> announced;
    int pickCopies = 0;
    int pickSelections = 0;
    std::optional<std::u16string> clipboard;
    bool clipboardBusy = false;
    // The services.
    FakeSettingsStore settings;
    files::testing::FakeFileSystem files;
    // Called with a primitive's name before it runs; may throw.
    std::function<void(std::string_view)> before;

    // The file at /lists/<name> with these bytes.
    std::u16string addFile(std::u16string name, std::string bytes);
    // The editor as a user would type into it: no handler runs.
    void typeIntoEditor(std::u16string text);

    void setEditorText(const std::u16string& text) override;
    void setPickText(std::u16string_view text) override;
    void flushEditor() override;
    void discardEditor() override;
    bool intervalFieldHasFocus() override { return intervalFocused; }
    Progress& progress() override { return progress_; }
    void endBusy() override;
    bool isShown() const override { return shown; }
    void showBox(const layout::MessageBoxText& box, View owner) override;
    std::u16string showOpenFileDialog(std::u16string_view title, std::u16string_view filter) override;
    Result<std::u16string> showSaveFileDialog(const layout::SaveDialogTexts& dialog, View owner) override;
    void showPresentation(bool on) override;
    bool presentationShown() const override { return presentation; }
    void showPresentationContent(const std::vector<std::u16string>& picks, std::u16string_view help) override;
    void showFloating(bool on, std::optional<layout::PixelPoint> at) override;
    bool floatingShown() const override { return floating; }
    void showFloatingContent(std::u16string_view shownPick, std::u16string_view shownCaption) override {
        floatingTold.emplace_back(shownPick, shownCaption);
    }
    std::optional<std::size_t> askDrawCount(std::size_t current, std::size_t maximum) override;
    void showRecordWindow() override;
    void closeRecordWindow() override { recordWindow = false; }
    bool recordWindowShown() const override { return recordWindow; }
    void showRecordRows(const draw::ResultRecord& record, std::size_t unchangedRows) override;
    void announce(std::u16string_view text) override { announced.emplace_back(text); }
    void copyPickSelection() override;
    void selectAllPick() override;
    bool setClipboardText(std::u16string_view text) override;
    SettingsStore& settingsStore() override { return settings; }
    files::FileSystem& fileSystem() override { return files; }
    files::CodePages codePages() override;

private:
    class CountingProgress final : public Progress {
    public:
        explicit CountingProgress(FakeWindowPort& port) : port_(port) {}
        void report(ProgressStage, std::uint64_t, std::uint64_t) override;

    private:
        FakeWindowPort& port_;
    };
    void call(std::string_view primitive) {
        if (before) before(primitive);
    }
    CountingProgress progress_{*this};
};

// The shared window over a fake port: what a test drives.
struct FakeWindow {
    FakeWindowPort port;
    zorbalin::testing::ScriptedRandom* random;  // owned by the window
    std::chrono::steady_clock::time_point now{};  // the window's clock
    MainWindow window;

    FakeWindow();
    // Loads and shows the window, telling what the startup found.
    void open();
};

}  // namespace zorbalin::lifecycle::testing
