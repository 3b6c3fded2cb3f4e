#include "widgets/win/markup_check_box.h"

#include <windowsx.h>

#include <algorithm>
#include <map>
#include <memory>

#include "common/win/error_report.h"
#include "common/win/handles.h"
#include "common/win/window_base.h"
#include "common/win/window_class.h"
#include "markup/render.h"
#include "markup/win/gdi_canvas.h"
#include "widgets/caption_text.h"
#include "widgets/check_box_state.h"
#include "widgets/win/check_box_accessible.h"
#include "widgets/win/control_support.h"

namespace vt9::win {
namespace {

constexpr COLORREF kBitmapKey = RGB(255, 0, 255);
constexpr int kThemeButtonCheckBoxPart = 3;

RECT ToRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

class MarkupCheckBox : public WindowBase<MarkupCheckBox> {
 public:
  explicit MarkupCheckBox(HWND hwnd) : WindowBase(hwnd) {}
  ~MarkupCheckBox() { CloseTheme(); }

  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  MarkupCheckBoxStyle style;
  MarkupCheckBoxEvents events;
  CheckBoxState state;
  std::string caption;
  MarkupPictures pictures;

  void SetCaption(const std::string& markup) {
    caption = markup;
    const std::string plain = MarkupToWindowText(markup);
    DefWindowProcA(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(plain.c_str()));
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
  void SetState(CheckState s) {
    if (state.SetState(s)) InvalidateMarkStrip();
  }

 private:
  void Paint(HDC target);
  void PaintBackground(HDC dc, int w, int h, COLORREF& textColor);
  void PaintMark(HDC dc, MarkLook look, int w, int h, int dpi);
  void PaintRaised(HDC dc, const RECT& r, int dpi);
  bool PaintBitmap(HDC dc, const std::string& name, MarkLook look, int w, int h, int dpi);
  void PaintCaption(HDC dc, MarkLook look, int w, int h, int dpi, COLORREF textColor);
  MarkLook CurrentLook() const;
  std::string LinkAt(int x, int y);
  void Apply(const CheckBoxEffects& fx);
  void Notify();
  void InvalidateMarkStrip();
  void OpenTheme();
  void CloseTheme() {
    ThemeLibrary::Instance().Close(theme_);
    theme_ = nullptr;
  }
  HBITMAP Bitmap(const std::string& name);
  bool Inside(int x, int y, bool inclusive) const;
  void Accelerate();

  HFONT font_ = nullptr;
  HANDLE theme_ = nullptr;
  bool themeOpened_ = false;
  MarkupLinkReactions reactions_;
  std::map<std::string, GdiObject> bitmaps_;
};

MarkupCheckBox* FromWindow(HWND hwnd) { return MarkupCheckBox::FromWindow(hwnd); }

MarkLook MarkupCheckBox::CurrentLook() const {
  PlatformLook platform;
  platform.xpOrLater = IsXpOrLater();
  platform.themeActive = ThemeLibrary::Instance().IsThemeActive();
  platform.comctlMajor = CommonControlsMajorVersion();
  MarkLook look = EffectiveLook(style.buttonType, platform);
  // The theme may be active and still refuse this window (no "button" class data).
  if (look == MarkLook::Themed && !theme_) look = MarkLook::XpBitmap;
  return look;
}

void MarkupCheckBox::OpenTheme() {
  if (themeOpened_) return;
  themeOpened_ = true;
  theme_ = ThemeLibrary::Instance().Open(hwnd_, L"button");
}

HBITMAP MarkupCheckBox::Bitmap(const std::string& name) {
  auto it = bitmaps_.find(name);
  if (it == bitmaps_.end()) {
    HANDLE image = LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0,
                              LR_CREATEDIBSECTION);
    it = bitmaps_.emplace(name, GdiObject(image)).first;
  }
  return static_cast<HBITMAP>(it->second.get());
}

bool MarkupCheckBox::Inside(int x, int y, bool inclusive) const {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  if (inclusive) return x >= 0 && y >= 0 && x <= rc.right && y <= rc.bottom;
  return x >= 0 && y >= 0 && x < rc.right && y < rc.bottom;
}

void MarkupCheckBox::InvalidateMarkStrip() {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const RECT strip = ToRect(MarkStrip(style.alignment, rc.right, rc.bottom, WindowDpi(hwnd_)));
  InvalidateRect(hwnd_, &strip, FALSE);
}

void MarkupCheckBox::Notify() {
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
  SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), BN_CLICKED),
               reinterpret_cast<LPARAM>(hwnd_));
}

void MarkupCheckBox::Apply(const CheckBoxEffects& fx) {
  if (fx.takeFocus && GetFocus() != hwnd_) SetFocus(hwnd_);
  if (fx.capture) SetCapture(hwnd_);
  if (fx.releaseCapture && GetCapture() == hwnd_) ReleaseCapture();
  MarkupLinkReactions::Clicked(hwnd_, events, fx.openTarget, fx.anchorClicked);
  if (!fx.anchorExited.empty()) MarkupLinkReactions::Exited(events, fx.anchorExited);
  if (!fx.anchorEntered.empty()) MarkupLinkReactions::Entered(events, fx.anchorEntered);
  if (fx.repaint) InvalidateRect(hwnd_, nullptr, FALSE);
  if (fx.clicked) Notify();
}

std::string MarkupCheckBox::LinkAt(int x, int y) {
  if (caption.find('<') == std::string::npos) return {};  // no tags: no links
  RECT rc;
  GetClientRect(hwnd_, &rc);
  std::string target;
  WithWindowCanvas(hwnd_, [&](Canvas& canvas) {
    canvas.SetFont(FontSpecFromHandle(font_ ? font_ : DefaultControlFont(), 0));
    MarkupParams params;
    const int dpi = WindowDpi(hwnd_);
    params.bounds = CaptionRect(CurrentLook(), style.alignment, rc.right, rc.bottom, dpi);
    params.mouseX = x;
    params.mouseY = y;
    params.hitTestOnly = true;
    params.wordWrap = !style.ellipsis;
    params.urlColor = style.urlColor;
    params.shadowColor = style.shadowColor;
    params.shadowOffset = style.shadowOffset;
    pictures.Fill(params);
    const MarkupResult result = RenderMarkup(canvas, caption, params);
    pictures.Collect(hwnd_, result);
    if (result.overLink) target = result.anchorUnderMouse;
  });
  return target;
}

void MarkupCheckBox::PaintBackground(HDC dc, int w, int h, COLORREF& textColor) {
  RECT rc{0, 0, w, h};
  textColor = GetSysColor(COLOR_BTNTEXT);
  HWND parent = GetParent(hwnd_);
  if (style.transparent && parent) {
    // The parent paints itself into our surface, shifted so its coordinates line up.
    RECT mine;
    GetWindowRect(hwnd_, &mine);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&mine), 2);
    RECT parentClient;
    GetClientRect(parent, &parentClient);
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, -mine.left, -mine.top, nullptr);
    IntersectClipRect(dc, parentClient.left, parentClient.top, parentClient.right,
                      parentClient.bottom);
    SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    RestoreDC(dc, saved);
  } else if (style.color != kColorNone && !IsHighContrast()) {
    HBRUSH brush = CreateSolidBrush(ToColorRef(style.color));
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
  } else {
    // As a standard check box: the parent chooses the brush and text colour.
    HBRUSH brush = parent ? reinterpret_cast<HBRUSH>(SendMessageA(parent, WM_CTLCOLORSTATIC,
                                                                  reinterpret_cast<WPARAM>(dc),
                                                                  reinterpret_cast<LPARAM>(hwnd_)))
                          : nullptr;
    if (brush) {
      textColor = GetTextColor(dc);
    } else {
      brush = GetSysColorBrush(COLOR_BTNFACE);
    }
    FillRect(dc, &rc, brush);
  }
  if (style.fontColor != kColorNone && !IsHighContrast()) textColor = ToColorRef(style.fontColor);
}

void MarkupCheckBox::PaintRaised(HDC dc, const RECT& r, int dpi) {
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  FillRect(dc, &r, face);
  const bool enabled = IsWindowEnabled(hwnd_);
  if (state.Down()) {
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RECT frame = r;
    for (int i = 0; i < 2; ++i) {
      FrameRect(dc, &frame, black);
      InflateRect(&frame, -1, -1);
    }
  } else {
    RECT edge = r;
    DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
  }
  if (state.State() == CheckState::Checked) {
    // Two double lines: the short stroke down to the bottom, the long one up to the right.
    const COLORREF color = enabled ? ToColorRef(style.checkColor) : RGB(0x80, 0x80, 0x80);
    HPEN pen = CreatePen(PS_SOLID, std::max(1, ScaleFrom96(1, dpi)), color);
    HGDIOBJ old = SelectObject(dc, pen);
    const int u = std::max(1, static_cast<int>(r.right - r.left) / 12);
    for (int d = 0; d < 2 * u; d += 1) {
      MoveToEx(dc, r.left + 3 * u, r.top + 5 * u + d, nullptr);
      LineTo(dc, r.left + 5 * u, r.top + 7 * u + d);
      LineTo(dc, r.left + 10 * u, r.top + 2 * u + d);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
  } else if (state.State() == CheckState::Grayed) {
    RECT inner = r;
    const int u = std::max(1, static_cast<int>(r.right - r.left) / 12);
    InflateRect(&inner, -3 * u, -3 * u);
    FillRect(dc, &inner, GetSysColorBrush(COLOR_BTNSHADOW));
  }
}

bool MarkupCheckBox::PaintBitmap(HDC dc, const std::string& name, MarkLook look, int w, int h,
                                 int dpi) {
  HBITMAP bitmap = Bitmap(name);
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info)) return false;
  const int bw = ScaleFrom96(info.bmWidth, dpi);
  const int bh = ScaleFrom96(info.bmHeight, dpi);
  const RECT r = ToRect(MarkRect(look, style.alignment, style.buttonVertAlign, w, h, bw, bh, dpi));
  HDC src = CreateCompatibleDC(dc);
  if (!src) return false;
  HGDIOBJ old = SelectObject(src, bitmap);
  TransparentBlt(dc, r.left, r.top, bw, bh, src, 0, 0, info.bmWidth, info.bmHeight, kBitmapKey);
  SelectObject(src, old);
  DeleteDC(src);
  return true;
}

void MarkupCheckBox::PaintMark(HDC dc, MarkLook look, int w, int h, int dpi) {
  const bool enabled = IsWindowEnabled(hwnd_);
  const auto frame = [&](bool flat) {
    const RECT r = ToRect(MarkRect(flat ? MarkLook::FlatFrame : MarkLook::Frame, style.alignment,
                                   style.buttonVertAlign, w, h, 0, 0, dpi));
    UINT kind = DFCS_BUTTONCHECK;
    if (!enabled || state.State() == CheckState::Grayed) kind |= DFCS_INACTIVE;
    if (state.State() == CheckState::Checked) kind |= DFCS_CHECKED;
    if (flat) kind |= DFCS_FLAT;
    RECT copy = r;
    DrawFrameControl(dc, &copy, DFC_BUTTON, kind);
  };
  switch (look) {
    case MarkLook::Frame:
    case MarkLook::FlatFrame:
      frame(look == MarkLook::FlatFrame);
      return;
    case MarkLook::Raised:
      PaintRaised(
          dc, ToRect(MarkRect(look, style.alignment, style.buttonVertAlign, w, h, 0, 0, dpi)), dpi);
      return;
    case MarkLook::Themed: {
      const RECT r =
          ToRect(MarkRect(look, style.alignment, style.buttonVertAlign, w, h, 0, 0, dpi));
      const int themeState = ThemeCheckState(state.State(), enabled, state.Down(), state.Hot());
      if (ThemeLibrary::Instance().DrawBackground(theme_, dc, kThemeButtonCheckBoxPart, themeState,
                                                  r)) {
        return;
      }
      // A theme that fails to draw falls back to the pictures of the same style.
      if (!PaintBitmap(dc, MarkBitmapName(MarkLook::XpBitmap, state.State(), enabled),
                       MarkLook::XpBitmap, w, h, dpi)) {
        frame(false);
      }
      return;
    }
    case MarkLook::Bitmap:
    case MarkLook::XpBitmap:
      // A program built without the pictures still shows a usable check box.
      if (!PaintBitmap(dc, MarkBitmapName(look, state.State(), enabled), look, w, h, dpi)) {
        frame(false);
      }
      return;
  }
}

void MarkupCheckBox::PaintCaption(HDC dc, MarkLook look, int w, int h, int dpi,
                                  COLORREF textColor) {
  const Rect captionRect = CaptionRect(look, style.alignment, w, h, dpi);
  const bool enabled = IsWindowEnabled(hwnd_);
  GdiCanvas canvas(dc);
  const HFONT font = font_ ? font_ : DefaultControlFont();
  MarkupParams params;
  params.bounds = captionRect;
  params.wordWrap = !style.ellipsis;
  params.shadowColor = style.shadowColor;
  params.shadowOffset = style.shadowOffset;
  pictures.Fill(params);
  canvas.SetBrushColor(kColorNone);
  MarkupResult result;
  if (IsHighContrast()) {
    // System colours only; the engraved disabled look would be unreadable.
    params.selected = true;
    const COLORREF color = enabled ? textColor : GetSysColor(COLOR_GRAYTEXT);
    canvas.SetFont(FontSpecFromHandle(font, color));
    params.urlColor = color;
    result = RenderMarkup(canvas, caption, params);
  } else if (enabled) {
    canvas.SetFont(FontSpecFromHandle(font, textColor));
    params.urlColor = style.urlColor;
    result = RenderMarkup(canvas, caption, params);
  } else {
    // Engraved look of disabled text: white one pixel below right, grey in place.
    MarkupParams shadow = params;
    shadow.bounds.left += 1;
    shadow.bounds.top += 1;
    shadow.bounds.right += 1;
    shadow.bounds.bottom += 1;
    shadow.urlColor = 0xFFFFFF;
    canvas.SetFont(FontSpecFromHandle(font, 0xFFFFFF));
    pictures.Collect(hwnd_, RenderMarkup(canvas, caption, shadow));
    params.urlColor = 0x808080;
    canvas.SetFont(FontSpecFromHandle(font, 0x808080));
    result = RenderMarkup(canvas, caption, params);
  }
  pictures.Collect(hwnd_, result);
  if (state.Focused() && GetFocus() == hwnd_) {
    Rect focus{captionRect.left, captionRect.top, captionRect.left + result.measuredWidth + 3,
               captionRect.top + result.measuredHeight + 1};
    focus.right = std::min(focus.right, w);
    focus.bottom = std::min(focus.bottom, h);
    if (!(SendMessageA(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) canvas.DrawFocusRect(focus);
  }
}

void MarkupCheckBox::Paint(HDC target) {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;
  const int dpi = WindowDpi(hwnd_);
  PaintBuffer buffer(target, rc.right, rc.bottom);
  HDC dc = buffer.dc();
  COLORREF textColor = 0;
  PaintBackground(dc, rc.right, rc.bottom, textColor);
  if (style.buttonType == CheckButtonType::WinXP || style.buttonType == CheckButtonType::Theme) {
    OpenTheme();
  }
  const MarkLook look = CurrentLook();
  HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : DefaultControlFont());
  PaintMark(dc, look, rc.right, rc.bottom, dpi);
  PaintCaption(dc, look, rc.right, rc.bottom, dpi, textColor);
  SelectObject(dc, oldFont);
}

void MarkupCheckBox::Accelerate() {
  // Alt + the caption's accelerator: toggles, takes the focus, and tells nobody.
  const CheckState before = state.State();
  state.Toggle();
  if (GetWindowLongA(hwnd_, GWL_STYLE) & WS_TABSTOP) SetFocus(hwnd_);
  if (state.State() != before) {
    InvalidateMarkStrip();
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
  }
}

LRESULT MarkupCheckBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (const auto painted = HandlePaintMessages(msg, wp, [this](HDC dc) { Paint(dc); }))
    return *painted;
  switch (msg) {
    case WM_NCCREATE: {
      // The window text is the plain caption; the markup is kept by the control.
      CREATESTRUCTA cs = *reinterpret_cast<CREATESTRUCTA*>(lp);
      caption = cs.lpszName ? cs.lpszName : kMarkupCheckBoxClass;
      const std::string plain = MarkupToWindowText(caption);
      cs.lpszName = plain.c_str();
      return DefWindowProcA(hwnd_, msg, wp, reinterpret_cast<LPARAM>(&cs));
    }
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wp);
      if (LOWORD(lp)) InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SETTEXT:
      RunHandler([&] { SetCaption(lp ? reinterpret_cast<const char*>(lp) : ""); });
      return TRUE;
    case WM_GETDLGCODE:
      if (style.returnIsTab && wp == VK_RETURN) return DLGC_BUTTON | DLGC_WANTMESSAGE;
      return DLGC_BUTTON;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      RunHandler([&] {
        const int x = GET_X_LPARAM(lp);
        const int y = GET_Y_LPARAM(lp);
        Apply(state.MouseDown(state.Focused() ? LinkAt(x, y) : std::string()));
      });
      return 0;
    case WM_MOUSEMOVE:
      RunHandler([&] {
        if (reactions_.TrackLeave(hwnd_)) Apply(state.MouseEnter());
        const int x = GET_X_LPARAM(lp);
        const int y = GET_Y_LPARAM(lp);
        const bool captured = GetCapture() == hwnd_;
        Apply(state.MouseMove(Inside(x, y, true), captured,
                              state.Focused() ? LinkAt(x, y) : std::string()));
      });
      return 0;
    case WM_MOUSELEAVE:
      reactions_.LeaveSeen();
      RunHandler([&] { Apply(state.MouseLeave()); });
      return 0;
    case WM_LBUTTONUP:
      RunHandler([&] {
        const bool captured = GetCapture() == hwnd_;
        Apply(state.MouseUp(Inside(GET_X_LPARAM(lp), GET_Y_LPARAM(lp), true), captured));
      });
      return 0;
    case WM_CAPTURECHANGED:
      // Capture taken away mid-press (another window, a menu): the press is abandoned.
      if (reinterpret_cast<HWND>(lp) != hwnd_ && state.Down()) {
        RunHandler([&] { Apply(state.MouseUp(false, false)); });
      }
      return 0;
    case WM_SETCURSOR:
      if (MarkupLinkReactions::SetHandCursor(hwnd_, wp, lp, state.HandCursor())) return TRUE;
      break;
    case kReportPictureErrorsMessage:
      pictures.ReportPending();
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_SPACE) {
        RunHandler([&] { Apply(state.SpaceDown()); });
        return 0;
      }
      if (wp == VK_RETURN && style.returnIsTab) {
        // Enter moves on like Tab (Shift+Enter back), through the top window's tab order.
        HWND root = GetAncestor(hwnd_, GA_ROOT);
        const bool back = GetKeyState(VK_SHIFT) < 0;
        if (HWND next = GetNextDlgTabItem(root, hwnd_, back)) SetFocus(next);
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wp == VK_SPACE) {
        RunHandler([&] { Apply(state.SpaceUp()); });
        return 0;
      }
      break;
    case WM_CHAR:
      if (wp == ' ' || (wp == '\r' && style.returnIsTab)) return 0;  // handled on key up/down
      break;
    case WM_SYSCHAR: {
      bool handled = false;
      RunHandler([&] {
        const CheckBoxEffects fx = state.Accelerator(
            static_cast<char>(wp), caption, IsWindowEnabled(hwnd_) && IsWindowVisible(hwnd_),
            GetWindowLongA(hwnd_, GWL_STYLE) & WS_TABSTOP);
        handled = fx.handled;
        if (handled) {
          InvalidateMarkStrip();
          Apply(fx);
        }
      });
      if (handled) return 0;
      break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      RunHandler([&] {
        if (msg == WM_KILLFOCUS && GetCapture() == hwnd_) ReleaseCapture();
        Apply(state.FocusChanged(msg == WM_SETFOCUS));
      });
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_THEMECHANGED:
      CloseTheme();
      themeOpened_ = false;
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_UPDATEUISTATE:
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case BM_GETCHECK:
      return state.State() == CheckState::Checked  ? BST_CHECKED
             : state.State() == CheckState::Grayed ? BST_INDETERMINATE
                                                   : BST_UNCHECKED;
    case BM_SETCHECK:
      SetState(wp == BST_CHECKED         ? CheckState::Checked
               : wp == BST_INDETERMINATE ? CheckState::Grayed
                                         : CheckState::Unchecked);
      return 0;
    case BM_GETSTATE: {
      LRESULT s = SendMessageA(hwnd_, BM_GETCHECK, 0, 0);
      if (state.Down()) s |= BST_PUSHED;
      if (state.Focused()) s |= BST_FOCUS;
      if (state.Hot()) s |= kButtonStateHot;
      return s;
    }
    case BM_SETSTATE:
    case BM_SETSTYLE:
      return 0;
    case BM_CLICK:
      if (!IsWindowEnabled(hwnd_)) return 0;
      RunHandler([&] {
        // The dialog manager answers an Alt mnemonic with BM_CLICK; that is the accelerator
        // path, which toggles without a click notification.
        if (GetKeyState(VK_MENU) < 0) {
          Accelerate();
          return;
        }
        if (GetFocus() != hwnd_) SetFocus(hwnd_);
        state.Toggle();
        InvalidateMarkStrip();
        Notify();
      });
      return 0;
    case WM_GETOBJECT:
      if (static_cast<LONG>(lp) == OBJID_CLIENT) {
        LRESULT result = 0;
        RunHandler([&] { result = AnswerCheckBoxAccessibility(hwnd_, wp); });
        if (result) return result;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace

bool RegisterMarkupCheckBox() {
  static const bool registered = RegisterWindowClass(
      kMarkupCheckBoxClass, MarkupCheckBox::WindowProc, {.style = CS_HREDRAW | CS_VREDRAW});
  return registered;
}

HWND CreateMarkupCheckBox(HWND parent, int id, const RECT& r, const std::string& caption) {
  if (!RegisterMarkupCheckBox()) return nullptr;
  HWND box = CreateWindowExA(
      0, kMarkupCheckBoxClass, caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP, r.left, r.top,
      r.right - r.left, r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      GetModuleHandleA(nullptr), nullptr);
  if (box) {
    HFONT font = parent ? reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0)) : nullptr;
    SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : DefaultControlFont()),
                 FALSE);
  }
  return box;
}

void SetMarkupCheckBoxStyle(HWND hwnd, const MarkupCheckBoxStyle& style) {
  if (MarkupCheckBox* box = FromWindow(hwnd)) {
    box->style = style;
    box->state.SetReadOnly(style.readOnly);
    InvalidateRect(hwnd, nullptr, FALSE);
  }
}

MarkupCheckBoxStyle GetMarkupCheckBoxStyle(HWND hwnd) {
  const MarkupCheckBox* box = FromWindow(hwnd);
  return box ? box->style : MarkupCheckBoxStyle{};
}

void SetMarkupCheckBoxEvents(HWND hwnd, MarkupCheckBoxEvents events) {
  if (MarkupCheckBox* box = FromWindow(hwnd)) box->events = std::move(events);
}

void SetMarkupCheckBoxImages(HWND hwnd, const ImageList* images) {
  if (MarkupCheckBox* box = FromWindow(hwnd)) {
    box->pictures.images = images;
    InvalidateRect(hwnd, nullptr, FALSE);
  }
}

void SetMarkupCheckBoxPictureContainer(HWND hwnd, const PictureContainer* container) {
  if (MarkupCheckBox* box = FromWindow(hwnd)) {
    box->pictures.container = container;
    InvalidateRect(hwnd, nullptr, FALSE);
  }
}

std::string GetMarkupCheckBoxCaption(HWND hwnd) {
  const MarkupCheckBox* box = FromWindow(hwnd);
  return box ? box->caption : std::string();
}

void SetMarkupCheckBoxCaption(HWND hwnd, const std::string& caption) {
  SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
}

void SetMarkupCheckBoxState(HWND hwnd, CheckState state) {
  if (MarkupCheckBox* box = FromWindow(hwnd)) box->SetState(state);
}

CheckState GetMarkupCheckBoxState(HWND hwnd) {
  const MarkupCheckBox* box = FromWindow(hwnd);
  return box ? box->state.State() : CheckState::Unchecked;
}

}  // namespace vt9::win
