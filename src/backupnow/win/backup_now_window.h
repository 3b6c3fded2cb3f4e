// The Backup Now window (TfVT9Now): the user picks a job, sees or replaces its backup
// location, chooses what the computer does when the backup is complete, and starts the main
// backup program with the matching command line.
#pragma once

#include "common/program_state.h"

namespace vt9::win {

inline constexpr char kBackupNowWindowClass[] = "TfVT9Now";

// Creates the window as the program's main window (reminder layout when the first argument
// is "\CHECK" in any letter case, showing state.reminderText), runs the message loop until it
// closes, and returns 0.
int RunBackupNowWindow(const vt9::ProgramState& state);

}  // namespace vt9::win
