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
    QString failure;
    const std::optional<textio::TextEncoding> encoding = LoadCandidateFile(listPath_, failure);
    if (!encoding) {
        reportFailure(failure);
        return;
    }
    draw::TidyCandidateText(*this);
    // Written back in the encoding it was read in.
    failure = writeCandidateFile(listPath_, RichTextBox1->text(), *encoding);
    if (!failure.isEmpty()) {
        reportFailure(failure);
    }
}

std::optional<textio::TextEncoding> Form1::LoadCandidateFile(const QString& path,
                                                             QString& failure) {
    ReadOutcome outcome = readCandidateFile(path);
    if (!outcome.file) {
        failure = outcome.error;
        return std::nullopt;
    }
    RichTextBox1->setText(outcome.file->text);
    return outcome.file->encoding;
}

}  // namespace zorbalin::window
