// The half of Form1 that both platforms share: the window's state, its event handlers named
// after the control and the event, the one guard at the edge of every handler, the control
// operations of the draw over a few primitives, and the window's rules (when a problem is
// shown, in which box, what a failed handler leaves behind). Each front end's Form1 derives
// from it, creates the controls, routes the platform's events here and supplies the
// primitives below.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "base/progress.h"
#include "draw/random_pick.h"
#include "layout/layout_table.h"
#include "layout/texts.h"
#include "layout/window_commands.h"
#include "lifecycle/front_end.h"
#include "lifecycle/handler_guard.h"
#include "lifecycle/program_state.h"

namespace zorbalin::lifecycle {

// The candidate editor (RichTextBox1) as the window drives it. Texts set by a handler reach
// the control when the handler ends (flush), or never when it fails (discard).
class EditorControl {
public:
    // The whole content, CR LF between lines, every other character untouched.
    virtual const std::u16string& text() = 0;
    // Replaces the whole content at the next flush(): a file loaded and then tidied in one
    // handler is put into the control once, which is what takes the time with long lists.
    virtual void setText(const std::u16string& text) = 0;
    // Puts a text set since the last flush into the control; false when there was none.
    virtual bool flush(Progress& progress) = 0;
    bool flush() {
        NoProgress quietly;
        return flush(quietly);
    }
    // Drops a text set since the last flush: the control keeps what it shows.
    virtual void discard() = 0;

protected:
    ~EditorControl() = default;
};

// The window at long work: Progress shows it, end() ends it.
class BusyIndicator : public Progress {
public:
    // The work is over, or something modal is about to let the user in.
    virtual void end() = 0;
};

class MainWindow : public FrontEnd, private HandlerGuard::Window {
public:
    MainWindow() = default;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Events. Each runs through the guard: an exception never leaves it.
    void Form_Load();        // once the controls exist, before the window is shown
    void Form_Unload();      // the window closes (or the session ends): store the settings once
    void Command1_Click();   // choose a file
    void Command2_Click();   // start or stop
    void Timer1_Timer();
    void Text2_LostFocus();  // for another control of this window
    // The user (byUser) or the session or a signal closes the window: the settings are stored,
    // and only a user who closed it hears that they could not be.
    void closeWindow(bool byUser);
    // The session asks for the program's data before it ends: the settings are stored, the
    // window stays (the user may still cancel the logout).
    void storeSettingsForSession();
    // What the startup has to tell is told once the window is up, so that the box has a window
    // to belong to: the front end calls this from its event loop after the window was shown.
    bool hasStartupNotice() const { return !state_.startupFailure.empty(); }
    void tellStartupNotice();

    // A command from a key (layout::commandForKey), the pick display's menu or the
    // presentation view.
    void runCommand(layout::WindowCommand command);
    // The record window's buttons: copy it all, save it through the save dialog, clear it.
    void copyRecord();
    void saveRecord();
    void clearRecord();

    // What the presentation view shows: the pick on show (always Text1's), and the line under
    // it with how many are left in a draw without repeats.
    std::u16string_view presentationPick() const { return state_.draw.pickText; }
    std::u16string presentationHelp() const;
    // What the menu on the pick display offers now.
    layout::PickMenuFacts pickMenuFacts(bool pickHasSelection) const {
        return {!state_.draw.pickText.empty(), pickHasSelection, state_.draw.noRepeat};
    }

    const ProgramState& state() const { return state_; }

protected:
    ~MainWindow() override = default;

    // Runs a platform handler through the same guard; false when it failed.
    template <typename Handler>
    bool handle(Handler&& handler) {
        return guard_.run(std::forward<Handler>(handler));
    }

    // The platform's primitives.
    virtual EditorControl& editor() = 0;
    virtual void setControlText(layout::ControlId id, std::u16string_view text) = 0;
    virtual std::u16string controlText(layout::ControlId id) = 0;
    virtual BusyIndicator& busy() = 0;
    virtual bool isShown() const = 0;
    // A modal box over the window with only an OK button. May throw (it needs memory).
    virtual void showBox(const layout::MessageBoxText& box) = 0;
    // The platform's open-file dialog with its error box (dialogs::runOpenFileDialog).
    virtual std::u16string runOpenFileDialog(std::u16string_view title, std::u16string_view filter) = 0;

    // The classroom options' windows: the presentation view (over the screen of the window)
    // and the record window.
    virtual void showPresentation(bool shown) = 0;
    virtual bool presentationShown() const = 0;
    virtual void showRecord() = 0;
    // A handler changed what is on show (the pick, the round, the record): the open views show
    // it anew. Called when every handler ends; a view that is closed does nothing.
    virtual void refreshViews() = 0;
    // The pick display's own copy and select all, and the clipboard: false when another
    // program holds it.
    virtual void copyPickSelection() = 0;
    virtual void selectAllPick() = 0;
    virtual bool setClipboardText(std::u16string_view text) = 0;
    // The platform's save dialog with kRecordSaveDialogTitle, kRecordDefaultFileName (a name
    // typed without an extension gets kRecordFileExtension) and textFilesFilter(), asking
    // before it replaces a file; "" when the user cancelled, a problem when the dialog failed.
    virtual Result<std::u16string> chooseRecordFile() = 0;

    // The guard, for the platform's own handlers (a paste into the editor).
    HandlerGuard& guard() { return guard_; }

private:
    // draw::DrawControls over the primitives.
    std::u16string editorText() final { return editor().text(); }
    void setEditorText(const std::u16string& text) final { editor().setText(text); }
    void setPickText(std::u16string_view text) final { setControlText(layout::ControlId::Text1, text); }
    std::u16string intervalFieldText() final { return controlText(layout::ControlId::Text2); }
    void setIntervalFieldText(const std::u16string& text) final {
        setControlText(layout::ControlId::Text2, text);
    }
    void setStartStopCaption(std::u16string_view caption) final {
        setControlText(layout::ControlId::Command2, caption);
    }
    Progress& progress() final { return busy(); }
    void reportFailure(std::u16string_view message) final;
    std::u16string showOpenFileDialog(std::u16string_view title, std::u16string_view filter) final;

    // HandlerGuard::Window
    void handlerEnded() final;
    void handlerFailed(const Problem& problem, bool outermost) noexcept final;
    void showModalBox(const layout::MessageBoxText& box);
    void beforeModal();

    HandlerGuard guard_{*this};
    ProgramState state_;
    draw::RandomSource random_;
};

}  // namespace zorbalin::lifecycle
