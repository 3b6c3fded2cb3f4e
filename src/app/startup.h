// The start-up decision: which one of the tool's uses this run is.
#pragma once

#include <string>

#include "app/reminder.h"
#include "common/program_state.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace vt9 {

inline constexpr const char* kTitleInformation = "Vantory 9";
inline constexpr const char* kTitleViewer = "Vantory 9 - Viewer";
inline constexpr const char* kTitleRunNow = "Vantory 9 - Run Now";
inline constexpr unsigned short kShowNormal = 1;  // SW_SHOWNORMAL

// The main windows, each shown as the application's only main window; every call returns
// when that window has closed.
class MainWindows {
 public:
  virtual ~MainWindows() = default;
  virtual void SetApplicationTitle(const std::string& title) = 0;
  virtual void RunInformationWindow() = 0;  // switched to its DEP text
  virtual void RunLogViewer(const ProgramState& state) = 0;
  virtual void RunBackupNow(const ProgramState& state) = 0;
};

struct StartupServices {
  Registry& registry;
  Clock& clock;
  InstanceGuard& guard;
  StringTable& strings;
  OsInfo& os;
  ProgramLauncher& launcher;
  MainWindows& windows;
};

// Runs the fixed decision order for the first argument; exeFolder ends in "\".
void RunStartup(const std::string& firstArgument, const std::string& exeFolder,
                StartupServices& services, ProgramState& state);

}  // namespace vt9
