// The rules of ShowOpenFileDialog, shared by both front ends: the filter pairs handed to the
// dialog, and the error handler that turns any failure into one box and an empty result.
// Each front end supplies the dialog itself and the box, over its own owner window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace zorbalin::dialogs {

// A failure inside a dialog backend: the number and the description that the error box shows.
Problem dialogFailure(long number, std::u16string description);

// Numbers shown for failures that carry none of their own (a C++ exception thrown inside the
// backend). They follow the classic run-time error numbering.
inline constexpr long kOutOfMemoryErrorNumber = 7;
inline constexpr long kInternalErrorNumber = 51;

struct FilterPair {
    std::u16string description;
    std::u16string pattern;  // as given: "*.txt;*.log"
    friend bool operator==(const FilterPair&, const FilterPair&) = default;
};

// The pairs of a filter in the common-dialog form: description, NUL, pattern, NUL, repeated.
// The list ends at the first empty description or at a description without a pattern.
std::vector<FilterPair> parseCommonDialogFilter(std::u16string_view filter);

struct OpenFileDialogRequest {
    std::u16string title;
    std::u16string filter;               // the caller's text, for a native dialog
    std::vector<FilterPair> filterPairs;  // the same, parsed
    std::size_t selectedPair = 0;        // the first pair is selected
};

// Shows the platform's dialog and its error box.
class OpenFileDialogBackend {
public:
    virtual ~OpenFileDialogBackend() = default;
    // The chosen file's full path, "" when the user cancelled, or a dialogFailure when the
    // dialog failed. An exception thrown from here is caught and reported too.
    virtual Result<std::u16string> chooseExistingFile(const OpenFileDialogRequest& request) = 0;
    // A modal box over the owner with the text, the title and only an OK button, no icon.
    virtual void showFailureBox(std::u16string_view title, std::u16string_view text) = 0;
};

// Asks for an existing file and returns its full path, or "" when the user cancelled or the
// dialog failed. A failure is reported once in the backend's box and never escapes.
std::u16string runOpenFileDialog(std::u16string_view title, std::u16string_view filter,
                                 OpenFileDialogBackend& backend);

}  // namespace zorbalin::dialogs
