// ShowOpenFileDialog's error handler.
#include "dialogs/open_file_dialog.h"

#include <exception>
#include <new>
#include <utility>

#include "base/problem_error.h"
#include "layout/texts.h"

namespace zorbalin::dialogs {

Problem dialogFailure(long number, std::u16string description) {
    Problem problem = problemOf(ProblemCode::DialogFailed, std::move(description));
    problem.number = number;
    return problem;
}

std::u16string runOpenFileDialog(std::u16string_view title, std::u16string_view filter,
                                 OpenFileDialogBackend& backend) {
    Problem failure;
    try {
        const OpenFileDialogRequest request{std::u16string(title), std::u16string(filter),
                                            parseCommonDialogFilter(filter), 0};
        Result<std::u16string> chosen = backend.chooseExistingFile(request);
        if (chosen) return std::move(chosen).value();
        failure = chosen.takeProblem();
    } catch (...) {
        // The box's description is what the window would say of the failure.
        const Problem thrown = problemOfCurrentException();
        try {
            failure = dialogFailure(
                thrown.code == ProblemCode::OutOfMemory ? kOutOfMemoryErrorNumber : kInternalErrorNumber,
                layout::problemMessage(thrown));
        } catch (...) {
            failure = dialogFailure(kOutOfMemoryErrorNumber, {});
        }
    }
    // Reported outside the handlers above, so the box runs with no exception in flight.
    try {
        const layout::MessageBoxText box = layout::problemBox(failure);
        backend.showFailureBox(box.title, box.text);
    } catch (...) {
        // Nothing may escape to the caller, not even a failure of the report itself.
    }
    return {};
}

}  // namespace zorbalin::dialogs
