// log-document-bench: indexes a generated backup log held in memory (a warm file cache), then
// searches it whole for a text it does not hold, with and without match case, and prints the
// speeds and the index's bytes per line. Usage: log-document-bench [megabytes, default 256]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/log_document_support.h"
#include "viewer/log_document.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
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

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = argc > 1 ? std::size_t(std::atoi(argv[1])) : 256;
  const std::string log = MakeLog(megabytes << 20);
  const double mb = double(log.size()) / (1 << 20);
  std::printf("generated log: %.0f MB\n", mb);

  auto start = std::chrono::steady_clock::now();
  vt9::LogDocument doc(vt9::test::MemoryFileOf(log), vt9::test::WesternCodePage());
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  const double indexSeconds = Seconds(start);
  std::printf("indexing:              %8.0f MB/s (%.3f s)\n", mb / indexSeconds, indexSeconds);
  std::printf("lines:                 %8lld\n", static_cast<long long>(doc.LineCount()));
  std::printf("index bytes per line:  %8.2f\n",
              double(doc.IndexMemoryBytes()) / double(doc.LineCount()));

  for (bool matchCase : {true, false}) {
    start = std::chrono::steady_clock::now();
    const auto found = doc.Find(0, -1, "Restored file", matchCase, false);
    const double s = Seconds(start);
    std::printf("find, no match, %-10s %6.0f MB/s (%.3f s)%s\n",
                matchCase ? "case:" : "no case:", mb / s, s, found ? " FOUND?" : "");
  }
  start = std::chrono::steady_clock::now();
  const auto word = doc.Find(0, -1, "file99999", false, true);
  std::printf("find whole word:       %8.3f s (at %lld)\n", Seconds(start),
              word ? static_cast<long long>(word->start) : -1LL);

  start = std::chrono::steady_clock::now();
  std::size_t chars = 0;
  const std::int64_t lines = doc.LineCount();
  for (std::int64_t i = 0; i < lines; i += 997) chars += doc.LineText16(i, 0, 200).size();
  std::printf("random lines read:     %8.3f us each\n",
              Seconds(start) * 1e6 / double(lines / 997 + 1));
  return chars ? 0 : 1;
}
