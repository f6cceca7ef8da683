// The window's startup, shutdown and choose-file sequences.
#include <utility>

#include "layout/texts.h"
#include "lifecycle/main_window.h"

namespace zorbalin::lifecycle {

namespace {

// The file's text into the editor, its memory given back at once: a long list must not be
// held twice.
Result<files::LoadedFile> loadCandidateFile(WindowPort& port, const std::u16string& path) {
    Result<files::LoadedFile> loaded =
        files::readCandidateFile(port.fileSystem(), path, port.codePages(), port.progress());
    if (loaded) {
        port.setEditorText(loaded->text);
        std::u16string().swap(loaded->text);
    }
    return loaded;
}

void addParagraph(std::u16string& text, const std::u16string& paragraph) {
    if (!text.empty()) text += u"\n\n";
    text += paragraph;
}

}  // namespace

void MainWindow::startup() {
    StoredSettings stored = readStoredSettings(port_.settingsStore());
    state_.listPath = std::move(stored.path);
    state_.draw.intervalText = std::move(stored.interval);
    state_.loaded = true;
    state_.remembered = {stored.noRepeat.has_value(), stored.drawCount.has_value(), stored.slowStop.has_value(),
                         stored.floating.has_value(), stored.floatingPosition.has_value()};
    draw::SetNoRepeat(state_.draw, stored.noRepeat.value_or(false));
    state_.draw.drawCount = stored.drawCount.value_or(1);
    state_.draw.slowStop = stored.slowStop.value_or(false);
    state_.floating = stored.floating.value_or(false);
    state_.floatingPosition = stored.floatingPosition.value_or(u"");

    for (const files::InterruptedWrite& interrupted :
         files::takeInterruptedWrites(port_.fileSystem(), state_.listPath)) {
        addParagraph(state_.startupFailure, layout::problemMessage(interrupted.problem, interrupted.target));
    }

    if (!state_.listPath.empty()) {
        Result<files::LoadedFile> loaded = loadCandidateFile(port_, state_.listPath);
        if (loaded) {
            draw::TidyCandidateText(port_);
            keepListFile(std::move(*loaded));
        } else if (loaded.problem().code != ProblemCode::Missing &&
                   loaded.problem().code != ProblemCode::NotAFile) {
            // A remembered file that is gone (or no file) is not an error: the editor just
            // starts empty.
            addParagraph(state_.startupFailure, layout::problemMessage(loaded.problem(), state_.listPath));
        }
    }

    if (state_.draw.intervalText.empty()) {
        state_.draw.intervalText = layout::kDefaultIntervalText;
    }
    port_.setIntervalFieldText(state_.draw.intervalText);
}

void MainWindow::shutdown() {
    // A window that never loaded must not store over the settings.
    if (!state_.loaded || std::exchange(state_.unloaded, true)) {
        return;
    }
    storeSettings();
}

void MainWindow::storeSettings() {
    if (!state_.loaded) return;
    StoredSettings stored{state_.listPath, state_.draw.intervalText};
    // An option is stored once it has been stored before or changed, so that a user who
    // never touches one keeps exactly the two values the window has always kept.
    const ProgramState::Remembered& remembered = state_.remembered;
    if (remembered.noRepeat || state_.draw.noRepeat) stored.noRepeat = state_.draw.noRepeat;
    if (remembered.drawCount) stored.drawCount = state_.draw.drawCount;
    if (remembered.slowStop) stored.slowStop = state_.draw.slowStop;
    if (remembered.floating) stored.floating = state_.floating;
    if (remembered.floatingPosition) stored.floatingPosition = state_.floatingPosition;
    state_.settingsSaved = writeStoredSettings(port_.settingsStore(), stored).ok();
}

void MainWindow::chooseCandidateFile() {
    // A cancelled choice forgets the remembered file, so the next run starts empty.
    beforeModal();
    state_.listPath = port_.showOpenFileDialog(layout::kChooseFileDialogTitle, layout::allFilesFilter());
    state_.listFile.reset();
    if (state_.listPath.empty()) {
        return;
    }

    // A file that cannot be read is left alone: writing the editor's old text over it
    // would destroy it.
    Result<files::LoadedFile> loaded = loadCandidateFile(port_, state_.listPath);
    if (!loaded) {
        showProblem(loaded.problem(), state_.listPath);
        return;
    }
    draw::TidyCandidateText(port_);
    state_.listFile = std::move(*loaded);
    writeListFile();
}

// Kept between handlers closed: only its identity is needed until the next save.
void MainWindow::keepListFile(files::LoadedFile file) {
    file.file.reset();
    state_.listFile = std::move(file);
}

// Written back into the file that was read, in the encoding and line breaks it had.
void MainWindow::writeListFile() {
    files::LoadedFile& file = *state_.listFile;
    const bool hadOriginal = !file.originalCopy.empty();
    const Status written = files::writeCandidateFile(port_.fileSystem(), file, port_.editorText(),
                                                     port_.codePages(), port_.progress());
    file.file.reset();
    if (!written) {
        showProblem(written.problem(), state_.listPath);
    } else if (!hadOriginal && !file.originalCopy.empty()) {
        showMessage(layout::richTextKeptMessage(state_.listPath, file.originalCopy));
    }
}

// Nothing is saved unless the user asks: the tidied list into the chosen file, as a chosen
// file is written; with none chosen (or a workbook, which is never written) into a new one,
// which is the chosen file from then on.
void MainWindow::saveCandidateList() {
    draw::TidyCandidateText(port_);
    if (state_.listFile && !state_.listFile->isWorkbook) {
        writeListFile();
        return;
    }
    beforeModal();
    const Result<std::u16string> path = port_.showSaveFileDialog(layout::listSaveDialog(), View::Main);
    if (!path) {
        showProblem(path.problem());
        return;
    }
    if (path->empty()) return;
    const Status saved = files::saveTextFile(port_.fileSystem(), *path, port_.editorText(),
                                             textio::kNewTextFileFormat, port_.codePages(), port_.progress());
    if (!saved) {
        showProblem(saved.problem(), *path);
        return;
    }
    state_.listPath = *path;
    // Read back, so that the next save writes this very file, as after choosing it.
    Result<files::LoadedFile> reread =
        files::readCandidateFile(port_.fileSystem(), *path, port_.codePages(), port_.progress());
    if (reread) {
        std::u16string().swap(reread->text);
        keepListFile(std::move(*reread));
    } else {
        state_.listFile.reset();
    }
}

}  // namespace zorbalin::lifecycle
