// Every text that the user can read in a message box, dialog title or filter, in one place
// for both front ends. Paths arrive in the platform's native form.
#pragma once

#include <string>
#include <string_view>

#include "layout/texts.h"

namespace zorbalin::layout {

// Why a candidate file could not be read or written.
enum class FileProblem {
    // reading
    Missing,
    NoReadPermission,
    NotAFile,
    NotText,
    TooLarge,
    ReadFailed,       // detail: the system's description
    // writing
    ReadOnly,
    WriteFailed,      // detail: the system's description
    WriteFailedNotRestored,  // written in place, failed, and the old bytes could not be put back
    LinkLoop,
    TargetNotAFile,
    NotEncodable,
};

bool isWriteProblem(FileProblem problem);

// Two lines: which file and whether it was being read or saved, then why.
std::u16string candidateFileMessage(FileProblem problem, std::u16string_view nativePath,
                                    std::u16string_view detail = {});

// Shown when the user closed the window and the settings could not be stored.
std::u16string settingsNotSavedMessage(std::u16string_view location);


}  // namespace zorbalin::layout
