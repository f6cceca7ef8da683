#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "draw/draw_controls.h"
#include "lifecycle/settings.h"
#include "textio/file_format.h"

namespace zorbalin::lifecycle {

struct CandidateFile {
    std::u16string text;        // CR LF between lines
    textio::FileFormat format;  // how to write it back
};

// The file's text, or the message for the user (which names the file).
using CandidateFileRead = std::variant<CandidateFile, std::u16string>;

// What the startup, shutdown and choose-file sequences need from a front end, besides the
// controls the draw already uses: the platform's settings store, files, dialog and boxes.
class FrontEnd : public draw::DrawControls {
public:
    // The per-user store of the remembered values.
    virtual SettingsStore& settingsStore() = 0;

    // Whether a file (not a folder) exists at the path.
    virtual bool isExistingFile(const std::u16string& path) = 0;
    virtual CandidateFileRead readCandidateFile(const std::u16string& path) = 0;
    // Returns "" when written, else the message for the user; the file keeps its content
    // on failure.
    virtual std::u16string writeCandidateFile(const std::u16string& path,
                                              const std::u16string& text,
                                              const textio::FileFormat& format) = 0;

    // The open-file dialog: the chosen file's full path, or "" when the user cancelled or
    // the dialog failed (a failure is shown by the dialog routine itself).
    virtual std::u16string showOpenFileDialog(std::u16string_view title,
                                              std::u16string_view filter) = 0;
    // A modal box over the window with only an OK button.
    virtual void reportFailure(std::u16string_view message) = 0;
};

}  // namespace zorbalin::lifecycle
