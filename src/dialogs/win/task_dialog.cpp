#include "dialogs/win/task_dialog.h"

#include "dialogs/win/task_dialog_form.h"
#include "dialogs/win/task_dialog_native.h"
#include "widgets/win/control_support.h"

namespace vt9::win {

namespace {

DWORD SystemMajorVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(&info)) return 0;
  return info.dwMajorVersion;
}

// The test switch: "1" forces our window, "0" the native dialog; anything else lets the
// versions decide.
char PathSwitch() {
  char value[8] = {};
  const DWORD n = GetEnvironmentVariableA("VT9_TASKDIALOG_OWN_WINDOW", value, sizeof value);
  return n == 1 ? value[0] : 0;
}

}  // namespace

bool TaskDialogUsesOwnWindow() {
  const char forced = PathSwitch();
  if (forced == '1') return true;
  if (forced == '0') return false;
  return SystemMajorVersion() < 6 || CommonControlsMajorVersion() < 6;
}

int TTaskDialog::Execute(HWND owner) {
  // The caller's window is the owner, so it is disabled while the dialog is up. A message the
  // dialog's loop dispatches can still execute this (shared) dialog again: our own window keeps
  // each run's texts, events and results apart.
  if (!owner) owner = GetActiveWindow();
  if (TaskDialogUsesOwnWindow()) return RunTaskDialogForm(*this, owner);
  return RunNativeTaskDialog(*this, owner);
}

}  // namespace vt9::win
