// TTaskDialog: a rich message box. The caller fills the properties (TaskDialogModel), assigns the
// events it needs, calls Execute and reads which button closed it, RadioResult and VerifyResult.
//
// Where the system has the native task dialog (system major version 6 or later and common
// controls 6 or later) the model is handed to TaskDialogIndirect; elsewhere our own window
// (task_dialog_form.h) imitates it. Deliberate differences of our window: cbClose is "&Abort"
// with id 3 (natively Close, 8); it opens "://" and "mailto:" links itself (natively only the
// event fires); OnDialogButtonClick fires only for custom buttons and command links.
//
// The environment variable VT9_TASKDIALOG_OWN_WINDOW overrides the version check: "1" takes our
// own window, "0" the native dialog. Only the tests and the demo set it, to run both paths under
// Wine (whose comctl32 6 calls itself 5.81, so by the versions Wine always gets our window).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "dialogs/task_dialog_model.h"

namespace vt9::win {

class TTaskDialogForm;

class TTaskDialog : public TaskDialogModel {
 public:
  using TNotifyEvent = std::function<void(TTaskDialog& Sender)>;
  using TTaskDialogCloseEvent = std::function<void(TTaskDialog& Sender, bool& CanClose)>;
  using TTaskDialogButtonClickEvent = std::function<void(TTaskDialog& Sender, int ButtonID)>;
  using TTaskDialogHyperlinkClickEvent =
      std::function<void(TTaskDialog& Sender, const std::string& HRef)>;
  using TTaskDialogVerifyClickEvent = std::function<void(TTaskDialog& Sender, bool Checked)>;
  using TTaskDialogProgressEvent =
      std::function<void(TTaskDialog& Sender, int& Pos, TTaskDialogProgressState& State)>;

  TNotifyEvent OnDialogCreated;
  TTaskDialogCloseEvent OnDialogClose;
  TTaskDialogButtonClickEvent OnDialogButtonClick;
  TTaskDialogButtonClickEvent OnDialogRadioClick;
  TTaskDialogHyperlinkClickEvent OnDialogHyperlinkClick;
  TNotifyEvent OnDialogTimer;
  TTaskDialogVerifyClickEvent OnDialogVerifyClick;
  TTaskDialogProgressEvent OnDialogProgress;

  // Id of the radio button chosen when the dialog closed (200 + i; 0 none).
  int RadioResult = 0;
  // Whether the verification box was ticked when the dialog closed.
  bool VerifyResult = false;

  // Shows the dialog modally over `owner` (nullptr: the calling thread's active window, which
  // is disabled while the dialog is up) and returns the id of the button that closed it: common
  // button ids, 100 + i for custom buttons; -1 when the native dialog should be used but
  // comctl32 or its TaskDialogIndirect is missing.
  int Execute(HWND owner = nullptr);

  // The dialog's window while Execute runs (native or ours), else nullptr.
  HWND DialogWindow() const { return dialogWindow_; }

  // Used by the two paths while they run.
  void SetDialogWindow(HWND window) { dialogWindow_ = window; }
  TTaskDialogForm* RunningForm() const { return runningForm_; }
  void SetRunningForm(TTaskDialogForm* form) { runningForm_ = form; }

 private:
  HWND dialogWindow_ = nullptr;
  TTaskDialogForm* runningForm_ = nullptr;
};

// The path choice: true when Execute shows our own window (system or common controls older
// than 6, or VT9_TASKDIALOG_OWN_WINDOW=1; never with VT9_TASKDIALOG_OWN_WINDOW=0).
bool TaskDialogUsesOwnWindow();

}  // namespace vt9::win
