// Drives a task dialog from a second thread while the test thread runs it modally through
// TTaskDialog::Execute: finds the dialog (native "#32770" or our "TTaskDialogForm"), clicks its
// controls, posts keys and reads their state. Works the same on both paths.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "dialogs/win/task_dialog.h"

namespace vt9::test {

// Chooses the path for the dialogs this test program shows: our window or the native dialog.
void UseOwnTaskDialogWindow(bool own);

// Runs d.Execute(owner) here while `script` runs on another thread with the dialog's window.
// When the script leaves the dialog open for `closeTimeoutMs`, the test fails and the dialog
// is ended with WM_QUIT.
int RunDialog(win::TTaskDialog& d, const std::function<void(HWND dialog)>& script,
              HWND owner = nullptr, int closeTimeoutMs = 15000);

// A visible top-level window of the thread with the class #32770 or TTaskDialogForm that is
// not `except`; nullptr when none appears within timeoutMs.
HWND WaitForTaskDialog(DWORD thread, int timeoutMs = 10000, HWND except = nullptr);
DWORD DialogThread();  // the thread RunDialog runs the dialog on

// The child whose text, without "&", equals `text`; nullptr when none.
HWND FindChildByText(HWND parent, const std::string& text);
// The first child of a window class (compared ignoring case), nullptr when none.
HWND FindChildByClass(HWND parent, const std::string& cls);
// Clicks a button as the mouse would (BM_CLICK), waiting at most 5 s for the dialog's thread.
void Click(HWND control);
// Clicks the child with that text; fails the test when there is none.
void ClickText(HWND dialog, const std::string& text);
// Posts a key press to the focused control of the dialog's thread.
void PostKey(WORD vk);
// Whether the window is still visible after waiting `ms`.
bool StillOpenAfter(HWND window, int ms);
// The text of a window.
std::string TextOf(HWND window);

}  // namespace vt9::test
