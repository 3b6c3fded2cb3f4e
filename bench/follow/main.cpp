// follow-bench: a log made as it is read, whose size the benchmark sets as a writer would grow
// it. Prints (processor time of this process, best of three where repeated):
//   - opening and indexing a log of B MB, then the time of one growth step taking in 1 MB
//     appended to it, and of a step taking in one line;
//   - the line index's bytes after following B MB appended 4 MB at a time from an empty log,
//     against the index of the same log opened whole.
// Usage: follow-bench [megabytes, default 1024]
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "logs/log_document.h"

namespace {

double CpuNow() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Lines of 64 bytes (CR LF included) with a running number, up to the size the writer reached.
class GrowingLog : public vt9::RandomAccessFile {
 public:
  static constexpr std::uint64_t kLine = 64;
  std::uint64_t size = 0;
  std::int64_t Size() override { return std::int64_t(size); }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    const std::uint64_t end = std::min<std::uint64_t>(offset + n, size);
    if (offset >= end) return 0;
    auto* out = static_cast<char*>(buffer);
    char line[96];
    for (std::uint64_t at = offset; at < end;) {
      const std::uint64_t number = at / kLine;
      std::snprintf(line, sizeof line, "2026/12/09 22:%02u:%02u  Copied D:\\Data\\f%021llu.dat\r\n",
                    unsigned(number / 60 % 60), unsigned(number % 60),
                    static_cast<unsigned long long>(number));
      const std::uint64_t from = at % kLine;
      const std::uint64_t take = std::min(kLine - from, end - at);
      std::memcpy(out + (at - offset), line + from, std::size_t(take));
      at += take;
    }
    return std::int64_t(end - offset);
  }
};

vt9::logs::CodePage Western() {
  vt9::logs::CodePage cp;
  for (int b = 0; b < 256; ++b) cp.upper[b] = static_cast<unsigned char>(b);
  return cp;
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t mb = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
  const std::uint64_t bytes = mb << 20;
  std::atomic<bool> stop{false};
  using Growth = vt9::logs::LogDocument::Growth;

  {
    auto owned = std::make_unique<GrowingLog>();
    GrowingLog* file = owned.get();
    file->size = bytes;
    vt9::logs::LogDocument doc(std::move(owned), Western());
    double t = CpuNow();
    doc.BuildIndex(stop);
    std::printf("open and index %llu MB: %.3f s, %lld lines\n", static_cast<unsigned long long>(mb),
                CpuNow() - t, static_cast<long long>(doc.LineCount()));
    double bestMb = 1e9, bestLine = 1e9;
    for (int run = 0; run < 3; ++run) {
      file->size += 1 << 20;
      t = CpuNow();
      const Growth g = doc.CheckGrowth();
      bestMb = std::min(bestMb, CpuNow() - t);
      if (g != Growth::Grew) return 1;
      file->size += GrowingLog::kLine;
      t = CpuNow();
      doc.CheckGrowth();
      bestLine = std::min(bestLine, CpuNow() - t);
    }
    std::printf("growth step, 1 MB appended to %llu MB: %.2f ms (best of 3)\n",
                static_cast<unsigned long long>(mb), bestMb * 1e3);
    std::printf("growth step, one line appended: %.3f ms (best of 3)\n", bestLine * 1e3);
    std::printf("index of the log opened whole (+3 MB): %zu bytes\n", doc.IndexMemoryBytes());
  }
  {
    auto owned = std::make_unique<GrowingLog>();
    GrowingLog* file = owned.get();
    vt9::logs::LogDocument doc(std::move(owned), Western());
    doc.BuildIndex(stop);
    const double t = CpuNow();
    int steps = 0;
    while (file->size < bytes) {
      file->size = std::min<std::uint64_t>(bytes, file->size + (4 << 20) + 17);  // cut mid-line
      while (doc.CheckGrowth(4 << 20) == Growth::Grew) ++steps;
    }
    std::printf("followed %llu MB in %d steps: %.3f s, index %zu bytes, %lld lines\n",
                static_cast<unsigned long long>(mb), steps, CpuNow() - t, doc.IndexMemoryBytes(),
                static_cast<long long>(doc.LineCount()));
    auto whole = std::make_unique<GrowingLog>();
    whole->size = bytes;
    vt9::logs::LogDocument opened(std::move(whole), Western());
    opened.BuildIndex(stop);
    std::printf("index of the same log opened whole: %zu bytes\n", opened.IndexMemoryBytes());
  }
  return 0;
}
