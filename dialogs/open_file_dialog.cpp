// ShowOpenFileDialog's error handler.
#include "dialogs/open_file_dialog.h"

#include <exception>
#include <new>
#include <utility>

#include "layout/texts.h"

namespace zorbalin::dialogs {
namespace {

// what() is narrow text of unknown encoding; ASCII is kept and anything else becomes '?'.
std::u16string describe(const std::exception& error) {
    std::u16string text;
    for (const char* c = error.what(); *c != '\0'; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        text += byte < 0x80 ? static_cast<char16_t>(byte) : u'?';
    }
    return text;
}

}  // namespace

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
    } catch (const std::bad_alloc& error) {
        failure = dialogFailure(kOutOfMemoryErrorNumber, describe(error));
    } catch (const std::exception& error) {
        failure = dialogFailure(kInternalErrorNumber, describe(error));
    } catch (...) {
        failure = dialogFailure(kInternalErrorNumber, u"Internal error");
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
