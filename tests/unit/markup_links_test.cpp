// Links of the markup: numbering, hover styling, hit-testing and the focus rectangle, on the
// fixed-metrics canvas (10 px per character, 20 px per line).
#include <gtest/gtest.h>

#include "markup/render.h"
#include "support/fake_canvas.h"

namespace vt9 {
namespace {

using test::FakeCanvas;

// "ab " spans x 1..31, "cd" 31..51, " " 51..61, "ef " 61..91, "gh" 91..111.
constexpr const char* kTwoLinks = "ab <A href=\"one\">cd</A> ef <A href=\"two\">gh</A>";

MarkupResult Hit(std::string_view text, int x, int y, MarkupParams p = {}) {
  FakeCanvas canvas(FakeCanvas::HandCountable());
  if (p.bounds == Rect{}) p.bounds = {0, 0, 200, 1000};
  p.hitTestOnly = true;
  p.mouseX = x;
  p.mouseY = y;
  MarkupResult r = RenderMarkup(canvas, text, p);
  EXPECT_TRUE(canvas.log.empty()) << "hit-testing must not paint";
  return r;
}

TEST(MarkupLinks, HoverStylesOnlyTheHoveredLink) {
  FakeCanvas canvas(FakeCanvas::HandCountable());
  MarkupParams p;
  p.bounds = {0, 0, 200, 100};
  p.hover = true;
  p.hoverLink = 2;
  p.hoverColor = 0x00FFFF;
  p.hoverFontColor = 0x00FF00;
  RenderMarkup(canvas, kTwoLinks, p);
  ASSERT_EQ(canvas.texts.size(), 5u);
  EXPECT_EQ(canvas.texts[1].text, "cd");
  EXPECT_EQ(canvas.texts[1].font.style, 0u);
  EXPECT_EQ(canvas.texts[1].font.color, 0xFF0000u);
  EXPECT_EQ(canvas.texts[1].brush, kColorNone);
  EXPECT_EQ(canvas.texts[4].font.style, unsigned{kFontUnderline});
  EXPECT_EQ(canvas.texts[4].font.color, 0x00FF00u);
  EXPECT_EQ(canvas.texts[4].brush, 0x00FFFFu);
  EXPECT_EQ(canvas.texts[2].font.color, 0u);  // text after a link is back to the base colour

  FakeCanvas all(FakeCanvas::HandCountable());
  p.hover = false;
  RenderMarkup(all, kTwoLinks, p);
  EXPECT_EQ(all.texts[1].font.style, unsigned{kFontUnderline});
  EXPECT_EQ(all.texts[4].font.style, unsigned{kFontUnderline});
  EXPECT_EQ(all.texts[2].font.style, 0u);
}

TEST(MarkupLinks, SelectedLinksKeepTheTextColour) {
  FakeCanvas canvas(FakeCanvas::HandCountable());
  MarkupParams p;
  p.bounds = {0, 0, 200, 100};
  p.selected = true;
  canvas.SetFont(FontSpec{"Tahoma", -11, 0x336699});
  RenderMarkup(canvas, kTwoLinks, p);
  for (const auto& t : canvas.texts) EXPECT_EQ(t.font.color, 0x336699u) << t.text;
}

TEST(MarkupLinks, EdgesOfALinkAreOnItAndOutsidePointsAreNot) {
  struct Case {
    int x, y;
    bool over;
    int link;
    const char* anchor;
  } cases[] = {
      {31, 10, true, 1, "one"}, {51, 10, true, 1, "one"}, {30, 10, false, -1, ""},
      {52, 10, false, -1, ""},  {100, 5, true, 2, "two"}, {111, 19, true, 2, "two"},
      {40, 0, false, -1, ""},   {112, 10, false, -1, ""},
  };
  for (const Case& c : cases) {
    MarkupResult r = Hit(kTwoLinks, c.x, c.y);
    EXPECT_EQ(r.overLink, c.over) << c.x << "," << c.y;
    EXPECT_EQ(r.mouseLink, c.link) << c.x << "," << c.y;
    EXPECT_EQ(r.anchorUnderMouse, c.anchor) << c.x << "," << c.y;
  }
}

TEST(MarkupLinks, PointOnTheLineBelowIsNotOnTheLink) {
  MarkupResult r = Hit(std::string(kTwoLinks) + "<BR>second line", 40, 30);
  EXPECT_FALSE(r.overLink);
  // The target and number may already name the link; callers use them only with a hit.
  EXPECT_EQ(r.mouseLink, 1);
}

TEST(MarkupLinks, LinkWithoutQuotesHasAnEmptyTargetButCounts) {
  MarkupResult r = Hit("<A>x</A> <A href=\"t\">y</A>", 25, 10);
  EXPECT_TRUE(r.overLink);
  EXPECT_EQ(r.mouseLink, 2);
  EXPECT_EQ(r.anchorUnderMouse, "t");
  r = Hit("<A>x</A>", 5, 10);
  EXPECT_TRUE(r.overLink);
  EXPECT_EQ(r.mouseLink, 1);
  EXPECT_EQ(r.anchorUnderMouse, "");
}

TEST(MarkupLinks, HitTestFollowsAlignment) {
  MarkupParams p;
  p.bounds = {0, 0, 201, 100};  // line width 200; "link" of 40 px centred at 81..121
  MarkupResult r = Hit("<P align=\"center\"><A href=\"c\">link</A>", 85, 10, p);
  EXPECT_TRUE(r.overLink);
  r = Hit("<P align=\"center\"><A href=\"c\">link</A>", 10, 10, p);
  EXPECT_FALSE(r.overLink);
}

// The hit-testing pass replays a line in a rectangle exactly as wide as the line (right
// alignment) or narrower (indent): the link must still end with its own text.
TEST(MarkupLinks, OnlyTheLinksOwnTextHitsItOnEveryAlignment) {
  MarkupParams p;
  p.bounds = {0, 0, 201, 100};
  for (const char* para :
       {"<P align=\"right\">", "<P align=\"center\">", "<P indent=\"150\">", "<P>"}) {
    const std::string text = std::string(para) + "aaaa <A href=\"x\">bbbb</A><BR>cccc dddd";
    for (int x = 1; x < 201; x += 5) {
      MarkupResult r = Hit(text, x, 30, p);  // second line: plain text
      EXPECT_FALSE(r.overLink) << para << " x=" << x;
    }
  }
  // Right aligned, the line is 90 px wide at 111..201: "bbbb" is at 161..201.
  MarkupResult r = Hit("<P align=\"right\">aaaa <A href=\"x\">bbbb</A><BR>cccc dddd", 170, 10, p);
  EXPECT_TRUE(r.overLink);
  EXPECT_EQ(r.mouseLink, 1);
  EXPECT_EQ(r.anchorUnderMouse, "x");
  r = Hit("<P align=\"right\">aaaa <A href=\"x\">bbbb</A><BR>cccc dddd", 150, 10, p);
  EXPECT_FALSE(r.overLink);
}

TEST(MarkupLinks, FocusRectangleAroundTheFocusedLink) {
  FakeCanvas canvas(FakeCanvas::HandCountable());
  MarkupParams p;
  p.bounds = {0, 0, 200, 100};
  p.focusLink = 1;  // the second link, counted from 0
  RenderMarkup(canvas, kTwoLinks, p);
  std::string log = canvas.Log();
  EXPECT_NE(log.find("focus 90,0,112,20"), std::string::npos) << log;
  EXPECT_EQ(log.find("focus", log.find("focus") + 1), std::string::npos);
}

TEST(MarkupLinks, FocusRectangleContinuesAcrossLines) {
  FakeCanvas canvas(FakeCanvas::HandCountable());
  MarkupParams p;
  p.bounds = {0, 0, 60, 100};  // 59 px: "ab ", "cd ", "ef gh" on three lines
  p.focusLink = 0;
  RenderMarkup(canvas, "ab <A href=\"x\">cd ef gh</A>", p);
  std::vector<std::string> focus;
  for (const auto& line : canvas.log) {
    if (line.rfind("focus", 0) == 0) focus.push_back(line);
  }
  EXPECT_EQ(focus,
            (std::vector<std::string>{"focus 30,0,32,20", "focus 1,20,32,40", "focus 1,40,52,60"}));
}

TEST(MarkupLinks, StrayClosingTagDrawsNoFocusRectangle) {
  FakeCanvas canvas(FakeCanvas::HandCountable());
  MarkupParams p;
  p.bounds = {0, 0, 200, 100};
  RenderMarkup(canvas, "x</A>y", p);
  EXPECT_EQ(canvas.Log().find("focus"), std::string::npos);
  EXPECT_EQ(canvas.texts[1].font.color, 0u);
}

}  // namespace
}  // namespace vt9
