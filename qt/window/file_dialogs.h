// ShowOpenFileDialog on Qt: the shared routine over Qt's own file dialog and message box.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "dialogs/open_file_dialog.h"
#include "layout/texts.h"

class QFileDialog;
class QWidget;

namespace zorbalin::window {

struct FileDialogRequest {
    QWidget* owner;                // parent of the modal dialog; may be null
    QString title;
    QStringList nameFilters;       // Qt name filters, "Description (patterns)"
    QString selectedNameFilter;    // one of nameFilters, or empty
};

// Shows the actual dialog. Replaceable so that tests can answer for the user and failures
// can be provoked.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen file's full path, an empty string when the user cancelled, or a
    // dialogs::dialogFailure. Anything it throws is caught and reported too.
    virtual Result<QString> chooseExistingFile(const FileDialogRequest& request) = 0;
};

// Gives a Qt-own QFileDialog icons and types from names alone, so that listing a folder opens
// none of its files (Qt's own guess reads them: /proc/kmsg would hold the window for good).
void readNoFileToShowIt(QFileDialog& dialog);

// The real one: a modal Qt-own QFileDialog over the owner that accepts only an existing
// file in an existing folder, showing it without reading any file.
FileChooser& qtFileChooser();

// The chosen file's full path (any length), or "" when the user cancelled or the dialog
// failed; a failure is shown once in a plain box over the owner.
QString ShowOpenFileDialog(QWidget* owner, const QString& title, const QString& filter,
                           FileChooser& chooser = qtFileChooser());

// The save dialog with its title, proposed name, filter and the extension a name typed without
// one gets, asking before it replaces a file; the chosen path, or "" when cancelled.
QString ShowSaveFileDialog(QWidget* owner, const layout::SaveDialogTexts& texts);

// The filter pairs as Qt name filters "<description> (<patterns>)". Patterns separated by ';'
// become separate Qt patterns and "*.*" becomes "*", so that it matches names without a dot
// as it does in the common dialog.
QStringList nameFiltersFromFilterPairs(const std::vector<dialogs::FilterPair>& pairs);

}  // namespace zorbalin::window
