// The window's startup, shutdown and choose-file sequences; each front end routes its
// events here and supplies the platform through FrontEnd.
#pragma once

#include "lifecycle/front_end.h"
#include "lifecycle/program_state.h"

namespace zorbalin::lifecycle {

// Form_Load: the remembered file, interval and option, before the window is shown. A copy
// of old bytes left by a killed write, and a remembered file that cannot be read, leave
// their messages in state.startupFailure.
void Startup(ProgramState& state, FrontEnd& frontEnd);

// Form_Unload: stores the path, the interval and the option; only the first call does anything.
void Shutdown(ProgramState& state, FrontEnd& frontEnd);

// Stores the settings without shutting down (the session asks for the program's data);
// the outcome is kept in state.settingsSaved.
void StoreSettings(ProgramState& state, FrontEnd& frontEnd);

// The click on "选择文件": pick a candidate file, load it, tidy it and write it back.
void ChooseCandidateFile(ProgramState& state, FrontEnd& frontEnd);

}  // namespace zorbalin::lifecycle
