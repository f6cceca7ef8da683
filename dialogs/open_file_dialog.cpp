// ShowOpenFileDialog and its error handler.
#include "dialogs/open_file_dialog.h"

#include <QMessageBox>

#include <exception>
#include <new>

namespace zorbalin::dialogs {
namespace {

// The one report of a failed dialog: a plain modal box with only OK and no icon.
void showDialogFailure(QWidget* owner, const DialogFailure& failure) {
    QMessageBox box(owner);
    box.setWindowTitle(QString::fromLatin1(kDialogErrorBoxTitle));
    // Plain text: a description must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QStringLiteral("Error: ") + QString::number(failure.number) + u' ' +
                failure.description);
    box.setIcon(QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    box.exec();
}

QString describe(const std::exception& error) {
    return QString::fromLocal8Bit(error.what());
}

}  // namespace

QString ShowOpenFileDialog(QWidget* owner, const QString& title, const QString& filter,
                           OpenFileDialogBackend& backend) {
    DialogFailure failure{};
    try {
        const QStringList nameFilters = nameFiltersFromCommonDialogFilter(filter);
        const OpenFileDialogRequest request{
            owner, title, nameFilters, nameFilters.isEmpty() ? QString() : nameFilters.first()};
        return backend.chooseExistingFile(request);
    } catch (const DialogFailure& raised) {
        failure = raised;
    } catch (const std::bad_alloc& error) {
        failure = {kOutOfMemoryErrorNumber, describe(error)};
    } catch (const std::exception& error) {
        failure = {kInternalErrorNumber, describe(error)};
    } catch (...) {
        failure = {kInternalErrorNumber, QStringLiteral("Internal error")};
    }
    // Reported outside the handlers above, so the box runs with no exception in flight.
    try {
        showDialogFailure(owner, failure);
    } catch (...) {
        // Nothing may escape to the caller, not even a failure of the report itself.
    }
    return {};
}

}  // namespace zorbalin::dialogs
