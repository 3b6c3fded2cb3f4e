// filter-bench: generates a backup log in memory (a warm file cache) and prints the filter's
// figures: the first screen of matching lines after a filter starts, a whole pass with one plain
// term any case and with the expression (fail|error)\w*, the match set's memory for 1M matches
// and for every line, and indexing with the problem pass against without (processor time, best
// of three). Usage: filter-bench [megabytes, default 1024]
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "logs/filter_run.h"
#include "logs/line_filter.h"
#include "logs/log_document.h"
#include "logs/match_set.h"
#include "logs/problem_words.h"
#include "support/log_document_support.h"

namespace {

double CpuNow() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}
double WallNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A backup log: a line a file copied, and now and then one that failed.
std::string MakeLog(std::size_t bytes) {
  std::string log;
  log.reserve(bytes + 200);
  unsigned n = 0;
  char line[256];
  while (log.size() < bytes) {
    int len = 0;
    if (n % 5000 == 4999) {
      len = std::snprintf(line, sizeof line,
                          "2026-12-08 23:%02u:%02u Error: cannot copy C:\\Users\\Anna\\Documents\\"
                          "Folder%u\\file%u.dat: access denied\r\n",
                          (n / 60) % 60, n % 60, n % 977, n);
    } else if (n % 7001 == 7000) {
      len = std::snprintf(line, sizeof line,
                          "2026-12-08 23:%02u:%02u Verify failed for C:\\Users\\Anna\\Music\\"
                          "track%u.mp3\r\n",
                          (n / 60) % 60, n % 60, n);
    } else {
      len =
          std::snprintf(line, sizeof line,
                        "2026-12-08 23:%02u:%02u Backed up "
                        "C:\\Users\\Anna\\Documents\\Projects\\Folder%u\\file%u.dat (%u bytes)\r\n",
                        (n / 60) % 60, n % 60, n % 977, n, (n * 7919u) % 1000000u);
    }
    log.append(line, std::size_t(len));
    ++n;
  }
  return log;
}

// The generated log as a file, without a copy.
class StringFile : public vt9::RandomAccessFile {
 public:
  explicit StringFile(const std::string& s) : s_(s) {}
  std::int64_t Size() override { return std::int64_t(s_.size()); }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset >= s_.size()) return 0;
    const std::size_t n = std::min<std::size_t>(size, s_.size() - std::size_t(offset));
    std::memcpy(buffer, s_.data() + offset, n);
    return std::int64_t(n);
  }

 private:
  const std::string& s_;
};

std::unique_ptr<vt9::logs::LogDocument> Index(const std::string& log, bool problems,
                                              double& seconds) {
  auto doc = std::make_unique<vt9::logs::LogDocument>(std::make_unique<StringFile>(log),
                                                      vt9::test::WesternCodePage());
  if (problems) doc->SetProblemWords(vt9::logs::ParseProblemWords(""));
  std::atomic<bool> stop{false};
  const double start = CpuNow();
  doc->BuildIndex(stop);
  seconds = CpuNow() - start;
  return doc;
}

struct Pass {
  double first = 0;  // wall seconds to the first screen (40 matches, or done)
  double whole = 0;  // wall seconds to done
  std::int64_t matches = 0;
  std::size_t memory = 0;
};

Pass Filter(const vt9::logs::LogDocument& doc, std::vector<vt9::logs::FilterTerm> terms,
            vt9::logs::FilterOptions options) {
  std::string error;
  auto filter =
      vt9::logs::LineFilter::Compile(terms, options, vt9::test::WesternCodePage(), &error);
  if (!filter) {
    std::fprintf(stderr, "filter: %s\n", error.c_str());
    std::exit(1);
  }
  Pass pass;
  const double start = WallNow();
  vt9::logs::FilterRun run(doc, std::move(filter));
  run.Start({});
  while (!run.Done() && run.MatchCount() < 40) std::this_thread::yield();
  pass.first = WallNow() - start;
  while (!run.Done()) std::this_thread::sleep_for(std::chrono::microseconds(200));
  pass.whole = WallNow() - start;
  pass.matches = run.MatchCount();
  pass.memory = run.MemoryBytes();
  return pass;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = argc > 1 ? std::size_t(std::atoi(argv[1])) : 1024;
  const std::string log = MakeLog(megabytes << 20);
  const double mb = double(log.size()) / (1 << 20);
  std::printf("generated log: %.0f MB\n", mb);

  double plain = 1e9, withProblems = 1e9;
  std::unique_ptr<vt9::logs::LogDocument> doc;
  for (int run = 0; run < 3; ++run) {
    double s = 0;
    doc = Index(log, false, s);
    plain = std::min(plain, s);
    doc = Index(log, true, s);
    withProblems = std::min(withProblems, s);
  }
  std::printf("lines:                            %10lld\n",
              static_cast<long long>(doc->LineCount()));
  std::printf("indexing without problem pass:    %10.0f MB/s (%.3f s)\n", mb / plain, plain);
  std::printf("indexing with problem pass:       %10.0f MB/s (%.3f s), %lld problem lines\n",
              mb / withProblems, withProblems, static_cast<long long>(doc->ProblemLineCount()));
  std::printf("with / without:                   %10.2f   (target >= 0.9)\n", plain / withProblems);

  auto report = [&](const char* what, const Pass& p) {
    std::printf("%-33s %10.0f MB/s (%.3f s), first screen %.1f ms, %lld matches\n", what,
                mb / p.whole, p.whole, p.first * 1e3, static_cast<long long>(p.matches));
  };
  Pass best;
  best.whole = 1e9;
  for (int run = 0; run < 3; ++run) {
    const Pass p = Filter(*doc, {{"error"}}, {});
    if (p.whole < best.whole) best = p;
  }
  report("plain term \"error\", any case:", best);
  best.whole = 1e9;
  for (int run = 0; run < 3; ++run) {
    const Pass p = Filter(*doc, {{"(fail|error)\\w*"}}, {false, false, true});
    if (p.whole < best.whole) best = p;
  }
  report("expression (fail|error)\\w*:", best);
  const Pass every = Filter(*doc, {{"zzzz", true}}, {});
  report("every line (hide \"zzzz\"):", every);
  std::printf("match set, every line (%lld):   %10.2f MB (target <= 8 MB)\n",
              static_cast<long long>(every.matches), double(every.memory) / (1 << 20));
  vt9::logs::MatchSet million;
  const std::int64_t lines = std::max<std::int64_t>(doc->LineCount(), 1000000);
  for (std::int64_t i = 0; i < 1000000; ++i) million.Add(i * lines / 1000000);
  std::printf("match set, 1M matches spread:     %10.2f MB (target <= 4 MB)\n",
              double(million.MemoryBytes()) / (1 << 20));
  vt9::logs::MatchSet dense;
  for (std::int64_t i = 0; i < 1000000; ++i) dense.Add(i * 13 + (i % 3));
  std::printf("match set, 1M matches, 1 in 13:   %10.2f MB\n",
              double(dense.MemoryBytes()) / (1 << 20));
  return 0;
}
