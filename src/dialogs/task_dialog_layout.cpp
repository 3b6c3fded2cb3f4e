#include "dialogs/task_dialog_layout.h"

#include <algorithm>
#include <limits>

#include "dialogs/plain_text.h"

namespace vt9 {

namespace {

constexpr TextFlags kPlain{.prefix = false, .endEllipsis = false};
constexpr TextFlags kPrefix{.prefix = true, .endEllipsis = false};

struct CommonButtonInfo {
  TCommonButton member;
  const char* name;
};
// The fixed order of the common-button row; the captions come with the environment.
constexpr CommonButtonInfo kCommonButtons[] = {
    {cbOK, "OK"},         {cbYes, "Yes"},     {cbNo, "No"},
    {cbCancel, "Cancel"}, {cbRetry, "Retry"}, {cbClose, "Abort"},
};

FontSpec WithPoints(FontSpec f, int points, int ppi) {
  f.height = FontHeightFromPoints(points, ppi);
  return f;
}

int TrimmedBegin(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
  return static_cast<int>(i);
}

std::string Trim(std::string_view s) {
  std::size_t b = static_cast<std::size_t>(TrimmedBegin(s));
  std::size_t e = s.size();
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

Size MeasureIn(Canvas& canvas, const FontSpec& font, std::string_view text, int width,
               const LeadBytes* lead) {
  FontRestorer restore(canvas);
  canvas.SetFont(font);
  return MeasurePlainText(canvas, text, width, lead);
}

Size ExtentIn(Canvas& canvas, const FontSpec& font, std::string_view text, const TextFlags& f) {
  FontRestorer restore(canvas);
  canvas.SetFont(font);
  return canvas.MeasureText(text, f);
}

int LineHeightIn(Canvas& canvas, const FontSpec& font) {
  FontRestorer restore(canvas);
  canvas.SetFont(font);
  return PlainLineHeight(canvas);
}

MarkupResult MeasureMarkup(Canvas& canvas, const FontSpec& font, std::string_view text,
                           const Rect& bounds) {
  FontRestorer restore(canvas);
  canvas.SetFont(font);
  MarkupParams params = TaskDialogMarkupParams(bounds, false);
  params.measureOnly = true;
  return RenderMarkup(canvas, text, params);
}

}  // namespace

TaskDialogMetrics ComputeTaskDialogMetrics(Canvas& canvas, const FontSpec& formFont) {
  Size avg =
      ExtentIn(canvas, formFont, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", kPlain);
  TaskDialogMetrics m;
  m.cx = avg.cx / 52;
  m.cy = avg.cy;
  m.horzMargin = MulDivRound(8, m.cx, 4);
  m.vertMargin = MulDivRound(8, m.cy, 8);
  m.horzSpacing = MulDivRound(10, m.cx, 4);
  m.vertSpacing = MulDivRound(10, m.cy, 8);
  m.buttonHeight = MulDivRound(14, m.cy, 8);
  m.buttonSpacing = MulDivRound(4, m.cx, 4);
  return m;
}

CommonButtonRoles ChooseCommonButtonRoles(int defaultButton, const TCommonButtons& set) {
  auto pick = [&](std::initializer_list<TCommonButton> order) -> std::optional<TCommonButton> {
    for (TCommonButton b : order)
      if (set.Contains(b)) return b;
    return std::nullopt;
  };
  CommonButtonRoles roles;
  // A DefaultButton that names a common button of the set makes it the default, as the
  // system's dialog does (and the Esc button is the one of the dialog's own rule).
  for (const CommonButtonInfo& info : kCommonButtons) {
    if (!set.Contains(info.member) || defaultButton <= 2) continue;
    if (defaultButton == OwnWindowButtonResult(info.member) ||
        defaultButton == NativeButtonResult(info.member)) {
      roles.defaultButton = info.member;
      roles.escButton = pick({cbCancel, cbNo, cbOK});
      return roles;
    }
  }
  switch (defaultButton) {
    case 0:
      roles.defaultButton = pick({cbOK, cbYes, cbRetry});
      roles.escButton = pick({cbCancel, cbNo, cbOK});
      break;
    case 1:
      roles.defaultButton = pick({cbOK, cbYes});
      roles.escButton = pick({cbOK});
      break;
    case 2:
      roles.defaultButton = pick({cbCancel, cbNo});
      roles.escButton = pick({cbOK});
      break;
    default:
      roles.defaultButton = pick({cbOK});
      roles.escButton = pick({cbOK});
      break;
  }
  return roles;
}

std::vector<std::string> SplitCommandLinkText(std::string_view raw) {
  const std::string text = Trim(raw);
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      lines.push_back(Trim(std::string_view(text).substr(start, i - start)));
      start = i + 1;
    } else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      lines.push_back(Trim(std::string_view(text).substr(start, i - start)));
      start = i + 2;
      ++i;
    }
  }
  lines.push_back(Trim(std::string_view(text).substr(start)));
  return lines;
}

Size MeasureCommandLinkText(Canvas& canvas, std::string_view text, const FontSpec& heading,
                            const FontSpec& description) {
  const std::vector<std::string> lines = SplitCommandLinkText(text);
  if (lines.size() == 1) {
    Size s = ExtentIn(canvas, heading, text, kPlain);
    return {s.cx + 8, s.cy + 10};
  }
  Size head = ExtentIn(canvas, heading, lines[0], kPlain);
  int width = head.cx;
  int height = head.cy + 10;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    Size d = ExtentIn(canvas, description, lines[i], kPlain);
    width = std::max(width, d.cx);
    height += d.cy + 2;
  }
  return {width + 8, height};
}

MarkupParams TaskDialogMarkupParams(const Rect& bounds, bool drawing) {
  MarkupParams p;
  p.bounds = bounds;
  p.urlColor = 0xFF0000;
  p.shadowColor = 0x808080;
  p.shadowOffset = 1;
  p.wordWrap = true;
  p.lineSpacing = 0;
  p.scaleFactor = 1.0;
  p.hitTestOnly = !drawing;
  p.selected = !drawing;
  p.blinkOn = !drawing;
  return p;
}

int TaskDialogLayout::FixedPartLimit(int least) const {
  if (maxClientHeight <= 0) return std::numeric_limits<int>::max();
  return std::max(least, maxClientHeight / 4);
}

int TaskDialogLayout::InitialRadioResult() const {
  for (const TaskDialogRadio& r : radios)
    if (r.checked) return r.id;
  return 0;
}

int TaskDialogLayout::DefaultButtonIndex() const {
  for (std::size_t i = 0; i < pushButtons.size(); ++i)
    if (pushButtons[i].isDefault) return static_cast<int>(i);
  return -1;
}

int TaskDialogLayout::DefaultCommandLinkIndex() const {
  for (std::size_t i = 0; i < commandLinks.size(); ++i)
    if (commandLinks[i].isDefault) return static_cast<int>(i);
  return -1;
}

int TaskDialogLayout::CancelButtonIndex() const {
  for (std::size_t i = 0; i < pushButtons.size(); ++i)
    if (pushButtons[i].isCancel) return static_cast<int>(i);
  return -1;
}

Rect TaskDialogLayout::FooterRect() const {
  return {m.horzMargin, clientHeight - footerHeight - 10, clientWidth - m.horzMargin, clientHeight};
}

Rect TaskDialogLayout::FooterTextRect() const {
  Rect r = FooterRect();
  if (footerIcon != tfiBlank) r.left += 20;
  return r;
}

bool TaskDialogLayout::ShowsWhole(const Rect& r) const {
  return scrollRange == 0 || (r.top >= 0 && r.bottom <= viewBottom);
}

Rect TaskDialogLayout::Shown(const Rect& r) const {
  if (scrollRange == 0) return r;
  Rect s = r;
  s.top = std::max(s.top, 0);
  s.bottom = std::min(s.bottom, viewBottom);
  if (s.bottom <= s.top) return {};
  return s;
}

Rect TaskDialogLayout::ExpandTextRect() const {
  return {expandButton.right + m.horzSpacing - 5, expandButton.top, clientWidth,
          expandButton.bottom};
}

TaskDialogLayout LayOutTaskDialog(const TaskDialogModel& model, Canvas& canvas,
                                  const TaskDialogEnvironment& env) {
  TaskDialogLayout L;
  const int ppi = canvas.PixelsPerInch();
  L.formFont = env.formFont;
  L.oldSystem = env.oldSystem;
  L.leadBytes = env.leadBytes;
  L.maxClientHeight = env.maxClientHeight;
  L.maxClientWidth = env.maxClientWidth;
  L.scrollBarWidth = env.scrollBarWidth;
  L.instructionFont = WithPoints(env.formFont, 11, ppi);
  L.instructionFont.style = kFontBold;
  L.instructionFont.color = kTaskDialogBlue;
  L.headingFont = L.instructionFont;
  L.descriptionFont = env.formFont;
  L.descriptionFont.color = kTaskDialogBlue;
  L.radioFont = WithPoints(env.formFont, 8, ppi);
  L.radioFont.style = 0;
  L.expandControlText = model.ExpandControlText;
  L.collapsControlText = model.CollapsControlText;

  // 1. Metrics; the caption's width sets a first minimum.
  L.m = ComputeTaskDialogMetrics(canvas, env.formFont);
  const TaskDialogMetrics& m = L.m;
  L.caption = model.Title.empty() ? env.defaultCaption : model.Title;
  int w0 = 0;
  if (!L.caption.empty()) w0 = MeasureIn(canvas, env.formFont, L.caption, 1000, L.Lead()).cx + 50;

  // 2. and 3. Common buttons in table order with their Enter and Esc roles.
  const CommonButtonRoles roles = ChooseCommonButtonRoles(model.DefaultButton, model.CommonButtons);
  int sumCommon = 0;
  for (const CommonButtonInfo& info : kCommonButtons) {
    if (!model.CommonButtons.Contains(info.member)) continue;
    TaskDialogPushButton b;
    b.name = info.name;
    b.caption = env.commonCaptions[static_cast<std::size_t>(&info - kCommonButtons)];
    b.result = OwnWindowButtonResult(info.member);
    b.isDefault = roles.defaultButton == info.member;
    b.isCancel = roles.escButton == info.member;
    int width = std::max(60, ExtentIn(canvas, env.formFont, b.caption, kPrefix).cx + 16);
    b.rect = {0, 0, width, m.buttonHeight};
    sumCommon += width + m.buttonSpacing;
    L.pushButtons.push_back(std::move(b));
  }

  // 4. Custom buttons: command links or push buttons.
  int sumCustom = 0;
  const bool links = model.Options.Contains(doCommandLinks);
  const bool noIcon = model.Options.Contains(doCommandLinksNoIcon);
  if (links && !model.CustomButtons.empty()) {
    int widest = 0;
    for (std::size_t i = 0; i < model.CustomButtons.size(); ++i) {
      TaskDialogCommandLink link;
      link.name = "Button" + std::to_string(i);
      link.text = model.CustomButtons[i];
      link.result = kFirstCustomButtonId + static_cast<int>(i);
      link.customIndex = static_cast<int>(i);
      link.isDefault = link.result == model.DefaultButton;
      link.measured = MeasureCommandLinkText(canvas, link.text, L.headingFont, L.descriptionFont);
      widest = std::max(widest, link.measured.cx);
      L.commandLinks.push_back(std::move(link));
    }
    const int l = widest + 26;
    w0 = std::max(w0, noIcon ? l + m.horzMargin : 2 * m.horzMargin + l + m.horzSpacing + 32);
    const int gh = ExtentIn(canvas, L.headingFont, "gh", kPlain).cy + 20;
    for (TaskDialogCommandLink& link : L.commandLinks) {
      int height = std::max({m.buttonHeight, gh, link.measured.cy});
      link.rect = {0, 0, std::max(60, l), height};
      link.minHeight = height;
    }
  } else {
    for (std::size_t i = 0; i < model.CustomButtons.size(); ++i) {
      TaskDialogPushButton b;
      b.name = "Button" + std::to_string(i);
      b.caption = model.CustomButtons[i];
      b.result = kFirstCustomButtonId + static_cast<int>(i);
      b.customIndex = static_cast<int>(i);
      b.isDefault = b.result == model.DefaultButton;
      int width = std::max(60, ExtentIn(canvas, env.formFont, b.caption, kPrefix).cx + 16);
      b.rect = {0, 0, width, m.buttonHeight};
      sumCustom += width + m.buttonSpacing;
      L.pushButtons.push_back(std::move(b));
    }
  }

  // A custom button named by DefaultButton is the one default, as in the system's dialog: the
  // common button the rule chose then gives the role up.
  const bool customDefault =
      model.DefaultButton >= kFirstCustomButtonId &&
      model.DefaultButton < kFirstCustomButtonId + static_cast<int>(model.CustomButtons.size());
  if (customDefault)
    for (TaskDialogPushButton& b : L.pushButtons)
      if (b.customIndex < 0) b.isDefault = false;

  // 5. A dialog without any button gets one OK button, which both Enter and Esc press.
  if (model.CommonButtons.Empty() && model.CustomButtons.empty()) {
    TaskDialogPushButton ok;
    ok.name = "OK";
    ok.caption = "OK";
    ok.result = 1;
    ok.isDefault = true;
    ok.isCancel = true;
    int width = std::max(60, ExtentIn(canvas, env.formFont, ok.caption, kPrefix).cx + 8);
    ok.rect = {0, 0, width, m.buttonHeight};
    sumCommon += width + m.buttonSpacing;
    L.pushButtons.push_back(std::move(ok));
  }

  // 6. to 8. The instruction beside the icon column.
  L.iconColumn = model.Icon != tiNotUsed;
  Size instr;
  {
    FontRestorer restore(canvas);
    canvas.SetFont(L.instructionFont);
    // A huge instruction is kept whole: it is in the part above the buttons, which scrolls.
    L.instructionLines = WrapPlainText(canvas, model.Instruction, env.screenWidth / 2, L.Lead());
    const int lineHeight = PlainLineHeight(canvas);
    for (const std::string& line : L.instructionLines)
      instr.cx = std::max(instr.cx, canvas.MeasureText(line, kPlain).cx);
    instr.cy = static_cast<int>(L.instructionLines.size()) * lineHeight;
  }
  int wi = instr.cx;
  if (L.iconColumn) wi += m.horzSpacing + kMainIconSize;
  L.hasIcon = L.iconColumn && !noIcon;
  if (L.hasIcon)
    L.iconRect = {m.horzMargin, m.vertMargin, m.horzMargin + kMainIconSize,
                  m.vertMargin + kMainIconSize};
  const int instrLeft = m.horzMargin + (L.iconColumn ? m.horzSpacing + kMainIconSize : 0);
  L.instructionRect = {instrLeft, m.vertMargin, instrLeft + instr.cx, m.vertMargin + instr.cy};
  L.contentLeft = instrLeft;

  // 9. Timer and progress bar.
  L.hasTimer = model.Options.Contains(doTimer) || model.Options.Contains(doProgressBar);
  L.hasProgressBar = model.Options.Contains(doProgressBar);

  // 10. Radio buttons, as high as the instruction but never less than a line of their font
  // (an empty instruction would make them invisible).
  // A tall instruction (it scrolls now) does not make every radio and the verification box as
  // tall: a quarter of the room at most.
  const int likeInstruction =
      env.maxClientHeight > 0 ? std::min(instr.cy, env.maxClientHeight / 4) : instr.cy;
  const int radioHeight = std::max(likeInstruction, LineHeightIn(canvas, L.radioFont));
  L.radioMinHeight = radioHeight;
  for (std::size_t i = 0; i < model.RadioButtons.size(); ++i) {
    TaskDialogRadio r;
    r.name = "Radio" + std::to_string(i);
    r.caption = model.RadioButtons[i];
    r.id = kFirstRadioButtonId + static_cast<int>(i);
    r.checked = r.id == model.DefaultRadioButton;
    const int left = L.contentLeft + m.horzMargin;
    r.rect = {left, 0, left, radioHeight};
    w0 = std::max(w0,
                  left + ExtentIn(canvas, L.radioFont, r.caption, kPrefix).cx + m.horzMargin + 20);
    L.radios.push_back(std::move(r));
  }

  // 11. The expand control.
  L.hasExpand = !model.ExpandedText.empty();
  if (L.hasExpand) L.expandButton = {0, 0, kExpandButtonSize, kExpandButtonSize};

  // 12. The verification box, with the same height rule as the radio buttons.
  L.hasVerification = !model.VerificationText.empty();
  if (L.hasVerification) {
    L.verificationChecked = model.Options.Contains(doVerifyChecked);
    const int height = std::max(likeInstruction, LineHeightIn(canvas, env.formFont));
    L.verificationMinHeight = height;
    L.verificationRect = {m.horzMargin, 0, m.horzMargin, height};
    w0 = std::max(
        w0, m.horzMargin + ExtentIn(canvas, env.formFont, model.VerificationText, kPrefix).cx);
  }

  // 13. The footer's own size.
  L.hasFooter = !model.Footer.empty();
  if (L.hasFooter) {
    L.footerIcon = model.FooterIcon;
    MarkupResult f = MeasureMarkup(canvas, env.formFont, model.Footer, {m.horzMargin, 0, 300, 26});
    L.footerWidth = f.measuredWidth;
    L.footerHeight = f.measuredHeight;
  }

  // 14. and 15. The client width.
  int row = sumCommon + sumCustom;
  if (L.hasExpand) {
    L.expandRowWidth =
        std::max(ExtentIn(canvas, env.formFont, model.CollapsControlText, kPlain).cx,
                 ExtentIn(canvas, env.formFont, model.ExpandControlText, kPlain).cx) +
        kExpandButtonSize + 2 * m.horzSpacing;
    row += L.expandRowWidth;
  }
  L.clientWidth = std::max({350, w0, std::max({row, wi, L.footerWidth}) + 2 * m.horzMargin});
  // Never wider than the screen: the texts wrap and the buttons go into more rows instead.
  if (env.maxClientWidth > 0) L.clientWidth = std::min(L.clientWidth, env.maxClientWidth);
  if (L.hasProgressBar)
    L.progressRect = {m.horzMargin, 0, L.clientWidth - m.horzMargin, kProgressBarHeight};

  // 16. Place everything, then apply the initial expanded state.
  L.expanded = true;
  VerticalPass(L, model, canvas);
  if (L.hasExpand) {
    L.expanded = model.Options.Contains(doExpandedDefault);
    VerticalPass(L, model, canvas);
  }
  return L;
}

namespace {

// Places the push buttons (custom ones, then common ones) in rows right-aligned at `right`, as
// many in a row as fit between the left margin (and the expand control, in the first row) and
// `right`; returns the rows' total height.
int PlaceRows(TaskDialogLayout& L, int y, int right) {
  std::vector<TaskDialogPushButton*> order;
  for (bool custom : {true, false})
    for (TaskDialogPushButton& b : L.pushButtons)
      if ((b.customIndex >= 0) == custom) order.push_back(&b);
  const int s = L.m.buttonSpacing;
  int top = y;
  int height = 0;
  std::size_t i = 0;
  bool firstRow = true;
  while (i < order.size()) {
    const int room = right - L.m.horzMargin - (firstRow && L.hasExpand ? L.expandRowWidth : 0);
    std::size_t end = i;
    int width = 0;
    int tallest = 0;
    while (end < order.size()) {
      const int w = order[end]->rect.Width();
      if (end > i && width + s + w > room) break;
      width += (end > i ? s : 0) + w;
      tallest = std::max(tallest, order[end]->rect.Height());
      ++end;
    }
    int x = right - width;
    for (std::size_t k = i; k < end; ++k) {
      TaskDialogPushButton& b = *order[k];
      const int w = b.rect.Width();
      const int h = b.rect.Height();
      b.rect = {x, top, x + w, top + h};
      x += w + s;
    }
    height = top + tallest - y;
    top += tallest + s;
    i = end;
    firstRow = false;
  }
  return height;
}

// The height of a text in a font wrapped within a width.
int WrappedHeight(Canvas& canvas, const FontSpec& font, std::string_view text, int width,
                  const LeadBytes* lead) {
  FontRestorer restore(canvas);
  canvas.SetFont(font);
  return static_cast<int>(WrapPlainText(canvas, text, std::max(1, width), lead).size()) *
         PlainLineHeight(canvas);
}

// Room kept free when a text wraps, since the controls wrap their texts themselves, by the
// system's rules.
constexpr int kWrapSlack = 8;

// One run of the vertical pass; the part above the button row leaves `reserve` pixels free at
// the right (for a scroll bar).
void PlaceVertically(TaskDialogLayout& L, const TaskDialogModel& model, Canvas& canvas,
                     int reserve) {
  const TaskDialogMetrics& m = L.m;
  const int cw = L.clientWidth - reserve;
  const int instructionHeight = L.instructionRect.Height();
  L.instructionRect.top = m.vertMargin;
  L.instructionRect.bottom = m.vertMargin + instructionHeight;
  if (L.hasIcon)
    L.iconRect = {m.horzMargin, m.vertMargin, m.horzMargin + kMainIconSize,
                  m.vertMargin + kMainIconSize};

  // 1. The instruction.
  int y = m.vertMargin;
  L.instructionVisible = !model.Instruction.empty();
  if (L.instructionVisible) y += L.instructionRect.Height() + m.vertSpacing;

  // 2. The content wraps within the width the horizontal pass fixed.
  L.contentRect = {};
  L.contentLines.clear();
  if (!model.Content.empty()) {
    const int left = L.hasIcon ? L.iconRect.right + m.horzSpacing : m.horzMargin;
    const int right = std::max(left, cw - m.horzMargin);
    int h = 0;
    if (model.Options.Contains(doHyperlinks)) {
      h = MeasureMarkup(canvas, L.formFont, model.Content, {left, y, right, y + 100000})
              .measuredHeight;
    } else {
      FontRestorer restore(canvas);
      canvas.SetFont(L.formFont);
      L.contentLines = WrapPlainText(canvas, model.Content, right - left, L.Lead());
      h = static_cast<int>(L.contentLines.size()) * PlainLineHeight(canvas);
    }
    if (!L.instructionVisible && L.hasIcon) h = std::max(h, kMainIconSize);
    L.contentHeight = h;
    L.contentRect = {left, y, right, y + h};
    y += h + m.vertSpacing;
  } else if (L.radios.empty() && L.commandLinks.empty()) {
    y += m.vertSpacing;
  }

  // 3. The progress bar, below the icon.
  if (L.hasProgressBar) {
    if (L.hasIcon) y = std::max(y, L.iconRect.bottom + 3);
    L.progressRect.top = y;
    L.progressRect.bottom = y + kProgressBarHeight;
    y += kProgressBarHeight + m.vertSpacing;
  }

  // 4. Radio buttons.
  for (TaskDialogRadio& r : L.radios) {
    const int right = std::max(r.rect.left, cw - m.horzMargin);
    // A caption wider than its place wraps (the radio's glyph takes some 20 pixels).
    const int h =
        std::max(L.radioMinHeight, WrappedHeight(canvas, L.radioFont, r.caption,
                                                 right - r.rect.left - 20 - kWrapSlack, L.Lead()));
    r.rect = {r.rect.left, y, right, y + h};
    y += h + 4;
  }
  if (!L.radios.empty()) y += m.vertSpacing - 4;

  // 5. The details, while expanded, as high as their label shows them: wrapped within its width.
  if (L.hasExpand) {
    if (L.expanded) {
      FontRestorer restore(canvas);
      canvas.SetFont(L.formFont);
      const int width = std::max(0, cw - m.horzMargin - L.contentLeft);
      L.expandLines = WrapPlainText(canvas, model.ExpandedText, width, L.Lead());
      const int lines = std::max<int>(1, static_cast<int>(L.expandLines.size()));
      // Whole: where the dialog gets too tall, this part scrolls.
      const int h = lines * PlainLineHeight(canvas);
      L.expandLabel = {L.contentLeft, y, std::max(L.contentLeft, cw - m.horzMargin), y + h};
      y += h + m.vertSpacing;
    } else {
      L.expandLabel = {};
    }
  }

  // 6. Command links.
  for (TaskDialogCommandLink& link : L.commandLinks) {
    const int left = L.hasIcon ? L.contentLeft : m.horzMargin;
    const int right = std::max(left, cw - m.horzMargin);
    int h = link.minHeight;
    // Its text starts after the arrow (26 pixels with the gaps); wider lines wrap.
    const int room = right - left - 26 - kWrapSlack;
    if (link.measured.cx - 8 > room) {
      const std::vector<std::string> lines = SplitCommandLinkText(link.text);
      int wrapped = WrappedHeight(canvas, L.headingFont, lines[0], room, L.Lead()) + 10;
      for (std::size_t i = 1; i < lines.size(); ++i)
        wrapped += WrappedHeight(canvas, L.descriptionFont, lines[i], room, L.Lead()) + 2;
      h = std::max(h, wrapped);
    }
    link.rect = {left, y, right, y + h};
    y += h + 2;
  }
  if (!L.commandLinks.empty()) y += m.vertSpacing;

  // 7. The button row, right-aligned, with the expand button at its left end; buttons that do
  // not fit in one row go on in more rows below it.
  L.viewBottom = y - m.vertSpacing / 2;
  const int fullWidth = L.clientWidth;
  int tallest = 0;
  if (L.hasExpand) {
    L.expandButton = {m.vertMargin, y, m.vertMargin + kExpandButtonSize, y + kExpandButtonSize};
    tallest = kExpandButtonSize;
  }
  tallest = std::max(tallest, PlaceRows(L, y, fullWidth - m.horzSpacing - 4 + m.buttonSpacing));
  L.bandTop.reset();
  if (!L.pushButtons.empty()) L.bandTop = y;
  int bottom = y + tallest;
  if (tallest > 0) y += tallest + m.vertSpacing;

  // 8. The verification box, inside the band.
  if (L.hasVerification) {
    const int right = std::max(m.horzMargin, fullWidth - m.horzMargin);
    int h = std::max(L.verificationMinHeight,
                     WrappedHeight(canvas, L.formFont, model.VerificationText,
                                   right - m.horzMargin - 20 - kWrapSlack, L.Lead()));
    // The box stays below the part that scrolls: a huge text is cut, so that the dialog still
    // fits the screen.
    h = std::min(h, L.FixedPartLimit(L.verificationMinHeight));
    L.verificationRect = {m.horzMargin, y, right, y + h};
    y += h + m.vertSpacing;
    bottom += h + m.vertSpacing;
  }

  // 9. The footer, measured again in its full width.
  if (L.hasFooter) {
    const bool icon = L.footerIcon != tfiBlank;
    const int left = m.horzMargin + (icon ? 20 : 0);
    MarkupResult f = MeasureMarkup(canvas, L.formFont, model.Footer,
                                   {left, 0, std::max(left, fullWidth - m.horzMargin), 100000});
    L.footerWidth = f.measuredWidth;
    // Cut as the verification text is (the footer does not scroll either).
    L.footerHeight = std::min(f.measuredHeight, L.FixedPartLimit(m.cy));
    if (icon)
      L.footerImage = {m.horzMargin, y, m.horzMargin + kFooterIconSize, y + kFooterIconSize};
    bottom += (icon ? std::max(L.footerHeight, 20) : L.footerHeight) + m.vertSpacing;
  }

  // 10. The client height.
  L.clientHeight = bottom + m.vertMargin;
}

}  // namespace

namespace {

void Offset(Rect& r, int dy) {
  r.top += dy;
  r.bottom += dy;
}

}  // namespace

void VerticalPass(TaskDialogLayout& L, const TaskDialogModel& model, Canvas& canvas) {
  L.scrollRange = 0;
  L.scrollBar = {};
  PlaceVertically(L, model, canvas, 0);
  if (L.maxClientHeight <= 0 || L.clientHeight <= L.maxClientHeight) {
    L.scrollPos = 0;
    return;
  }
  // Too tall for the screen: the part above the buttons scrolls, beside a scroll bar, and the
  // buttons, the verification box and the footer stay in view below it.
  PlaceVertically(L, model, canvas, L.scrollBarWidth);
  const int upper = L.viewBottom;  // the scrolling part's full height
  const int excess = L.clientHeight - L.maxClientHeight;
  const int least = std::min(upper, L.m.vertMargin + 3 * L.m.buttonHeight);
  const int viewBottom = std::max(least, upper - excess);
  if (upper - viewBottom <= 0) {
    L.scrollPos = 0;
    return;
  }
  L.viewBottom = viewBottom;
  L.scrollRange = upper - viewBottom;
  L.scrollPos = std::clamp(L.scrollPos, 0, L.scrollRange);
  const int up = -L.scrollPos;
  Offset(L.iconRect, up);
  Offset(L.instructionRect, up);
  if (!model.Content.empty()) Offset(L.contentRect, up);
  if (L.hasProgressBar) Offset(L.progressRect, up);
  for (TaskDialogRadio& r : L.radios) Offset(r.rect, up);
  if (L.hasExpand && L.expanded) Offset(L.expandLabel, up);
  for (TaskDialogCommandLink& l : L.commandLinks) Offset(l.rect, up);
  const int lower = -L.scrollRange;
  for (TaskDialogPushButton& b : L.pushButtons) Offset(b.rect, lower);
  if (L.hasExpand) Offset(L.expandButton, lower);
  if (L.bandTop) *L.bandTop += lower;
  if (L.hasVerification) Offset(L.verificationRect, lower);
  if (L.footerIcon != tfiBlank) Offset(L.footerImage, lower);
  L.clientHeight += lower;
  L.scrollBar = {L.clientWidth - L.scrollBarWidth, 0, L.clientWidth, L.viewBottom};
}

std::string TaskDialogClipboardText(const std::string& caption, const std::string& instruction,
                                    const std::vector<std::string>& captions) {
  const std::string divider = std::string(27, '-') + "\r\n";
  std::string buttons;
  for (const std::string& c : captions) {
    for (char ch : c)
      if (ch != '&') buttons += ch;
    buttons += "   ";
  }
  return divider + caption + "\r\n" + divider + instruction + "\r\n" + divider + buttons + "\r\n" +
         divider;
}

}  // namespace vt9
