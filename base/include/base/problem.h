// What went wrong, as a code and its detail: the one failure style of the shared code. The
// wording for the user is made from the code in one place (layout/texts.h), never where the
// problem is found.
#pragma once

#include <string>
#include <utility>

namespace zorbalin {

enum class ProblemCode {
    // Reading a candidate file.
    Missing,           // no file at the path
    NotAFile,          // a folder, device or pipe
    NoReadPermission,
    TooLarge,          // more than the size limit, whatever the file reports
    NotText,           // binary data or bytes no encoding reads
    ReadFailed,        // the system's failure: detail, cause
    // Reading an Excel workbook.
    WorkbookEncrypted, // protected by a password
    WorkbookLegacy,    // an Excel 97-2003 workbook (.xls): it must be saved as .xlsx
    WorkbookDamaged,   // a zip or XML that does not read whole
    WorkbookNoText,    // no visible sheet, or no text on the first one
    WorkbookTooLarge,  // more to inflate than the limit, or more rows
    // Writing a candidate file back. Unless said otherwise, the file is as it was.
    ReadOnly,          // the user may not write it: left alone
    TargetNotAFile,
    NotEncodable,      // the file's encoding cannot hold the text
    ChangedSinceRead,  // another program changed, replaced or relinked it since it was read
    ChangedWhileWritten,  // another program wrote it while it was written in place: what was
                          // written was put back, the file is as it was read
    WriteFailed,       // the system's failure before the file was touched: detail, cause
    NoRecoveryCopy,    // an in-place write needs a copy of the old bytes, which could not be
                       // made in the recovery folder (`where`, when known)
    NotRestored,       // written in place, failed, and the old bytes could not be put back:
                       // the file may be damaged; the copy of the old bytes is at `where`
    SpecialPermissionsLost,  // written in place, but what the write cleared could not be put
                             // back (`number`: the kLost... bits)
    RecoveryCopyFound, // a write was interrupted in an earlier run and the file holds neither
                       // its old nor its new bytes, or (`cause`, `detail`) cannot be read; the
                       // copy of the old bytes is at `where`
    // The settings store.
    SettingsNotSaved,  // `where`: the store's location
    // The window.
    WindowNotCreated,  // a window of the program (`where`: its title) could not be made: detail
    MenuNotCreated,    // detail
    TimerNotStarted,   // the system would not run the draw's timer: detail
    // The open-file dialog.
    DialogFailed,      // `number` and `detail`: the error number and its description
    // Any handler.
    OutOfMemory,
    Internal,          // an unexpected failure: detail; stays the last code
};
inline constexpr int kProblemCodeCount = static_cast<int>(ProblemCode::Internal) + 1;

// The `number` of SpecialPermissionsLost.
inline constexpr long kLostSetUserId = 1;
inline constexpr long kLostSetGroupId = 2;
inline constexpr long kLostCapabilities = 4;

// Why the system refused, where it says: the wording differs for a full disk, a quota and a
// refused access, whatever the system's own text.
enum class SystemCause { Other, NoSpace, QuotaExceeded, AccessDenied, InUse, NotFound };

struct Problem {
    ProblemCode code = ProblemCode::Internal;
    std::u16string detail;  // the system's own description, without a final full stop
    SystemCause cause = SystemCause::Other;
    std::u16string where;   // a path or place the message names besides the file
    long number = 0;        // an error number the message shows (the dialog's)

    friend bool operator==(const Problem&, const Problem&) = default;
};

// A problem with only its code (and the system's text, where there is one).
inline Problem problemOf(ProblemCode code, std::u16string detail = {}) {
    Problem problem;
    problem.code = code;
    problem.detail = std::move(detail);
    return problem;
}

// What the system said, under the code of the step that met it.
inline Problem withCode(Problem problem, ProblemCode code) {
    problem.code = code;
    return problem;
}

}  // namespace zorbalin
