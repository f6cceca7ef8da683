// The open-file and save dialogs on Windows: the common dialogs, loaded from its library at run time
// so that a missing library or entry point is a failure the routine reports in its box.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "dialogs/open_file_dialog.h"
#include "layout/texts.h"

namespace zorbalin::win32 {

class CommonDialogBackend final : public dialogs::OpenFileDialogBackend {
public:
    // The library and entry point are replaceable so that tests can make them missing.
    explicit CommonDialogBackend(HWND owner, std::wstring library = L"comdlg32.dll",
                                 std::string entryPoint = "GetOpenFileNameW");

    Result<std::u16string> chooseExistingFile(const dialogs::OpenFileDialogRequest& request) override;
    void showFailureBox(std::u16string_view title, std::u16string_view text) override;

private:
    HWND owner_;
    std::wstring library_;
    std::string entryPoint_;
};

// The chosen file's full path, or "" when the user cancelled or the dialog failed (then
// shown once in the box "Error: N description", title "mnuFileOpenDialog_Click").
std::u16string ShowOpenFileDialog(HWND owner, std::u16string_view title,
                                  std::u16string_view filter,
                                  dialogs::OpenFileDialogBackend* backend = nullptr);

// The save dialog: the full path of the file to write, "" when the user cancelled, or the
// dialog's failure. It offers the dialog's file name, gives a name typed without an extension
// its extension, and asks before an existing file is replaced.
Result<std::u16string> ShowSaveFileDialog(HWND owner, const layout::SaveDialogTexts& dialog);

}  // namespace zorbalin::win32
