#include "markup/markup_text.h"

#include <gtest/gtest.h>

#include "markup/gradient.h"
#include "support/fake_canvas.h"

namespace vt9::markup {
namespace {

TEST(MarkupPrepare, EntitiesAreReplacedCaseInsensitively) {
  EXPECT_EQ(PrepareMarkup("a &amp; b"), "a && b");
  EXPECT_EQ(PrepareMarkup("&AMP;&Quot;&sect;&permil;&reg;&copy;&para;&trade;&euro;"),
            "&&\"\xA7\x89\xAE\xA9\xB6\x99\x80");
  // Every occurrence goes, however many there are.
  EXPECT_EQ(PrepareMarkup("&copy;&copy;&copy;x&copy;"), "\xA9\xA9\xA9x\xA9");
  // The second ampersand that &amp; leaves can start a further entity.
  EXPECT_EQ(PrepareMarkup("&amp;quot;"), "&\"");
  EXPECT_EQ(PrepareMarkup("&amp;amp;"), "&&&");
  EXPECT_EQ(PrepareMarkup("&unknown; & &"), "&unknown; & &");
}

TEST(MarkupPrepare, HashEscapeAndLineBreaks) {
  EXPECT_EQ(PrepareMarkup("<#1> and <#2>"), "#1 and <#2>");
  EXPECT_EQ(PrepareMarkup("one\r\ntwo\nthree\r"), "one<BR>twothree<BR>");
  EXPECT_EQ(PrepareMarkup(""), "");
  EXPECT_EQ(PrepareMarkup("a<#"), "a#");
}

TEST(MarkupPrepare, BlankAmpersandBlankSwitchesPrefixesOff) {
  EXPECT_TRUE(PrefixesOff("Tom & Jerry"));
  EXPECT_FALSE(PrefixesOff("Tom &amp; Jerry"));
  EXPECT_FALSE(PrefixesOff("Tom &Jerry"));
}

TEST(MarkupRunEntities, OnlyLowerCaseNamesAreReplaced) {
  EXPECT_EQ(ReplaceRunEntities("a&nbsp;b"), "a b");
  EXPECT_EQ(ReplaceRunEntities("&lt;b&gt;"), "<b>");
  EXPECT_EQ(ReplaceRunEntities("&LT;b&GT;"), "&LT;b&GT;");
  EXPECT_EQ(ReplaceRunEntities("&&lt;"), "&<");
}

TEST(MarkupNumbers, LenientReading) {
  struct Case {
    const char* text;
    int value;
    bool digits;
  } cases[] = {
      {"  12", 12, true},
      {"12\"", 12, true},
      {"-5", -5, true},
      {"-5\">", 5, true},
      {"$1F", 31, true},
      {"0x10", 16, true},
      {"x1f\"", 31, true},
      {"12abc", 12, true},
      {"", 0, false},
      {"abc", 0, false},
      {"+7", 7, true},
      {"$", 0, false},
      {"99999999999999", 2147483647, true},
  };
  for (const Case& c : cases) {
    LenientNumber n = ReadLenientNumber(c.text);
    EXPECT_EQ(n.value, c.value) << c.text;
    EXPECT_EQ(n.digits, c.digits) << c.text;
  }
}

TEST(MarkupColors, HexAndNames) {
  EXPECT_EQ(ColorFromText("#800000"), 0x000080u);
  EXPECT_EQ(ColorFromText("#0080FF"), 0xFF8000u);
  EXPECT_EQ(ColorFromText("#80"), 0x000080u);      // missing pairs count as 0
  EXPECT_EQ(ColorFromText("#ZZ00FF"), 0xFF0000u);  // an unreadable pair counts as 0
  EXPECT_EQ(ColorFromText(""), kColorNone);
  EXPECT_EQ(ColorFromText("clNavy"), 0x800000u);
  EXPECT_EQ(ColorFromText("CLRED"), 0x0000FFu);
  EXPECT_EQ(ColorFromText("clmaroon"), 0x000080u);
  EXPECT_EQ(ColorFromText("cl3ddkshadow"), SystemColor(21));
  EXPECT_EQ(ColorFromText("clInfoBk"), SystemColor(24));
  EXPECT_EQ(ColorFromText("clBackground"), SystemColor(1));
  EXPECT_EQ(ColorFromText("purple-ish"), 0u);
}

TEST(MarkupAttributes, ValuesBetweenDoubleQuotes) {
  const std::string tag = "<IMG src=\"Res://Pic\" ALT=\"x\">";
  const std::string upper = ToUpper(tag);
  EXPECT_EQ(AttributeValue(upper, "SRC", 2, tag), "Res://Pic");
  EXPECT_EQ(AttributeValue(upper, "SRC"), "RES://PIC");
  EXPECT_EQ(AttributeValue(upper, "WIDTH"), std::nullopt);
  EXPECT_EQ(AttributeValue("<FONT SIZE=3>", "SIZE"), "");
  // A missing closing quote runs to the end of the tag.
  EXPECT_EQ(AttributeValue("<FONT COLOR=\"#FF0000>", " COLOR"), "#FF0000");
}

TEST(MarkupGradient, BandsRoundHalfToEvenAndStayInside) {
  test::FakeCanvas canvas;
  DrawGradient(canvas, 0x000000, 0x0000FF, 4, true, Rect{0, 0, 10, 5}, kColorNone);
  ASSERT_EQ(canvas.log.size(), 4u);
  // Red steps of 255/4 = 63.75; step width 2.5: offsets 0, 2 (2.5 to even), 5, 8 (7.5 to even).
  EXPECT_EQ(canvas.log[0], "fill 0,0,3,5 #000000");
  EXPECT_EQ(canvas.log[1], "fill 2,0,5,5 #400000");
  EXPECT_EQ(canvas.log[2], "fill 5,0,8,5 #800000");
  EXPECT_EQ(canvas.log[3], "fill 8,0,10,5 #BF0000");
  canvas.log.clear();
  DrawGradient(canvas, 0xFFFFFF, 0xFFFFFF, 0, false, Rect{0, 0, 4, 4}, 0x000000);
  ASSERT_EQ(canvas.log.size(), 2u);
  EXPECT_EQ(canvas.log[0], "fill 0,0,4,4 #FFFFFF");
  EXPECT_EQ(canvas.log[1], "rectangle 0,0,4,4 pen=#000000 brush=none");
}

}  // namespace
}  // namespace vt9::markup
