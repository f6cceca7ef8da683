// ShowOpenFileDialog's error handler.
#include "dialogs/open_file_dialog.h"

#include <exception>
#include <new>

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

std::u16string dialogFailureText(const DialogFailure& failure) {
    std::u16string text = u"Error: ";
    for (char c : std::to_string(failure.number)) text += static_cast<char16_t>(c);
    text += u' ';
    text += failure.description;
    return text;
}

std::u16string runOpenFileDialog(std::u16string_view title, std::u16string_view filter,
                                 OpenFileDialogBackend& backend) {
    DialogFailure failure{};
    try {
        const OpenFileDialogRequest request{std::u16string(title), std::u16string(filter),
                                            parseCommonDialogFilter(filter), 0};
        return backend.chooseExistingFile(request);
    } catch (const DialogFailure& raised) {
        failure = raised;
    } catch (const std::bad_alloc& error) {
        failure = {kOutOfMemoryErrorNumber, describe(error)};
    } catch (const std::exception& error) {
        failure = {kInternalErrorNumber, describe(error)};
    } catch (...) {
        failure = {kInternalErrorNumber, u"Internal error"};
    }
    // Reported outside the handlers above, so the box runs with no exception in flight.
    try {
        backend.showFailureBox(kDialogErrorBoxTitle, dialogFailureText(failure));
    } catch (...) {
        // Nothing may escape to the caller, not even a failure of the report itself.
    }
    return {};
}

}  // namespace zorbalin::dialogs
