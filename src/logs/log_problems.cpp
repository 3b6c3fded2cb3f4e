// The problem lines: recorded while the index is built, so the window can offer them the
// moment the index is complete, without a pass of its own.
#include <mutex>

#include "logs/log_document_impl.h"
#include "logs/log_scan.h"

namespace vt9::logs {

void LogDocument::SetProblemWords(std::vector<std::string> words) {
  std::vector<FilterTerm> terms;
  for (std::string& w : words) {
    if (!w.empty()) terms.push_back(FilterTerm{std::move(w), false});
  }
  FilterOptions options;
  options.wholeWord = true;
  std::unique_lock<std::shared_mutex> lock(impl_->mutex);
  if (impl_->indexing || impl_->complete) return;  // too late: the pass has begun
  impl_->problemFilter =
      terms.empty() ? nullptr : LineFilter::Compile(terms, options, impl_->cp, nullptr);
  impl_->problemBytes = impl_->encoding == TextEncoding::Ansi && impl_->codec->SingleByte();
}

const MatchSet& LogDocument::ProblemLines() const { return impl_->problems; }
std::int64_t LogDocument::ProblemLineCount() const { return impl_->problemCount; }

void LogDocument::Impl::FindProblems(const LogDocument& document, std::int64_t first,
                                     std::int64_t end) {
  for (std::int64_t line = first; line < end; ++line) {
    if (problemFilter->Matches(document.LineTextAnsi(line))) problems.Add(line);
  }
  problemCount = problems.Count();
}

void LogDocument::Impl::ProblemsFromBytes(const std::uint8_t* p, std::size_t n, bool final) {
  const LineFilter& filter = *problemFilter;
  problemFound.clear();
  std::size_t i = 0;
  if (problemSkipLF && n > 0) {
    if (p[0] == '\n') i = 1;
    problemSkipLF = false;
  }
  if (!problemPending.empty()) {
    // The line begun in an earlier block ends in this one (or goes on past it).
    const std::size_t b = FindLineBreak(p, i, n);
    problemPending.append(reinterpret_cast<const char*>(p) + i, b - i);
    if (b == n && !final) return;
    if (filter.Matches(problemPending)) problemFound.push_back(problemLine);
    ++problemLine;
    problemPending.clear();
    if (b == n) {
      i = n;
    } else {
      i = b + 1;
      if (p[b] == '\r') {
        if (i < n) {
          if (p[i] == '\n') ++i;
        } else if (!final) {
          problemSkipLF = true;
        }
      }
    }
    if (i == n && b == n) final = false;  // the text's last line was that one
  }
  if (final) {
    problemLine += filter.MatchLines(p + i, n - i, problemLine, true, problemFound);
  } else {
    std::size_t e = n;
    while (e > i && p[e - 1] != '\r' && p[e - 1] != '\n') --e;
    problemLine += filter.MatchLines(p + i, e - i, problemLine, false, problemFound);
    if (e > i && e == n && p[e - 1] == '\r') problemSkipLF = true;
    problemPending.assign(reinterpret_cast<const char*>(p) + e, n - e);
  }
  for (std::int64_t line : problemFound) problems.Add(line);
  problemCount = problems.Count();
}

}  // namespace vt9::logs
