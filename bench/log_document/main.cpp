// log-document-bench: indexes a generated backup log held in memory (a warm file cache), then
// searches it whole for a text it does not hold, with and without match case, and prints the
// speeds (processor time, best of three) and the index's bytes per line; then the same log with
// double-byte words under a double-byte code page against a Western one, whole-word search on one
// long line, and a 3 GB log searched past 2 GB. Usage: log-document-bench [megabytes, default 256]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "logs/log_document.h"
#include "support/log_document_support.h"

namespace {

// Processor time of this process: on a machine busy with other work, wall time says more about
// the others than about the document.
double CpuNow() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

std::string MakeLog(std::size_t bytes) {
  std::string log;
  log.reserve(bytes + 200);
  unsigned n = 0;
  char line[256];
  while (log.size() < bytes) {
    const int len =
        std::snprintf(line, sizeof line,
                      "2026-12-08 23:%02u:%02u Backed up "
                      "C:\\Users\\Anna\\Documents\\Projects\\Folder%u\\file%u.dat (%u bytes)\r\n",
                      (n / 60) % 60, n % 60, n % 977, n, (n * 7919u) % 1000000u);
    log.append(line, std::size_t(len));
    ++n;
  }
  return log;
}

// A log of `lines` lines of `length` bytes each (CR LF included), made as it is read.
class RuledFile : public vt9::RandomAccessFile {
 public:
  RuledFile(std::uint64_t length, std::uint64_t lines) : length_(length), lines_(lines) {}
  std::int64_t Size() override { return std::int64_t(length_ * lines_); }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    const std::uint64_t end = std::min<std::uint64_t>(offset + size, length_ * lines_);
    if (offset >= end) return 0;
    auto* out = static_cast<char*>(buffer);
    std::memset(out, 'x', std::size_t(end - offset));
    for (std::uint64_t lineEnd = (offset / length_ + 1) * length_; lineEnd - 2 < end;
         lineEnd += length_) {
      if (lineEnd - 2 >= offset) out[lineEnd - 2 - offset] = '\r';
      if (lineEnd - 1 >= offset && lineEnd - 1 < end) out[lineEnd - 1 - offset] = '\n';
    }
    return std::int64_t(end - offset);
  }

 private:
  std::uint64_t length_, lines_;
};

// The generated log with a double-byte word in every line (Shift-JIS-shaped pairs), for the
// double-byte code page's figures.
std::string MakeDoubleByteLog(std::size_t bytes) {
  std::string log = MakeLog(bytes);
  for (std::size_t at = log.find("Backed up"); at != std::string::npos;
       at = log.find("Backed up", at + 9))
    log.replace(at, 9, "\x82\xa0\x82\xa2\x93\xfa\x96\x7b\x20");
  return log;
}

// A log of `bytes` bytes of 1000-byte lines with one word just past 2^31 characters.
class FarWordFile : public vt9::RandomAccessFile {
 public:
  static constexpr std::uint64_t kWordAt = (std::uint64_t(1) << 31) + 5000;
  explicit FarWordFile(std::uint64_t bytes) : ruled_(1000, bytes / 1000) {}
  std::int64_t Size() override { return ruled_.Size(); }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    const std::int64_t n = ruled_.ReadAt(offset, buffer, size);
    static const char word[] = "farword";
    for (std::uint64_t i = 0; i < 7; ++i)
      if (kWordAt + i >= offset && kWordAt + i < offset + std::uint64_t(n > 0 ? n : 0))
        static_cast<char*>(buffer)[kWordAt + i - offset] = word[i];
    return n;
  }

 private:
  RuledFile ruled_;
};

template <class Work>
double BestOfThree(Work&& work) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    const double start = CpuNow();
    work();
    best = std::min(best, CpuNow() - start);
  }
  return best;
}

// Indexing and search under the double-byte code page against the Western one, whole-word
// search on one long line, and a find past 2 GB.
void DoubleByteAndFarFigures(std::size_t megabytes) {
  using vt9::logs::LogDocument;
  const std::string log = MakeDoubleByteLog(megabytes << 20);
  const std::string ascii = MakeLog(megabytes << 20);
  const double mb = double(log.size()) / (1 << 20);
  std::printf("double-byte log: %.0f MB\n", mb);
  for (const bool dbcs : {false, true}) {
    const vt9::logs::CodePage cp =
        dbcs ? vt9::test::DoubleByteCodePage() : vt9::test::WesternCodePage();
    const char* name = dbcs ? "932-like" : "1252-like";
    std::unique_ptr<LogDocument> doc;
    const double index = BestOfThree([&] {
      doc = std::make_unique<LogDocument>(vt9::test::MemoryFileOf(log), cp);
      std::atomic<bool> stop{false};
      doc->BuildIndex(stop);
    });
    std::printf("  %-9s indexing:         %6.0f MB/s (%.3f s)\n", name, mb / index, index);
    const double find = BestOfThree([&] { (void)doc->Find(0, -1, "Restored file", false, false); });
    std::printf("  %-9s find, no match:   %6.0f MB/s (%.3f s)\n", name, mb / find, find);
    auto pure = std::make_unique<LogDocument>(vt9::test::MemoryFileOf(ascii), cp);
    std::atomic<bool> stop{false};
    pure->BuildIndex(stop);
    const double asciiFind =
        BestOfThree([&] { (void)pure->Find(0, -1, "Restored file", false, false); });
    std::printf("  %-9s pure ASCII find:  %6.0f MB/s (%.3f s)\n", name, mb / asciiFind, asciiFind);
    // Whole-word "ab" on one line of `kb` KB where "ab" only occurs inside words.
    for (const std::size_t kb : {64u, 256u}) {
      std::string line;
      while (line.size() < kb * 1024) line += "xaby ";
      LogDocument one(vt9::test::MemoryFileOf(line), cp);
      one.BuildIndex(stop);
      const double s = BestOfThree([&] { (void)one.Find(0, -1, "ab", false, true); });
      std::printf("  %-9s whole word, %3zu KB line: %.3f s\n", name, kb, s);
    }
  }
  // A 3 GB log: the word past 2^31 characters found from the start.
  LogDocument far(std::make_unique<FarWordFile>(std::uint64_t(3) << 30),
                  vt9::test::WesternCodePage());
  std::atomic<bool> stop{false};
  double start = CpuNow();
  far.BuildIndex(stop);
  const double farIndex = CpuNow() - start;
  start = CpuNow();
  const auto found = far.Find(0, -1, "farword", true, false);
  const double farFind = CpuNow() - start;
  std::printf("3 GB log: indexing %.3f s, find past 2 GB %.3f s (at %lld)\n", farIndex, farFind,
              found ? static_cast<long long>(found->start) : -1LL);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = argc > 1 ? std::size_t(std::atoi(argv[1])) : 256;
  const std::string log = MakeLog(megabytes << 20);
  const double mb = double(log.size()) / (1 << 20);
  std::printf("generated log: %.0f MB\n", mb);

  // Each figure is the best of three runs: the machine may be busy with other work.
  std::unique_ptr<vt9::logs::LogDocument> doc;
  double indexSeconds = 1e9;
  for (int run = 0; run < 3; ++run) {
    const double start = CpuNow();
    doc = std::make_unique<vt9::logs::LogDocument>(vt9::test::MemoryFileOf(log),
                                                   vt9::test::WesternCodePage());
    std::atomic<bool> stop{false};
    doc->BuildIndex(stop);
    indexSeconds = std::min(indexSeconds, (CpuNow() - start));
  }
  std::printf("indexing:              %8.0f MB/s (%.3f s)\n", mb / indexSeconds, indexSeconds);
  std::printf("lines:                 %8lld\n", static_cast<long long>(doc->LineCount()));
  std::printf("index bytes per line:  %8.2f\n",
              double(doc->IndexMemoryBytes()) / double(doc->LineCount()));

  for (bool matchCase : {true, false}) {
    double s = 1e9;
    bool found = false;
    for (int run = 0; run < 3; ++run) {
      const double start = CpuNow();
      found = doc->Find(0, -1, "Restored file", matchCase, false).has_value();
      s = std::min(s, (CpuNow() - start));
    }
    std::printf("find, no match, %-10s %6.0f MB/s (%.3f s)%s\n",
                matchCase ? "case:" : "no case:", mb / s, s, found ? " FOUND?" : "");
  }
  // The same over character values, as an edited log is searched.
  doc->Replace({0, 0}, u"x");
  doc->Replace({0, 1}, u"");
  {
    const double start = CpuNow();
    const bool found = doc->Find(0, -1, "Restored file", false, false).has_value();
    const double s = (CpuNow() - start);
    std::printf("find, edited, no case: %6.0f MB/s (%.3f s)%s\n", mb / s, s,
                found ? " FOUND?" : "");
  }
  doc->Undo();
  doc->Undo();
  double start = CpuNow();
  const auto word = doc->Find(0, -1, "file99999", false, true);
  std::printf("find whole word:       %8.3f s (at %lld)\n", (CpuNow() - start),
              word ? static_cast<long long>(word->start) : -1LL);

  start = CpuNow();
  std::size_t chars = 0;
  const std::int64_t lines = doc->LineCount();
  for (std::int64_t i = 0; i < lines; i += 997) chars += doc->LineText16(i, 0, 200).size();
  std::printf("random lines read:     %8.3f us each\n",
              (CpuNow() - start) * 1e6 / double(lines / 997 + 1));

  // Save (rich text out) and print (every line as ANSI text) pass over the whole log.
  start = CpuNow();
  std::size_t rtfBytes = 0;
  doc->WriteRichText([&](std::string_view piece) {
    rtfBytes += piece.size();
    return true;
  });
  double s = CpuNow() - start;
  std::printf("rich text out:         %8.0f MB/s (%.3f s)\n", mb / s, s);
  start = CpuNow();
  std::string line;
  std::size_t lineBytes = 0;
  vt9::LineSource& source = doc->Lines();
  for (std::uint64_t i = 0; i < source.LineCount(); ++i) {
    source.ReadLine(i, line);
    lineBytes += line.size();
  }
  s = CpuNow() - start;
  std::printf("lines for printing:    %8.0f MB/s (%.3f s)\n", mb / s, s);

  // The index's size for longer lines, over 1 GB of each.
  for (std::uint64_t length : {1000u, 16000u}) {
    const std::uint64_t lines = (std::uint64_t(1) << 30) / length;
    vt9::logs::LogDocument ruled(std::make_unique<RuledFile>(length, lines),
                                 vt9::test::WesternCodePage());
    std::atomic<bool> stop{false};
    const double t = CpuNow();
    ruled.BuildIndex(stop);
    const double s = CpuNow() - t;
    std::printf("lines of %5llu bytes:  %8.2f index bytes per line (%lld lines, %.0f MB/s)\n",
                static_cast<unsigned long long>(length),
                double(ruled.IndexMemoryBytes()) / double(ruled.LineCount()),
                static_cast<long long>(ruled.LineCount()), 1024.0 / s);
  }
  DoubleByteAndFarFigures(megabytes);
  return chars && rtfBytes && lineBytes ? 0 : 1;
}
