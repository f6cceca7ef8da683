// The open-file dialog on Qt: the Qt-own QFileDialog, the same on every desktop and fully
// drivable from the keyboard.
#include "file_dialogs.h"

#include <QAbstractFileIconProvider>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPointer>

#include "qstring_u16.h"

namespace zorbalin::window {
namespace {

// Icons and type names from what a name and its kind say, never from what a file holds: Qt's
// own guess reads a file's first bytes, and reading /proc/kmsg never returns.
class IconsByName final : public QAbstractFileIconProvider {
public:
    QIcon icon(const QFileInfo& info) const override {
        return QAbstractFileIconProvider::icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo& info) const override {
        if (info.isDir()) return QCoreApplication::translate("QAbstractFileIconProvider", "Folder");
        const QList<QMimeType> byName = names_.mimeTypesForFileName(info.fileName());
        if (!byName.isEmpty() && !byName.first().comment().isEmpty()) return byName.first().comment();
        return QCoreApplication::translate("QAbstractFileIconProvider", "File");
    }

private:
    QMimeDatabase names_;
};

// Both dialogs: Qt's own, window-modal over the owner, each filter's description exactly as
// given (HideNameFilterDetails: without the pattern list that Qt would append), the first
// filter selected unless another is named.
QFileDialog* newFileDialog(QWidget* owner, const QString& title, QFileDialog::AcceptMode mode,
                           const QStringList& nameFilters, const QString& selectedNameFilter = {}) {
    auto* dialog = new QFileDialog(owner, title);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAcceptMode(mode);
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails |
                       QFileDialog::DontResolveSymlinks);
    if (!nameFilters.isEmpty()) {
        dialog->setNameFilters(nameFilters);
        if (!selectedNameFilter.isEmpty()) dialog->selectNameFilter(selectedNameFilter);
    }
    readNoFileToShowIt(*dialog);
    return dialog;
}

// The first file chosen in a dialog run modally; "" when it was cancelled, or closed with its
// owner while it ran its own event loop.
QString runFileDialog(QFileDialog* created) {
    const QPointer<QFileDialog> dialog = created;
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (dialog.isNull()) return QString();
    const QStringList chosen = dialog->selectedFiles();
    delete dialog.data();
    return accepted && !chosen.isEmpty() ? chosen.first() : QString();
}

class QtFileChooser final : public FileChooser {
public:
    Result<QString> chooseExistingFile(const FileDialogRequest& request) override {
        QFileDialog* dialog = newFileDialog(request.owner, request.title, QFileDialog::AcceptOpen,
                                            request.nameFilters, request.selectedNameFilter);
        dialog->setFileMode(QFileDialog::ExistingFile);
        return runFileDialog(dialog);
    }
};

// The shared routine's view of Qt: the chooser with its owner, and the box.
class QtBackend final : public dialogs::OpenFileDialogBackend {
public:
    QtBackend(QWidget* owner, FileChooser& chooser) : owner_(owner), chooser_(chooser) {}

    Result<std::u16string> chooseExistingFile(const dialogs::OpenFileDialogRequest& request) override {
        const QStringList nameFilters = nameFiltersFromFilterPairs(request.filterPairs);
        const QString selected = request.selectedPair < static_cast<std::size_t>(nameFilters.size())
                                     ? nameFilters[static_cast<qsizetype>(request.selectedPair)]
                                     : QString();
        Result<QString> chosen =
            chooser_.chooseExistingFile({owner_, toQString(request.title), nameFilters, selected});
        if (!chosen) return chosen.takeProblem();
        return fromQString(*chosen);
    }

    void showFailureBox(std::u16string_view title, std::u16string_view text) override {
        QMessageBox box(owner_);
        box.setWindowTitle(toQString(title));
        box.setTextFormat(Qt::PlainText);  // a description must never be read as markup
        box.setText(toQString(text));
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        box.setWindowModality(owner_ != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
        box.exec();
    }

private:
    QWidget* owner_;
    FileChooser& chooser_;
};

// In the common dialog "*.*" matches every name, with or without a dot; Qt would read it
// literally and hide names without a dot.
QString qtPattern(const QString& pattern) {
    return pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
}

}  // namespace

void readNoFileToShowIt(QFileDialog& dialog) {
    static IconsByName icons;
    dialog.setIconProvider(&icons);
}

FileChooser& qtFileChooser() {
    static QtFileChooser chooser;
    return chooser;
}

QString ShowOpenFileDialog(QWidget* owner, const QString& title, const QString& filter,
                           FileChooser& chooser) {
    QtBackend backend(owner, chooser);
    return toQString(dialogs::runOpenFileDialog(fromQString(title), fromQString(filter), backend));
}

QString ShowSaveFileDialog(QWidget* owner, const layout::SaveDialogTexts& texts) {
    // AcceptSave asks before a file is replaced.
    QFileDialog* dialog = newFileDialog(owner, toQString(texts.title), QFileDialog::AcceptSave,
                                        nameFiltersFromFilterPairs(dialogs::parseCommonDialogFilter(texts.filter)));
    dialog->selectFile(toQString(texts.fileName));
    dialog->setDefaultSuffix(toQString(texts.extension));
    return runFileDialog(dialog);
}

QStringList nameFiltersFromFilterPairs(const std::vector<dialogs::FilterPair>& pairs) {
    QStringList nameFilters;
    for (const dialogs::FilterPair& pair : pairs) {
        // "*.txt;*.log" -> "*.txt *.log": Qt separates the patterns of one filter by blanks.
        QStringList patterns;
        for (const QString& part : toQString(pair.pattern).split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = part.trimmed();
            if (!trimmed.isEmpty()) patterns.append(qtPattern(trimmed));
        }
        if (patterns.isEmpty()) break;
        nameFilters.append(toQString(pair.description) + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return nameFilters;
}

}  // namespace zorbalin::window
