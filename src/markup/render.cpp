// The line walk of the markup renderer. Every line is laid out twice by RenderLine: a measuring
// pass that decides what fits and how big the line is, and a drawing pass over exactly the
// markup the first pass consumed, placed according to the paragraph alignment.
//
// The remaining text is walked by position, never copied, so the cost grows linearly with the
// text length.
#include "markup/render.h"

#include <algorithm>

#include "markup/markup_text.h"
#include "markup/renderer.h"

namespace vt9 {

MarkupResult RenderMarkup(Canvas& canvas, std::string_view text, const MarkupParams& params) {
  MarkupResult result;
  markup::Renderer renderer(canvas, params, result);
  renderer.Run(text);
  return result;
}

namespace markup {

Renderer::Renderer(Canvas& canvas, const MarkupParams& params, MarkupResult& result)
    : canvas_(canvas), p_(params), out_(result) {}

void Renderer::Run(std::string_view raw) {
  base_ = canvas_.Font();
  FontSpec measuringFont = base_;
  FontSpec drawingFont = base_;
  callerBrush_ = canvas_.BrushColor();
  canvas_.SetBrushColor(kColorNone);

  flags_.prefix = !PrefixesOff(raw);
  flags_.endEllipsis = !p_.wordWrap;

  const std::string text = PrepareMarkup(raw);
  std::size_t pos = 0;

  Rect lineRect = p_.bounds;
  lineRect.left += 1;
  int drawLinkCounter = 0;
  int drawListLevel = 0;
  int carriedOffset = 0;

  while (pos < text.size()) {
    canvas_.SetFont(measuringFont);
    const bool savedInside = insideLink_;
    const std::string savedTarget = linkTarget_;
    const int imagesBefore = imageCounter_;

    LineValues lv;
    lv.carriedOffset = carriedOffset;
    subscript_ = false;
    superscript_ = false;
    lineStartH_ = canvas_.TextHeight("gh");
    lv.height = lineStartH_;

    // The drawing pass replays the line from the state the measuring pass started in; flags
    // a tag switches on mid-line must not reach back to the text before that tag.
    const bool hiddenBefore = hidden_, shadowBefore = shadow_;
    const std::size_t before = pos;
    RenderLine(Pass::Measuring, false, text, pos, lineRect, lv);
    if (pos == before) {
      // Cannot happen by the rules of the walk; never spin on a line that consumed nothing.
      lv.markup += text[pos];
      ++pos;
    }
    insideLink_ = savedInside;
    linkTarget_ = savedTarget;
    measuringFont = canvas_.Font();

    lv.height += p_.lineSpacing;

    Rect d = lineRect;
    if (align_ == 1) {
      if (d.right - lv.width > d.left) d.left = d.right - lv.width;
    } else if (align_ == 2) {
      int room = d.right - d.left - lv.width;
      if (room > 0) d.left += room / 2;
    }
    d.left += indent_;
    d.bottom = d.top + lv.height + lv.subscriptDrop + lv.superscriptLift;
    out_.lines.push_back(MarkupLine{lineRect.top, d.bottom - d.top, lv.width, d.left});

    if (!p_.measureOnly) {
      canvas_.SetFont(drawingFont);
      linkCounter_ = drawLinkCounter;
      listLevel_ = drawListLevel;
      imageCounter_ = imagesBefore;
      hidden_ = hiddenBefore;
      shadow_ = shadowBefore;
      subscript_ = false;
      superscript_ = false;
      const std::string lineMarkup = std::move(lv.markup);
      lv.markup.clear();
      std::size_t markupPos = 0;
      RenderLine(p_.hitTestOnly ? Pass::Measuring : Pass::Drawing, true, lineMarkup, markupPos, d,
                 lv);
      drawLinkCounter = linkCounter_;
      drawListLevel = listLevel_;
      drawingFont = canvas_.Font();
      const int textBottom = d.bottom - lv.baselineRaise;
      if ((lv.textHit && p_.mouseY > textBottom - H() && p_.mouseY < textBottom) || lv.imageHit) {
        out_.overLink = true;
      }
    }
    carriedOffset = persistentOffset_;

    const int advance = lv.height + lv.subscriptDrop + lv.superscriptLift;
    lineRect.top += advance;
    out_.measuredHeight += advance;
    if (!p_.measureOnly && lineStartH_ + lineRect.top > lineRect.bottom) break;
  }

  if (out_.measuredHeight == 0) out_.measuredHeight = canvas_.TextHeight("gh");
  out_.measuredHeight += 2;
  canvas_.SetBrushColor(callerBrush_);
  canvas_.SetFont(base_);
}

void Renderer::RenderLine(Pass pass, bool replay, std::string_view text, std::size_t& pos,
                          const Rect& lineRect, LineValues& lv) {
  LineWalk w;
  w.pass = pass;
  w.replay = replay;
  w.r = lineRect;
  w.r.bottom -= lv.subscriptDrop;
  lv.width = 0;
  lv.textHit = false;
  lv.imageHit = false;
  w.d = w.r;
  if (Drawing(w)) {
    w.d.left += lv.carriedOffset;
    if (paragraphBackground_) {
      const Color pen = canvas_.PenColor();
      if (canvas_.BrushColor() != kColorNone)
        canvas_.SetPen(canvas_.BrushColor(), canvas_.PenWidth());
      canvas_.Rectangle(Rect{p_.bounds.left, w.r.top, p_.bounds.right, w.r.top + lv.height});
      canvas_.SetPen(pen, canvas_.PenWidth());
    }
  }

  const std::size_t end = text.size();
  while (pos < end && !w.full && !w.stopBeforeTag) {
    // Cut a text run: up to the next "<", or with word wrap up to and including the next blank.
    std::size_t cut = pos;
    if (p_.wordWrap) {
      while (cut < end && text[cut] != '<' && text[cut] != ' ') ++cut;
    } else {
      while (cut < end && text[cut] != '<') ++cut;
    }
    const std::size_t n = (cut < end && text[cut] == ' ') ? cut - pos + 1 : cut - pos;
    if (n > 0) PlaceRun(w, text.substr(pos, n), text, pos, lv);

    if (pos < end && text[pos] == '<' && end - pos <= 2) pos = end;
    if (!w.full && pos < end && text[pos] == '<' && end - pos > 2) {
      std::size_t gt = text.find('>', pos);
      std::size_t tagEnd = gt == std::string_view::npos ? end : gt + 1;
      std::string_view tag = text.substr(pos, tagEnd - pos);
      ApplyTag(w, tag, lv);
      if (!w.stopBeforeTag) {
        lv.markup.append(tag);
        pos = tagEnd;
      }
    }
  }

  lv.width -= w.trailingBlank;
  if (lv.width > out_.measuredWidth) out_.measuredWidth = lv.width + 2;
  EndOfLineFocus(w);
}

void Renderer::PlaceRun(LineWalk& w, std::string_view raw, std::string_view text, std::size_t& pos,
                        LineValues& lv) {
  const std::size_t n = raw.size();
  std::string replaced;
  std::string_view run = raw;
  if (raw.find('&') != std::string_view::npos) {
    replaced = ReplaceRunEntities(raw);
    run = replaced;
  }
  const int h = canvas_.TextHeight(run);
  if (subscript_) lv.subscriptDrop = std::max(lv.subscriptDrop, h / 4);
  if (superscript_) lv.superscriptLift = std::max(lv.superscriptLift, h / 4);
  lv.height = std::max(lv.height, h);
  if (hidden_) {
    pos += n;
    return;
  }

  int w_run = 0;
  if (Drawing(w)) {
    DrawRun(w, run, lv);
  } else {
    w.d = w.r;
    w_run = canvas_.MeasureText(run, flags_).cx;
    lv.width += w_run;
    const int x = p_.mouseX - w.r.left;
    if (insideLink_ && lv.width - w_run <= x && x <= lv.width) {
      lv.textHit = true;
      if (p_.mouseY > w.r.top) {
        out_.anchorUnderMouse = linkTarget_;
        mousePending_ = true;
      }
    }
  }

  const int available = w.r.Width() - lv.carriedOffset;
  bool fits = w.replay || lv.width < available || w_run >= available;
  if (!fits && w.placedAny && w.lastPlaced != ' ') fits = true;  // never split a word at a tag
  if (!run.empty()) {
    w.placedAny = true;
    w.lastPlaced = run.back();
  }

  if (fits || !p_.wordWrap) {
    lv.markup.append(raw);
    pos += n;
    if (!Drawing(w) && !fits && w.firstRunPlaced) {
      // Without word wrap a later run that no longer fits ends the whole text.
      pos = text.size();
    }
    w.firstRunPlaced = true;
    w.trailingBlank = raw.back() == ' ' ? canvas_.TextWidth(" ") : 0;
  } else {
    w.full = true;
    lv.width -= w_run;
  }
}

void Renderer::DrawRun(LineWalk& w, std::string_view run, LineValues& lv) {
  if (superscript_) w.d.bottom -= lv.superscriptLift;
  if (subscript_) w.d.bottom += lv.subscriptDrop;
  w.d.bottom -= lv.baselineRaise;
  if (shadow_) {
    const Color text = canvas_.Font().color;
    Rect s = w.d;
    s.left += p_.shadowOffset;
    s.right += p_.shadowOffset;
    s.top += p_.shadowOffset;
    s.bottom += p_.shadowOffset;
    SetTextColor(p_.shadowColor);
    canvas_.DrawText(run, s, flags_);
    SetTextColor(text);
  }
  canvas_.DrawText(run, w.d, flags_);
  w.d.right = w.d.left + canvas_.MeasureText(run, flags_).cx;
  if (errorMark_) DrawErrorMark(w);
  w.d.left = w.d.right;
  w.d.right = w.r.right;
  w.d.top = w.r.top;
  w.d.bottom = w.r.bottom;
}

void Renderer::DrawErrorMark(const LineWalk& w) {
  const Color pen = canvas_.PenColor();
  const int penWidth = canvas_.PenWidth();
  canvas_.SetPen(0x0000FF, 1);
  int x = w.d.left / 2 * 2;
  int offset = x % 4 == 0 ? 2 : 0;
  canvas_.MoveTo(x, w.r.bottom + offset - 1);
  while (x < w.d.right) {
    x += 2;
    offset = 2 - offset;
    canvas_.LineTo(x, w.r.bottom + offset - 1);
  }
  canvas_.SetPen(pen, penWidth);
}

void Renderer::SetTextColor(Color c) {
  FontSpec f = canvas_.Font();
  f.color = c;
  canvas_.SetFont(f);
}

void Renderer::SetStyle(unsigned bit, bool on) {
  FontSpec f = canvas_.Font();
  f.style = on ? (f.style | bit) : (f.style & ~bit);
  canvas_.SetFont(f);
}

}  // namespace markup
}  // namespace vt9
