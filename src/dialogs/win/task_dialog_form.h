// TTaskDialogForm: our own task dialog window, used where the system has no native task dialog
// (or when VT9_TASKDIALOG_OWN_WINDOW=1). It lays the model out with the portable two-pass
// layout (dialogs/task_dialog_layout.h), creates standard controls for the instruction, push
// buttons, radio buttons, verification box, details and progress bar and TTaskDialogButtons for
// command links and the expand control, paints the band, content and footer itself, and runs
// modally over its owner.
//
// Keys: Enter presses the focused push button or command link, else the default button; Esc
// presses the Esc button and does nothing where no button has that role; Ctrl+C copies the
// dialog's text; Tab, arrows, Space and mnemonics work as in any dialog.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/win/handles.h"
#include "common/win/window_base.h"
#include "dialogs/task_dialog_layout.h"
#include "dialogs/task_dialog_screen.h"
#include "dialogs/win/task_dialog.h"

namespace vt9::win {

class TTaskDialogButton;

inline constexpr char kTaskDialogFormClass[] = "TTaskDialogForm";

// Builds the form for `dialog`, shows it modally over `owner` (disabled meanwhile) and returns
// its modal result. x, y: a screen position for the window, -1 for centred over the owner.
int RunTaskDialogForm(TTaskDialog& dialog, HWND owner, int x = -1, int y = -1);

class TTaskDialogForm : public WindowBase<TTaskDialogForm, FormOwner::Caller> {
 public:
  explicit TTaskDialogForm(TTaskDialog& dialog);
  ~TTaskDialogForm();

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Creates the window and its controls (hidden) over `owner`.
  bool Build(HWND owner);
  // Shows the window and runs its messages until a button closes it; the modal result.
  int ShowModal(HWND owner, int x, int y);

  const TaskDialogLayout& Layout() const { return layout_; }
  // This run's results (the dialog object's may be another run's by the time this one ends).
  int RadioResult() const { return radioResult_; }
  bool VerifyResult() const { return verifyResult_; }
  // The text Ctrl+C copies.
  std::string ClipboardText() const;
  // Copies ClipboardText to the clipboard; throws "Cannot open clipboard" when it is held.
  void CopyToClipboard() const;

 private:
  struct PushButton {
    HWND hwnd = nullptr;
    std::size_t index = 0;  // into layout_.pushButtons
  };

  void CreateFonts();
  void CreateControls();
  void PlaceControls();
  void ToggleExpanded();
  // A button (by its result) asks to close the form; OnDialogClose may refuse.
  void TryClose(int result);
  void PushButtonClicked(std::size_t index);
  void CommandLinkClicked(std::size_t index);
  void OnCommand(int id, int code, HWND control);
  void OnTimer();
  void StopTimer();
  // Scrolls the part above the buttons (when it is taller than the screen allows).
  void ScrollTo(int pos);
  void OnVScroll(int code);
  void RadioClicked(std::size_t index);
  // Tab and Shift+Tab: the next tab stop, entering a radio group at its checked radio.
  void MoveFocus(bool backwards);
  // The arrow keys on a radio: the next (or previous) radio of the group gets the focus and is
  // chosen; false when the focus is not on a radio.
  bool MoveInRadioGroup(int step);
  int RadioIndexOf(HWND control) const;
  // Where a radio or command link is (they scroll); empty for other controls.
  Rect ScrolledRectOf(HWND control) const;
  // Scrolls a radio or command link into view.
  void EnsureShown(HWND control);
  void OnPaint();
  // Paints the whole client area on `dc` (the form's own painting, and the text windows that
  // stand over its painted texts, each showing its part of it).
  void PaintClient(HDC dc);
  // WM_DRAWITEM of the owner-drawn text windows; false for other windows.
  bool OnDrawItem(const DRAWITEMSTRUCT* item);
  // Where a text window's lines are drawn, in its own coordinates, for the text's place in the
  // layout.
  RECT LinesRect(HWND window, const Rect& placed) const;
  // WM_CTLCOLORSTATIC and WM_CTLCOLORBTN: white, or the band's grey for controls in the band.
  LRESULT OnCtlColor(HDC dc, HWND control);
  void OnMouseDown(int x, int y);
  bool OnSetCursor();
  std::string LinkAt(int x, int y);
  // Key preview: Enter, Esc and Ctrl+C before the dialog manager sees them.
  bool PreviewKey(const MSG& msg);
  int PushIndexOf(HWND control) const;

  TTaskDialog& dialog_;
  // The texts and settings as they were when this run began: the caller may fill the dialog
  // object for another message while this one is up.
  TaskDialogModel model_;
  // ... and its event handlers, for the same reason.
  struct Events {
    TTaskDialog::TTaskDialogCloseEvent OnDialogClose;
    TTaskDialog::TTaskDialogButtonClickEvent OnDialogButtonClick;
    TTaskDialog::TTaskDialogButtonClickEvent OnDialogRadioClick;
    TTaskDialog::TTaskDialogHyperlinkClickEvent OnDialogHyperlinkClick;
    TTaskDialog::TNotifyEvent OnDialogTimer;
    TTaskDialog::TTaskDialogVerifyClickEvent OnDialogVerifyClick;
    TTaskDialog::TTaskDialogProgressEvent OnDialogProgress;
  } events_;
  TaskDialogLayout layout_;
  Rect work_;  // the owner's screen's work area
  WheelSteps wheel_;
  int radioResult_ = 0;
  bool verifyResult_ = false;
  HWND owner_ = nullptr;
  bool done_ = false;
  int modalResult_ = 0;
  GdiObject formFont_, instructionFont_, headingFont_, descriptionFont_, radioFont_;
  HWND instruction_ = nullptr;
  // Windows over the painted content and footer: what screen readers read of them.
  HWND content_ = nullptr;
  HWND footer_ = nullptr;
  HWND scrollBar_ = nullptr;
  int checkedRadio_ = -1;  // the radio shown checked; -1 none
  HWND expandLabel_ = nullptr;
  TTaskDialogButton* expandButton_ = nullptr;
  HWND verification_ = nullptr;
  HWND progress_ = nullptr;
  std::vector<PushButton> pushButtons_;
  std::vector<TTaskDialogButton*> commandLinks_;
  std::vector<HWND> radios_;
  GdiObject shield_;
  GdiObject bandBrush_;
  bool timerRunning_ = false;
  bool overLink_ = false;
};

}  // namespace vt9::win
