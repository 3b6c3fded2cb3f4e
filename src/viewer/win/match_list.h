// The lines a filter picked, as the filtered pane and the log view's "only these lines" read
// them: the running filter's matches (which grow while it runs) or the problem lines the index
// recorded. Lines are the document's, from 0, in increasing order.
#pragma once

#include <cstdint>

namespace vt9::win {

class MatchList {
 public:
  virtual ~MatchList() = default;
  virtual std::int64_t Count() const = 0;
  // The n-th line (from 0); -1 past the lines known so far.
  virtual std::int64_t Nth(std::int64_t n) const = 0;
  // How many of the lines come before `line`.
  virtual std::int64_t CountBefore(std::int64_t line) const = 0;
};

}  // namespace vt9::win
