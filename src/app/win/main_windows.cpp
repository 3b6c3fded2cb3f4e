#include "app/win/main_windows.h"

#include <windows.h>

#include "app/win/error_report.h"
#include "app/win/info_window.h"

namespace vt9::win {

void WinMainWindows::SetApplicationTitle(const std::string& title) { win::SetApplicationTitle(title); }

void WinMainWindows::RunInformationWindow() { win::RunInformationWindow(); }

// The windows below arrive with their own modules; until then these modes end where their
// window would be created.
void WinMainWindows::RunLogViewer(const ProgramState&) {}
void WinMainWindows::RunBackupNow(const ProgramState&) {}

}  // namespace vt9::win
