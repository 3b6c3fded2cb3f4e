#include "dialogs/win/task_dialog_button.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "common/win/window_accessible.h"
#include "common/win/window_class.h"
#include "dialogs/task_dialog_layout.h"
#include "widgets/win/control_support.h"

namespace vt9::win {

namespace {

// Transparent parts of the pictures are drawn in this key colour.
constexpr COLORREF kPictureKey = RGB(255, 0, 255);

HBITMAP LoadNamedBitmap(const char* name) {
  if (!name) return nullptr;
  return static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

int TextHeight(HDC dc, HFONT font, const char* text) {
  HGDIOBJ old = SelectObject(dc, font);
  SIZE s{};
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &s);
  SelectObject(dc, old);
  return s.cy;
}

}  // namespace

bool TTaskDialogButton::Register() {
  static const bool registered =
      RegisterWindowClass(kTaskDialogButtonClass, WindowProc, {CS_HREDRAW | CS_VREDRAW});
  return registered;
}

TTaskDialogButton* TTaskDialogButton::Create(HWND parent, int id, const RECT& r,
                                             const std::string& text) {
  if (!Register()) return nullptr;
  HWND hwnd =
      CreateWindowExA(0, kTaskDialogButtonClass, text.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                      r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                      reinterpret_cast<HMENU>(INT_PTR{id}), GetModuleHandleA(nullptr), nullptr);
  TTaskDialogButton* button = hwnd ? FromWindow(hwnd) : nullptr;
  if (button) button->text_ = text;
  return button;
}

void TTaskDialogButton::SetPictures(const char* normal, const char* hot, const char* down) {
  picture_.Reset(LoadNamedBitmap(normal));
  pictureHot_.Reset(LoadNamedBitmap(hot));
  pictureDown_.Reset(LoadNamedBitmap(down));
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TTaskDialogButton::Click() {
  HWND parent = GetParent(hwnd_);
  const int id = GetDlgCtrlID(hwnd_);
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd_));
}

void TTaskDialogButton::SetHot(bool hot) {
  if (hot_ == hot) return;
  hot_ = hot;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void TTaskDialogButton::DrawPicture(HDC dc, HBITMAP bitmap, int x, int y) const {
  const SIZE s = BitmapSize(bitmap);
  HDC mem = CreateCompatibleDC(dc);
  if (!mem) return;
  HGDIOBJ old = SelectObject(mem, bitmap);
  TransparentBlt(dc, x, y, s.cx, s.cy, mem, 0, 0, s.cx, s.cy, kPictureKey);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void TTaskDialogButton::Paint(HDC target) {
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  PaintBuffer buffer(target, rc.right, rc.bottom);
  HDC dc = buffer.dc();
  // The parent's background shows through: command links sit on white, the expand button in
  // the grey band.
  HBRUSH back = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(hwnd_), WM_CTLCOLORBTN,
                                                      reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(hwnd_)));
  FillRect(dc, &rc, back ? back : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

  const bool enabled = IsWindowEnabled(hwnd_) != FALSE;
  HBITMAP picture = static_cast<HBITMAP>(picture_.get());
  if (pressed_ && pictureDown_)
    picture = static_cast<HBITMAP>(pictureDown_.get());
  else if (hot_ && pictureHot_)
    picture = static_cast<HBITMAP>(pictureHot_.get());
  if (!enabled && pictureDisabled_) picture = static_cast<HBITMAP>(pictureDisabled_.get());
  const SIZE ps = BitmapSize(picture);
  const int px = text_.empty() ? (rc.right - ps.cx) / 2 : 4;
  if (picture) DrawPicture(dc, picture, px, (rc.bottom - ps.cy) / 2);

  if (!text_.empty()) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? TextColor : GetSysColor(COLOR_GRAYTEXT));
    const int left = px + ps.cx + 3;
    const std::vector<std::string> lines = SplitCommandLinkText(text_);
    HGDIOBJ oldFont = SelectObject(dc, HeadingFont);
    // A line wider than the button wraps (the dialog is never wider than the screen).
    const int width = std::max(1L, rc.right - left);
    auto heightOf = [&](HFONT font, const std::string& line) {
      SelectObject(dc, font);
      RECT r{0, 0, width, 0};
      DrawTextA(dc, line.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
      return static_cast<int>(r.bottom);
    };
    if (lines.size() == 1) {
      const int h = heightOf(HeadingFont, text_);
      const int top = std::max(0, (static_cast<int>(rc.bottom) - h) / 2);
      RECT r{left, top, rc.right, rc.bottom};
      DrawTextA(dc, text_.c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX);
    } else {
      const int gh = TextHeight(dc, HeadingFont, "gh");
      const int dgh = TextHeight(dc, Font, "gh");
      std::vector<int> heights;
      int measured = 10;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        heights.push_back(heightOf(i == 0 ? HeadingFont : Font, lines[i]));
        measured += heights.back() + (i == 0 ? 0 : 2);
      }
      int y = std::max(0, (static_cast<int>(rc.bottom) - measured) / 2 + 2);
      for (std::size_t i = 0; i < lines.size(); ++i) {
        SelectObject(dc, i == 0 ? HeadingFont : Font);
        RECT r{left, y, rc.right, rc.bottom};
        DrawTextA(dc, lines[i].c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX);
        y += i == 0 ? std::max(gh, heights[i]) + 4 : std::max(dgh, heights[i]) + 2;
      }
    }
    SelectObject(dc, oldFont);
  }

  Color border = kColorNone;
  if (enabled) border = pressed_ ? BorderColorDown : hot_ ? BorderColorHot : kColorNone;
  if (border != kColorNone) {
    HPEN pen = CreatePen(PS_SOLID, 1, ToColorRef(border));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, 0, 0, rc.right, rc.bottom, 2, 2);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  if (GetFocus() == hwnd_) {
    RECT f{2, 2, rc.right - 2, rc.bottom - 2};
    DrawFocusRect(dc, &f);
  }
}

void TTaskDialogButton::Release(bool click) {
  const bool wasPressed = pressed_;
  pressed_ = false;
  InvalidateRect(hwnd_, nullptr, FALSE);
  if (wasPressed && click) Click();
}

LRESULT TTaskDialogButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE: {
      if (!hot_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        TrackMouseEvent(&tme);
      }
      SetHot(true);
      return 0;
    }
    case WM_MOUSELEAVE:
      SetHot(false);
      return 0;
    case WM_LBUTTONDOWN:
      pressed_ = true;
      SetCapture(hwnd_);
      SetFocus(hwnd_);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP: {
      if (GetCapture() == hwnd_) ReleaseCapture();
      RECT rc{};
      GetClientRect(hwnd_, &rc);
      const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      Release(PtInRect(&rc, pt) != FALSE);
      return 0;
    }
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      Release(false);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        spaceDown_ = pressed_ = true;
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wParam == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        Release(true);
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_BUTTON;
    case BM_CLICK:
      Click();
      return 0;
    case WM_GETOBJECT:
      if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
        // A push button; a command link is named by its heading, the first line of its text,
        // and described by the lines below it.
        const std::vector<std::string> lines = SplitCommandLinkText(text_);
        const std::string name = !AccessibleName.empty() ? AccessibleName : lines.front();
        std::string description;
        for (std::size_t i = 1; i < lines.size(); ++i)
          description += (description.empty() ? "" : " ") + lines[i];
        if (LRESULT answer = AnswerPushButtonAccessibility(hwnd_, wParam, name, description))
          return answer;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace vt9::win
