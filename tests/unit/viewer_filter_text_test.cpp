// The filter bar's text without a window: the terms as typed, the count, "Go to line" and the
// listed lines written out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer/filter_text.h"

namespace vt9 {
namespace {

using Terms = std::vector<TypedTerm>;

TEST(FilterTerms, WordsPhrasesAndExclusions) {
  EXPECT_EQ(ParseFilterTerms("error  disk\tfull"),
            (Terms{{"error", false}, {"disk", false}, {"full", false}}));
  EXPECT_EQ(ParseFilterTerms(R"("access denied" -retry -"in use")"),
            (Terms{{"access denied", false}, {"retry", true}, {"in use", true}}));
  // A minus inside a word, or a quote inside one, is part of the word.
  EXPECT_EQ(ParseFilterTerms(R"(re-try it"s)"), (Terms{{"re-try", false}, {"it\"s", false}}));
  // An unclosed quote runs to the end, blanks kept.
  EXPECT_EQ(ParseFilterTerms(R"(-"cannot open )"), (Terms{{"cannot open ", true}}));
  // Nothing to look for: blanks, a lone minus, empty quotes.
  EXPECT_TRUE(ParseFilterTerms("").empty());
  EXPECT_TRUE(ParseFilterTerms(R"(  - "" -"" )").empty());
  // A phrase right after a word and a word right after a phrase.
  EXPECT_EQ(ParseFilterTerms(R"("a b"c d)"), (Terms{{"a b", false}, {"c", false}, {"d", false}}));
}

TEST(FilterCount, GroupsThousandsAndCountsLines) {
  EXPECT_EQ(FilterCountText(1234, 13433508), "1,234 of 13,433,508 lines");
  EXPECT_EQ(FilterCountText(0, 0), "0 of 0 lines");
  EXPECT_EQ(FilterCountText(1, 1), "1 of 1 line");
  EXPECT_EQ(FilterCountText(999, 1000), "999 of 1,000 lines");
  EXPECT_EQ(GroupedNumber(100000), "100,000");
  EXPECT_EQ(GroupedNumber(-1234567), "-1,234,567");
  EXPECT_EQ(GroupedNumber(INT64_MIN), "-9,223,372,036,854,775,808");
}

TEST(GoToLineNumber, ReadsAndClampsWhatWasTyped) {
  EXPECT_EQ(ParseLineNumber("1,234", 5000), 1234);
  EXPECT_EQ(ParseLineNumber(" 42 ", 5000), 42);
  EXPECT_EQ(ParseLineNumber("0", 5000), 1);
  EXPECT_EQ(ParseLineNumber("99999", 5000), 5000);
  // Far too many digits: the last line, not an overflow to a negative number.
  EXPECT_EQ(ParseLineNumber("99999999999999999999999999", 5000), 5000);
  EXPECT_EQ(ParseLineNumber("", 5000), 0);
  EXPECT_EQ(ParseLineNumber("12a", 5000), 0);
  EXPECT_EQ(ParseLineNumber("-3", 5000), 0);
  EXPECT_EQ(ParseLineNumber("3", 0), 0);
}

struct Written {
  std::string text;
  PieceWriter writer() {
    return [this](std::string_view piece) {
      text.append(piece);
      return true;
    };
  }
};

LineReader From(const std::vector<std::string>& lines) {
  return [lines](std::int64_t i, std::string& line) {
    if (i < 0 || i >= static_cast<std::int64_t>(lines.size())) return false;
    line = lines[static_cast<std::size_t>(i)];
    return true;
  };
}

TEST(ListedLinesOut, PlainTextEndsEveryLine) {
  Written out;
  EXPECT_TRUE(WriteLinesAsText(3, From({"a", "", "c\td"}), out.writer()));
  EXPECT_EQ(out.text, "a\r\n\r\nc\td\r\n");
}

TEST(ListedLinesOut, RichTextEscapesWhatRichTextReads) {
  Written out;
  EXPECT_TRUE(WriteLinesAsRichText(2, From({"C:\\{x}\tend", "caf\xe9\x01"}), out.writer(), 1252));
  EXPECT_EQ(out.text,
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs20\r\n"
            "C:\\\\\\{x\\}\\tab end\\par\r\n"
            "caf\\'e9\\'01\\par\r\n"
            "}");
}

TEST(ListedLinesOut, StopsAtALineThatCannotBeReadOrAPieceRefused) {
  Written out;
  EXPECT_FALSE(WriteLinesAsText(3, From({"a", "b"}), out.writer()));
  EXPECT_EQ(out.text, "a\r\nb\r\n");
  int calls = 0;
  const PieceWriter refuse = [&](std::string_view) { return ++calls < 2; };
  EXPECT_FALSE(WriteLinesAsRichText(5, From({"a", "b", "c", "d", "e"}), refuse, 0));
  EXPECT_EQ(calls, 2);  // the header, then the refused first line: nothing after
}

}  // namespace
}  // namespace vt9
