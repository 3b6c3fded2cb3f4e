#include "app/win/main_windows.h"

#include <windows.h>

#include "app/win/info_window.h"
#include "backupnow/win/backup_now_window.h"
#include "common/win/error_report.h"
#include "viewer/win/viewer_window.h"

namespace vt9::win {

void WinMainWindows::SetApplicationTitle(const std::string& title) {
  win::SetApplicationTitle(title);
}

void WinMainWindows::RunInformationWindow() { win::RunInformationWindow(); }

void WinMainWindows::RunBackupNow(const ProgramState& state) { win::RunBackupNowWindow(state); }

void WinMainWindows::RunLogViewer(const ProgramState& state) { win::RunLogViewerWindow(state); }

}  // namespace vt9::win
