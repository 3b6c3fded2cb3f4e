// The tags of the markup: what each opening and closing tag does to the text state and to the
// line being laid out.
#include <algorithm>

#include "markup/gradient.h"
#include "markup/markup_text.h"
#include "markup/renderer.h"

namespace vt9::markup {
namespace {

char UpperAt(std::string_view s, std::size_t i) {
  if (i >= s.size()) return 0;
  char c = s[i];
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Geometry read from the markup is kept to a range where sums of a few values cannot overflow.
int ClampPixels(int v) { return std::clamp(v, -(1 << 20), 1 << 20); }

// The number written after the letter `letter` (found from the tag's third character on) as
// x="12": the "=" and the opening quote are passed over, the closing quote ends the number.
LenientNumber LetterValue(std::string_view upper, char letter) {
  std::size_t at = upper.find(letter, 2);
  if (at == std::string_view::npos) return {};
  ++at;
  if (at < upper.size() && upper[at] == '=') ++at;
  if (at < upper.size() && upper[at] == '"') ++at;
  LenientNumber n = ReadLenientNumber(upper.substr(at));
  n.value = ClampPixels(n.value);
  return n;
}

}  // namespace

void Renderer::ApplyTag(LineWalk& w, std::string_view tag, LineValues& lv) {
  const bool closing = tag[1] == '/' && tag.size() > 3;
  const std::size_t at = closing ? 2 : 1;
  const char c = UpperAt(tag, at);
  const char next = UpperAt(tag, at + 1);
  // Only tags with attributes need the upper-cased copy their attributes are searched in.
  std::string upperCopy;
  auto upperTag = [&]() -> std::string_view {
    if (upperCopy.empty()) upperCopy = ToUpper(tag);
    return upperCopy;
  };
  const bool drawing = Drawing(w);

  if (!closing) {
    switch (c) {
      case 'A':
        OpenAnchor(w, tag);
        break;
      case 'B':
        if (next == '>') {
          SetStyle(kFontBold, true);
        } else if (next == 'R') {
          w.full = true;
        } else if (next == 'L') {
          if (!p_.blinkOn) SetTextColor(callerBrush_);
        } else if (next == 'O') {
          if (drawing && !p_.selected) BodyTag(w, upperTag());
        }
        break;
      case 'E':
        if (drawing) errorMark_ = true;
        break;
      case 'F':
        if (tag.find('>') != std::string_view::npos) FontTag(w, upperTag());
        break;
      case 'H':
        if (next == 'I') {
          if (drawing) {
            savedHighlightText_ = canvas_.Font().color;
            savedHighlightBrush_ = canvas_.BrushColor();
            canvas_.SetBrushColor(SystemColor(13));
            SetTextColor(SystemColor(14));
          }
        } else if (next == 'R') {
          if (drawing) HorizontalRule(w);
          w.full = true;
        }
        break;
      case 'I':
        if (next == '>') {
          SetStyle(kFontItalic, true);
        } else if (next == 'N') {
          LenientNumber n = LetterValue(upperTag(), 'X');
          if (n.digits && n.value > lv.width) {
            lv.width = n.value;
            w.d.left = p_.bounds.left + n.value;
          }
        } else if (next == 'M') {
          ImageTag(w, tag, upperTag(), lv);
        }
        break;
      case 'L':
        ListItem(w, lv);
        break;
      case 'O':
        if (next == 'F') {
          int n = LetterValue(upperTag(), 'X').value;
          persistentOffset_ = n;
          lv.width = n;
          w.d.left = n;
        }
        break;
      case 'P':
        if (tag.find('>') != std::string_view::npos) ParagraphTag(w, upperTag());
        break;
      case 'R':
        Rotate(upperTag());
        break;
      case 'S':
        if (next == '>') {
          SetStyle(kFontStrikeOut, true);
        } else if (next == 'H') {
          shadow_ = true;
        } else if (upperTag().rfind("<SUB>", 0) == 0) {
          subscript_ = true;
        } else if (upperTag().rfind("<SUP>", 0) == 0) {
          superscript_ = true;
        }
        break;
      case 'U':
        if (next == '>') {
          SetStyle(kFontUnderline, true);
        } else {
          ++listLevel_;
          w.full = true;
        }
        break;
      case 'Z':
        hidden_ = true;
        break;
      default:
        break;
    }
    return;
  }

  switch (c) {
    case 'A':
      CloseAnchor(w, lv);
      break;
    case 'B':
      if (next == '>') {
        SetStyle(kFontBold, false);
      } else {
        SetTextColor(base_.color);
      }
      break;
    case 'E':
      if (drawing) errorMark_ = false;
      break;
    case 'F': {
      FontSpec f = canvas_.Font();
      f.name = base_.name;
      f.height = base_.height;
      if (drawing && !p_.selected) {
        f.color = base_.color;
        canvas_.SetBrushColor(savedFontBrush_);
      }
      canvas_.SetFont(f);
      break;
    }
    case 'H':
      if (next == 'I' && drawing) {
        canvas_.SetBrushColor(savedHighlightBrush_);
        SetTextColor(savedHighlightText_);
      }
      break;
    case 'I':
      SetStyle(kFontItalic, false);
      break;
    case 'L':
      w.full = true;
      break;
    case 'O':
      persistentOffset_ = 0;
      break;
    case 'P':
      w.full = true;
      if (drawing) canvas_.SetBrushColor(savedParagraphBrush_);
      paragraphBackground_ = false;
      break;
    case 'R':
      if (rotationSaved_) {
        FontSpec f = canvas_.Font();
        f.escapement = *rotationSaved_;
        canvas_.SetFont(f);
        rotationSaved_.reset();
      }
      break;
    case 'S':
      if (next == 'U') {
        subscript_ = false;
        superscript_ = false;
      } else if (next == 'H') {
        shadow_ = false;
      } else {
        SetStyle(kFontStrikeOut, false);
      }
      break;
    case 'U':
      if (next != '>' && listLevel_ > 0) {
        --listLevel_;
      } else {
        SetStyle(kFontUnderline, false);
      }
      break;
    case 'Z':
      hidden_ = false;
      break;
    default:
      break;
  }
}

void Renderer::OpenAnchor(LineWalk& w, std::string_view tag) {
  const bool drawing = Drawing(w);
  if (p_.focusLink >= 0 && p_.focusLink == linkCounter_ && drawing) {
    focus_.left = w.d.left;
    focus_.top = w.r.top;
  }
  ++linkCounter_;
  const bool styled = !p_.hover || p_.hoverLink == linkCounter_;
  if (styled && drawing) {
    SetStyle(kFontUnderline, true);
    if (p_.hoverColor != kColorNone) {
      savedHoverBrush_ = canvas_.BrushColor();
      canvas_.SetBrushColor(p_.hoverColor);
    }
    if (p_.hoverFontColor != kColorNone) {
      savedHoverText_ = canvas_.Font().color;
      SetTextColor(p_.hoverFontColor);
    }
  }
  if (!p_.selected &&
      !(p_.hoverFontColor != kColorNone && p_.hover && p_.hoverLink == linkCounter_)) {
    SetTextColor(p_.urlColor);
  }
  std::string target;
  std::size_t open = tag.find('"');
  if (open != std::string_view::npos) {
    std::size_t close = tag.find('"', open + 1);
    if (close == std::string_view::npos) {
      close = tag.size();
      if (close > open + 1 && tag[close - 1] == '>') --close;
    }
    target = std::string(tag.substr(open + 1, close - open - 1));
  }
  linkTarget_ = std::move(target);
  insideLink_ = true;
}

void Renderer::CloseAnchor(LineWalk& w, LineValues& lv) {
  const bool drawing = Drawing(w);
  const bool styled = !p_.hover || p_.hoverLink == linkCounter_;
  if (styled && drawing) {
    SetStyle(kFontUnderline, false);
    if (p_.hoverColor != kColorNone) canvas_.SetBrushColor(savedHoverBrush_);
    if (p_.hoverFontColor != kColorNone) SetTextColor(savedHoverText_);
  }
  if (!p_.selected) SetTextColor(base_.color);
  insideLink_ = false;
  if (mousePending_) {
    out_.mouseLink = linkCounter_;
    mousePending_ = false;
  }
  // A closing tag without its opening one (counter 0) never takes the unset focus (-1).
  if (p_.focusLink >= 0 && p_.focusLink == linkCounter_ - 1) {
    focus_.right = w.d.left;
    focus_.bottom = w.r.bottom - lv.baselineRaise;
    focus_.top = focus_.bottom - H();
    Rect r = focus_;
    r.left -= 1;
    r.right += 1;
    if (drawing) canvas_.DrawFocusRect(r);
  }
}

void Renderer::EndOfLineFocus(LineWalk& w) {
  if (!insideLink_ || !Drawing(w) || p_.focusLink < 0 || p_.focusLink != linkCounter_ - 1) {
    return;
  }
  focus_.right = w.d.left;
  focus_.bottom = w.r.bottom;
  Rect r = focus_;
  r.left -= 1;
  r.right += 1;
  canvas_.DrawFocusRect(r);
  focus_.left = w.r.left + 1;
  focus_.top = focus_.bottom;
}

void Renderer::FontTag(LineWalk& w, std::string_view upper) {
  const bool drawing = Drawing(w);
  FontSpec f = canvas_.Font();
  if (auto face = AttributeValue(upper, "FACE"); face && !face->empty()) f.name = *face;
  if (!p_.selected) {
    if (auto color = AttributeValue(upper, " COLOR")) f.color = ColorFromText(*color);
  }
  if (drawing && !p_.selected) {
    if (auto bg = AttributeValue(upper, "BGCOLOR")) {
      savedFontBrush_ = canvas_.BrushColor();
      Color c = ColorFromText(*bg);
      if (c != kColorNone) canvas_.SetBrushColor(c);
    }
  }
  std::size_t size = upper.find("SIZE");
  if (size != std::string_view::npos) {
    std::size_t eq = upper.find('=', size);
    if (eq != std::string_view::npos) {
      std::size_t from = eq + 1;
      while (from < upper.size() && upper[from] == ' ') ++from;
      if (from < upper.size() && upper[from] == '"') ++from;
      int points = ReadLenientNumber(upper.substr(from)).value;
      static constexpr int kHtmlSizes[] = {8, 10, 12, 14, 16};
      if (points >= 1 && points <= 5) points = kHtmlSizes[points - 1];
      // A font beyond 1000 points is no text anyone can read, and overflows font APIs.
      points = std::clamp(points, 0, 1000);
      f.height = FontHeightFromPoints(points, canvas_.PixelsPerInch());
    }
  }
  canvas_.SetFont(f);
}

void Renderer::ParagraphTag(LineWalk& w, std::string_view upper) {
  if (auto align = AttributeValue(upper, "ALIGN")) {
    if (align->find("RIGHT") != std::string::npos) align_ = 1;
    if (align->find("LEFT") != std::string::npos) align_ = 0;
    if (align->find("CENTER") != std::string::npos) align_ = 2;
  }
  if (auto indent = AttributeValue(upper, "INDENT")) {
    indent_ = ClampPixels(ReadLenientNumber(*indent).value);
  }
  auto bg = AttributeValue(upper, "BGCOLOR");
  if (!bg || !Drawing(w)) return;
  const Color start = ColorFromText(*bg);
  paragraphBackground_ = true;
  if (auto to = AttributeValue(upper, "BGCOLORTO")) {
    canvas_.SetPen(start, canvas_.PenWidth());
    DrawGradient(canvas_, start, ColorFromText(*to), 64, true,
                 Rect{p_.bounds.left, w.r.top, p_.bounds.right, w.r.bottom + 2}, kColorNone);
    canvas_.SetBrushColor(kColorNone);
  } else {
    savedParagraphBrush_ = canvas_.BrushColor();
    canvas_.SetBrushColor(start);
    canvas_.SetPen(start, canvas_.PenWidth());
    canvas_.Rectangle(Rect{p_.bounds.left, w.r.top, p_.bounds.right, w.r.bottom});
  }
}

void Renderer::ListItem(LineWalk& w, LineValues& lv) {
  lv.width += 12 * listLevel_;
  if (w.holdsListItem) {
    w.stopBeforeTag = true;
    return;
  }
  w.holdsListItem = true;
  w.d.left += 12 * (listLevel_ - 1);
  if (Drawing(w) && !hidden_) {
    FontSpec f = canvas_.Font();
    const std::string name = f.name;
    f.name = "Symbol";
    canvas_.SetFont(f);
    canvas_.DrawText(listLevel_ % 2 != 0 ? "\xB7" : "o", w.d, flags_);
    f.name = name;
    canvas_.SetFont(f);
  }
  w.d.left += 12;
}

void Renderer::HorizontalRule(LineWalk& w) {
  const Color pen = canvas_.PenColor();
  const int width = canvas_.PenWidth();
  canvas_.SetPen(kColorBlack, 1);
  const int y = w.r.bottom + 1;
  canvas_.MoveTo(w.r.left, y);
  canvas_.LineTo(p_.bounds.right, y);
  canvas_.SetPen(pen, width);
}

void Renderer::Rotate(std::string_view upper) {
  LenientNumber angle = LetterValue(upper, 'A');
  FontSpec f = canvas_.Font();
  if (!rotationSaved_) rotationSaved_ = f.escapement;
  f.escapement = std::clamp(angle.value, -3600, 3600) * 10;
  canvas_.SetFont(f);
}

}  // namespace vt9::markup
