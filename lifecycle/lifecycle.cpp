#include "lifecycle/lifecycle.h"

#include <utility>

#include "layout/texts.h"

namespace zorbalin::lifecycle {

namespace {

// The file's text into the editor, its memory given back at once: a long list must not be
// held twice.
Result<files::LoadedFile> loadCandidateFile(FrontEnd& frontEnd, const std::u16string& path) {
    Result<files::LoadedFile> loaded =
        files::readCandidateFile(frontEnd.fileSystem(), path, frontEnd.codePages(), frontEnd.progress());
    if (loaded) {
        frontEnd.setEditorText(loaded->text);
        std::u16string().swap(loaded->text);
    }
    return loaded;
}

void addParagraph(std::u16string& text, const std::u16string& paragraph) {
    if (!text.empty()) text += u"\n\n";
    text += paragraph;
}

}  // namespace

void Startup(ProgramState& state, FrontEnd& frontEnd) {
    StoredSettings stored = readStoredSettings(frontEnd.settingsStore());
    state.listPath = std::move(stored.path);
    state.draw.intervalText = std::move(stored.interval);
    state.loaded = true;
    state.noRepeatRemembered = stored.noRepeat.has_value();
    draw::SetNoRepeat(state.draw, stored.noRepeat.value_or(false));

    for (const files::InterruptedWrite& interrupted :
         files::takeInterruptedWrites(frontEnd.fileSystem(), state.listPath)) {
        addParagraph(state.startupFailure, layout::problemMessage(interrupted.problem, interrupted.target));
    }

    if (!state.listPath.empty()) {
        const Result<files::LoadedFile> loaded = loadCandidateFile(frontEnd, state.listPath);
        if (loaded) {
            draw::TidyCandidateText(frontEnd);
        } else if (loaded.problem().code != ProblemCode::Missing &&
                   loaded.problem().code != ProblemCode::NotAFile) {
            // A remembered file that is gone (or no file) is not an error: the editor just
            // starts empty.
            addParagraph(state.startupFailure, layout::problemMessage(loaded.problem(), state.listPath));
        }
    }

    if (state.draw.intervalText.empty()) {
        state.draw.intervalText = layout::kDefaultIntervalText;
    }
    frontEnd.setIntervalFieldText(state.draw.intervalText);
}

void Shutdown(ProgramState& state, FrontEnd& frontEnd) {
    // A window that never loaded must not store over the settings.
    if (!state.loaded || std::exchange(state.unloaded, true)) {
        return;
    }
    StoreSettings(state, frontEnd);
}

void StoreSettings(ProgramState& state, FrontEnd& frontEnd) {
    if (!state.loaded) return;
    StoredSettings stored{state.listPath, state.draw.intervalText};
    // The option is stored once it has been stored before or turned on, so that a user who
    // never touches it keeps exactly the two values the window has always kept.
    if (state.noRepeatRemembered || state.draw.noRepeat) stored.noRepeat = state.draw.noRepeat;
    state.settingsSaved = writeStoredSettings(frontEnd.settingsStore(), stored).ok();
}

void ChooseCandidateFile(ProgramState& state, FrontEnd& frontEnd) {
    // A cancelled choice forgets the remembered file, so the next run starts empty.
    state.listPath =
        frontEnd.showOpenFileDialog(layout::kChooseFileDialogTitle, layout::allFilesFilter());
    if (state.listPath.empty()) {
        return;
    }

    // A file that cannot be read is left alone: writing the editor's old text over it
    // would destroy it.
    Result<files::LoadedFile> loaded = loadCandidateFile(frontEnd, state.listPath);
    if (!loaded) {
        frontEnd.reportFailure(layout::problemMessage(loaded.problem(), state.listPath));
        return;
    }
    draw::TidyCandidateText(frontEnd);
    // Written back into the file that was read, in the encoding and line breaks it had.
    const Status written = files::writeCandidateFile(frontEnd.fileSystem(), *loaded,
                                                     frontEnd.editorText(), frontEnd.codePages(),
                                                     frontEnd.progress());
    if (!written) {
        frontEnd.reportFailure(layout::problemMessage(written.problem(), state.listPath));
    }
}

}  // namespace zorbalin::lifecycle
