#include "lifecycle/main_window.h"

#include "draw/result_record.h"
#include "lifecycle/lifecycle.h"

namespace zorbalin::lifecycle {

void MainWindow::Form_Load() {
    handle([this] { Startup(state_, *this); });
}

void MainWindow::Form_Unload() {
    handle([this] { Shutdown(state_, *this); });
}

void MainWindow::Command1_Click() {
    handle([this] { ChooseCandidateFile(state_, *this); });
}

void MainWindow::Command2_Click() {
    handle([this] { draw::ToggleDraw(state_.draw, *this, random_); });
}

void MainWindow::Timer1_Timer() {
    handle([this] { draw::DrawTick(state_.draw, *this, random_); });
}

void MainWindow::Text2_LostFocus() {
    handle([this] { draw::NormalizeIntervalField(*this); });
}

void MainWindow::runCommand(layout::WindowCommand command) {
    using layout::WindowCommand;
    handle([this, command] {
        switch (command) {
        case WindowCommand::None: break;
        case WindowCommand::StartStop: draw::ToggleDraw(state_.draw, *this, random_); break;
        case WindowCommand::TogglePresentation: showPresentation(!presentationShown()); break;
        case WindowCommand::LeavePresentation: showPresentation(false); break;
        case WindowCommand::OpenRecord: showRecord(); break;
        case WindowCommand::CopyPick: copyPickSelection(); break;
        case WindowCommand::SelectAllPick: selectAllPick(); break;
        case WindowCommand::ToggleNoRepeat:
            draw::SetNoRepeat(state_.draw, !state_.draw.noRepeat);
            state_.noRepeatRemembered = true;  // the choice is kept from now on
            break;
        case WindowCommand::RestartRound: draw::RestartRound(state_.draw); break;
        }
    });
}

void MainWindow::copyRecord() {
    handle([this] {
        if (!setClipboardText(draw::recordText(state_.draw.record))) {
            reportFailure(layout::kClipboardBusyMessage);
        }
    });
}

void MainWindow::saveRecord() {
    handle([this] {
        beforeModal();
        const Result<std::u16string> path = chooseRecordFile();
        if (!path) {
            reportFailure(layout::problemMessage(path.problem()));
            return;
        }
        if (path->empty()) return;
        const Status saved = files::saveTextFile(fileSystem(), *path, draw::recordText(state_.draw.record),
                                                 draw::kRecordFileFormat, codePages(), busy());
        if (!saved) reportFailure(layout::problemMessage(saved.problem(), *path));
    });
}

void MainWindow::clearRecord() {
    handle([this] { state_.draw.record.clear(); });
}

std::u16string MainWindow::presentationHelp() const {
    return layout::presentationHelpLine(draw::roundCount(state_.draw));
}

void MainWindow::closeWindow(bool byUser) {
    handle([this, byUser] {
        Shutdown(state_, *this);
        if (!state_.settingsSaved && byUser) {
            showModalBox(layout::problemBox(Problem{ProblemCode::SettingsNotSaved, {},
                                                    SystemCause::Other, settingsStore().location()}));
        }
    });
}

void MainWindow::storeSettingsForSession() {
    handle([this] { StoreSettings(state_, *this); });
}

void MainWindow::tellStartupNotice() {
    handle([this] {
        const std::u16string notice = std::exchange(state_.startupFailure, {});
        if (!notice.empty()) reportFailure(notice);
    });
}

void MainWindow::reportFailure(std::u16string_view message) {
    showModalBox({layout::kWindowCaption, std::u16string(message), layout::BoxIcon::Warning});
}

std::u16string MainWindow::showOpenFileDialog(std::u16string_view title, std::u16string_view filter) {
    beforeModal();
    return runOpenFileDialog(title, filter);
}

void MainWindow::showModalBox(const layout::MessageBoxText& box) {
    beforeModal();
    showBox(box);
}

// A modal loop lets the user at the controls: the editor shows what the handler set.
void MainWindow::beforeModal() {
    editor().flush(busy());
    busy().end();
}

// The texts that the handler set reach the controls once, as it ends.
void MainWindow::handlerEnded() {
    editor().flush(busy());
    busy().end();
    refreshViews();
}

// A handler inside another (a platform's edge around the named handler) drops what it set
// too: whatever was waiting was set by it, since everything is flushed before a modal loop.
void MainWindow::handlerFailed(const Problem& problem, bool) noexcept {
    editor().discard();  // the editor keeps the text it shows
    try {
        busy().end();
        layout::MessageBoxText box = layout::problemBox(problem);
        if (!isShown()) {
            state_.startupFailure = std::move(box.text);  // told once the window is up
            return;
        }
        showBox(box);
    } catch (...) {
        try {
            // Too little memory even for the message: the one text that needs none.
            showBox({layout::kWindowCaption, std::u16string(layout::kOutOfMemoryMessage),
                     layout::BoxIcon::Warning});
        } catch (...) {
            // Nothing more can be shown; the window stays as it was.
        }
    }
}

}  // namespace zorbalin::lifecycle
