// Program-wide state of one run: set during start-up, read by the main windows. It sits below
// every subsystem, so the windows of each read it without reaching up into the start-up code.
#pragma once

#include <string>
#include <vector>

namespace vt9 {

struct ProgramState {
  std::string firstArgument;    // as the platform split the command line, quotes removed
  std::string reminderText;     // markup of the reminder panel; empty unless a reminder is due
  std::string mainProgramPath;  // own folder + "vt9.exe"; formed only for the DEP check / \LIU
  std::vector<std::string> furtherArguments;  // the arguments behind the first, for the viewer
};

}  // namespace vt9
