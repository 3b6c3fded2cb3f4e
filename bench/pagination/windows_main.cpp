// bench_pagination.exe layout FILE   lays FILE out with the Windows page printer as the log
//                                    viewer does (real GDI measuring on the default printer, or a
//                                    memory DC sized for 300 dpi without one) and reports
// bench_pagination.exe print FILE    also prints every page to the default printer
//
// The lines are read from the file as a line source; the report gives the printer's resolution,
// the pages, the layout and print times, the bytes held by the pages, and the process's private
// bytes when idle (after the file scan) and at their peak while laying out and printing.
#include <windows.h>
// psapi needs <windows.h> first.
#include <psapi.h>

#include <cstdio>
#include <string>

#include "printing/file_lines.h"
#include "printing/win/page_printer.h"
#include "printing/win/system_printer.h"

namespace {

SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof(pmc);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                       sizeof(pmc));
  // Wine leaves PrivateUsage at 0; the commit charge it does report is the same figure.
  return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

// The file's lines, noting the peak private bytes as they are read.
class Watched : public vt9::LineSource {
 public:
  explicit Watched(vt9::LineSource& inner) : inner_(inner) {}
  SIZE_T peak = 0;
  std::uint64_t LineCount() override { return inner_.LineCount(); }
  bool ReadLine(std::uint64_t index, std::string& line) override {
    if ((++reads_ & 4095) == 0) {
      const SIZE_T now = PrivateBytes();
      if (now > peak) peak = now;
    }
    return inner_.ReadLine(index, line);
  }

 private:
  vt9::LineSource& inner_;
  std::uint64_t reads_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_pagination layout|print FILE\n");
    return 2;
  }
  const bool print = std::string(argv[1]) == "print";
  vt9::FileLines file(argv[2]);
  if (!file.Ok()) return 1;
  Watched lines(file);
  const SIZE_T idle = PrivateBytes();
  lines.peak = idle;
  vt9::win::TPagePrinter pp(nullptr);
  pp.SetTitle("vt9-pagination-bench");
  pp.SetFriendlyHeader("&cBackup log");
  pp.SetPageBorders({vt9::pbTop, vt9::pbBottom});
  pp.SetPageBorderOffset(0.065);
  pp.SetFont(vt9::TPrintFont{"Courier New", 10, 0, vt9::kColorBlack});
  pp.SetShowProgress(false);
  LARGE_INTEGER t0, t1, t2;
  QueryPerformanceCounter(&t0);
  pp.BeginDoc();
  pp.WriteLines(lines);
  pp.EndDoc();
  QueryPerformanceCounter(&t1);
  std::printf("printer \"%s\" ppi %d\nlines %llu\npages %u\n", pp.Device().Name().c_str(),
              pp.PixelsPerInchY(), static_cast<unsigned long long>(lines.LineCount()),
              pp.PageCount());
  std::printf("layout_seconds %.3f\n", Seconds(t0, t1));
  std::printf("recorded_page_bytes %u\nbytes_per_page %.1f\n",
              static_cast<unsigned>(pp.Pages().MemoryBytes()),
              double(pp.Pages().MemoryBytes()) / pp.PageCount());
  if (print) {
    const bool done = pp.Print();
    QueryPerformanceCounter(&t2);
    std::printf("printed %s\nprint_seconds %.3f\n", done ? "all" : "cancelled", Seconds(t1, t2));
  }
  const SIZE_T now = PrivateBytes();
  if (now > lines.peak) lines.peak = now;
  std::printf("private_bytes_idle %lu\nprivate_bytes_peak %lu\nprivate_bytes_above_idle_mb %.1f\n",
              static_cast<unsigned long>(idle), static_cast<unsigned long>(lines.peak),
              double(lines.peak - idle) / (1024.0 * 1024.0));
  return 0;
}
