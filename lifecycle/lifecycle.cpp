#include "lifecycle/lifecycle.h"

#include <utility>

#include "layout/messages.h"

namespace zorbalin::lifecycle {

namespace {

// The file's text into the editor; how it was stored, or why it cannot be read.
std::variant<textio::FileFormat, std::u16string> loadCandidateFile(FrontEnd& frontEnd,
                                                                    const std::u16string& path) {
    CandidateFileRead read = frontEnd.readCandidateFile(path);
    if (auto* message = std::get_if<std::u16string>(&read)) {
        return std::move(*message);
    }
    auto& file = std::get<CandidateFile>(read);
    frontEnd.setEditorText(file.text);
    return file.format;
}

}  // namespace

bool noRepeatFromStored(std::u16string_view text) {
    return text == u"1";
}

std::u16string noRepeatToStore(bool on) {
    return on ? u"1" : u"0";
}

void Startup(ProgramState& state, FrontEnd& frontEnd) {
    StoredSettings stored = frontEnd.readSettings();
    state.listPath = std::move(stored.path);
    state.draw.intervalText = std::move(stored.interval);
    draw::SetNoRepeat(state.draw, noRepeatFromStored(stored.noRepeat));

    // A remembered file that is gone is not an error: the editor just starts empty.
    if (!state.listPath.empty() && frontEnd.isExistingFile(state.listPath)) {
        auto loaded = loadCandidateFile(frontEnd, state.listPath);
        if (auto* failure = std::get_if<std::u16string>(&loaded)) {
            state.startupFailure = std::move(*failure);
        } else {
            draw::TidyCandidateText(frontEnd);
        }
    }

    if (state.draw.intervalText.empty()) {
        state.draw.intervalText = layout::kDefaultIntervalText;
    }
    frontEnd.setIntervalFieldText(state.draw.intervalText);
}

void Shutdown(ProgramState& state, FrontEnd& frontEnd) {
    if (std::exchange(state.unloaded, true)) {
        return;
    }
    StoreSettings(state, frontEnd);
}

void StoreSettings(ProgramState& state, FrontEnd& frontEnd) {
    state.settingsSaved = frontEnd.writeSettings(
        {state.listPath, state.draw.intervalText, noRepeatToStore(state.draw.noRepeat)});
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
    auto loaded = loadCandidateFile(frontEnd, state.listPath);
    if (auto* failure = std::get_if<std::u16string>(&loaded)) {
        frontEnd.reportFailure(*failure);
        return;
    }
    draw::TidyCandidateText(frontEnd);
    // Written back in the encoding and line breaks it was read with.
    const std::u16string failure = frontEnd.writeCandidateFile(
        state.listPath, frontEnd.editorText(), std::get<textio::FileFormat>(loaded));
    if (!failure.empty()) {
        frontEnd.reportFailure(failure);
    }
}

}  // namespace zorbalin::lifecycle
