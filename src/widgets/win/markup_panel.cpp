#include "widgets/win/markup_panel.h"

#include <windowsx.h>

#include <memory>

#include "common/win/error_report.h"
#include "common/win/handles.h"
#include "common/win/window_base.h"
#include "common/win/window_class.h"
#include "markup/picture.h"
#include "markup/render.h"
#include "markup/win/gdi_canvas.h"
#include "widgets/panel_layout.h"
#include "widgets/panel_links.h"
#include "widgets/win/control_support.h"

namespace vt9::win {
namespace {

RECT ToRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

class MarkupPanel : public WindowBase<MarkupPanel> {
 public:
  explicit MarkupPanel(HWND hwnd) : WindowBase(hwnd) {}

  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  MarkupPanelStyle style;
  MarkupPanelEvents events;
  FontSpec font;
  bool fontSet = false;
  MarkupPictures pictures;

  const std::string& Text() const { return text_; }
  void Changed() {
    brush_.Reset();
    links_.Reset();
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

 private:
  void Paint(HDC target);
  void PaintBackground(HDC dc, int w, int h);
  void PaintBorderAndBevels(HDC dc, int w, int h);
  MarkupParams TextParams(const Rect& area);
  // Where the text block starts and the parameters to draw or hit-test it.
  MarkupParams Layout(Canvas& canvas, int w, int h);
  PanelLinkHit LinkAt(int x, int y);
  void Apply(const PanelLinkEffects& fx);
  FontSpec CurrentFont() const;
  COLORREF BackgroundColor() const;
  HBRUSH BackgroundBrush();

  std::string text_;
  PanelLinkTracker links_;
  MarkupLinkReactions reactions_;
  GdiObject brush_;
  COLORREF brushColor_ = 0;
};

MarkupPanel* FromWindow(HWND hwnd) { return MarkupPanel::FromWindow(hwnd); }

FontSpec MarkupPanel::CurrentFont() const {
  FontSpec current =
      fontSet ? font : FontSpecFromHandle(DefaultControlFont(), SystemColor(COLOR_BTNTEXT));
  if (IsHighContrast()) current.color = SystemColor(COLOR_WINDOWTEXT);
  return current;
}

COLORREF MarkupPanel::BackgroundColor() const {
  if (IsHighContrast()) return GetSysColor(COLOR_WINDOW);
  return ToColorRef(style.color, GetSysColor(COLOR_BTNFACE));
}

HBRUSH MarkupPanel::BackgroundBrush() {
  // Rebuilt when the colour changes, also when high contrast is switched on or off.
  const COLORREF color = BackgroundColor();
  if (!brush_ || color != brushColor_) {
    brush_.Reset(CreateSolidBrush(color));
    brushColor_ = color;
  }
  return static_cast<HBRUSH>(brush_.get());
}

MarkupParams MarkupPanel::TextParams(const Rect& area) {
  MarkupParams params;
  params.selected = IsHighContrast();
  params.bounds = area;
  params.wordWrap = !style.ellipsis;
  params.lineSpacing = style.lineSpacing;
  params.urlColor = style.urlColor;
  params.hover = style.hover;
  params.hoverColor = style.hoverColor;
  params.hoverFontColor = style.hoverFontColor;
  params.hoverLink = links_.HoverLink();
  params.shadowColor = style.shadowColor;
  params.shadowOffset = style.shadowOffset;
  pictures.Fill(params);
  return params;
}

MarkupParams MarkupPanel::Layout(Canvas& canvas, int w, int h) {
  PanelFrame frame{style.borderWidth, style.borderShadow, style.indent, style.topIndent};
  Rect area = PanelTextArea(w, h, frame);
  canvas.SetFont(CurrentFont());
  if (style.textVAlign != VertLayout::Top) {
    MarkupParams measure = TextParams(area);
    measure.hitTestOnly = true;
    const MarkupResult block = RenderMarkup(canvas, text_, measure);
    pictures.Collect(hwnd_, block);
    area.top = AlignedTextTop(area, block.measuredHeight, style.textVAlign);
  }
  return TextParams(area);
}

void MarkupPanel::PaintBackground(HDC dc, int w, int h) {
  const Rect all{0, 0, w, h};
  if (style.colorTo == kColorNone || IsHighContrast()) {
    RECT rc{0, 0, w, h};
    FillRect(dc, &rc, BackgroundBrush());
    return;
  }
  const Rgb from = ToColorRef(style.color);
  const Rgb to = ToColorRef(style.colorTo);
  for (const GradientBand& band : GradientBands(all, from, to, style.gradientHorizontal)) {
    HBRUSH brush = CreateSolidBrush(band.color);
    const RECT r = ToRect(band.rect);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
}

void DrawBevel(HDC dc, RECT& r, PanelBevel bevel, int width) {
  if (bevel == PanelBevel::None) return;
  for (int i = 0; i < width; ++i) {
    if (bevel == PanelBevel::Space) {
      InflateRect(&r, -1, -1);
      continue;
    }
    // DrawEdge moves r inwards by the edge it drew.
    DrawEdge(dc, &r, bevel == PanelBevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
             BF_RECT | BF_ADJUST);
  }
}

void MarkupPanel::PaintBorderAndBevels(HDC dc, int w, int h) {
  if (style.borderColor != kColorNone && style.borderWidth != 0) {
    const COLORREF border =
        IsHighContrast() ? GetSysColor(COLOR_WINDOWTEXT) : ToColorRef(style.borderColor);
    RECT outline{0, 0, w, h};
    if (style.borderShadow) {
      outline.right -= 2;
      outline.bottom -= 2;
    }
    HBRUSH brush = CreateSolidBrush(border);
    FrameRect(dc, &outline, brush);
    DeleteObject(brush);
    if (style.borderShadow) {
      const COLORREF face = GetSysColor(COLOR_BTNFACE);
      const COLORREF shades[2] = {MixColors(border, face, 50), MixColors(border, face, 20)};
      for (int i = 0; i < 2; ++i) {
        HPEN pen = CreatePen(PS_SOLID, 1, shades[i]);
        HGDIOBJ old = SelectObject(dc, pen);
        const int x = outline.right + i;
        const int y = outline.bottom + i;
        MoveToEx(dc, x, outline.top + 2 + i, nullptr);
        LineTo(dc, x, y);
        LineTo(dc, outline.left + 2 + i - 1, y);
        SelectObject(dc, old);
        DeleteObject(pen);
      }
    }
  }
  RECT r{0, 0, w, h};
  if (style.bevelOuter != PanelBevel::None) {
    DrawBevel(dc, r, style.bevelOuter, style.bevelWidth);
    if (style.borderColor == kColorNone) {
      HBRUSH brush = CreateSolidBrush(BackgroundColor());
      FrameRect(dc, &r, brush);
      DeleteObject(brush);
    }
  }
  DrawBevel(dc, r, style.bevelInner, style.bevelWidth);
}

void MarkupPanel::Paint(HDC target) {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;  // a panel of no size draws nothing
  PaintBuffer buffer(target, rc.right, rc.bottom, style.buffered);
  HDC dc = buffer.dc();
  PaintBackground(dc, rc.right, rc.bottom);
  PaintBorderAndBevels(dc, rc.right, rc.bottom);
  GdiCanvas canvas(dc);
  const PanelFrame frame{style.borderWidth, style.borderShadow, style.indent, style.topIndent};
  canvas.PushClip(PanelTextClip(rc.right, rc.bottom, frame));
  canvas.SetBrushColor(kColorNone);
  const MarkupParams params = Layout(canvas, rc.right, rc.bottom);
  pictures.Collect(hwnd_, RenderMarkup(canvas, text_, params));
  canvas.PopClip();
}

PanelLinkHit MarkupPanel::LinkAt(int x, int y) {
  PanelLinkHit hit;
  if (text_.find('<') == std::string::npos) return hit;
  RECT rc;
  GetClientRect(hwnd_, &rc);
  WithWindowCanvas(hwnd_, [&](Canvas& canvas) {
    MarkupParams params = Layout(canvas, rc.right, rc.bottom);
    params.hitTestOnly = true;
    params.mouseX = x;
    params.mouseY = y;
    const MarkupResult result = RenderMarkup(canvas, text_, params);
    pictures.Collect(hwnd_, result);
    if (result.overLink) {
      hit.found = true;
      hit.target = result.anchorUnderMouse;
      hit.number = result.mouseLink;
      // The link lies on the line under the point; that line is what a hover repaints.
      hit.rect = {params.bounds.left, y, params.bounds.right, y + 1};
      for (const MarkupLine& line : result.lines) {
        if (y >= line.top && y < line.top + line.height) {
          hit.rect = {params.bounds.left, line.top, params.bounds.right, line.top + line.height};
          break;
        }
      }
    }
  });
  return hit;
}

void MarkupPanel::Apply(const PanelLinkEffects& fx) {
  for (const Rect& r : fx.repaint) {
    const RECT rect = ToRect(r);
    InvalidateRect(hwnd_, &rect, FALSE);
  }
  if (fx.exited) MarkupLinkReactions::Exited(events, fx.exitedTarget);
  if (fx.showHand) MarkupLinkReactions::Entered(events, fx.entered);
  MarkupLinkReactions::Clicked(hwnd_, events, fx.openTarget, fx.anchorClicked);
}

LRESULT MarkupPanel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (const auto painted = HandlePaintMessages(msg, wp, [this](HDC dc) { Paint(dc); }))
    return *painted;
  switch (msg) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
      if (cs->lpszName) SendMessageA(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(cs->lpszName));
      return DefWindowProcA(hwnd_, msg, wp, lp);
    }
    case WM_SIZE:
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_SETTEXT:
      RunHandler([&] { text_ = lp ? reinterpret_cast<const char*>(lp) : ""; });
      links_.Reset();
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;  // the window text holds the markup too
    case WM_SETFONT:
      RunHandler([&] {
        const Color color = fontSet ? font.color : SystemColor(COLOR_BTNTEXT);
        font = FontSpecFromHandle(reinterpret_cast<HFONT>(wp), color);
        fontSet = wp != 0;
      });
      if (LOWORD(lp)) InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE:
      RunHandler([&] {
        reactions_.TrackLeave(hwnd_);
        Apply(links_.Move(LinkAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)), style.hover));
      });
      return 0;
    case WM_MOUSELEAVE:
      reactions_.LeaveSeen();
      RunHandler([&] { Apply(links_.Leave(style.hover)); });
      return 0;
    case WM_LBUTTONDOWN:
      RunHandler(
          [&] { Apply(PanelLinkTracker::Press(LinkAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)))); });
      return 0;
    case WM_SETCURSOR:
      if (MarkupLinkReactions::SetHandCursor(hwnd_, wp, lp, links_.HandCursor())) return TRUE;
      break;
    case kReportPictureErrorsMessage:
      pictures.ReportPending();
      return 0;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      // Controls placed on the panel belong to the window the panel sits in.
      if (HWND parent = GetParent(hwnd_)) return SendMessageA(parent, msg, wp, lp);
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkColor(dc, BackgroundColor());
      SetTextColor(dc, ToColorRef(CurrentFont().color));
      return reinterpret_cast<LRESULT>(BackgroundBrush());
    }
    case WM_SYSCOLORCHANGE:
      Changed();
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace

bool RegisterMarkupPanel() {
  static const bool registered = RegisterWindowClass(kMarkupPanelClass, MarkupPanel::WindowProc,
                                                     {.style = CS_HREDRAW | CS_VREDRAW});
  return registered;
}

HWND CreateMarkupPanel(HWND parent, int id, const RECT& r) {
  if (!RegisterMarkupPanel()) return nullptr;
  HWND panel = CreateWindowExA(
      WS_EX_CONTROLPARENT, kMarkupPanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, r.left,
      r.top, r.right - r.left, r.bottom - r.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  if (panel && parent) {
    if (HFONT font = reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0))) {
      SendMessageA(panel, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
  }
  return panel;
}

void SetMarkupPanelStyle(HWND hwnd, const MarkupPanelStyle& style) {
  if (MarkupPanel* panel = FromWindow(hwnd)) {
    panel->style = style;
    panel->Changed();
  }
}

MarkupPanelStyle GetMarkupPanelStyle(HWND hwnd) {
  const MarkupPanel* panel = FromWindow(hwnd);
  return panel ? panel->style : MarkupPanelStyle{};
}

void SetMarkupPanelEvents(HWND hwnd, MarkupPanelEvents events) {
  if (MarkupPanel* panel = FromWindow(hwnd)) panel->events = std::move(events);
}

void SetMarkupPanelText(HWND hwnd, const std::string& markup) {
  SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(markup.c_str()));
}

std::string GetMarkupPanelText(HWND hwnd) {
  const MarkupPanel* panel = FromWindow(hwnd);
  return panel ? panel->Text() : std::string();
}

void SetMarkupPanelColor(HWND hwnd, Color color) {
  if (MarkupPanel* panel = FromWindow(hwnd)) {
    panel->style.color = color;
    panel->Changed();
    // Controls on the panel take its colour through WM_CTLCOLOR*: repaint them too.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
}

void SetMarkupPanelImages(HWND hwnd, const ImageList* images) {
  if (MarkupPanel* panel = FromWindow(hwnd)) {
    panel->pictures.images = images;
    panel->Changed();
  }
}

void SetMarkupPanelPictureContainer(HWND hwnd, const PictureContainer* container) {
  if (MarkupPanel* panel = FromWindow(hwnd)) {
    panel->pictures.container = container;
    panel->Changed();
  }
}

void SetMarkupPanelFont(HWND hwnd, const FontSpec& font) {
  if (MarkupPanel* panel = FromWindow(hwnd)) {
    panel->font = font;
    panel->fontSet = true;
    panel->Changed();
  }
}

}  // namespace vt9::win
