// The native path of TTaskDialog: the model turned into a TASKDIALOGCONFIG for comctl32's
// TaskDialogIndirect, and its notifications turned into the component's events.
#pragma once

#include <windows.h>
// TASKDIALOGCONFIG needs <windows.h> first.
#include <commctrl.h>

#include <deque>
#include <string>
#include <vector>

#include "dialogs/win/task_dialog.h"

namespace vt9::win {

// What the notification callback keeps between notifications of one run.
struct NativeTaskDialogState {
  TTaskDialog* dialog = nullptr;
  // The bar's position as last set: the native dialog can tell it only by moving the bar.
  int progressPos = 0;
  // An OnDialogTimer or OnDialogProgress handler failed: its error was reported once and the
  // ticks are no longer passed on (the native dialog cannot stop its timer).
  bool timerFailed = false;
};

// The configuration and the UTF-16 texts and button arrays it points into.
struct NativeTaskDialogConfig {
  TASKDIALOGCONFIG config{};
  NativeTaskDialogState state;     // the callback's data
  std::deque<std::wstring> texts;  // a deque keeps earlier texts in place as more are added
  std::vector<TASKDIALOG_BUTTON> buttons;
  std::vector<TASKDIALOG_BUTTON> radios;
  NativeTaskDialogConfig() = default;
  NativeTaskDialogConfig(const NativeTaskDialogConfig&) = delete;
  NativeTaskDialogConfig& operator=(const NativeTaskDialogConfig&) = delete;
};

// ANSI text to UTF-16, cut to kNativeTextLimit units.
std::wstring NativeText(const std::string& text);

// Fills `out` from the dialog's properties; the callback gets `out.state` (which names
// `dialog`) as its data.
void BuildNativeConfig(TTaskDialog& dialog, HWND owner, NativeTaskDialogConfig& out);

// Shows the native dialog and stores RadioResult and VerifyResult. Returns the button id, or
// -1 when `library` or its `entry` cannot be found (or the dialog could not be shown).
int RunNativeTaskDialog(TTaskDialog& dialog, HWND owner, const char* library = "comctl32.dll",
                        const char* entry = "TaskDialogIndirect");

}  // namespace vt9::win
