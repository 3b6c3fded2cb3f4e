// task-dialog-demo: shows the log viewer's three task dialogs (save warning, save error, not
// found) and one dialog with every feature, one after the other, and prints what each returned.
//   task-dialog-demo.exe [/own | /native] [/only NAME] [/close-after MS]
// /own shows our own window, /native the native dialog (by default the versions decide); /only
// shows one of save-warning, save-error, not-found, everything; /close-after ends each dialog after
// MS milliseconds (for unattended runs).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "dialogs/win/task_dialog.h"
#include "task-dialog-demo/sample_dialogs.h"
#include "widgets/win/control_support.h"

namespace {

using vt9::win::TTaskDialog;

int g_closeAfterMs = 0;

int Show(TTaskDialog& d, const char* name) {
  std::thread closer;
  if (g_closeAfterMs > 0) {
    const DWORD thread = GetCurrentThreadId();
    closer = std::thread([thread] {
      Sleep(static_cast<DWORD>(g_closeAfterMs));
      PostThreadMessageA(thread, WM_QUIT, 0, 0);
    });
  }
  const int result = d.Execute();
  if (closer.joinable()) closer.join();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  std::printf("%s: result %d, radio %d, verify %d\n", name, result, d.RadioResult,
              d.VerifyResult ? 1 : 0);
  std::fflush(stdout);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  std::string only;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "/own") == 0)
      SetEnvironmentVariableA("VT9_TASKDIALOG_OWN_WINDOW", "1");
    if (std::strcmp(argv[i], "/native") == 0)
      SetEnvironmentVariableA("VT9_TASKDIALOG_OWN_WINDOW", "0");
    if (std::strcmp(argv[i], "/only") == 0 && i + 1 < argc) only = argv[++i];
    if (std::strcmp(argv[i], "/close-after") == 0 && i + 1 < argc)
      g_closeAfterMs = std::atoi(argv[++i]);
  }
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExA(&version);
  std::printf("path: %s (system %lu, common controls %d)\n",
              vt9::win::TaskDialogUsesOwnWindow() ? "own window" : "native", version.dwMajorVersion,
              vt9::win::CommonControlsMajorVersion());
  TTaskDialog d;
  d.OnDialogProgress = [](TTaskDialog&, int& pos, vt9::TTaskDialogProgressState&) {
    pos = (pos + 2) % 101;
  };
  if (only.empty() || only == "save-warning") {
    vt9::samples::SaveWarning(d);
    Show(d, "save-warning");
  }
  if (only.empty() || only == "save-error") {
    vt9::samples::SaveError(d, "C:\\Logs\\Backup 2026-12-08.log");
    Show(d, "save-error");
  }
  if (only.empty() || only == "not-found") {
    vt9::samples::NotFound(d, "Backup 2026-12-08.log", "error");
    Show(d, "not-found");
  }
  if (only == "huge") {  // not in the default run: 100 KB texts
    d.Clear();
    d.Title = "Huge";
    d.Instruction = std::string(100000, 'I');
    for (int i = 0; i < 10000; ++i) d.Content += "content ";
    d.CommonButtons = {vt9::cbOK};
    Show(d, "huge");
  }
  if (only.empty() || only == "everything") {
    vt9::samples::Everything(d);
    Show(d, "everything");
  }
  return 0;
}
