// ShowOpenFileDialog, the one routine of Module1: asks the user for an existing file and
// returns its full path. It knows nothing of what the file is for.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace zorbalin::dialogs {

// A failure inside a dialog backend: the number and the description that the error box shows.
struct DialogFailure {
    long number;
    QString description;
};

// Numbers shown for failures that carry none of their own (a C++ exception rather than a
// DialogFailure). They follow the classic run-time error numbering.
inline constexpr long kOutOfMemoryErrorNumber = 7;
inline constexpr long kInternalErrorNumber = 51;

// Title of the box that reports a failure of the dialog.
inline constexpr const char* kDialogErrorBoxTitle = "mnuFileOpenDialog_Click";

struct OpenFileDialogRequest {
    QWidget* owner;                // parent of the modal dialog; may be null
    QString title;
    QStringList nameFilters;       // Qt name filters, "Description (patterns)"
    QString selectedNameFilter;    // one of nameFilters, or empty
};

// Shows the actual dialog. Replaceable so that failures can be provoked and a native
// backend can be added per platform.
class OpenFileDialogBackend {
public:
    virtual ~OpenFileDialogBackend() = default;
    // The chosen file's full path, or an empty string when the user cancelled. May throw.
    virtual QString chooseExistingFile(const OpenFileDialogRequest& request) = 0;
};

// The real backend: a modal Qt-own QFileDialog over the owner that accepts only an existing
// file in an existing folder.
OpenFileDialogBackend& qtOpenFileDialogBackend();

// Shows the open-file dialog with the given title and filter and returns the chosen file's
// full path (any length), or "" when the user cancelled or the dialog failed.
// `filter` is in the common-dialog form: description, NUL, pattern, NUL, repeated
// (a QString with embedded QChar(0)); the first pair is selected.
// Any failure is reported once in a modal box over the owner and never escapes.
QString ShowOpenFileDialog(QWidget* owner, const QString& title, const QString& filter,
                           OpenFileDialogBackend& backend = qtOpenFileDialogBackend());

// The filter pairs as Qt name filters "<description> (<patterns>)". Patterns separated by ';'
// become separate Qt patterns and "*.*" becomes "*", so that it matches names without a dot
// as it does in the common dialog. The list ends at the first empty description or at a
// description without a pattern.
QStringList nameFiltersFromCommonDialogFilter(const QString& filter);

}  // namespace zorbalin::dialogs
