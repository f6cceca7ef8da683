// The window both platforms share: its state, its event handlers named after the control and
// the event, the one guard at the edge of every handler, and every rule of the window (what
// each handler does, when a problem is shown and in which box, what a failed handler leaves
// behind, what the views are told). It reaches the platform only through its WindowPort;
// each front end's Form1 owns one, creates the controls and routes the platform's events here.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>
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

// Presses on the small window's button closer together than this are one press: a button
// that bounces, or a double click, is never a second draw.
inline constexpr std::chrono::milliseconds kFastestPress{300};

class MainWindow {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // The random source is the draw's and the clock times presses; tests give their own.
    explicit MainWindow(WindowPort& port, std::unique_ptr<draw::RandomSource> random = nullptr,
                        Clock clock = std::chrono::steady_clock::now);
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
    // to belong to, and the small window remembered open opens then: the front end calls this
    // from its event loop after the window was shown.
    bool hasStartupNotice() const {
        return !state_.startupFailure.empty() || (state_.floating && !port_.floatingShown());
    }
    void tellStartupNotice();

    // A command from a key (layout::commandForKey), the pick display's menu or a view.
    void runCommand(layout::WindowCommand command);
    // The record window's buttons: copy it all, save it through the save dialog, clear it.
    void copyRecord();
    void saveRecord();
    void clearRecord();

    // The small window's button, its move by the user (its new top left) and its close mark.
    void floatingButtonPressed();
    void floatingMoved(layout::PixelPoint at);
    void floatingClosed();

    // The menu on the pick display as it is now.
    std::array<layout::MenuEntry, layout::kPickMenuSize> pickMenu(bool pickHasSelection) const;

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
    void keepListFile(files::LoadedFile file);

    void startOrStop();
    void showFloating(bool shown);
    void askDrawCount();
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
    void tellFloating();
    void tellRecord();
    void tellResult();

    WindowPort& port_;
    std::unique_ptr<draw::RandomSource> random_;
    Clock clock_;
    std::optional<std::chrono::steady_clock::time_point> lastFloatingPress_;
    ProgramState state_;
    int depth_ = 0;
    View handlerView_ = View::Main;  // where the running handler's input came from
    // What the views were told last.
    std::vector<std::u16string> toldPicks_;
    std::u16string toldHelp_;
    bool presentationTold_ = false;  // since it was last shown
    std::u16string toldFloating_;     // its pick and caption
    bool floatingTold_ = false;
    std::size_t toldDraws_ = 0;       // the draws whose result a screen reader was told
    std::size_t toldRecordRows_ = 0;
    bool recordCleared_ = false;
};

}  // namespace zorbalin::lifecycle
