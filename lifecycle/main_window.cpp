#include "lifecycle/main_window.h"

#include "draw/candidate_text.h"
#include "draw/result_record.h"

namespace zorbalin::lifecycle {

MainWindow::MainWindow(WindowPort& port, std::unique_ptr<draw::RandomSource> random)
    : port_(port), random_(random ? std::move(random) : std::make_unique<draw::RandomSource>()) {
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
    const bool stopping = state_.draw.isScrolling;
    if (Status toggled = draw::ToggleDraw(state_.draw, port_, *random_); !toggled) {
        showProblem(toggled.problem());
    }
    if (stopping) port_.announce(layout::resultAnnouncement(draw::pickDisplayText(state_.draw.pickText)));
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
            state_.noRepeatRemembered = true;  // the choice is kept from now on
            break;
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

std::array<layout::MenuEntry, 7> MainWindow::pickMenu(bool pickHasSelection) const {
    return layout::pickMenu({!state_.draw.pickText.empty(), pickHasSelection, state_.draw.noRepeat});
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
    tellRecord();
}

void MainWindow::tellPresentation() {
    if (!port_.presentationShown()) return;
    std::u16string help = layout::presentationHelpLine(draw::roundCount(state_.draw));
    if (presentationTold_ && state_.draw.pickText == toldPick_ && help == toldHelp_) return;
    port_.showPresentationContent(draw::pickDisplayText(state_.draw.pickText), help);
    toldPick_ = state_.draw.pickText;
    toldHelp_ = std::move(help);
    presentationTold_ = true;
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
