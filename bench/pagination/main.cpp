// pagination-bench generate FILE [LINES]   writes a backup log of LINES lines (default 1,000,000)
// pagination-bench oneline FILE MB          writes a log of one line of MB megabytes
// pagination-bench layout FILE [AFM]        lays FILE out as the log viewer prints it and reports
// pagination-bench print FILE               lays FILE out and prints every page to a job that
//                                           draws nowhere; reports the times and the bytes read
//
// The log has realistic lines: time stamps, actions, paths of varying depth, sizes after a tab,
// and now and then a line longer than the page. Layout reads the file as a line source (pages
// are checkpoints) at 300 dpi on A4, with the viewer's header and borders. Without AFM every
// character is 25 pixels wide (Courier New 10 pt); with AFM (a font metrics file, such as the
// Helvetica one enscript itself uses) each character has that font's width at 10 pt, measured
// one pass per line as GetTextExtentExPoint does. The report gives the wall time (reading and
// layout together), the pages, the bytes held by the pages and the peak resident memory.
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "printing/file_lines.h"
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

// Character widths in pixels at 10 points and 300 dpi from an AFM file ("C 65 ; WX 667 ; ...",
// widths in thousandths of the em); characters it does not list get its average width.
std::vector<int> AfmWidths(const char* path) {
  std::ifstream in(path);
  std::vector<double> units(256, -1);
  double sum = 0;
  int known = 0;
  for (std::string line; std::getline(in, line);) {
    int code = -1;
    double wx = 0;
    if (std::sscanf(line.c_str(), "C %d ; WX %lf", &code, &wx) == 2 && code >= 0 && code < 256) {
      units[code] = wx;
      sum += wx;
      ++known;
    }
  }
  std::vector<int> widths(256);
  const double average = known ? sum / known : 500;
  for (int c = 0; c < 256; ++c)
    widths[c] =
        static_cast<int>(std::lround((units[c] >= 0 ? units[c] : average) * 10 / 72 * 300 / 1000));
  return widths;
}

int OneLine(const char* path, long megabytes) {
  std::ofstream out(path, std::ios::binary);
  const std::string words = "Copied C:\\Users\\Owner\\file.txt\t12345 bytes, verified; ";
  std::string block;
  while (block.size() < (1u << 20)) block += words;
  block.resize(1u << 20);
  for (long i = 0; i < megabytes; ++i) out << block;
  out << "\r\n";
  return out ? 0 : 1;
}

// Counts what a source hands out.
class CountingSource : public vt9::LineSource {
 public:
  explicit CountingSource(vt9::LineSource& s) : s_(s) {}
  std::uint64_t bytes = 0;
  std::uint64_t LineCount() override { return s_.LineCount(); }
  bool ReadLine(std::uint64_t index, std::string& line) override {
    const bool ok = s_.ReadLine(index, line);
    bytes += line.size();
    return ok;
  }
  bool ReadsParts() const override { return s_.ReadsParts(); }
  bool ReadLinePart(std::uint64_t index, std::uint64_t offset, std::size_t max,
                    std::string& part) override {
    const bool ok = s_.ReadLinePart(index, offset, max, part);
    bytes += part.size();
    return ok;
  }

 private:
  vt9::LineSource& s_;
};

int Print(const char* path) {
  using Clock = std::chrono::steady_clock;
  vt9::test::FakePrintDevice device;
  device.caps = vt9::DeviceCaps{300, 300, 2479, 3508, 0, 0};
  device.canvas.metrics.charWidth = 25;
  device.canvas.metrics.fixedHeight = 47;
  vt9::TPageLayout pp(device);
  pp.SetFriendlyHeader("&cBackup log");
  pp.SetPageBorders({vt9::pbTop, vt9::pbBottom});
  pp.SetPageBorderOffset(0.065);
  vt9::FileLines file(path);
  if (!file.Ok()) return 1;
  CountingSource lines(file);
  const auto start = Clock::now();
  pp.BeginDoc();
  pp.WriteLines(lines);
  pp.EndDoc();
  const auto laidOut = Clock::now();
  const std::uint64_t layoutBytes = lines.bytes;
  struct Job : vt9::test::RecordingPrintJob {
    std::uint64_t textBytes = 0;
    void EndPage() override {
      for (const auto& t : canvas.texts) textBytes += t.text.size();
      canvas.texts.clear();
      canvas.log.clear();
    }
    void Progress(const std::string&, unsigned, unsigned, unsigned) override {}
  } job;
  if (!pp.PrintPages(job)) return 1;
  const auto printed = Clock::now();
  std::printf("pages %u\nlayout_seconds %.3f\nprint_seconds %.3f\n", pp.PageCount(),
              std::chrono::duration<double>(laidOut - start).count(),
              std::chrono::duration<double>(printed - laidOut).count());
  std::printf("layout_bytes_read %llu\nprint_bytes_read %llu\nprinted_text_bytes %llu\n",
              static_cast<unsigned long long>(layoutBytes),
              static_cast<unsigned long long>(lines.bytes - layoutBytes),
              static_cast<unsigned long long>(job.textBytes));
  return 0;
}

int Layout(const char* path, const char* afm) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  vt9::test::FakePrintDevice device;
  device.caps = vt9::DeviceCaps{300, 300, 2479, 3508, 0, 0};  // A4 as the PDF printer reports it
  device.canvas.metrics.charWidth = 25;                       // Courier New 10 pt at 300 dpi
  device.canvas.metrics.fixedHeight = 47;
  if (afm) {
    device.canvas.metrics.charWidths = AfmWidths(afm);
    device.canvas.metrics.fixedHeight = 46;  // Helvetica 10 pt at 300 dpi
  }
  vt9::TPageLayout pp(device);
  pp.SetFriendlyHeader("&cBackup log");
  pp.SetPageBorders({vt9::pbTop, vt9::pbBottom});
  pp.SetPageBorderOffset(0.065);
  vt9::FileLines lines(path);
  if (!lines.Ok()) return 1;
  const auto read = Clock::now();
  pp.BeginDoc();
  pp.WriteLines(lines);
  pp.EndDoc();
  const auto done = Clock::now();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::ifstream size(path, std::ios::binary | std::ios::ate);
  std::printf("lines %llu\nbytes %lld\npages %u\n",
              static_cast<unsigned long long>(lines.LineCount()),
              static_cast<long long>(size.tellg()), pp.PageCount());
  std::printf("scan_seconds %.3f\nlayout_seconds %.3f\ntotal_seconds %.3f\n",
              std::chrono::duration<double>(read - start).count(),
              std::chrono::duration<double>(done - read).count(),
              std::chrono::duration<double>(done - start).count());
  std::printf("measure_calls %llu\nmeasured_chars %llu\n",
              static_cast<unsigned long long>(device.canvas.measureCalls),
              static_cast<unsigned long long>(device.canvas.measuredChars));
  std::printf("recorded_page_bytes %zu\nbytes_per_page %.1f\npeak_rss_bytes %ld\n",
              pp.Pages().MemoryBytes(), double(pp.Pages().MemoryBytes()) / pp.PageCount(),
              usage.ru_maxrss * 1024L);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "generate")
    return Generate(argv[2], argc >= 4 ? std::atol(argv[3]) : 1000000);
  if (argc >= 4 && std::string(argv[1]) == "oneline") return OneLine(argv[2], std::atol(argv[3]));
  if (argc >= 3 && std::string(argv[1]) == "layout")
    return Layout(argv[2], argc >= 4 ? argv[3] : nullptr);
  if (argc >= 3 && std::string(argv[1]) == "print") return Print(argv[2]);
  std::fprintf(stderr,
               "usage: pagination-bench generate FILE [LINES] | oneline FILE MB | layout FILE "
               "[AFM] | print FILE\n");
  return 2;
}
