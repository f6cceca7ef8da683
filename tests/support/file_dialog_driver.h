// FileDialogDriver: drives the next Qt-own QFileDialog that appears while it is alive.
//
// Code under test usually runs QFileDialog::exec(), which blocks in its own event loop. The
// driver polls from a QTimer (which runs inside that loop), and when a QFileDialog is visible
// it calls the test's action once with it:
//
//     FileDialogDriver driver([&](QFileDialog& dialog) {
//         EXPECT_EQ(FileDialogDriver::visibleNameFilters(dialog), QStringList{"Text"});
//         FileDialogDriver::typeFileNameAndAccept(dialog, path);
//     });
//     const QString chosen = codeThatShowsTheDialog();
//     EXPECT_TRUE(driver.acted());
//
// An action should end the dialog (accept or reject). If the dialog is still open after the
// action, the driver notes it (stayedOpenAfterAction) and rejects it so the test cannot hang.
#pragma once

#include <QFileDialog>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace zorbalin::test {

class FileDialogDriver : public QObject {
public:
    using Action = std::function<void(QFileDialog&)>;

    explicit FileDialogDriver(Action action);

    FileDialogDriver(const FileDialogDriver&) = delete;
    FileDialogDriver& operator=(const FileDialogDriver&) = delete;

    bool acted() const { return acted_; }
    bool stayedOpenAfterAction() const { return stayedOpen_; }
    // Object name of the dialog's focus widget when the driver found it.
    QString focusAtOpen() const { return focusAtOpen_; }

    // The descriptions in the file-type combo, as the user sees them.
    static QStringList visibleNameFilters(QFileDialog& dialog);
    // The names listed for the current folder. The folder is read in the background, so
    // call waitUntilListed first.
    static QStringList listedFileNames(QFileDialog& dialog);
    // Goes to `folder` and waits (bounded, by processing events) until `name` is listed.
    static bool waitUntilListed(QFileDialog& dialog, const QString& folder, const QString& name,
                                int timeoutMs = 10000);
    // Types `text` into the file-name field as a user would, then presses Return.
    static void typeFileNameAndAccept(QFileDialog& dialog, const QString& text);

private:
    void poll();

    Action action_;
    QTimer timer_;
    bool acted_ = false;
    bool stayedOpen_ = false;
    QString focusAtOpen_;
};

}  // namespace zorbalin::test
