// The window both platforms share: its state, its event handlers named after the control and
// the event, the one guard at the edge of every handler, and every rule of the window (what
// each handler does, when a problem is shown and in which box, what a failed handler leaves
// behind, what the views are told). It reaches the platform only through its WindowPort;
// each front end's Form1 owns one, creates the controls and routes the platform's events here.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "base/problem_error.h"
#include "draw/random_pick.h"
#include "layout/window_commands.h"
#include "lifecycle/program_state.h"
#include "lifecycle/window_port.h"

namespace zorbalin::lifecycle {

class MainWindow {
public:
    // The random source is the draw's; tests give one with scripted numbers.
    explicit MainWindow(WindowPort& port, std::unique_ptr<draw::RandomSource> random = nullptr);
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

    // A command from a key (layout::commandForKey), the pick display's menu or a view.
    void runCommand(layout::WindowCommand command);
    // The record window's buttons: copy it all, save it through the save dialog, clear it.
    void copyRecord();
    void saveRecord();
    void clearRecord();

    // The menu on the pick display as it is now.
    std::array<layout::MenuEntry, 7> pickMenu(bool pickHasSelection) const;

    const ProgramState& state() const { return state_; }

    // Runs a platform's own handler (a paste into the editor, a view's message) through the
    // same guard; false when it failed, which the user has been told.
    template <typename Handler>
    bool handle(Handler&& handler) noexcept {
        const bool outermost = depth_ == 0;
        ++depth_;
        try {
            std::forward<Handler>(handler)();
            if (outermost) handlerEnded();
            --depth_;
            return true;
        } catch (...) {
            --depth_;
            handlerFailed(problemOfCurrentException());
            return false;
        }
    }

private:
    // The sequences (window_sequences.cpp).
    void startup();
    void shutdown();
    void storeSettings();
    void chooseCandidateFile();
    void saveCandidateList();
    void writeListFile();

    void startOrStop();
    // A problem is told in a box over the view in front; a modal loop lets the user at the
    // controls, so the editor first shows what the handler set.
    void showProblem(const Problem& problem, std::u16string_view nativePath = {});
    void showMessage(std::u16string_view message);
    void showBox(const layout::MessageBoxText& box);
    View boxOwner() const;
    void beforeModal();
    void handlerEnded();
    void handlerFailed(const Problem& problem) noexcept;
    // The open views learn what changed.
    void tellViews();
    void tellPresentation();
    void tellRecord();

    WindowPort& port_;
    std::unique_ptr<draw::RandomSource> random_;
    ProgramState state_;
    int depth_ = 0;
    View handlerView_ = View::Main;  // where the running handler's input came from
    // What the views were told last.
    std::u16string toldPick_;
    std::u16string toldHelp_;
    bool presentationTold_ = false;  // since it was last shown
    std::size_t toldRecordRows_ = 0;
    bool recordCleared_ = false;
};

}  // namespace zorbalin::lifecycle
