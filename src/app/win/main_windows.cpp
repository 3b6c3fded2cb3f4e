#include "app/win/main_windows.h"

#include <windows.h>

#include "common/win/error_report.h"
#include "app/win/info_window.h"
#include "backupnow/win/backup_now_window.h"

namespace vt9::win {

void WinMainWindows::SetApplicationTitle(const std::string& title) { win::SetApplicationTitle(title); }

void WinMainWindows::RunInformationWindow() { win::RunInformationWindow(); }

void WinMainWindows::RunBackupNow(const ProgramState& state) { win::RunBackupNowWindow(state); }

// The log viewer arrives with its own module; until then this mode ends where its window
// would be created.
void WinMainWindows::RunLogViewer(const ProgramState&) {}

}  // namespace vt9::win
