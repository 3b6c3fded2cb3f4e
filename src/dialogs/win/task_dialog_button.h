// TTaskDialogButton: the small owner-drawn button of the task dialog window, used for command
// links (an arrow picture, a heading and description lines) and for the expand control (a
// picture alone). It draws a rounded border in BorderColorHot while the mouse is over it and in
// BorderColorDown while pressed, and reports a click to its parent as WM_COMMAND / BN_CLICKED
// with its control id. It takes the keyboard focus (Tab) and Space clicks it.
#pragma once

#include <windows.h>

#include <string>

#include "common/win/handles.h"
#include "common/win/window_base.h"
#include "platform/canvas.h"

namespace vt9::win {

inline constexpr char kTaskDialogButtonClass[] = "TTaskDialogButton";

class TTaskDialogButton : public WindowBase<TTaskDialogButton> {
 public:
  explicit TTaskDialogButton(HWND hwnd) : WindowBase(hwnd) {}

  static bool Register();
  // A visible child at `rect` with the given id and text (empty for a picture-only button).
  static TTaskDialogButton* Create(HWND parent, int id, const RECT& rect, const std::string& text);

  Color BorderColor = kColorNone;  // stored, not drawn
  Color BorderColorHot = kColorNone;
  Color BorderColorDown = kColorNone;
  int ModalResult = 0;
  HFONT HeadingFont = nullptr;  // owned by the form
  HFONT Font = nullptr;         // description lines; owned by the form
  COLORREF TextColor = RGB(0, 0, 0);
  // What screen readers call the button; empty: the heading of its text.
  std::string AccessibleName;

  // Loads the named bitmaps of the program's resources (missing ones stay empty).
  void SetPictures(const char* normal, const char* hot, const char* down);
  const std::string& Text() const { return text_; }
  bool Hot() const { return hot_; }
  bool Pressed() const { return pressed_; }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Paint(HDC dc);
  void DrawPicture(HDC dc, HBITMAP bitmap, int x, int y) const;
  void Click();
  // The mouse button or Space goes up: the button is drawn raised again, and clicks when
  // `click` says the release counts (over the button) and it was pressed.
  void Release(bool click);
  void SetHot(bool hot);

  std::string text_;
  GdiObject picture_, pictureHot_, pictureDown_, pictureDisabled_;
  bool hot_ = false;
  bool pressed_ = false;
  bool spaceDown_ = false;
};

}  // namespace vt9::win
