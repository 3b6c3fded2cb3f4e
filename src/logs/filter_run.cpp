#include "logs/filter_run.h"

#include <chrono>

namespace vt9::logs {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressEvery = std::chrono::milliseconds(30);

}  // namespace

FilterRun::FilterRun(const LogDocument& document, std::unique_ptr<LineFilter> filter)
    : document_(document), filter_(std::move(filter)) {}

FilterRun::~FilterRun() {
  Cancel();
  if (worker_.joinable()) worker_.join();
}

void FilterRun::Start(std::function<void()> progress) {
  if (worker_.joinable() || !filter_) return;
  progress_ = std::move(progress);
  worker_ = std::thread([this] { Run(); });
}

void FilterRun::Cancel() { cancel_ = true; }
bool FilterRun::Done() const { return done_; }
std::int64_t FilterRun::LinesDone() const { return linesDone_; }

std::int64_t FilterRun::MatchCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return matches_.Count();
}
std::int64_t FilterRun::NthMatch(std::int64_t n) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return matches_.Nth(n);
}
std::int64_t FilterRun::MatchesBefore(std::int64_t line) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return matches_.CountBefore(line);
}
bool FilterRun::Contains(std::int64_t line) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return matches_.Contains(line);
}
std::size_t FilterRun::MemoryBytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return matches_.MemoryBytes();
}

void FilterRun::Publish(std::vector<std::int64_t>& found, std::int64_t done) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::int64_t line : found) matches_.Add(line);
  }
  found.clear();
  linesDone_ = done;
}

void FilterRun::Run() {
  std::vector<std::int64_t> found;
  std::int64_t line = 0;
  auto lastProgress = Clock::now();
  for (;;) {
    // The last line is final only once the index is complete.
    const bool complete = document_.IndexComplete();
    const std::int64_t lines = document_.LineCount() - (complete ? 0 : 1);
    for (; line < lines && !cancel_; ++line) {
      if (filter_->Matches(document_.LineTextAnsi(line))) found.push_back(line);
      if ((line & 1023) == 0 && Clock::now() - lastProgress >= kProgressEvery) {
        Publish(found, line + 1);
        if (progress_) progress_();
        lastProgress = Clock::now();
      }
    }
    Publish(found, line);
    if (cancel_) return;
    if (complete) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  done_ = true;
  if (progress_) progress_();
}

}  // namespace vt9::logs
