// Program-wide state of one run: set during start-up, read by the main window.
#pragma once

#include <string>

namespace vt9 {

struct ProgramState {
  std::string firstArgument;    // as the platform split the command line, quotes removed
  std::string reminderText;     // markup of the reminder panel; empty unless a reminder is due
  std::string mainProgramPath;  // own folder + "vt9.exe"; formed only for the DEP check / \LIU
};

}  // namespace vt9
