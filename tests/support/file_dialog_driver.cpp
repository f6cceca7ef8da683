#include "file_dialog_driver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>

namespace zorbalin::test {
namespace {

// Child object names inside Qt's own QFileDialog.
constexpr const char* kFileTypeCombo = "fileTypeCombo";
constexpr const char* kFileNameEdit = "fileNameEdit";
constexpr const char* kListView = "listView";

}  // namespace

FileDialogDriver::FileDialogDriver(Action action) : action_(std::move(action)) {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &FileDialogDriver::poll);
    timer_.start();
}

void FileDialogDriver::poll() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        QPointer<QFileDialog> dialog = qobject_cast<QFileDialog*>(widget);
        if (dialog.isNull() || !dialog->isVisible()) {
            continue;
        }
        timer_.stop();  // the action may run nested event loops; act once only
        acted_ = true;
        if (QWidget* focus = dialog->focusWidget()) {
            focusAtOpen_ = focus->objectName();
        }
        action_(*dialog);
        if (!dialog.isNull() && dialog->isVisible()) {
            stayedOpen_ = true;
            dialog->reject();
        }
        return;
    }
}

QStringList FileDialogDriver::visibleNameFilters(QFileDialog& dialog) {
    QStringList texts;
    if (auto* combo = dialog.findChild<QComboBox*>(kFileTypeCombo)) {
        for (int i = 0; i < combo->count(); ++i) {
            texts.append(combo->itemText(i));
        }
    }
    return texts;
}

QStringList FileDialogDriver::listedFileNames(QFileDialog& dialog) {
    QStringList names;
    auto* view = dialog.findChild<QListView*>(kListView);
    if (view == nullptr || view->model() == nullptr) {
        return names;
    }
    const QAbstractItemModel& model = *view->model();
    const QModelIndex folder = view->rootIndex();
    for (int row = 0; row < model.rowCount(folder); ++row) {
        names.append(model.index(row, 0, folder).data().toString());
    }
    return names;
}

bool FileDialogDriver::waitUntilListed(QFileDialog& dialog, const QString& folder,
                                       const QString& name, int timeoutMs) {
    dialog.setDirectory(folder);
    return QTest::qWaitFor([&] { return listedFileNames(dialog).contains(name); }, timeoutMs);
}

void FileDialogDriver::typeFileNameAndAccept(QFileDialog& dialog, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>(kFileNameEdit);
    if (edit == nullptr) {
        return;
    }
    // Typing goes to an inactive window otherwise, and the dialog then overwrites the field
    // with the name of the file that the typed text selected in the list.
    dialog.activateWindow();
    if (!QTest::qWaitForWindowActive(&dialog)) {
        qWarning("FileDialogDriver: the file dialog did not become active");
    }
    edit->setFocus();
    edit->clear();
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(edit, static_cast<char>(ch.unicode()));
        } else {  // QTest maps only ASCII to keys; other characters come as text alone
            QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
    QTest::keyClick(edit, Qt::Key_Return);
}

}  // namespace zorbalin::test
