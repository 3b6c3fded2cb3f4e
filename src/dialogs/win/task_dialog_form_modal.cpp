#include "dialogs/win/task_dialog_form.h"

// The modal run of our own task dialog window: showing it over its owner, the message loop,
// the buttons' clicks and what closes the form, the timer, the clipboard and the window's
// messages.

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "dialogs/task_dialog_screen.h"
#include "dialogs/win/task_dialog_button.h"
#include "dialogs/win/task_dialog_form_parts.h"

namespace vt9::win {

using namespace task_dialog_form;

namespace {

class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~ClipboardSession() {
    if (open_) CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  bool open() const { return open_; }

 private:
  bool open_;
};

}  // namespace

int TTaskDialogForm::ShowModal(HWND owner, int x, int y) {
  RECT wr{};
  GetWindowRect(hwnd_, &wr);
  const int w = wr.right - wr.left;
  const int h = wr.bottom - wr.top;
  if (x < 0 && y < 0) {
    // Centred over the owner, the whole window with its buttons on the owner's screen.
    Rect over = work_;
    RECT r{};
    if (owner && IsWindowVisible(owner) && !IsIconic(owner) && GetWindowRect(owner, &r))
      over = {r.left, r.top, r.right, r.bottom};
    const Rect placed = PlaceTaskDialog({w, h}, over, work_);
    x = placed.left;
    y = placed.top;
  }
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  // The first focus is on the default button (a push button or command link), else on the
  // first button: never on a radio, where taking the focus would choose it.
  HWND first = nullptr;
  const int def = layout_.DefaultButtonIndex();
  for (const PushButton& p : pushButtons_)
    if (static_cast<int>(p.index) == def) first = p.hwnd;
  if (const int link = layout_.DefaultCommandLinkIndex(); !first && link >= 0)
    first = commandLinks_[static_cast<std::size_t>(link)]->hwnd();
  if (!first && !commandLinks_.empty()) first = commandLinks_.front()->hwnd();
  if (!first && !pushButtons_.empty()) first = pushButtons_.front().hwnd;
  if (!first) first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (first) SetFocus(first);

  MSG msg;
  while (!done_ && hwnd_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns it
      break;
    }
    if (got < 0) break;
    if (PreviewKey(msg)) continue;
    if (IsDialogMessageA(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  // The owner is enabled before this window goes, so the activation returns to it.
  if (disableOwner) EnableWindow(owner, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  return modalResult_;
}

void TTaskDialogForm::TryClose(int result) {
  if (events_.OnDialogClose) {
    bool canClose = true;
    events_.OnDialogClose(dialog_, canClose);
    if (!canClose) return;
  }
  modalResult_ = result;
  done_ = true;
  // A click sent from another thread is handled inside GetMessage, which would then go on
  // waiting: a posted message lets the modal loop see that it is done.
  PostMessageA(hwnd_, WM_NULL, 0, 0);
}

void TTaskDialogForm::PushButtonClicked(std::size_t index) {
  const TaskDialogPushButton& b = layout_.pushButtons[index];
  // Only custom buttons report their click; common buttons just close the dialog.
  if (b.customIndex >= 0 && events_.OnDialogButtonClick)
    events_.OnDialogButtonClick(dialog_, kFirstCustomButtonId + b.customIndex);
  TryClose(b.result);
}

void TTaskDialogForm::CommandLinkClicked(std::size_t index) {
  const TaskDialogCommandLink& l = layout_.commandLinks[index];
  if (events_.OnDialogButtonClick)
    events_.OnDialogButtonClick(dialog_, kFirstCustomButtonId + l.customIndex);
  TryClose(l.result);
}

void TTaskDialogForm::OnCommand(int id, int code, HWND control) {
  if (code != BN_CLICKED) return;
  if (id >= kPushButtonId && id < kPushButtonId + static_cast<int>(layout_.pushButtons.size())) {
    PushButtonClicked(static_cast<std::size_t>(id - kPushButtonId));
  } else if (id >= kCommandLinkId &&
             id < kCommandLinkId + static_cast<int>(layout_.commandLinks.size())) {
    CommandLinkClicked(static_cast<std::size_t>(id - kCommandLinkId));
  } else if (id >= kRadioId && id < kRadioId + static_cast<int>(radios_.size())) {
    RadioClicked(static_cast<std::size_t>(id - kRadioId));
  } else if (id == kVerificationId) {
    verifyResult_ = dialog_.VerifyResult = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (events_.OnDialogVerifyClick) events_.OnDialogVerifyClick(dialog_, verifyResult_);
  } else if (id == kExpandButtonId) {
    ToggleExpanded();
  }
}

void TTaskDialogForm::RadioClicked(std::size_t index) {
  // An unchecked radio that gets the focus reports a click too; only a radio that has become
  // checked is a choice.
  if (SendMessageA(radios_[index], BM_GETCHECK, 0, 0) != BST_CHECKED) return;
  if (static_cast<int>(index) == checkedRadio_) return;
  checkedRadio_ = static_cast<int>(index);
  radioResult_ = dialog_.RadioResult = layout_.radios[index].id;
  if (events_.OnDialogRadioClick) events_.OnDialogRadioClick(dialog_, radioResult_);
}

void TTaskDialogForm::StopTimer() {
  if (timerRunning_) KillTimer(hwnd_, kTimerId);
  timerRunning_ = false;
}

void TTaskDialogForm::OnTimer() {
  if (events_.OnDialogTimer) events_.OnDialogTimer(dialog_);
  if (!events_.OnDialogProgress) return;
  int pos = progress_ ? static_cast<int>(SendMessageA(progress_, PBM_GETPOS, 0, 0)) : 0;
  TTaskDialogProgressState state = psNormal;
  events_.OnDialogProgress(dialog_, pos, state);
  // A dialog with a timer but no progress bar has nothing to move.
  if (!progress_) return;
  SendMessageA(progress_, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
  SendMessageA(progress_, PBM_SETSTATE, static_cast<WPARAM>(state) + 1, 0);
}

std::string TTaskDialogForm::ClipboardText() const {
  std::vector<std::string> captions;
  for (const TaskDialogPushButton& b : layout_.pushButtons) captions.push_back(b.caption);
  return TaskDialogClipboardText(layout_.caption, model_.Instruction, captions);
}

void TTaskDialogForm::CopyToClipboard() const {
  ClipboardSession clipboard(hwnd_);
  if (!clipboard.open()) throw std::runtime_error("Cannot open clipboard");
  const std::string text = ClipboardText();
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!memory) return;
  if (void* p = GlobalLock(memory)) {
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_TEXT, memory)) return;  // the clipboard owns it now
  }
  GlobalFree(memory);
}

LRESULT TTaskDialogForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimerId && timerRunning_) {
        try {
          OnTimer();
        } catch (...) {
          // The error is reported once: a running timer would report it again every tick,
          // also while the report is up.
          StopTimer();
          throw;
        }
      }
      return 0;
    case WM_VSCROLL:
      if (scrollBar_ && reinterpret_cast<HWND>(lParam) == scrollBar_) OnVScroll(LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      if (layout_.scrollRange > 0) {
        const int notches = wheel_.Add(GET_WHEEL_DELTA_WPARAM(wParam));
        if (notches) ScrollTo(layout_.scrollPos - notches * 3 * std::max(1, layout_.m.cy));
        return 0;
      }
      break;
    case WM_NEXTDLGCTL:
      if (LOWORD(lParam))
        SetFocus(reinterpret_cast<HWND>(wParam));
      else
        MoveFocus(wParam != 0);
      return 0;
    case WM_LBUTTONDOWN:
      OnMouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == hwnd_ && LOWORD(lParam) == HTCLIENT && OnSetCursor())
        return TRUE;
      break;
    case WM_DRAWITEM:
      if (OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CLOSE:
      // Alt+F4 acts as Esc: only a button with the Esc role closes the dialog.
      if (int c = layout_.CancelButtonIndex(); c >= 0)
        PushButtonClicked(static_cast<std::size_t>(c));
      return 0;
    case WM_DESTROY:
      StopTimer();
      // Destroyed from outside (its owner went away): the modal loop ends with the window.
      done_ = true;
      PostMessageA(nullptr, WM_NULL, 0, 0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

int RunTaskDialogForm(TTaskDialog& dialog, HWND owner, int x, int y) {
  auto form = std::make_unique<TTaskDialogForm>(dialog);
  // The one dialog object can be executed again from a message this run's loop dispatches:
  // each run has its own copy of the texts, its own results, and gives the running form back
  // to the run it interrupted.
  struct RunningReset {
    TTaskDialog& d;
    TTaskDialogForm* form = d.RunningForm();
    HWND window = d.DialogWindow();
    ~RunningReset() {
      d.SetRunningForm(form);
      d.SetDialogWindow(window);
    }
  } reset{dialog};
  if (!form->Build(owner)) return -1;
  dialog.SetRunningForm(form.get());
  dialog.SetDialogWindow(form->hwnd());
  if (dialog.OnDialogCreated) dialog.OnDialogCreated(dialog);
  const int result = form->ShowModal(owner, x, y);
  dialog.RadioResult = form->RadioResult();
  dialog.VerifyResult = form->VerifyResult();
  return result;
}

}  // namespace vt9::win
