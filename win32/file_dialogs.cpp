#include "file_dialogs.h"

#include <commdlg.h>

#include <string>

#include "layout/texts.h"
#include "handles.h"
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

using FileDialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);
using CommDlgExtendedErrorFunction = DWORD(WINAPI*)();

Problem lastError() {
    const DWORD error = GetLastError();
    return dialogs::dialogFailure(static_cast<long>(error), systemErrorText(error));
}

// What differs between the open and the save dialog.
struct FileDialogSetUp {
    HWND owner;
    std::u16string_view title;
    std::u16string_view filter;       // pairs in the common-dialog form
    std::size_t selectedPair;
    std::u16string_view fileName;     // offered at first
    std::u16string_view extension;    // for a name typed without one; "" for none
    DWORD flags;
    const wchar_t* library;
    const char* entryPoint;           // GetOpenFileNameW or GetSaveFileNameW
};

// The dialog's chosen path, "" when the user cancelled, or its failure. The dialog is loaded
// here, not linked: a system without the library or the entry point gets a failure to report
// instead of a program that does not start.
Result<std::u16string> runFileDialog(const FileDialogSetUp& setUp) {
    // The list of pairs ends with an empty entry: two NULs more than the caller may have given.
    std::wstring filter = toWide(setUp.filter);
    filter.append(2, L'\0');
    const std::wstring title = toWide(setUp.title);
    std::wstring file = toWide(setUp.fileName);
    file.resize(kFileBufferLength, L'\0');
    std::wstring fileTitle(kFileTitleLength, L'\0');
    const std::wstring extension = toWide(setUp.extension);

    OPENFILENAMEW record{};
    record.lStructSize = sizeof(record);
    record.hwndOwner = setUp.owner;
    record.lpstrFilter = filter.c_str();
    record.nFilterIndex = static_cast<DWORD>(setUp.selectedPair + 1);
    record.lpstrFile = file.data();
    record.nMaxFile = static_cast<DWORD>(file.size());
    record.lpstrFileTitle = fileTitle.data();
    record.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    record.lpstrTitle = title.c_str();
    record.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    record.Flags = setUp.flags;

    const OwnedModule library(LoadLibraryW(setUp.library));
    if (library.get() == nullptr) return lastError();
    const auto runDialog = systemFunction<FileDialogFunction>(library.get(), setUp.entryPoint);
    if (runDialog == nullptr) return lastError();
    const auto extendedError =
        systemFunction<CommDlgExtendedErrorFunction>(library.get(), "CommDlgExtendedError");
    if (extendedError == nullptr) return lastError();

    if (runDialog(&record) == FALSE) {
        // Zero is both "cancelled" and "failed"; only the extended error tells them apart.
        const DWORD code = extendedError();
        if (code == 0) return std::u16string();
        return dialogs::dialogFailure(static_cast<long>(code), layout::commonDialogErrorText(code));
    }
    const std::wstring_view chosen(record.lpstrFile, record.nMaxFile);
    const std::size_t end = chosen.find(L'\0');
    if (end == std::wstring_view::npos) return std::u16string();
    return fromWide(chosen.substr(0, end));
}

}  // namespace

CommonDialogBackend::CommonDialogBackend(HWND owner, std::wstring library, std::string entryPoint)
    : owner_(owner), library_(std::move(library)), entryPoint_(std::move(entryPoint)) {}

Result<std::u16string> CommonDialogBackend::chooseExistingFile(
    const dialogs::OpenFileDialogRequest& request) {
    return runFileDialog({owner_, request.title, request.filter, request.selectedPair, {}, {}, kOpenFileFlags,
                          library_.c_str(), entryPoint_.c_str()});
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

Result<std::u16string> ShowSaveFileDialog(HWND owner, const layout::SaveDialogTexts& dialog) {
    return runFileDialog({owner, dialog.title, dialog.filter, 0, dialog.fileName, dialog.extension,
                          OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN,
                          L"comdlg32.dll", "GetSaveFileNameW"});
}

}  // namespace zorbalin::win32
