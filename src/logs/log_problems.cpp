// The problem lines: recorded while the index is built, so the window can offer them the
// moment the index is complete, without a pass of its own.
#include <mutex>

#include "logs/log_document_impl.h"

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

}  // namespace vt9::logs
