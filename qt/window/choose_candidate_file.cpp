// The click on "选择文件": pick a candidate file, load it, tidy it and write it back.
#include "candidate_editor.h"
#include "candidate_file.h"
#include "form1.h"
#include "layout/messages.h"
#include "qstring_u16.h"
#include "qt_open_file_dialog.h"

namespace zorbalin::window {

void Form1::ChooseCandidateFile() {
    FileChooser& chooser = fileChooser_ != nullptr ? *fileChooser_ : qtFileChooser();
    // A cancelled choice forgets the remembered file, so the next run starts empty.
    listPath_ = ShowOpenFileDialog(this, toQString(layout::kChooseFileDialogTitle),
                                   toQString(layout::allFilesFilter()), chooser);
    if (listPath_.isEmpty()) {
        return;
    }

    // A file that cannot be read is left alone: writing the editor's old text over it
    // would destroy it.
    const std::variant<textio::FileFormat, ReadFailure> loaded = LoadCandidateFile(listPath_);
    if (const auto* failure = std::get_if<ReadFailure>(&loaded)) {
        reportFailure(failure->message);
        return;
    }
    draw::TidyCandidateText(*this);
    // Written back in the encoding and line ending it was read with.
    const QString failure =
        writeCandidateFile(listPath_, RichTextBox1->text(), std::get<textio::FileFormat>(loaded));
    if (!failure.isEmpty()) {
        reportFailure(failure);
    }
}

std::variant<textio::FileFormat, ReadFailure> Form1::LoadCandidateFile(const QString& path) {
    ReadOutcome outcome = readCandidateFile(path);
    if (auto* failure = std::get_if<ReadFailure>(&outcome)) {
        return std::move(*failure);
    }
    auto& file = std::get<CandidateFileText>(outcome);
    RichTextBox1->setText(file.text);
    return file.format;
}

}  // namespace zorbalin::window
