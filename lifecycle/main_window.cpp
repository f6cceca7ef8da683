#include "lifecycle/main_window.h"

#include <algorithm>

#include "draw/candidate_text.h"
#include "draw/draw_round.h"
#include "draw/result_record.h"

namespace zorbalin::lifecycle {

MainWindow::MainWindow(WindowPort& port, std::unique_ptr<draw::RandomSource> random, Clock clock)
    : port_(port), random_(random ? std::move(random) : std::make_unique<draw::RandomSource>()),
      clock_(std::move(clock)) {
    state_.draw.captions = {layout::kStartCaption, layout::kStopCaption};
}

void MainWindow::Form_Load() {
    handle([this] { startup(); });
}

void MainWindow::Form_Unload() {
    handle([this] { shutdown(); });
}

void MainWindow::Command1_Click() {
    handle([this] { chooseCandidateFile(); });
}

void MainWindow::Command2_Click() {
    handle([this] { startOrStop(); });
}

void MainWindow::Timer1_Timer() {
    handle([this] { draw::DrawTick(state_.draw, port_, *random_); });
}

void MainWindow::Text2_LostFocus() {
    handle([this] { draw::NormalizeIntervalField(port_); });
}

// Whatever starts or stops does what the click on Command2 does, which takes the focus from
// the interval field: a field with the focus is tidied first, as when it is left.
void MainWindow::startOrStop() {
    if (port_.intervalFieldHasFocus()) draw::NormalizeIntervalField(port_);
    if (Status toggled = draw::ToggleDraw(state_.draw, port_, *random_); !toggled) {
        showProblem(toggled.problem());
    }
}

void MainWindow::runCommand(layout::WindowCommand command) {
    using layout::WindowCommand;
    handle([this, command] {
        switch (command) {
        case WindowCommand::None: break;
        case WindowCommand::StartStop: startOrStop(); break;
        case WindowCommand::TogglePresentation: port_.showPresentation(!port_.presentationShown()); break;
        case WindowCommand::LeavePresentation: port_.showPresentation(false); break;
        case WindowCommand::OpenRecord:
            port_.showRecordWindow();
            recordCleared_ = true;  // a window opened anew is told the whole record
            break;
        case WindowCommand::CloseRecord: port_.closeRecordWindow(); break;
        case WindowCommand::CopyPick: port_.copyPickSelection(); break;
        case WindowCommand::SelectAllPick: port_.selectAllPick(); break;
        case WindowCommand::ToggleNoRepeat:
            draw::SetNoRepeat(state_.draw, !state_.draw.noRepeat);
            state_.remembered.noRepeat = true;  // the choice is kept from now on
            break;
        case WindowCommand::ToggleSlowStop:
            state_.draw.slowStop = !state_.draw.slowStop;
            state_.remembered.slowStop = true;
            break;
        case WindowCommand::ToggleFloating: showFloating(!port_.floatingShown()); break;
        case WindowCommand::AskDrawCount: askDrawCount(); break;
        case WindowCommand::RestartRound: draw::RestartRound(state_.draw); break;
        case WindowCommand::SaveList: saveCandidateList(); break;
        }
        if (command == WindowCommand::TogglePresentation) presentationTold_ = false;
    });
}

void MainWindow::copyRecord() {
    handle([this] {
        handlerView_ = View::Record;
        if (!port_.setClipboardText(draw::recordText(state_.draw.record))) {
            showMessage(layout::kClipboardBusyMessage);
        }
    });
}

void MainWindow::saveRecord() {
    handle([this] {
        handlerView_ = View::Record;
        beforeModal();
        const Result<std::u16string> path = port_.showSaveFileDialog(layout::recordSaveDialog(), View::Record);
        if (!path) {
            showProblem(path.problem());
            return;
        }
        if (path->empty()) return;
        const Status saved = files::saveTextFile(port_.fileSystem(), *path, draw::recordText(state_.draw.record),
                                                 draw::kRecordFileFormat, port_.codePages(), port_.progress());
        if (!saved) showProblem(saved.problem(), *path);
    });
}

void MainWindow::clearRecord() {
    handle([this] {
        handlerView_ = View::Record;
        state_.draw.record.clear();
        recordCleared_ = true;
    });
}

std::array<layout::MenuEntry, layout::kPickMenuSize> MainWindow::pickMenu(bool pickHasSelection) const {
    return layout::pickMenu({!state_.draw.picks.empty(), pickHasSelection, state_.draw.noRepeat,
                             port_.floatingShown(), state_.draw.slowStop});
}

void MainWindow::showFloating(bool shown) {
    state_.floating = shown;
    state_.remembered.floating = true;
    port_.showFloating(shown, layout::pointOfText(state_.floatingPosition));
    floatingTold_ = false;  // shown anew, it is told what to show
}

// How many at once: never more than the list has items (those left to draw from, without
// repeats), never more than kMaxDrawCount.
void MainWindow::askDrawCount() {
    const draw::ItemList items = draw::splitItems(draw::tidiedCandidateText(port_.editorText()));
    std::size_t available = items.size();
    if (state_.draw.noRepeat) {
        available = static_cast<std::size_t>(
            std::count_if(items.begin(), items.end(), [](std::u16string_view item) { return !draw::isBlankItem(item); }));
    }
    const std::size_t maximum = std::clamp<std::size_t>(available, 1, draw::kMaxDrawCount);
    beforeModal();
    const std::optional<std::size_t> chosen =
        port_.askDrawCount(std::min(state_.draw.drawCount, maximum), maximum);
    if (!chosen) return;
    state_.draw.drawCount = std::clamp<std::size_t>(*chosen, 1, maximum);
    state_.remembered.drawCount = true;
}

void MainWindow::floatingButtonPressed() {
    handle([this] {
        const std::chrono::steady_clock::time_point now = clock_();
        if (lastFloatingPress_ && now - *lastFloatingPress_ < kFastestPress) return;
        lastFloatingPress_ = now;
        startOrStop();
    });
}

void MainWindow::floatingMoved(layout::PixelPoint at) {
    handle([this, at] {
        state_.floatingPosition = layout::pointText(at);
        state_.remembered.floatingPosition = true;
    });
}

void MainWindow::floatingClosed() {
    handle([this] { showFloating(false); });
}

void MainWindow::closeWindow(bool byUser) {
    handle([this, byUser] {
        shutdown();
        if (!state_.settingsSaved && byUser) {
            Problem notSaved = problemOf(ProblemCode::SettingsNotSaved);
            notSaved.where = port_.settingsStore().location();
            showProblem(notSaved);
        }
    });
}

void MainWindow::storeSettingsForSession() {
    handle([this] { storeSettings(); });
}

void MainWindow::tellStartupNotice() {
    handle([this] {
        if (state_.floating && !port_.floatingShown()) {
            port_.showFloating(true, layout::pointOfText(state_.floatingPosition));
            floatingTold_ = false;
        }
        const std::u16string notice = std::exchange(state_.startupFailure, {});
        if (!notice.empty()) showMessage(notice);
    });
}

void MainWindow::showProblem(const Problem& problem, std::u16string_view nativePath) {
    showBox(layout::problemBox(problem, nativePath));
}

void MainWindow::showMessage(std::u16string_view message) {
    showBox({layout::kWindowCaption, std::u16string(message), layout::BoxIcon::Warning});
}

void MainWindow::showBox(const layout::MessageBoxText& box) {
    beforeModal();
    port_.showBox(box, boxOwner());
}

// Over the presentation view when it is open, since it covers the screen; else over the
// window whose input the handler serves.
View MainWindow::boxOwner() const {
    return port_.presentationShown() ? View::Presentation : handlerView_;
}

void MainWindow::beforeModal() {
    port_.flushEditor();
    port_.endBusy();
}

// The texts that the handler set reach the controls once, as it ends.
void MainWindow::handlerEnded() {
    port_.flushEditor();
    port_.endBusy();
    tellViews();
    handlerView_ = View::Main;
}

// Whatever was waiting for the editor was set by the failed handler, since everything is
// flushed before a modal loop: it is dropped, and the editor keeps the text it shows.
void MainWindow::handlerFailed(const Problem& problem) noexcept {
    port_.discardEditor();
    try {
        port_.endBusy();
        layout::MessageBoxText box = layout::problemBox(problem);
        if (!port_.isShown()) {
            state_.startupFailure = std::move(box.text);  // told once the window is up
        } else {
            port_.showBox(box, boxOwner());
        }
    } catch (...) {
        try {
            // Too little memory even for the message: the one text that needs none.
            port_.showBox({layout::kWindowCaption, std::u16string(layout::kOutOfMemoryMessage),
                           layout::BoxIcon::Warning},
                          boxOwner());
        } catch (...) {
            // Nothing more can be shown; the window stays as it was.
        }
    }
    handlerView_ = View::Main;
}

void MainWindow::tellViews() {
    tellPresentation();
    tellFloating();
    tellRecord();
    tellResult();
}

void MainWindow::tellPresentation() {
    if (!port_.presentationShown()) return;
    const draw::DrawSession& draw = state_.draw;
    std::u16string help = layout::presentationHelpLine(draw::roundCount(draw), draw.picks.size(), draw.drawCount);
    if (presentationTold_ && draw.picks == toldPicks_ && help == toldHelp_) return;
    std::vector<std::u16string> shown;
    shown.reserve(draw.picks.size());
    for (const std::u16string& pick : draw.picks) shown.push_back(draw::pickDisplayText(pick));
    port_.showPresentationContent(shown, help);
    toldPicks_ = draw.picks;
    toldHelp_ = std::move(help);
    presentationTold_ = true;
}

void MainWindow::tellFloating() {
    if (!port_.floatingShown()) return;
    const std::u16string_view caption = state_.draw.isScrolling ? state_.draw.captions.stop : state_.draw.captions.start;
    std::u16string told = draw::pickDisplay(state_.draw);
    (told += u'\n') += caption;
    if (floatingTold_ && told == toldFloating_) return;
    port_.showFloatingContent(draw::pickDisplay(state_.draw), caption);
    toldFloating_ = std::move(told);
    floatingTold_ = true;
}

// A screen reader hears a result once, when its draw has stopped (a slow stop has landed).
void MainWindow::tellResult() {
    if (state_.draw.completedDraws == toldDraws_) return;
    toldDraws_ = state_.draw.completedDraws;
    port_.announce(layout::resultAnnouncement(draw::pickDisplay(state_.draw)));
}

void MainWindow::tellRecord() {
    if (!port_.recordWindowShown()) return;
    const std::size_t rows = state_.draw.record.results().size();
    if (!recordCleared_ && rows == toldRecordRows_) return;
    port_.showRecordRows(state_.draw.record, recordCleared_ ? 0 : toldRecordRows_);
    toldRecordRows_ = rows;
    recordCleared_ = false;
}

}  // namespace zorbalin::lifecycle
