#pragma once

#include <string>
#include <string_view>

#include "draw/draw_controls.h"
#include "files/candidate_file.h"
#include "files/file_system.h"
#include "lifecycle/settings.h"

namespace zorbalin::lifecycle {

// What the startup, shutdown and choose-file sequences need from a front end, besides the
// controls the draw already uses: the platform's settings store, files, dialog and boxes.
class FrontEnd : public draw::DrawControls {
public:
    // The per-user store of the remembered values.
    virtual SettingsStore& settingsStore() = 0;

    // The platform's file operations and legacy code pages, for the shared file procedure.
    virtual files::FileSystem& fileSystem() = 0;
    virtual files::CodePages codePages() = 0;
    // Reading, decoding and writing a file show how far they have come in progress(), as
    // the draw's long work does.

    // The open-file dialog: the chosen file's full path, or "" when the user cancelled or
    // the dialog failed (a failure is shown by the dialog routine itself).
    virtual std::u16string showOpenFileDialog(std::u16string_view title,
                                              std::u16string_view filter) = 0;
    // A modal box over the window with only an OK button.
    virtual void reportFailure(std::u16string_view message) = 0;
};

}  // namespace zorbalin::lifecycle
