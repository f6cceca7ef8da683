// The click on "选择文件" and the file operations the shared sequence needs on Qt.
#include "candidate_file.h"
#include "form1.h"
#include "lifecycle/lifecycle.h"
#include "qstring_u16.h"
#include "qt_open_file_dialog.h"

namespace zorbalin::window {

void Form1::ChooseCandidateFile() {
    lifecycle::ChooseCandidateFile(state_, *this);
}

lifecycle::CandidateFileRead Form1::readCandidateFile(const std::u16string& path) {
    ReadOutcome outcome = window::readCandidateFile(toQString(path));
    if (const auto* failure = std::get_if<ReadFailure>(&outcome)) {
        return fromQString(failure->message);
    }
    auto& file = std::get<CandidateFileText>(outcome);
    return lifecycle::CandidateFile{std::move(file.text), file.format};
}

std::u16string Form1::writeCandidateFile(const std::u16string& path, const std::u16string& text,
                                         const textio::FileFormat& format) {
    return fromQString(window::writeCandidateFile(toQString(path), text, format));
}

std::u16string Form1::showOpenFileDialog(std::u16string_view title, std::u16string_view filter) {
    beforeModal();
    FileChooser& chooser = fileChooser_ != nullptr ? *fileChooser_ : qtFileChooser();
    return fromQString(ShowOpenFileDialog(this, toQString(title), toQString(filter), chooser));
}

}  // namespace zorbalin::window
