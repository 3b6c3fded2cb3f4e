// The filter's core without a window: the match set against a plain vector, filters against a
// simple line-by-line search on logs with every kind of line break, the filter run while it
// runs and when cancelled, and the problem lines the index pass records.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>

#include "logs/filter_run.h"
#include "logs/line_filter.h"
#include "logs/log_regex.h"
#include "logs/match_set.h"
#include "logs/problem_words.h"
#include "support/filter_reference.h"
#include "support/log_document_support.h"

namespace vt9 {
namespace {

using logs::FilterOptions;
using logs::FilterTerm;
using logs::LineFilter;
using logs::MatchSet;

// Random sparse, dense and full stretches, so blocks are arrays, bitmaps and switch between.
TEST(MatchSet, AgreesWithAPlainVector) {
  std::mt19937 rng(7);
  for (int round = 0; round < 6; ++round) {
    MatchSet set;
    std::vector<std::int64_t> plain;
    std::int64_t line = std::int64_t(rng() % 3);
    while (line < 600000) {
      set.Add(line);
      plain.push_back(line);
      const int mode = (line / 50000 + round) % 3;
      line += mode == 0 ? 1 : mode == 1 ? 1 + rng() % 8 : 1 + rng() % 3000;
    }
    set.Add(plain.back());  // not above the last: ignored
    ASSERT_EQ(set.Count(), std::int64_t(plain.size()));
    for (int q = 0; q < 20000; ++q) {
      const std::int64_t n = std::int64_t(rng() % (plain.size() + 2)) - 1;
      EXPECT_EQ(set.Nth(n), n >= 0 && n < std::int64_t(plain.size()) ? plain[std::size_t(n)] : -1);
      const std::int64_t at = std::int64_t(rng() % 620000);
      const auto below = std::lower_bound(plain.begin(), plain.end(), at) - plain.begin();
      ASSERT_EQ(set.CountBefore(at), below) << at;
      EXPECT_EQ(set.Contains(at), std::binary_search(plain.begin(), plain.end(), at));
    }
    for (std::size_t i = 0; i < plain.size(); i += 97) {
      EXPECT_EQ(set.CountBefore(plain[i]), std::int64_t(i));
      EXPECT_EQ(set.CountBefore(plain[i] + 1), std::int64_t(i + 1));
    }
  }
}

TEST(MatchSet, StaysCompact) {
  MatchSet every;
  for (std::int64_t line = 0; line < 13433508; ++line) every.Add(line);
  EXPECT_LE(every.MemoryBytes(), 8u << 20);
  EXPECT_EQ(every.Nth(13433507), 13433507);
  MatchSet million;
  for (std::int64_t i = 0; i < 1000000; ++i) million.Add(i * 13);
  EXPECT_LE(million.MemoryBytes(), 4u << 20);
  EXPECT_EQ(million.CountBefore(13 * 500000), 500000);
}

std::unique_ptr<LineFilter> Make(std::vector<FilterTerm> terms, FilterOptions options = {},
                                 const logs::CodePage& cp = test::WesternCodePage()) {
  std::string error;
  auto f = LineFilter::Compile(terms, options, cp, &error);
  EXPECT_TRUE(f) << error;
  return f;
}

TEST(LineFilter, IncludeExcludeCaseAndWholeWords) {
  auto f = Make({{"error"}, {"fail"}, {"retry", true}});
  EXPECT_TRUE(f->Matches("an ERROR here"));
  EXPECT_TRUE(f->Matches("failed"));
  EXPECT_FALSE(f->Matches("error, will retry"));
  EXPECT_FALSE(f->Matches("all good"));
  EXPECT_EQ(f->Describe(), "with \"error\" or \"fail\", without \"retry\"");
  auto only = Make({{"copied", true}});
  EXPECT_TRUE(only->Matches("failed"));
  EXPECT_FALSE(only->Matches("Copied a.txt"));
  auto exact = Make({{"Error"}}, {true, true, false});
  EXPECT_TRUE(exact->Matches("x Error."));
  EXPECT_FALSE(exact->Matches("x error."));
  EXPECT_FALSE(exact->Matches("Errors"));
  EXPECT_FALSE(exact->Matches("xError"));
  // Latin-1 letters fold and are letters: "ÉCHEC" is "échec", "échecé" no whole word.
  auto latin = Make({{"\xE9"
                      "chec"}},
                    {false, true, false});
  EXPECT_TRUE(
      latin->Matches("\xC9"
                     "CHEC!"));
  EXPECT_FALSE(
      latin->Matches("\xC9"
                     "CHEC\xE9"));
  std::string error;
  EXPECT_FALSE(LineFilter::Compile({{""}}, {}, test::WesternCodePage(), &error));
  EXPECT_FALSE(error.empty());
}

TEST(LineFilter, DoubleByteCharactersAreWhole) {
  const logs::CodePage cp = test::DoubleByteCodePage();
  // 0x82 0x41 is one character; "A" alone must not match its trail byte.
  auto a = Make({{"A"}}, {true, false, false}, cp);
  EXPECT_FALSE(
      a->Matches("x\x82"
                 "Ax"));
  EXPECT_TRUE(
      a->Matches("x\x82"
                 "AAx"));
  auto pair = Make({{"\x82"
                     "a"}},
                   {}, cp);  // the trail byte is not folded
  EXPECT_FALSE(
      pair->Matches("\x82"
                    "A"));
  EXPECT_TRUE(
      pair->Matches("\x82"
                    "a"));
}

TEST(Regex, WhatPeopleTypeIntoALogFilter) {
  const logs::CodePage cp = test::WesternCodePage();
  struct Case {
    const char* pattern;
    const char* line;
    bool match;
  };
  const Case cases[] = {
      {"(fail|error)\\w*", "copy FAILED: x", true},
      {"(fail|error)\\w*", "fa il", false},
      {"^err", "error", true},
      {"^err", " error", false},
      {"done$", "all done", true},
      {"done$", "done.", false},
      {"\\berr\\b", "an err.", true},
      {"\\berr\\b", "errs", false},
      {"\\Berr", "xerr", true},
      {"\\Berr", "err", false},
      {"a{2,3}b", "xaab", true},
      {"^a{2,3}b", "ab", false},
      {"^a{2,3}b", "aaaab", false},
      {"^a{2,}b$", "aaaaab", true},
      {"x{2}", "x{2}", false},
      {"x{,2}", "x{,2}", true},  // not a count: literal braces
      {"[a-c]+\\d\\s[^x-z]", "bb7 w", true},
      {"[a-c]+\\d\\s[^x-z]", "bb7 y", false},
      {"[]x]", "]", true},
      {"[\\d-]", "-", true},
      {"\\D\\W\\S", "a.b", true},
      {"\\D\\W\\S", "1.b", false},
      {"c.t", "CAT", true},
      {"\\.txt$", "a.txt", true},
      {"\\.txt$", "atxt", false},
      {"(a|)+b", "b", true},
      {"(a*)*$", "", true},
      {"\\x41", "a", true},
      {"\\?", "\x01", true},  // control bytes reach a filter as '?'
      {"\xC9t\xE9", "\xE9T\xC9", true},
      {"(?:ab)+c", "ababc", true},
  };
  for (const Case& c : cases) {
    std::string error;
    auto re = logs::Regex::Compile(c.pattern, false, cp, &error);
    ASSERT_TRUE(re) << c.pattern << ": " << error;
    EXPECT_EQ(re->Search(c.line), c.match) << c.pattern << " on " << c.line;
    EXPECT_EQ(re->SearchWithoutCache(c.line), c.match) << c.pattern << " on " << c.line;
  }
  auto exact = logs::Regex::Compile("Error", true, cp, nullptr);
  EXPECT_FALSE(exact->Search("ERROR"));
  for (const char* bad :
       {"(a", "a)", "[a", "*a", "a**", "x{3,2}", "\\q", "a\\", "[z-a]", "a{1001}", "(?<n>a)"}) {
    std::string error;
    EXPECT_FALSE(logs::Regex::Compile(bad, false, cp, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  EXPECT_EQ(logs::Regex::Compile("(fail|error)\\w*", false, cp, nullptr)->RequiredLiterals(),
            (std::vector<std::string>{"ERROR", "FAIL"}));
  EXPECT_EQ(logs::Regex::Compile("x+ab(c|d)\\d", true, cp, nullptr)->RequiredLiterals(),
            (std::vector<std::string>{"abc", "abd"}));
}

// Nesting is bounded and long lines run without recursion.
TEST(Regex, DeepPatternsAndLongLines) {
  const logs::CodePage cp = test::WesternCodePage();
  std::string error;
  EXPECT_FALSE(
      logs::Regex::Compile(std::string(200, '(') + "a" + std::string(200, ')'), false, cp, &error));
  EXPECT_EQ(error, "The expression is too complex.");
  EXPECT_FALSE(logs::Regex::Compile("((a{1000}){1000}){1000}", false, cp, &error));
  auto re = logs::Regex::Compile("(a|aa)*b", false, cp, &error);
  ASSERT_TRUE(re);
  const std::string line(20 << 20, 'a');
  EXPECT_FALSE(re->Search(line));
  EXPECT_TRUE(re->Search(line + "b"));
}

TEST(ProblemWords, SettingOrDefaults) {
  EXPECT_EQ(logs::ParseProblemWords(""), logs::DefaultProblemWords());
  EXPECT_EQ(logs::ParseProblemWords(" ,, "), logs::DefaultProblemWords());
  EXPECT_EQ(logs::ParseProblemWords("error, fatal  denied"),
            (std::vector<std::string>{"error", "fatal", "denied"}));
}

std::unique_ptr<logs::LogDocument> Indexed(const std::string& bytes, std::size_t block,
                                           std::vector<std::string> problems = {}) {
  auto doc = std::make_unique<logs::LogDocument>(test::MemoryFileOf(bytes), test::WesternCodePage(),
                                                 block);
  if (!problems.empty()) doc->SetProblemWords(std::move(problems));
  std::atomic<bool> stop{false};
  doc->BuildIndex(stop);
  return doc;
}

std::vector<std::int64_t> RunToEnd(const logs::LogDocument& doc, std::unique_ptr<LineFilter> f) {
  logs::FilterRun run(doc, std::move(f));
  run.Start({});
  while (!run.Done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(run.LinesDone(), doc.LineCount());
  std::vector<std::int64_t> lines;
  for (std::int64_t n = 0; n < run.MatchCount(); ++n) lines.push_back(run.NthMatch(n));
  EXPECT_EQ(run.NthMatch(run.MatchCount()), -1);
  return lines;
}

TEST(FilterRun, FindsTheLinesAndProblemPassAgrees) {
  const std::string text = "ok\r\nError: x\rcopied\nwarning\r\n\nnot an errors line\rerror";
  auto doc = Indexed(text, 5, {"error", "warning"});
  EXPECT_EQ(RunToEnd(*doc, Make({{"error"}, {"warning"}}, {false, true, false})),
            (std::vector<std::int64_t>{1, 3, 6}));
  ASSERT_TRUE(doc->IndexComplete());
  EXPECT_EQ(doc->ProblemLineCount(), 3);
  EXPECT_EQ(doc->ProblemLines().Nth(2), 6);
}

// A log of random words with every kind of line break, lone CRs and CR LF pairs falling on
// block edges for the small blocks.
std::string RandomLog(std::mt19937& rng, int lines) {
  static const char* const words[] = {"error",
                                      "Error:",
                                      "ERRORS",
                                      "failed",
                                      "fail",
                                      "warning",
                                      "copied",
                                      "retry",
                                      "ok",
                                      "12:05",
                                      "a.txt",
                                      "\x01",
                                      "\xC9"
                                      "chec",
                                      "x",
                                      "",
                                      "skipped",
                                      "denied",
                                      "cannot"};
  static const char* const breaks[] = {"\r\n", "\n", "\r", "\n\r"};
  std::string log;
  for (int i = 0; i < lines; ++i) {
    const int n = int(rng() % 5);
    for (int k = 0; k < n; ++k) {
      if (k) log += rng() % 4 ? " " : "_";
      log += words[rng() % (sizeof words / sizeof *words)];
    }
    if (i + 1 < lines || rng() % 2) log += breaks[rng() % 4];
  }
  return log;
}

TEST(FilterRun, AgreesWithALineByLineSearch) {
  const logs::CodePage cp = test::WesternCodePage();
  struct Filter {
    std::vector<FilterTerm> terms;
    FilterOptions options;
  };
  const Filter filters[] = {
      {{{"error"}}, {}},
      {{{"error"}}, {true, false, false}},
      {{{"error"}, {"fail"}, {"retry", true}}, {false, true, false}},
      {{{"copied", true}}, {}},
      {{{"?"}}, {}},
      {{{"\xE9"
         "chec"}},
       {false, true, false}},
      {{{"(fail|error)\\w*"}}, {false, false, true}},
      {{{"^\\w+$"}, {"ok", true}}, {false, false, true}},
      {{{"\\bx\\b|^$"}}, {false, false, true}},
      {{{"s\\b"}}, {true, false, true}},
  };
  std::mt19937 rng(11);
  for (int round = 0; round < 12; ++round) {
    const std::string log = RandomLog(rng, 1 + int(rng() % 400));
    const std::vector<std::string> lines = test::ReferenceLines(log);
    for (std::size_t block : {std::size_t(7), std::size_t(64), std::size_t(1) << 20}) {
      auto doc = Indexed(log, block, logs::DefaultProblemWords());
      ASSERT_EQ(doc->LineCount(), std::int64_t(lines.size()));
      for (const Filter& f : filters) {
        std::vector<std::int64_t> expected;
        ASSERT_TRUE(test::ReferenceFilter(lines, f.terms, f.options, cp, expected));
        EXPECT_EQ(RunToEnd(*doc, Make(f.terms, f.options)), expected)
            << f.terms[0].text << " block " << block << " round " << round;
      }
      // The problem pass against the same words as a filter.
      std::vector<FilterTerm> words;
      for (const auto& w : logs::DefaultProblemWords()) words.push_back({w});
      std::vector<std::int64_t> expected;
      test::ReferenceFilter(lines, words, {false, true, false}, cp, expected);
      std::vector<std::int64_t> problems;
      for (std::int64_t n = 0; n < doc->ProblemLineCount(); ++n) {
        problems.push_back(doc->ProblemLines().Nth(n));
      }
      EXPECT_EQ(problems, expected) << "block " << block << " round " << round;
    }
  }
}

// Lines longer than the run's window of bytes, in the middle and as the text's last line.
TEST(FilterRun, LinesLongerThanAWindow) {
  const std::string longLine(3 << 20, 'x');
  const std::string log = "error\r\n" + longLine + " error " + longLine + "\n" + longLine +
                          "\rok\r\n" + longLine + "error";
  auto doc = Indexed(log, 1 << 20, {"error"});
  EXPECT_EQ(RunToEnd(*doc, Make({{"error"}}, {false, true, false})),
            (std::vector<std::int64_t>{0, 1}));
  EXPECT_EQ(RunToEnd(*doc, Make({{"error"}})), (std::vector<std::int64_t>{0, 1, 4}));
  EXPECT_EQ(RunToEnd(*doc, Make({{"ok", true}})), (std::vector<std::int64_t>{0, 1, 2, 4}));
  EXPECT_EQ(doc->ProblemLineCount(), 2);
}

// Unicode and double-byte logs go line by line, as the document hands lines out.
TEST(FilterRun, UnicodeLogsLineByLine) {
  const std::string utf8 = "\xEF\xBB\xBFok\r\nan error\nfine\rERROR!";
  auto doc = Indexed(utf8, 5, {"error"});
  EXPECT_EQ(RunToEnd(*doc, Make({{"error"}}, {false, true, false})),
            (std::vector<std::int64_t>{1, 3}));
  EXPECT_EQ(doc->ProblemLineCount(), 2);
  EXPECT_EQ(doc->ProblemLines().Nth(1), 3);
}

// A run reads while the index grows, and cancelling stops it at once.
TEST(FilterRun, WhileIndexingAndCancelled) {
  std::string log;
  for (int i = 0; i < 200000; ++i) log += i % 1000 == 0 ? "error here\r\n" : "copied\r\n";
  logs::LogDocument doc(test::MemoryFileOf(log), test::WesternCodePage(), 4096);
  logs::FilterRun run(doc, Make({{"error"}}));
  run.Start({});
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  while (!run.Done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(run.MatchCount(), 200);
  EXPECT_EQ(run.NthMatch(199), 199000);
  EXPECT_EQ(run.MatchesBefore(1001), 2);
  EXPECT_TRUE(run.Contains(5000));
  EXPECT_EQ(run.LinesDone(), 200001);

  auto cancelled = std::make_unique<logs::FilterRun>(doc, Make({{"nothing"}}));
  cancelled->Start({});
  cancelled->Cancel();
  cancelled.reset();  // joins without waiting for the whole pass
}

}  // namespace
}  // namespace vt9
