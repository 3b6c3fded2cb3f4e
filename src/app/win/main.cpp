// Entry of VT9Now.exe: builds the special-folder lists, then lets the start-up decision
// choose this run's single use. An error nobody caught ends the run with the standard report.
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "app/startup.h"
#include "app/win/main_windows.h"
#include "app/win/system_services.h"
#include "common/win/error_report.h"
#include "common/win/module_path.h"
#include "common/win/shell_folders.h"
#include "common/win/win_registry.h"

namespace {

// The C runtime splits the command line by the platform's rules and removes the quotes.
std::string FirstArgument() { return __argc > 1 ? std::string(__argv[1]) : std::string(); }

std::vector<std::string> FurtherArguments() {
  std::vector<std::string> arguments;
  for (int i = 2; i < __argc; ++i) arguments.emplace_back(__argv[i]);
  return arguments;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return vt9::win::RunEntry([] {
    vt9::win::BuildSpecialFolderLists();
    vt9::win::WinRegistry registry;
    vt9::win::WinClock clock;
    vt9::win::WinInstanceGuard guard;
    vt9::win::WinStringTable strings;
    vt9::win::WinOsInfo os;
    vt9::win::WinLauncher launcher;
    vt9::win::WinMainWindows windows;
    vt9::StartupServices services{registry, clock, guard, strings, os, launcher, windows};
    vt9::ProgramState state;
    state.furtherArguments = FurtherArguments();
    vt9::RunStartup(FirstArgument(), vt9::win::OwnFolder(), services, state);
  });
}
