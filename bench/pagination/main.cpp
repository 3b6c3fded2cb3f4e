// pagination-bench generate FILE [LINES]   writes a backup log of LINES lines (default 1,000,000)
// pagination-bench layout FILE             lays FILE out as the log viewer prints it and reports
//
// The log has realistic lines: time stamps, actions, paths of varying depth, sizes after a tab,
// and now and then a line longer than the page. Layout runs on the fixed-metric canvas with
// Courier-like widths at 300 dpi on A4, with the viewer's header and borders; the report gives
// the wall time, the pages, the bytes held by the recorded pages and the peak resident memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "support/fake_print_device.h"

namespace {

int Generate(const char* path, long lines) {
  std::ofstream out(path, std::ios::binary);
  if (!out) return 1;
  std::mt19937 rng(12345);
  const char* actions[] = {"Copied", "Skipped (unchanged)", "Compressed", "Verified",
                           "Warning: locked, retried"};
  const char* folders[] = {"Documents",           "Pictures\\Holiday 2026",
                           "Projects\\vt9\\src",  "AppData\\Roaming\\Mail",
                           "Music\\Albums\\Live", "Desktop"};
  const char* exts[] = {".docx", ".jpg", ".cpp", ".pst", ".mp3", ".txt", ".xlsx"};
  std::string line;
  for (long i = 0; i < lines; ++i) {
    line.clear();
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "2026/12/08 %02ld:%02ld:%02ld  ", (i / 3600) % 24,
                  (i / 60) % 60, i % 60);
    line += stamp;
    line += actions[rng() % 5];
    line += "\tC:\\Users\\Owner\\";
    line += folders[rng() % 6];
    for (unsigned depth = rng() % 4; depth > 0; --depth)
      line += "\\folder" + std::to_string(rng() % 100);
    line += "\\file_" + std::to_string(rng() % 1000000) + exts[rng() % 7];
    if (rng() % 500 == 0) {
      // A path far wider than the page: long folder names one after another.
      for (int k = 0; k < 12; ++k)
        line += "\\A very long folder name for testing " + std::to_string(k);
    }
    line += "\t" + std::to_string(rng() % 100000000) + " bytes\r\n";
    out << line;
  }
  return out ? 0 : 1;
}

int Layout(const char* path) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  std::ifstream in(path, std::ios::binary);
  if (!in) return 1;
  vt9::test::FakePrintDevice device;
  device.caps = vt9::DeviceCaps{300, 300, 2479, 3508, 0, 0};  // A4 as the PDF printer reports it
  device.canvas.metrics.charWidth = 25;                       // Courier New 10 pt at 300 dpi
  device.canvas.metrics.fixedHeight = 47;
  vt9::TPageLayout pp(device);
  pp.SetFriendlyHeader("&cBackup log");
  pp.SetPageBorders({vt9::pbTop, vt9::pbBottom});
  pp.SetPageBorderOffset(0.065);
  std::size_t bytes = 0;
  for (std::string line; std::getline(in, line);) {
    bytes += line.size() + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pp.Lines().push_back(std::move(line));
  }
  const auto read = Clock::now();
  pp.BeginDoc();
  pp.WriteLines(false);
  pp.EndDoc();
  const auto done = Clock::now();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("lines %zu\nbytes %zu\npages %u\n", pp.Lines().size(), bytes, pp.PageCount());
  std::printf("read_seconds %.3f\nlayout_seconds %.3f\ntotal_seconds %.3f\n",
              std::chrono::duration<double>(read - start).count(),
              std::chrono::duration<double>(done - read).count(),
              std::chrono::duration<double>(done - start).count());
  std::printf("recorded_page_bytes %zu\npeak_rss_bytes %ld\n", pp.Pages().MemoryBytes(),
              usage.ru_maxrss * 1024L);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "generate")
    return Generate(argv[2], argc >= 4 ? std::atol(argv[3]) : 1000000);
  if (argc >= 3 && std::string(argv[1]) == "layout") return Layout(argv[2]);
  std::fprintf(stderr, "usage: pagination-bench generate FILE [LINES] | layout FILE\n");
  return 2;
}
