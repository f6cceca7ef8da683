#include "common_dialog.h"

#include <commdlg.h>

#include <string>

#include "layout/texts.h"
#include "owned_handle.h"
#include "system_function.h"
#include "system_error_text.h"
#include "wide_text.h"

namespace zorbalin::win32 {
namespace {

// OFN_SHAREAWARE | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY: an existing file
// in an existing folder, no read-only check box, the name returned even when the file is
// held open elsewhere.
constexpr DWORD kOpenFileFlags = 0x5804;
static_assert(kOpenFileFlags ==
              (OFN_SHAREAWARE | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY));

// Long enough for any path the system can hand back (a 255-character buffer made a longer
// path fail as if the user had cancelled).
constexpr std::size_t kFileBufferLength = 32768;
// A single name: no component is longer than MAX_PATH.
constexpr std::size_t kFileTitleLength = MAX_PATH;

using GetOpenFileNameFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);
using CommDlgExtendedErrorFunction = DWORD(WINAPI*)();

Problem lastError() {
    const DWORD error = GetLastError();
    return dialogs::dialogFailure(static_cast<long>(error), systemErrorText(error));
}

}  // namespace

CommonDialogBackend::CommonDialogBackend(HWND owner, std::wstring library, std::string entryPoint)
    : owner_(owner), library_(std::move(library)), entryPoint_(std::move(entryPoint)) {}

Result<std::u16string> CommonDialogBackend::chooseExistingFile(
    const dialogs::OpenFileDialogRequest& request) {
    // Loaded here, not linked: a system without the library or the entry point gets the
    // routine's error box instead of a program that does not start.
    const OwnedModule library(LoadLibraryW(library_.c_str()));
    if (library.get() == nullptr) return lastError();
    const auto getOpenFileName = systemFunction<GetOpenFileNameFunction>(library.get(), entryPoint_.c_str());
    if (getOpenFileName == nullptr) return lastError();
    const auto extendedError =
        systemFunction<CommDlgExtendedErrorFunction>(library.get(), "CommDlgExtendedError");
    if (extendedError == nullptr) return lastError();

    // The list of pairs ends with an empty entry: two NULs more than the caller may have given.
    std::wstring filter = toWide(request.filter);
    filter.append(2, L'\0');
    const std::wstring title = toWide(request.title);
    std::wstring file(kFileBufferLength, L'\0');
    std::wstring fileTitle(kFileTitleLength, L'\0');

    OPENFILENAMEW record{};
    record.lStructSize = sizeof(record);
    record.hwndOwner = owner_;
    record.lpstrFilter = filter.c_str();
    record.nFilterIndex = static_cast<DWORD>(request.selectedPair + 1);
    record.lpstrFile = file.data();
    record.nMaxFile = static_cast<DWORD>(file.size());
    record.lpstrFileTitle = fileTitle.data();
    record.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    record.lpstrTitle = title.c_str();
    record.Flags = kOpenFileFlags;

    if (getOpenFileName(&record) == FALSE) {
        // Zero is both "cancelled" and "failed"; only the extended error tells them apart.
        const DWORD code = extendedError();
        if (code == 0) return std::u16string();
        return dialogs::dialogFailure(static_cast<long>(code), layout::commonDialogErrorText(code));
    }
    const std::size_t end = file.find(L'\0');
    if (end == std::wstring::npos) return std::u16string();
    return fromWide(std::wstring_view(file).substr(0, end));
}

void CommonDialogBackend::showFailureBox(std::u16string_view title, std::u16string_view text) {
    const std::wstring caption = toWide(title);
    const std::wstring body = toWide(text);
    // MB_OK alone: only an OK button and no icon. A box that cannot be shown has nowhere
    // left to report to; the routine returns "" either way.
    MessageBoxW(owner_, body.c_str(), caption.c_str(), MB_OK);
}

std::u16string ShowOpenFileDialog(HWND owner, std::u16string_view title, std::u16string_view filter,
                                  dialogs::OpenFileDialogBackend* backend) {
    if (backend != nullptr) return dialogs::runOpenFileDialog(title, filter, *backend);
    CommonDialogBackend commonDialog(owner);
    return dialogs::runOpenFileDialog(title, filter, commonDialog);
}

}  // namespace zorbalin::win32
