#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "draw/draw_controls.h"
#include "textio/file_format.h"

namespace zorbalin::lifecycle {

// The values remembered between runs, as the texts the settings store keeps, all in the
// same section under these keys.
struct StoredSettings {
    std::u16string path;      // "Path": the remembered candidate file, "" when none
    std::u16string interval;  // "Interval": the interval text of the last Start, "" when none
    std::u16string noRepeat{};  // "NoRepeat": draws without repeats, "1" or "0"; "" when none
};
inline constexpr std::u16string_view kPathKey = u"Path";
inline constexpr std::u16string_view kIntervalKey = u"Interval";
inline constexpr std::u16string_view kNoRepeatKey = u"NoRepeat";

// Only "1" turns draws without repeats on: a missing value or any other text leaves them off.
bool noRepeatFromStored(std::u16string_view text);
std::u16string noRepeatToStore(bool on);

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
    // Missing values and a store that cannot be read give "".
    virtual StoredSettings readSettings() = 0;
    // False when the values could not be written.
    virtual bool writeSettings(const StoredSettings& settings) = 0;

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
