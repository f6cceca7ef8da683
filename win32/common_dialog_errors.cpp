#include "common_dialog_errors.h"

#include <commdlg.h>
#include <cderr.h>

namespace zorbalin::win32 {

std::u16string commonDialogErrorText(DWORD code) {
    switch (code) {
    case CDERR_DIALOGFAILURE: return u"The dialog box could not be created.";
    case CDERR_FINDRESFAILURE: return u"A resource of the dialog box could not be found.";
    case CDERR_INITIALIZATION: return u"The dialog box could not be initialized (not enough memory?).";
    case CDERR_LOADRESFAILURE: return u"A resource of the dialog box could not be loaded.";
    case CDERR_LOADSTRFAILURE: return u"A string of the dialog box could not be loaded.";
    case CDERR_LOCKRESFAILURE: return u"A resource of the dialog box could not be locked.";
    case CDERR_MEMALLOCFAILURE: return u"Memory for the dialog box could not be allocated.";
    case CDERR_MEMLOCKFAILURE: return u"Memory for the dialog box could not be locked.";
    case CDERR_NOHINSTANCE: return u"No instance handle was given for the dialog template.";
    case CDERR_NOHOOK: return u"No hook procedure was given.";
    case CDERR_NOTEMPLATE: return u"No dialog template was given.";
    case CDERR_REGISTERMSGFAIL: return u"A message of the dialog box could not be registered.";
    case CDERR_STRUCTSIZE: return u"The dialog record has a wrong size.";
    case FNERR_BUFFERTOOSMALL: return u"The buffer for the file name is too small.";
    case FNERR_INVALIDFILENAME: return u"A file name is invalid.";
    case FNERR_SUBCLASSFAILURE: return u"The list box could not be subclassed (not enough memory).";
    default: return u"The common dialog failed.";
    }
}

}  // namespace zorbalin::win32
