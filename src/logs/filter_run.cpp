#include "logs/filter_run.h"

#include <algorithm>
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
  worker_ = std::thread([this] { Run(0); });
}

void FilterRun::TakeInGrowth() {
  if (!filter_ || !worker_.joinable()) return;
  cancel_ = true;
  worker_.join();
  cancel_ = false;
  // The last line looked at may have been the unfinished end of the file, and the one before
  // it may have ended in a CR whose LF came with the growth: both are looked at again.
  const std::int64_t from = std::max<std::int64_t>(0, linesDone_ - 2);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    while (matches_.Count() > 0 && matches_.Last() >= from) matches_.RemoveLast();
  }
  linesDone_ = from;
  done_ = false;
  worker_ = std::thread([this, from] { Run(from); });
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

void FilterRun::MaybeProgress(std::vector<std::int64_t>& found, std::int64_t done, bool force) {
  if (!force && Clock::now() - lastProgress_ < kProgressEvery) return;
  Publish(found, done);
  if (progress_) progress_();
  lastProgress_ = Clock::now();
}

void FilterRun::Run(std::int64_t from) {
  lastProgress_ = Clock::now();
  const bool done = document_.PlainBytes() ? RunBytes(from) : RunLines(from);
  if (!done) return;
  done_ = true;
  if (progress_) progress_();
}

bool FilterRun::RunLines(std::int64_t from) {
  std::vector<std::int64_t> found;
  std::int64_t line = from;
  for (;;) {
    // The last line is final only once the index is complete.
    const bool complete = document_.IndexComplete();
    const std::int64_t lines = document_.LineCount() - (complete ? 0 : 1);
    for (; line < lines && !cancel_; ++line) {
      if (filter_->Matches(document_.LineTextAnsi(line))) found.push_back(line);
      if ((line & 255) == 0) MaybeProgress(found, line + 1, false);
    }
    Publish(found, line);
    if (cancel_) return false;
    if (complete) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

bool FilterRun::RunBytes(std::int64_t from) {
  // The first window is small, so the first screen of matches shows at once.
  constexpr std::size_t kFirstWindow = 64 * 1024;
  constexpr std::size_t kWindow = 1024 * 1024;
  std::size_t window = kFirstWindow;
  std::vector<std::uint8_t> buffer;
  std::vector<std::int64_t> found;
  std::int64_t line = from;
  std::uint64_t at = document_.LineByteStart(from);
  for (;;) {
    const bool complete = document_.IndexComplete();
    const std::int64_t lines = document_.LineCount();
    // Complete lines only: the last one may still grow while the index is built.
    const std::uint64_t end =
        complete ? document_.TextEndByte() : document_.LineByteStart(lines - 1);
    while (!cancel_ && (at < end || (complete && line < lines))) {
      const std::size_t want = std::size_t(std::min<std::uint64_t>(window, end - at));
      const bool last = complete && at + want == end;
      // One byte more, to see whether a CR at the window's end is followed by LF.
      const std::size_t read = last ? want : want + 1;
      buffer.resize(read);
      if (read && !document_.ReadBytes(at, read, buffer.data())) return true;  // read failed
      std::size_t use = want;
      if (!last) {
        std::size_t b = want;
        while (b > 0 && buffer[b - 1] != '\r' && buffer[b - 1] != '\n') --b;
        if (b == 0) {
          // A line longer than the window: matched as the document hands it out.
          if (filter_->Matches(document_.LineTextAnsi(line))) found.push_back(line);
          ++line;
          // After the text's last line there is nothing more to read.
          at = line >= lines ? end : document_.LineByteStart(line);
          MaybeProgress(found, line, false);
          continue;
        }
        use = b;
        if (buffer[b - 1] == '\r' && buffer[b] == '\n') use = b + 1;
      }
      line += filter_->MatchLines(buffer.data(), use, line, last, found);
      at += use;
      MaybeProgress(found, line, window == kFirstWindow);
      window = kWindow;
      if (last) break;
    }
    Publish(found, line);
    if (cancel_) return false;
    if (complete) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace vt9::logs
