// The open-file dialog on Qt: the Qt-own QFileDialog, the same on every desktop and fully
// drivable from the keyboard.
#include <QFileDialog>
#include <QPointer>

#include "dialogs/open_file_dialog.h"

namespace zorbalin::dialogs {
namespace {

class QtOpenFileDialogBackend final : public OpenFileDialogBackend {
public:
    QString chooseExistingFile(const OpenFileDialogRequest& request) override {
        // Guarded: the owner may close the dialog while it runs its own event loop.
        QPointer<QFileDialog> dialog = new QFileDialog(request.owner, request.title);
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
        // HideNameFilterDetails shows each description exactly as the caller gave it,
        // without the pattern list that Qt would append.
        dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails |
                           QFileDialog::DontResolveSymlinks);
        if (!request.nameFilters.isEmpty()) {
            dialog->setNameFilters(request.nameFilters);
            if (!request.selectedNameFilter.isEmpty()) {
                dialog->selectNameFilter(request.selectedNameFilter);
            }
        }

        const bool accepted = dialog->exec() == QDialog::Accepted;
        if (dialog.isNull()) {
            return {};
        }
        const QStringList chosen = dialog->selectedFiles();
        delete dialog.data();
        if (!accepted || chosen.isEmpty()) {
            return {};
        }
        return chosen.first();
    }
};

}  // namespace

OpenFileDialogBackend& qtOpenFileDialogBackend() {
    static QtOpenFileDialogBackend backend;
    return backend;
}

}  // namespace zorbalin::dialogs
