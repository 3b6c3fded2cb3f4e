#include "dialogs/win/task_dialog_form.h"

// Painting of our own task dialog window: the band, content, icons and footer drawn on the
// form, the owner-drawn text windows over them, and the links in the painted texts.

#include <algorithm>

#include "dialogs/task_dialog_paint.h"
#include "dialogs/win/task_dialog_form_parts.h"
#include "markup/win/gdi_canvas.h"
#include "widgets/win/control_support.h"

namespace vt9::win {

namespace task_dialog_form {

// With the system's own text output, which spaces glyphs as the native dialog does.
void DrawLines(HDC dc, HFONT font, const std::vector<std::string>& lines, const RECT& r) {
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const int lineHeight = tm.tmHeight + tm.tmExternalLeading;
  // Only the lines in the part being painted: a long text has thousands.
  RECT clip{};
  const bool clipped = GetClipBox(dc, &clip) != ERROR;
  int top = r.top;
  for (const std::string& line : lines) {
    if (top >= r.bottom || lineHeight <= 0) break;
    if (clipped && top >= clip.bottom) break;
    if (clipped && top + lineHeight <= clip.top) {
      top += lineHeight;
      continue;
    }
    RECT lr{r.left, top, r.right, std::min<LONG>(top + lineHeight, r.bottom)};
    DrawTextA(dc, line.c_str(), static_cast<int>(line.size()), &lr,
              DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS | DT_NOCLIP);
    top += lineHeight;
  }
  SelectObject(dc, old);
}

}  // namespace task_dialog_form

using namespace task_dialog_form;

namespace {

LPCSTR SystemIconOf(int icon) {
  switch (icon) {
    case tiWarning:
      return IDI_WARNING;
    case tiQuestion:
      return IDI_QUESTION;
    case tiError:
      return IDI_ERROR;
    case tiInformation:
      return IDI_INFORMATION;
    default:
      return nullptr;
  }
}

LPCSTR FooterSystemIconOf(TTaskDialogFooterIcon icon) {
  switch (icon) {
    case tfiWarning:
      return IDI_WARNING;
    case tfiQuestion:
      return IDI_QUESTION;
    case tfiError:
      return IDI_ERROR;
    case tfiBlank:
      return nullptr;
  }
  return nullptr;
}

}  // namespace

void TTaskDialogForm::OnPaint() {
  PAINTSTRUCT ps;
  HDC target = BeginPaint(hwnd_, &ps);
  {
    PaintBuffer buffer(target, layout_.clientWidth, layout_.clientHeight);
    PaintClient(buffer.dc());
  }
  EndPaint(hwnd_, &ps);
}

void TTaskDialogForm::PaintClient(HDC dc) {
  {
    RECT all{0, 0, layout_.clientWidth, layout_.clientHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    {
      GdiCanvas canvas(dc);
      PaintTaskDialog(canvas, layout_, model_, false);
    }
    if (!model_.Options.Contains(doHyperlinks) && !layout_.contentLines.empty()) {
      const Rect& c = layout_.contentRect;
      const Rect shown = layout_.Shown(c);
      const int saved = SaveDC(dc);
      IntersectClipRect(dc, shown.left, shown.top, shown.right, shown.bottom);
      SetTextColor(dc, RGB(0, 0, 0));
      DrawLines(dc, static_cast<HFONT>(formFont_.get()), layout_.contentLines,
                {c.left, c.top, c.right, c.bottom});
      RestoreDC(dc, saved);
    }
    if (layout_.hasIcon) {
      const Rect& r = layout_.iconRect;
      if (LPCSTR id = SystemIconOf(model_.Icon)) {
        DrawIconEx(dc, r.left, r.top, LoadIconA(nullptr, id), r.Width(), r.Height(), 0, nullptr,
                   DI_NORMAL);
      } else if (shield_) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, shield_.get());
        TransparentBlt(dc, r.left, r.top, r.Width(), r.Height(), mem, 0, 0, 32, 32, kPictureKey);
        SelectObject(mem, old);
        DeleteDC(mem);
      }
      // tiBlank: the white square is the white background itself.
    }
    if (layout_.hasFooter) {
      if (LPCSTR id = FooterSystemIconOf(layout_.footerIcon)) {
        const Rect f = layout_.FooterRect();
        RECT square{f.left, f.top, f.left + kFooterIconSize, f.top + kFooterIconSize};
        FillRect(dc, &square, static_cast<HBRUSH>(bandBrush_.get()));
        // The icon's own small picture, not the large one shrunk.
        if (HICON icon = static_cast<HICON>(
                LoadImageA(nullptr, id, IMAGE_ICON, kFooterIconSize, kFooterIconSize, LR_SHARED)))
          DrawIconEx(dc, f.left, f.top, icon, kFooterIconSize, kFooterIconSize, 0, nullptr,
                     DI_NORMAL);
      }
    }
  }
}

std::string TTaskDialogForm::LinkAt(int x, int y) {
  HDC dc = GetDC(hwnd_);
  if (!dc) return {};
  std::string link;
  {
    GdiCanvas canvas(dc);
    link = TaskDialogLinkAt(canvas, layout_, model_, x, y);
  }
  ReleaseDC(hwnd_, dc);
  return link;
}

void TTaskDialogForm::OnMouseDown(int x, int y) {
  const std::string link = LinkAt(x, y);
  if (link.empty()) return;
  if (TaskDialogOpensLink(link)) OpenLinkTarget(hwnd_, link);
  if (events_.OnDialogHyperlinkClick) events_.OnDialogHyperlinkClick(dialog_, link);
}

bool TTaskDialogForm::OnSetCursor() {
  POINT pt{};
  GetCursorPos(&pt);
  ScreenToClient(hwnd_, &pt);
  overLink_ = !LinkAt(pt.x, pt.y).empty();
  if (!overLink_) return false;
  SetCursor(LoadCursorA(nullptr, IDC_HAND));
  return true;
}

bool TTaskDialogForm::OnDrawItem(const DRAWITEMSTRUCT* item) {
  if (item->hwndItem && (item->hwndItem == content_ || item->hwndItem == footer_)) {
    // The form's painting of the window's place.
    RECT r{};
    GetWindowRect(item->hwndItem, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    const int saved = SaveDC(item->hDC);
    SetViewportOrgEx(item->hDC, -r.left, -r.top, nullptr);
    PaintClient(item->hDC);
    RestoreDC(item->hDC, saved);
    return true;
  }
  if (item->hwndItem && item->hwndItem == expandLabel_) {
    // Drawn with the lines the layout wrapped, so that its height holds all of them.
    FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(item->hDC, RGB(0, 0, 0));
    DrawLines(item->hDC, static_cast<HFONT>(formFont_.get()), layout_.expandLines,
              LinesRect(item->hwndItem, layout_.expandLabel));
    return true;
  }
  if (item->hwndItem != instruction_) return false;
  FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(item->hDC, ToColorRef(kTaskDialogBlue));
  DrawLines(item->hDC, static_cast<HFONT>(instructionFont_.get()), layout_.instructionLines,
            LinesRect(item->hwndItem, layout_.instructionRect));
  return true;
}

RECT TTaskDialogForm::LinesRect(HWND window, const Rect& placed) const {
  // The window covers only the part of the text that shows; its lines stand where the layout
  // put them, scrolled.
  RECT w{};
  GetWindowRect(window, &w);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&w), 2);
  return {placed.left - w.left, placed.top - w.top, placed.right - w.left, placed.bottom - w.top};
}

LRESULT TTaskDialogForm::OnCtlColor(HDC dc, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  const bool inBand = layout_.bandTop && r.top >= *layout_.bandTop - layout_.m.vertSpacing / 2;
  SetBkMode(dc, TRANSPARENT);
  if (control == instruction_) SetTextColor(dc, ToColorRef(kTaskDialogBlue));
  if (inBand) {
    SetBkColor(dc, ToColorRef(kTaskDialogBandColor));
    return reinterpret_cast<LRESULT>(bandBrush_.get());
  }
  SetBkColor(dc, RGB(255, 255, 255));
  return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

}  // namespace vt9::win
