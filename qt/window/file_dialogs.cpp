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

class QtFileChooser final : public FileChooser {
public:
    Result<QString> chooseExistingFile(const FileDialogRequest& request) override {
        // Guarded: the owner may close the dialog while it runs its own event loop.
        QPointer<QFileDialog> dialog = new QFileDialog(request.owner, request.title);
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
        // HideNameFilterDetails shows each description exactly as the caller gave it,
        // without the pattern list that Qt would append.
        dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails |
                           QFileDialog::DontResolveSymlinks);
        readNoFileToShowIt(*dialog);
        if (!request.nameFilters.isEmpty()) {
            dialog->setNameFilters(request.nameFilters);
            if (!request.selectedNameFilter.isEmpty()) {
                dialog->selectNameFilter(request.selectedNameFilter);
            }
        }

        const bool accepted = dialog->exec() == QDialog::Accepted;
        if (dialog.isNull()) {
            return QString();
        }
        const QStringList chosen = dialog->selectedFiles();
        delete dialog.data();
        if (!accepted || chosen.isEmpty()) {
            return QString();
        }
        return chosen.first();
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
