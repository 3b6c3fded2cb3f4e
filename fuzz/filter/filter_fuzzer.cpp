// Fuzz target: the filter's expressions and the filter over a whole log, against the plain
// reference (a backtracking matcher and a line-by-line search): every line's answer, the lines
// a filter run finds at each block size, and the problem lines the index pass records.
//
// Input: byte 0 the options (match case, whole words, expression, exclude, a second term),
// byte 1 the block size, then the pattern (up to a NUL byte), then the log's bytes.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

#include "logs/filter_run.h"
#include "logs/line_filter.h"
#include "logs/log_regex.h"
#include "support/filter_reference.h"
#include "support/log_document_support.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t flags = data[0];
  const std::size_t block = 4 + data[1] % 61;
  std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::size_t nul = rest.find('\0');
  std::string pattern = rest.substr(0, nul);
  std::string log = nul == std::string::npos ? std::string() : rest.substr(nul + 1);
  vt9::logs::FilterOptions options;
  options.matchCase = flags & 1;
  options.wholeWord = flags & 2;
  options.regex = flags & 4;
  // The reference backtracks: keep its texts tiny.
  if (pattern.size() > (options.regex ? 16u : 32u)) pattern.resize(options.regex ? 16 : 32);
  if (log.size() > (options.regex ? 256u : 2048u)) log.resize(options.regex ? 256 : 2048);
  const vt9::logs::CodePage cp = vt9::test::WesternCodePage();
  const std::vector<std::string> lines = vt9::test::ReferenceLines(log);

  if (options.regex) {
    std::string error;
    auto re = vt9::logs::Regex::Compile(pattern, options.matchCase, cp, &error);
    vt9::test::ReferenceRegex ref(cp, options.matchCase);
    const bool refTakes = ref.Parse(pattern);
    if (!re) Check(!error.empty());
    if (!re || !refTakes) return 0;
    for (const std::string& line : lines) {
      if (line.size() > 24) continue;
      const bool expected = ref.Search(line);
      Check(re->Search(line) == expected);
      Check(re->SearchWithoutCache(line) == expected);
    }
  }
  // A byte-order mark makes the log Unicode; the reference reads single-byte text only.
  if (log.rfind("\xFF\xFE", 0) == 0 || log.rfind("\xEF\xBB\xBF", 0) == 0) return 0;
  std::vector<vt9::logs::FilterTerm> terms = {{pattern, (flags & 8) != 0}};
  if (flags & 16) terms.push_back({options.regex ? "x|\\d" : "x", (flags & 32) != 0});
  std::string error;
  auto filter = vt9::logs::LineFilter::Compile(terms, options, cp, &error);
  if (!filter) return 0;
  if (options.regex) {
    for (const std::string& line : lines) {
      if (line.size() > 24) return 0;  // the reference would take too long
    }
  }
  std::vector<std::int64_t> expected;
  if (!vt9::test::ReferenceFilter(lines, terms, options, cp, expected)) return 0;

  vt9::logs::LogDocument doc(vt9::test::MemoryFileOf(log), cp, block);
  const bool problems = !options.regex && !options.matchCase && options.wholeWord && !(flags & 8) &&
                        !(flags & 16) && pattern.find_first_of(" ,;\t\r\n") == std::string::npos;
  if (problems) doc.SetProblemWords({pattern});
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  vt9::logs::FilterRun run(doc, std::move(filter));
  run.Start({});
  while (!run.Done()) std::this_thread::sleep_for(std::chrono::microseconds(50));
  Check(run.LinesDone() == std::int64_t(lines.size()));
  Check(run.MatchCount() == std::int64_t(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    Check(run.NthMatch(std::int64_t(i)) == expected[i]);
  }
  if (problems && !pattern.empty()) {
    Check(doc.ProblemLineCount() == std::int64_t(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
      Check(doc.ProblemLines().Nth(std::int64_t(i)) == expected[i]);
    }
  }
  return 0;
}
