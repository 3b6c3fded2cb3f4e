// A filter over a document on a worker thread of its own. The matches found so far can be read
// at any time while it runs, so the window fills its pane as they come; a new filter cancels
// the running one at once. Lines are looked at in order, so the first screen of matches comes
// first. A document still being indexed is filtered as far as it is indexed, and the run waits
// for the rest.
//
// Every member but the constructor may be called from the window's thread while it runs.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "logs/line_filter.h"
#include "logs/log_document.h"
#include "logs/match_set.h"

namespace vt9::logs {

class FilterRun {
 public:
  FilterRun(const LogDocument& document, std::unique_ptr<LineFilter> filter);
  ~FilterRun();  // cancels and joins
  FilterRun(const FilterRun&) = delete;
  FilterRun& operator=(const FilterRun&) = delete;

  // Starts the worker; `progress` (may be empty) is called on the worker, at most about every
  // 30 ms while it runs and once when it is done.
  void Start(std::function<void()> progress);
  void Cancel();                   // returns at once; the worker stops soon after
  // The document grew (a followed log): the lines from the one that was last on are looked at
  // again and the appended ones taken in, without going over the rest again. Call it from the
  // thread that grows the document, after the growth; the worker of a run that was not done
  // yet stops first and goes on from where it was.
  void TakeInGrowth();
  bool Done() const;               // every line of the document looked at
  std::int64_t LinesDone() const;  // lines looked at so far
  std::int64_t MatchCount() const;
  std::int64_t NthMatch(std::int64_t n) const;  // -1 past the matches found so far
  std::int64_t MatchesBefore(std::int64_t line) const;
  bool Contains(std::int64_t line) const;
  const LineFilter& Filter() const { return *filter_; }
  std::size_t MemoryBytes() const;

 private:
  void Run(std::int64_t from);
  // Line by line, as the document hands lines out (Unicode, double-byte and edited logs).
  bool RunLines(std::int64_t from);
  // Over the file's bytes a window at a time (unedited single-byte ANSI logs).
  bool RunBytes(std::int64_t from);
  void MaybeProgress(std::vector<std::int64_t>& found, std::int64_t done, bool force);
  // Publishes `found` (lines in increasing order) and the lines looked at up to `done`.
  void Publish(std::vector<std::int64_t>& found, std::int64_t done);

  const LogDocument& document_;
  std::unique_ptr<LineFilter> filter_;
  std::function<void()> progress_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> done_{false};
  std::atomic<std::int64_t> linesDone_{0};
  mutable std::mutex mutex_;  // guards matches_
  MatchSet matches_;
  std::chrono::steady_clock::time_point lastProgress_;
  std::thread worker_;
};

}  // namespace vt9::logs
