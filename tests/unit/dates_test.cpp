#include "common/dates.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace vt9 {
namespace {

constexpr double k2026_03_07 = 46088;  // 7 March 2026 as a day count from 30 December 1899

TEST(DateToText, PadsMonthAndDayButNotTheYear) {
  EXPECT_EQ(DateToText(k2026_03_07, "/"), "2026/03/07");
  EXPECT_EQ(DateToText(k2026_03_07 + 299, "/"), "2026/12/31");
  EXPECT_EQ(DateToText(0, "/"), "1899/12/30");
  EXPECT_EQ(DateToText(1, "/"), "1899/12/31");
  EXPECT_EQ(DateToText(-693593, "/"), "1/01/01");
  EXPECT_EQ(DateToText(2958465, "/"), "9999/12/31");
}

TEST(DateToText, InsertsTheWholeSeparatorAndIgnoresTheTimeOfDay) {
  EXPECT_EQ(DateToText(k2026_03_07 + 0.75, "--"), "2026--03--07");
  EXPECT_EQ(DateToText(k2026_03_07, ""), "20260307");
}

TEST(DateToText, ValuesWithoutACalendarDateDoNotCrash) {
  EXPECT_EQ(DateToText(-693594, "/"), "0/00/00");
  EXPECT_EQ(DateToText(2958466, "/"), "0/00/00");
  EXPECT_EQ(DateToText(std::numeric_limits<double>::quiet_NaN(), "/"), "0/00/00");
  EXPECT_EQ(DateToText(1e300, "/"), "0/00/00");
}

TEST(TextToDate, ReadsPaddedAndUnpaddedParts) {
  EXPECT_EQ(TextToDate("2026/03/07", "/"), k2026_03_07);
  EXPECT_EQ(TextToDate("2026/3/7", "/"), k2026_03_07);
  EXPECT_EQ(TextToDate("2026/03/07/23", "/"), k2026_03_07);  // fields after the third ignored
  EXPECT_EQ(TextToDate("2026-03-07", "-/"), k2026_03_07);    // only the first character counts
}

TEST(TextToDate, RoundTripsEveryDayAcrossLeapYears) {
  for (double d = TextToDate("1999/12/01", "/"); d < TextToDate("2001/03/31", "/"); ++d)
    ASSERT_EQ(TextToDate(DateToText(d, "/"), "/"), d) << DateToText(d, "/");
  EXPECT_EQ(DateToText(TextToDate("2000/02/28", "/") + 1, "/"), "2000/02/29");
  EXPECT_EQ(DateToText(TextToDate("1900/02/28", "/") + 1, "/"), "1900/03/01");
}

TEST(TextToDate, ImpossibleOrIncompleteDatesGiveZero) {
  for (const char* bad :
       {"2026/02/30", "2026/13/01", "2026/00/10", "2026/03/00", "2026/03", "", "2026//07", "/03/07",
        "2025/02/29", "1900/02/29", "0/01/01", "10000/01/01", "abc", "2026/03/32"})
    EXPECT_EQ(TextToDate(bad, "/"), 0) << bad;
  EXPECT_NE(TextToDate("2024/02/29", "/"), 0);
  EXPECT_NE(TextToDate("2000/02/29", "/"), 0);
}

TEST(TextToDate, TakesTheLow16BitsOfEachPart) {
  // 67562 = 65536 + 2026, 65539 = 65536 + 3
  EXPECT_EQ(TextToDate("67562/03/07", "/"), k2026_03_07);
  EXPECT_EQ(TextToDate("2026/65539/07", "/"), k2026_03_07);
  EXPECT_EQ(TextToDate("-2026/03/07", "/"), 0);  // 65536 - 2026 is past year 9999
  EXPECT_EQ(TextToDate("$7EA/3/7", "/"), k2026_03_07);
  EXPECT_EQ(TextToDate("2026/3days/7th", "/"), k2026_03_07);  // each part read leniently
}

TEST(TextToDate, CompactFormNeedsExactlyEightCharacters) {
  EXPECT_EQ(TextToDate("20260307", ""), k2026_03_07);
  EXPECT_EQ(TextToDate("2026037", ""), 0);
  EXPECT_EQ(TextToDate("202603070", ""), 0);
  EXPECT_EQ(TextToDate("2026/3/7", ""), 0);
  EXPECT_EQ(TextToDate("2026 3 7", ""), k2026_03_07);  // " 3" reads as 3
}

TEST(TextToDate, LeavesItsSeparatorAsTheFieldDelimiter) {
  SetFieldDelimiter(",");
  TextToDate("2026-03-07", "-");
  EXPECT_EQ(FieldCount("a-b-c"), 3);
  EXPECT_EQ(FieldCount("a,b"), 1);
}

TEST(CivilDateToDate, MatchesTheDateText) {
  EXPECT_EQ(CivilDateToDate({2026, 3, 7}), k2026_03_07);
  EXPECT_EQ(CivilDateToDate({1899, 12, 30}), 0);
  EXPECT_EQ(CivilDateToDate({2026, 2, 29}), 0);
  EXPECT_EQ(CivilDateToDate({0, 1, 1}), 0);
  EXPECT_EQ(CivilDateToDate({2026, -1, 7}), 0);
}

TEST(TextToInt, ReadsWholeNumbersLeniently) {
  const struct {
    const char* text;
    std::int64_t value;
  } cases[] = {
      {"", 0},         {"2", 2},      {" 7", 7},
      {"   +7", 7},    {"-3", -3},    {"12abc", 12},
      {"12 days", 12}, {"7x", 7},     {"abc", 0},
      {"x10", 0},      {"X10", 0},    {"$10", 16},
      {"0x1F", 31},    {"0X1f", 31},  {"-$10", -16},
      {"$", 0},        {"0x", 0},     {"-", 0},
      {" ", 0},        {"7 ", 7},     {"1 2", 1},
      {"$1G", 1},      {"0x1FZ", 31}, {"\t5", 0},
      {"- 5", 0},      {"00012", 12}, {"99999999999", 99999999999},
      {"+-3", 0},      {"3-", 3},
  };
  for (const auto& c : cases) EXPECT_EQ(TextToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(TextToInt, Only64BitDigitsCount) {
  EXPECT_EQ(TextToInt("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(TextToInt("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
  // The digit that would leave the range ends the number; the digits before it decide.
  EXPECT_EQ(TextToInt("9223372036854775808"), 922337203685477580);
  EXPECT_EQ(TextToInt("-9223372036854775809"), -922337203685477580);
  EXPECT_EQ(TextToInt("99999999999999999999"), 999999999999999999);
  EXPECT_EQ(TextToInt("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(TextToInt("$1FFFFFFFFFFFFFFFF"), std::int64_t(0x1FFFFFFFFFFFFFFF));
}

TEST(TextToInt, ReminderIntervalKeepsTheLow32Bits) {
  EXPECT_EQ(static_cast<std::int32_t>(TextToInt("99999999999")), 1215752191);
  EXPECT_EQ(static_cast<std::int32_t>(TextToInt("4294967295")), -1);
}

TEST(FieldCount, CountsDelimitersPlusOne) {
  ASSERT_TRUE(SetFieldDelimiter("."));
  EXPECT_EQ(FieldCount("a.b.c"), 3);
  EXPECT_EQ(FieldCount("abc"), 1);
  EXPECT_EQ(FieldCount(""), 0);
  EXPECT_EQ(FieldCount("a..b"), 3);
  EXPECT_EQ(FieldCount("."), 2);
}

TEST(SetFieldDelimiter, RefusesEmptyAndLongTextsWithoutChangingTheDelimiter) {
  ASSERT_TRUE(SetFieldDelimiter(";"));
  EXPECT_FALSE(SetFieldDelimiter(""));
  EXPECT_FALSE(SetFieldDelimiter("abc"));
  EXPECT_EQ(FieldCount("a;b"), 2);
  // A two-byte character of the ANSI code page is one delimiter.
  EXPECT_TRUE(SetFieldDelimiter("\x81@"));
  EXPECT_EQ(FieldCount("a\x81@b\x81z"), 2);
}

TEST(GetField, ReturnsTheNthFieldOrNothing) {
  EXPECT_EQ(GetField("a.b.c", '.', 1), "a");
  EXPECT_EQ(GetField("a.b.c", '.', 3), "c");
  EXPECT_EQ(GetField("a.b.c", '.', 4), "");
  EXPECT_EQ(GetField("a..b", '.', 2), "");
  EXPECT_EQ(GetField("a..b", '.', 3), "b");
  EXPECT_EQ(GetField("a.", '.', 2), "");
  EXPECT_EQ(GetField(".a", '.', 1), "");
  EXPECT_EQ(GetField("", '.', 1), "");
  EXPECT_EQ(GetField("a.b", '.', 0), "");
  EXPECT_EQ(GetField("a.b", '.', -1), "");
  EXPECT_EQ(GetField("report.log.rtf", '.', 2), "log");
}

TEST(GetField, MakesItsCharacterTheDelimiter) {
  SetFieldDelimiter(",");
  GetField("x", '|', 1);
  EXPECT_EQ(FieldCount("a|b|c,d"), 3);
}

}  // namespace
}  // namespace vt9
