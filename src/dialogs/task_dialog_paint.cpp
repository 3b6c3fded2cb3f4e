#include "dialogs/task_dialog_paint.h"

#include "dialogs/plain_text.h"
#include "markup/render.h"

namespace vt9 {

namespace {

constexpr TextFlags kPlain{.prefix = false, .endEllipsis = false};

void Line(Canvas& canvas, Color color, int x1, int y, int x2) {
  canvas.SetPen(color, 1);
  canvas.MoveTo(x1, y);
  canvas.LineTo(x2, y);
}

}  // namespace

void DrawPlainLines(Canvas& canvas, const std::vector<std::string>& lines, const Rect& r) {
  const int lineHeight = PlainLineHeight(canvas);
  int top = r.top;
  for (const std::string& line : lines) {
    if (top >= r.bottom) break;
    canvas.DrawText(line, {r.left, top, r.right, top + lineHeight}, kPlain);
    top += lineHeight;
  }
}

namespace {

MarkupResult HitTest(Canvas& canvas, const std::string& text, const Rect& r, int x, int y) {
  MarkupParams p = TaskDialogMarkupParams(r, false);
  p.mouseX = x;
  p.mouseY = y;
  return RenderMarkup(canvas, text, p);
}

bool Inside(const Rect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

void PaintTaskDialog(Canvas& canvas, const TaskDialogLayout& L, const TaskDialogModel& model,
                     bool plainContent) {
  FontRestorer restoreFont(canvas);
  canvas.SetFont(L.formFont);
  const int cw = L.clientWidth;
  const int ch = L.clientHeight;

  // 1. The grey band behind the button row, and its top line.
  if (L.bandTop) {
    const int top = *L.bandTop - L.m.vertSpacing / 2;
    canvas.SetBrushColor(kTaskDialogBandColor);
    canvas.FillRect({0, top, cw, ch});
    Line(canvas, kTaskDialogLineColor, 0, top, cw);
  }
  if (L.oldSystem) {
    canvas.SetBrushColor(kColorNone);
    canvas.SetPen(kColorBlack, 1);
    canvas.Rectangle({0, 0, cw, ch});
  }
  canvas.SetBrushColor(kColorNone);

  // 2. The content, cut to its rectangle.
  // (Cut to the part that shows when the part above the buttons scrolls.)
  if (!model.Content.empty() && L.Shown(L.contentRect).Height() > 0) {
    canvas.PushClip(L.Shown(L.contentRect));
    if (model.Options.Contains(doHyperlinks)) {
      RenderMarkup(canvas, model.Content, TaskDialogMarkupParams(L.contentRect, true));
    } else if (plainContent) {
      DrawPlainLines(canvas, L.contentLines, L.contentRect);
    }
    canvas.PopClip();
  }

  // 3. The expand control's label, vertically centred beside its button.
  if (L.hasExpand) {
    const std::string& label = L.expanded ? L.expandControlText : L.collapsControlText;
    const Rect r = L.ExpandTextRect();
    const int h = canvas.MeasureText(label.empty() ? " " : label, kPlain).cy;
    const int bottom = r.top + (r.Height() + h) / 2;
    canvas.DrawText(label, {r.left, bottom - h, r.right, bottom}, kPlain);
  }

  // 4. The footer below its divider.
  if (L.hasFooter) {
    const Rect r = L.FooterRect();
    const int lineY = r.top - L.m.vertSpacing;
    Line(canvas, kTaskDialogLineColor, 2, lineY, cw - 3);
    Line(canvas, kColorWhite, 2, lineY + 1, cw - 3);
    RenderMarkup(canvas, model.Footer, TaskDialogMarkupParams(L.FooterTextRect(), true));
  }
}

std::string TaskDialogLinkAt(Canvas& canvas, const TaskDialogLayout& L,
                             const TaskDialogModel& model, int x, int y) {
  FontRestorer restoreFont(canvas);
  canvas.SetFont(L.formFont);
  if (L.hasFooter && Inside(L.FooterRect(), x, y)) {
    MarkupResult r = HitTest(canvas, model.Footer, L.FooterTextRect(), x, y);
    if (r.overLink) return r.anchorUnderMouse;
  }
  if (model.Options.Contains(doHyperlinks) && Inside(L.Shown(L.contentRect), x, y)) {
    MarkupResult r = HitTest(canvas, model.Content, L.contentRect, x, y);
    if (r.overLink) return r.anchorUnderMouse;
  }
  return {};
}

bool TaskDialogOpensLink(const std::string& target) {
  return target.find("://") != std::string::npos || target.find("mailto:") != std::string::npos;
}

}  // namespace vt9
