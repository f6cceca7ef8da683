// The click on "选择文件": pick a candidate file, load it, tidy it and write it back.
#include "dialogs/open_file_dialog.h"
#include "window/candidate_editor.h"
#include "window/form1.h"

namespace zorbalin::window {

namespace {
const QString kDialogTitle = QStringLiteral("选择一个文件");

QString allFilesFilter() {
    const QChar nul(u'\0');
    return QStringLiteral("所有文件(*.*)") + nul + QStringLiteral("*.*") + nul;
}
}  // namespace

void Form1::ChooseCandidateFile() {
    dialogs::OpenFileDialogBackend& backend =
        dialogBackend_ != nullptr ? *dialogBackend_ : dialogs::qtOpenFileDialogBackend();
    // A cancelled choice forgets the remembered file, so the next run starts empty.
    listPath_ = dialogs::ShowOpenFileDialog(this, kDialogTitle, allFilesFilter(), backend);
    if (listPath_.isEmpty()) {
        return;
    }

    // A file that cannot be read is left alone: writing the editor's old text over it
    // would destroy it.
    if (const QString failure = RichTextBox1->loadFile(listPath_); !failure.isEmpty()) {
        reportFailure(failure);
        return;
    }
    draw::TidyCandidateText(*this);
    if (const QString failure = RichTextBox1->saveFile(listPath_); !failure.isEmpty()) {
        reportFailure(failure);
    }
}

}  // namespace zorbalin::window
