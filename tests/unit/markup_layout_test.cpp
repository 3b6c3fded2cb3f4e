// Layout of markup texts on the fixed-metrics canvas: every character 10 pixels wide, every
// text 20 high, so line breaks and positions can be worked out by hand. The line rectangle
// starts one pixel right of the bounds.
#include <gtest/gtest.h>

#include "markup/render.h"
#include "support/fake_canvas.h"
#include "vt9_texts.h"

namespace vt9 {
namespace {

using test::FakeCanvas;

struct Layout {
  FakeCanvas canvas{FakeCanvas::HandCountable()};
  MarkupParams params;
  Layout() { params.bounds = {0, 0, 200, 1000}; }
  MarkupResult Render(std::string_view text) { return RenderMarkup(canvas, text, params); }
  std::vector<std::string> Texts() const {
    std::vector<std::string> r;
    for (const auto& t : canvas.texts) r.push_back(t.text);
    return r;
  }
};

using Strings = std::vector<std::string>;

TEST(MarkupLayout, EmptyTextMeasuresOneLineHeightAndDrawsNothing) {
  Layout l;
  MarkupResult r = l.Render("");
  EXPECT_EQ(r.measuredHeight, 22);
  EXPECT_EQ(r.measuredWidth, 0);
  EXPECT_TRUE(l.canvas.log.empty());
  EXPECT_FALSE(r.overLink);
  EXPECT_EQ(r.mouseLink, -1);
}

TEST(MarkupLayout, WrapsBetweenWordsButNeverInsideOne) {
  Layout l;
  l.params.bounds.right = 100;  // line width 99
  MarkupResult r = l.Render("aaaa bbbb cccc");
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(l.Texts(), (Strings{"aaaa ", "bbbb ", "cccc"}));
  EXPECT_EQ(l.canvas.texts[1].rect.left, 1);
  EXPECT_EQ(l.canvas.texts[1].rect.bottom, 40);
  EXPECT_EQ(r.lines[0].width, 40);  // the trailing blank does not count
  EXPECT_EQ(r.lines[1].width, 90);
  EXPECT_EQ(r.measuredWidth, 92);
  EXPECT_EQ(r.measuredHeight, 42);

  Layout wide;
  wide.params.bounds.right = 100;
  r = wide.Render("abcdefghijklmnop xy");
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(wide.canvas.texts[0].rect.left, 1);
  EXPECT_EQ(wide.canvas.texts[0].text, "abcdefghijklmnop ");
}

TEST(MarkupLayout, WordSplitByTagsStaysTogether) {
  Layout l;
  l.params.bounds.right = 76;  // 75: "aaaa bb" fits, "cc" overflows but joins "bb"
  MarkupResult r = l.Render("aaaa bb<B>cc</B> dd");
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(l.Texts(), (Strings{"aaaa ", "bb", "cc", " ", "dd"}));
  EXPECT_EQ(l.canvas.texts[2].rect.left, 71);
  EXPECT_EQ(l.canvas.texts[4].rect.bottom, 40);
}

TEST(MarkupLayout, WithoutWordWrapOverflowGetsEllipsisAndALaterRunEndsTheText) {
  Layout l;
  l.params.bounds.right = 100;
  l.params.wordWrap = false;
  MarkupResult r = l.Render("aaaa bbbb cccc dddd<BR>second line");
  ASSERT_EQ(r.lines.size(), 2u);
  ASSERT_EQ(l.canvas.texts.size(), 2u);
  EXPECT_TRUE(l.canvas.texts[0].flags.endEllipsis);
  EXPECT_EQ(l.canvas.texts[0].rect.right, 100);

  Layout cut;
  cut.params.bounds.right = 100;
  cut.params.wordWrap = false;
  r = cut.Render("aaaa <B>bbbbbbb</B>cc<BR>next");
  EXPECT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(cut.Texts(), (Strings{"aaaa ", "bbbbbbb"}));
}

TEST(MarkupLayout, AlignmentIgnoresTrailingBlankAndPersistsAfterClosingP) {
  Layout l;
  MarkupResult r = l.Render("<P align=\"right\">abc </P>def");
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(r.lines[0].left, 170);
  EXPECT_EQ(l.canvas.texts[0].rect.left, 170);
  EXPECT_EQ(r.lines[1].left, 170);  // closing P ends the line but keeps the alignment

  Layout c;
  r = c.Render("<P align=\"center\">ab</P><P align=\"left\">cd");
  EXPECT_EQ(r.lines[0].left, 1 + (199 - 20) / 2);
  EXPECT_EQ(r.lines[1].left, 1);

  Layout indent;
  r = indent.Render("<P indent=\"15\">ab");
  EXPECT_EQ(indent.canvas.texts[0].rect.left, 16);
}

TEST(MarkupLayout, ReminderTextIsOneCentredBoldTenPointLine) {
  FakeCanvas canvas;  // proportional-ish: 6 px, bold 7 px, height |font height| + 3
  MarkupParams p;
  p.bounds = {0, 0, 600, 100};
  MarkupResult r = RenderMarkup(canvas, STR_REMINDER_ONE_DAY, p);
  ASSERT_EQ(r.lines.size(), 1u);
  const int width = 46 * 7;
  EXPECT_EQ(r.lines[0].width, width);
  EXPECT_EQ(r.lines[0].left, 1 + (599 - width) / 2);
  ASSERT_FALSE(canvas.texts.empty());
  for (const auto& t : canvas.texts) {
    EXPECT_EQ(test::DescribeFont(t.font, 96), "Tahoma,10,B");
  }
  EXPECT_EQ(r.lines[0].height, 16);      // 10 pt = 13 px + 3
  EXPECT_EQ(canvas.Font(), FontSpec{});  // the canvas font is restored
}

TEST(MarkupLayout, LeadingBreaksGiveEmptyLinesOfTextHeight) {
  Layout l;
  MarkupResult r = l.Render("<br><br><br><br>text");
  ASSERT_EQ(r.lines.size(), 5u);
  EXPECT_EQ(r.lines[4].top, 80);
  EXPECT_EQ(l.canvas.texts[0].rect.bottom, 100);
  EXPECT_EQ(r.measuredHeight, 102);
}

TEST(MarkupLayout, DrawingStopsBelowTheBoundsButMeasuringDoesNot) {
  Layout l;
  l.params.bounds.bottom = 50;
  MarkupResult r = l.Render("one<BR>two<BR>three<BR>four");
  EXPECT_EQ(l.Texts(), (Strings{"one", "two"}));
  EXPECT_EQ(r.measuredHeight, 42);

  Layout m;
  m.params.bounds.bottom = 50;
  m.params.measureOnly = true;
  r = m.Render("one<BR>two<BR>three<BR>four");
  EXPECT_TRUE(m.canvas.log.empty());
  EXPECT_EQ(r.measuredHeight, 82);
}

TEST(MarkupLayout, LineSpacingIsAddedToEveryLine) {
  Layout l;
  l.params.lineSpacing = 3;
  MarkupResult r = l.Render("a<BR>b");
  EXPECT_EQ(r.measuredHeight, 2 * 23 + 2);
  EXPECT_EQ(l.canvas.texts[1].rect.bottom, 46);
}

TEST(MarkupLayout, FontStateCarriesOverLinesAndClosingTagsRestore) {
  Layout l;
  l.Render(
      "<B>bold<BR>still</B> plain <FONT size=\"3\" face=\"Arial\" color=\"#FF0000\">x</FONT>y"
      "<FONT size=11>z</FONT><I>i</I><U>u</U><S>s</S>");
  ASSERT_EQ(l.canvas.texts.size(), 10u);  // " plain " is cut into " " and "plain "
  EXPECT_EQ(test::DescribeFont(l.canvas.texts[1].font, 96), "Tahoma,8,B");
  EXPECT_EQ(test::DescribeFont(l.canvas.texts[3].font, 96), "Tahoma,8,-");
  EXPECT_EQ(test::DescribeFont(l.canvas.texts[4].font, 96), "ARIAL,12,-");
  EXPECT_EQ(l.canvas.texts[4].font.color, 0x0000FFu);
  EXPECT_EQ(test::DescribeFont(l.canvas.texts[5].font, 96), "Tahoma,8,-");
  EXPECT_EQ(l.canvas.texts[5].font.color, 0u);
  EXPECT_EQ(test::DescribeFont(l.canvas.texts[6].font, 96), "Tahoma,11,-");
  EXPECT_EQ(test::DescribeFont(l.canvas.texts[7].font, 96), "Tahoma,8,I");
  EXPECT_EQ(test::DescribeFont(l.canvas.texts[8].font, 96), "Tahoma,8,U");
  EXPECT_EQ(test::DescribeFont(l.canvas.texts[9].font, 96), "Tahoma,8,S");
}

TEST(MarkupLayout, BrokenTagsAreDroppedNotRejected) {
  Layout l;
  l.Render("abc<");
  EXPECT_EQ(l.Texts(), (Strings{"abc"}));
  Layout one;
  one.Render("abc<F");
  EXPECT_EQ(one.Texts(), (Strings{"abc"}));
  Layout font;
  font.Render("abc<FONT size=\"20\" rest of text");
  EXPECT_EQ(font.Texts(), (Strings{"abc"}));
  Layout unknown;
  unknown.Render("a<BI>b<QQ x=1>c<BIG>d");
  EXPECT_EQ(unknown.Texts(), (Strings{"a", "b", "c", "d"}));
  for (const auto& t : unknown.canvas.texts) EXPECT_EQ(t.font.style, 0u);
}

TEST(MarkupLayout, ListsIndentAndAlternateBullets) {
  Layout l;
  MarkupResult r = l.Render("<UL><LI>one</LI><UL><LI>two</LI></UL><LI>a<LI>b</UL>");
  // UL's own empty line, "one", UL's line, "two", then "a" and "b" on lines of their own.
  ASSERT_EQ(r.lines.size(), 6u);
  ASSERT_EQ(l.canvas.texts.size(), 8u);
  EXPECT_EQ(l.canvas.texts[0].text, "\xB7");
  EXPECT_EQ(l.canvas.texts[0].font.name, "Symbol");
  EXPECT_EQ(l.canvas.texts[0].rect.left, 1);
  EXPECT_EQ(l.canvas.texts[1].text, "one");
  EXPECT_EQ(l.canvas.texts[1].font.name, "Tahoma");
  EXPECT_EQ(l.canvas.texts[1].rect.left, 13);
  EXPECT_EQ(l.canvas.texts[2].text, "o");
  EXPECT_EQ(l.canvas.texts[2].rect.left, 13);
  EXPECT_EQ(l.canvas.texts[3].rect.left, 25);
  EXPECT_EQ(r.lines[3].width, 24 + 30);
  EXPECT_EQ(l.canvas.texts[5].text, "a");
  EXPECT_EQ(l.canvas.texts[7].text, "b");
  EXPECT_EQ(l.canvas.texts[7].rect.bottom, r.lines[5].top + 20);
}

TEST(MarkupLayout, HiddenTextTakesNoWidthButRaisesTheLine) {
  Layout l;
  l.canvas.metrics.fixedHeight = 0;  // heights follow the font size again
  l.canvas.metrics.heightExtra = 0;
  MarkupResult r = l.Render("a<Z><FONT size=\"20\">hidden</FONT></Z>b");
  EXPECT_EQ(l.Texts(), (Strings{"a", "b"}));
  EXPECT_EQ(r.lines[0].width, 20);
  EXPECT_EQ(r.lines[0].height, 27);  // 20 pt = 27 px
  EXPECT_EQ(l.canvas.texts[1].rect.left, 11);
}

TEST(MarkupLayout, ErrorMarkingDrawsARedZigzagUnderTheRun) {
  Layout l;
  l.Render("<E>ab</E>c<BI>");
  std::string log = l.canvas.Log();
  // "ab" spans x 1..21: the zigzag starts at 0 (offset 2, as 0 is a multiple of 4).
  EXPECT_NE(log.find("moveto 0,21"), std::string::npos) << log;
  EXPECT_NE(log.find("lineto 2,19 pen=#FF0000"), std::string::npos);
  EXPECT_NE(log.find("lineto 22,19"), std::string::npos);
  EXPECT_EQ(log.find("lineto 24,"), std::string::npos);
  EXPECT_EQ(log.find("lineto", log.find("\"c\"")), std::string::npos);  // not under "c"
}

TEST(MarkupLayout, ShadowDrawsAnOffsetCopyFirstAndOnlyFromItsTag) {
  Layout l;
  l.params.shadowOffset = 2;
  l.Render("a<SHADOW>b</SHADOW>c");
  ASSERT_EQ(l.canvas.texts.size(), 4u);
  EXPECT_EQ(l.canvas.texts[0].text, "a");
  EXPECT_EQ(l.canvas.texts[1].text, "b");
  EXPECT_EQ(l.canvas.texts[1].font.color, 0x808080u);
  EXPECT_EQ(l.canvas.texts[1].rect.left, 13);
  EXPECT_EQ(l.canvas.texts[1].rect.bottom, 22);
  EXPECT_EQ(l.canvas.texts[2].font.color, 0u);
  EXPECT_EQ(l.canvas.texts[2].rect.left, 11);
}

TEST(MarkupLayout, SubscriptAndSuperscriptMoveTheRunAndGrowTheLine) {
  Layout l;
  MarkupResult r = l.Render("x<SUP>2</SUP>y<BR>a<sub>i</sub>");
  // A quarter of the text height (5) is added above the first line and below the second.
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(r.lines[0].height, 25);
  EXPECT_EQ(l.canvas.texts[0].rect.bottom, 25);  // x on the text area's bottom
  EXPECT_EQ(l.canvas.texts[1].rect.bottom, 20);  // 2 raised by the lift
  EXPECT_EQ(r.lines[1].top, 25);
  EXPECT_EQ(l.canvas.texts[3].rect.bottom, 45);
  EXPECT_EQ(l.canvas.texts[4].rect.bottom, 50);  // i lowered by the drop
  EXPECT_EQ(r.measuredHeight, 52);
}

TEST(MarkupLayout, IndentToAndOffsetMoveTheDrawingPosition) {
  Layout l;
  l.Render("a<IN x=\"50\">b<IN x=\"5\">c<IN x=\"q\">d");
  ASSERT_EQ(l.canvas.texts.size(), 4u);
  EXPECT_EQ(l.canvas.texts[1].rect.left, 50);
  EXPECT_EQ(l.canvas.texts[2].rect.left, 60);  // smaller than the line width: ignored

  Layout o;
  MarkupResult r = o.Render("a<OF x=\"30\">b<BR>c</OF><BR>d");
  EXPECT_EQ(o.canvas.texts[1].rect.left, 30);
  EXPECT_EQ(o.canvas.texts[2].rect.left, 31);  // carried to the next line
  EXPECT_EQ(o.canvas.texts[3].rect.left, 1);
  EXPECT_EQ(r.lines.size(), 3u);
}

TEST(MarkupLayout, RuleAndBackgrounds) {
  Layout l;
  l.Render("a<HR>b");
  std::string log = l.canvas.Log();
  EXPECT_NE(log.find("moveto 1,21\nlineto 200,21 pen=#000000"), std::string::npos) << log;

  Layout p;
  p.Render("<P bgcolor=\"#00FF00\">a</P>b");
  log = p.canvas.Log();
  EXPECT_NE(log.find("rectangle 0,0,200,20 pen=#00FF00 brush=#00FF00"), std::string::npos) << log;
  EXPECT_EQ(p.canvas.texts[0].brush, 0x00FF00u);
  EXPECT_EQ(p.canvas.texts[1].brush, kColorNone);

  Layout body;
  body.params.bounds = {10, 10, 200, 100};
  body.Render("<BODY bgcolor=\"clYellow\">x");
  log = body.canvas.Log();
  EXPECT_NE(log.find("rectangle 8,10,200,100 pen=#FFFF00 brush=#FFFF00"), std::string::npos) << log;

  Layout grad;
  grad.Render("<P bgcolor=\"#000000\" bgcolorto=\"#FFFFFF\">a</P>");
  EXPECT_EQ(grad.canvas.texts[0].brush, kColorNone);
  EXPECT_NE(grad.canvas.Log().find("fill 0,0,4,22 #000000"), std::string::npos);

  Layout selected;
  selected.params.selected = true;
  selected.Render("<BODY bgcolor=\"#FF0000\"><FONT color=\"#FF0000\" bgcolor=\"#00FF00\">x</FONT>");
  EXPECT_EQ(selected.canvas.Log().find("rectangle"), std::string::npos);
  EXPECT_EQ(selected.canvas.texts[0].font.color, 0u);
  EXPECT_EQ(selected.canvas.texts[0].brush, kColorNone);
}

TEST(MarkupLayout, HighlightBlinkAndRotation) {
  Layout l;
  l.canvas.SetBrushColor(0x123456);
  l.params.blinkOn = false;
  l.Render("<HI>h</HI>n<BL>b</BL><R a=\"90\">r</R>");
  ASSERT_EQ(l.canvas.texts.size(), 4u);
  EXPECT_EQ(l.canvas.texts[0].brush, SystemColor(13));
  EXPECT_EQ(l.canvas.texts[0].font.color, SystemColor(14));
  EXPECT_EQ(l.canvas.texts[1].brush, kColorNone);
  EXPECT_EQ(l.canvas.texts[2].font.color, 0x123456u);  // blink off: drawn in the background
  EXPECT_EQ(l.canvas.texts[3].font.escapement, 900);
  EXPECT_EQ(l.canvas.Font().escapement, 0);
  EXPECT_EQ(l.canvas.BrushColor(), 0x123456u);  // the caller's brush is restored
}

TEST(MarkupLayout, EntitiesInRuns) {
  Layout l;
  l.params.bounds.right = 60;  // 59: "aa bb" is 50
  l.Render("x aa&nbsp;bb &lt;b&gt; &LT; &amp;");
  EXPECT_EQ(l.Texts(), (Strings{"x ", "aa bb ", "<b> ", "&LT; ", "&&"}));
  EXPECT_TRUE(l.canvas.texts[0].flags.prefix);

  Layout off;
  off.Render("Tom & Jerry &amp;");
  EXPECT_FALSE(off.canvas.texts[0].flags.prefix);
  EXPECT_EQ(off.canvas.texts.back().text, "&&");
}

// Numbers far outside any screen are clamped: pixel values to 2^20, font sizes to 1000 points,
// angles to 360 degrees; the line is laid out from the clamped values without overflowing.
TEST(MarkupLayout, HugeAndNegativeValuesAreClampedBeforeLayout) {
  constexpr int kLimit = 1 << 20;
  Layout l;
  MarkupResult r = l.Render(
      "<P indent=\"-99999999999\"><FONT size=\"99999999\">a</FONT><OF x=\"2147483647\">b"
      "<IN x=\"99999999999\">c<R a=\"-2147483648\">d</R><P indent=\"$7FFFFFFF\">e");
  ASSERT_EQ(r.lines.size(), 1u);
  // The line's last indent wins; the offset sets the width to its clamped value, and "c" to
  // "e" follow it (the indent-to value lies behind "b", so it moves nothing).
  EXPECT_EQ(r.lines[0].left, 1 + kLimit);
  EXPECT_EQ(r.lines[0].width, kLimit + 40);
  EXPECT_EQ(r.measuredWidth, kLimit + 42);
  EXPECT_EQ(r.measuredHeight, 22);
  ASSERT_EQ(l.Texts(), (Strings{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(l.canvas.texts[0].font.height, -1000 * 96 / 72);  // 1000 points
  EXPECT_EQ(l.canvas.texts[1].rect.left, kLimit);             // the offset is absolute
  EXPECT_EQ(l.canvas.texts[2].rect.left, kLimit + 10);
  // A quoted number loses its minus sign (the closing quote stops the reading): +360 degrees.
  EXPECT_EQ(l.canvas.texts[3].font.escapement, 36000);
  EXPECT_EQ(l.canvas.texts[4].font.escapement, 0);
}

}  // namespace
}  // namespace vt9
