#pragma once

#include <optional>
#include <string>

#include "draw/scrolling_draw.h"
#include "files/candidate_file.h"

namespace zorbalin::lifecycle {

// Everything the window remembers besides its controls.
struct ProgramState {
    draw::DrawSession draw;  // the list, interval, round without repeats and record of results
    std::u16string listPath;        // the chosen candidate file, "" when none
    // The file at listPath as it was read or last written, which a save of the list writes.
    std::optional<files::LoadedFile> listFile;
    // What the startup has to tell (a killed write's copy, why the remembered file did not
    // load); shown once the window is up.
    std::u16string startupFailure;
    bool loaded = false;            // the settings were read: only then are they stored
    bool unloaded = false;          // the shutdown has run
    bool settingsSaved = true;      // the last store of the settings succeeded
    // The options the store held a value of, or the user changed: only those are stored.
    struct Remembered {
        bool noRepeat = false;
        bool drawCount = false;
        bool slowStop = false;
        bool floating = false;
        bool floatingPosition = false;
    } remembered;
    bool floating = false;                   // the small window over the slides is wanted
    std::u16string floatingPosition;         // where it was left, "x,y"; "" for none
};

}  // namespace zorbalin::lifecycle
