// The find dialog (TfFind): a small always-on-top window with the search text, "Whole Words
// Only", "Match Case", "Next" and "Cancel". It does not search itself: "Next" sends a find
// request (viewer/find_request.h) to its target window with WM_COPYDATA and waits, with "Next"
// disabled, until the target has answered.
#pragma once

#include <windows.h>

#include <string>

#include "common/win/handles.h"
#include "common/win/window_base.h"

namespace vt9::win {

inline constexpr char kFindWindowClass[] = "TfFind";

namespace find_id {
enum : int { Label1 = 100, txtFindWhat, chkWhole, chkCase, btnOK, btnCancel };
}

class TfFind : public WindowBase<TfFind, FormOwner::Caller> {
 public:
  TfFind() = default;
  ~TfFind();
  TfFind(const TfFind&) = delete;
  TfFind& operator=(const TfFind&) = delete;

  // Creates the hidden dialog, owned by `owner`; false when the window could not be made.
  bool Create(HWND owner);

  void SetTargetWnd(HWND target) { FTargetWnd = target; }
  void SetColor(COLORREF color);
  void SetAnchorLeft(int left) { FAnchorLeft = left; }
  void SetAnchorTop(int top) { FAnchorTop = top; }

  // Shows the dialog without making it modal, placing it on its first showing only.
  void Show();
  void Hide();

  // The dialog's keys, seen before its controls: Enter is "Next", Esc is "Cancel"; Tab and
  // the other dialog keys move between its controls. True when the message was used.
  bool PreTranslate(MSG& msg);

 private:
  friend class WindowBase<TfFind, FormOwner::Caller>;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void FormShow();
  void btnOKClick();
  void btnCancelClick();

  void CreateControls();
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  int Scale(int v) const { return MulDiv(v, dpi_, 96); }
  void PaintEditFrame(HDC dc);

  int FAnchorLeft = 0;
  int FAnchorTop = 0;
  bool FPlaced = false;
  HWND FTargetWnd = nullptr;

  int dpi_ = 96;
  COLORREF color_ = RGB(255, 255, 255);
  GdiObject font_;
  GdiObject brush_;
};

}  // namespace vt9::win
