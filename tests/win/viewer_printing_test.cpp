// The viewer's print path (LogPrinter) in this process, against the CUPS PDF printer: layout
// from a line source under "Preparing page N" with a Cancel that ends it, the hourglass that
// stays over the window while layout runs and pages go out, the caption printed as it reads,
// the least margin of 10 mm, and a log of many pages read back from the PDF.
#include <gtest/gtest.h>
#include <windows.h>
// richedit.h needs <windows.h> first.
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "printing/win/system_printer.h"
#include "support/win/host_command.h"
#include "support/win/widget_host.h"
#include "viewer/win/rich_edit_lines.h"
#include "viewer/win/viewer_print.h"

namespace vt9 {
namespace {

// Line i of a log that is never held in memory.
class GeneratedLog : public LineSource {
 public:
  explicit GeneratedLog(std::uint64_t count) : count_(count) {}
  std::uint64_t LineCount() override { return count_; }
  bool ReadLine(std::uint64_t index, std::string& line) override {
    char text[96];
    std::snprintf(text, sizeof text, "Line %07llu copied C:\\Data\\file.txt",
                  static_cast<unsigned long long>(index + 1));
    line = text;
    return index < count_;
  }

 private:
  std::uint64_t count_;
};

std::string Text(HWND w) {
  char buf[256] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

std::string ClassOf(HWND w) {
  char buf[64] = {};
  GetClassNameA(w, buf, sizeof buf);
  return buf;
}

BOOL CALLBACK AddVisible(HWND w, LPARAM list) {
  if (IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
  return TRUE;
}

std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), AddVisible, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// What a timer saw while LogPrinter::Print ran on this thread.
struct Watch {
  std::function<void(HWND progress, HWND printDialog)> onTick;
  int ticks = 0;
};
Watch* g_watch = nullptr;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (!g_watch) return;
  ++g_watch->ticks;
  HWND progress = nullptr, dialog = nullptr;
  for (HWND w : ThreadWindows()) {
    if (ClassOf(w) == "TPrintProgressDlg") progress = w;
    if (ClassOf(w) == "#32770") dialog = w;
  }
  g_watch->onTick(progress, dialog);
}

void PrintWatched(HWND owner, const win::PrintJob& job, win::LogPrinter& printer, Watch& watch) {
  g_watch = &watch;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, OnTimer);
  printer.Print(owner, job);
  KillTimer(nullptr, timer);
  g_watch = nullptr;
}

std::string StatusOf(HWND progress) {
  // The status is the first of the two labels.
  HWND label = FindWindowExA(progress, nullptr, "STATIC", nullptr);
  return label ? Text(label) : "";
}

// Whether a window shows the hourglass when the pointer moves over it.
bool ShowsHourglass(HWND w) {
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
}

struct Host {
  test::WidgetHost host;
  HWND edit = nullptr;
  Host() {
    LoadLibraryA("riched20.dll");
    edit = CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 300,
                           200, host.hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(edit, EM_SETTARGETDEVICE, 0, 1);  // no wrapping, as the viewer's control
  }
};

TEST(ViewerPrinting, CancelWhilePreparingEndsTheLayoutWithTheHourglassShown) {
  ASSERT_FALSE(win::Printer().Name().empty());
  Host h;
  GeneratedLog log(4000000);  // far more than can be laid out before Cancel
  win::PrintJob job;
  job.lines = &log;
  job.caption = "Cancelled while preparing";
  win::LogPrinter printer;
  Watch watch;
  std::string status;
  bool hourglass = false, ownerDisabled = false, dialogSeen = false;
  watch.onTick = [&](HWND progress, HWND dialog) {
    if (dialog) {
      dialogSeen = true;
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    if (!progress || !status.empty()) return;
    status = StatusOf(progress);
    hourglass = ShowsHourglass(h.edit) && ShowsHourglass(h.host.hwnd());
    ownerDisabled = !IsWindowEnabled(h.host.hwnd());
    SendMessageA(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
  };
  const DWORD start = GetTickCount();
  PrintWatched(h.host.hwnd(), job, printer, watch);
  const DWORD took = GetTickCount() - start;
  EXPECT_EQ(status.rfind("Preparing page ", 0), 0u) << status;
  EXPECT_TRUE(hourglass) << "the hourglass while layout runs";
  EXPECT_TRUE(ownerDisabled);
  EXPECT_FALSE(dialogSeen) << "a cancelled layout asks nothing";
  EXPECT_TRUE(IsWindowEnabled(h.host.hwnd()));
  EXPECT_LT(took, 60000u);
  std::printf("cancelled after %lu ms at \"%s\"\n", took, status.c_str());
}

using test::PdfWords;
using test::Word;

TEST(ViewerPrinting, AllPagesOfALongLogWithTheCaptionAsItReadsAndTenMillimetreMargins) {
  ASSERT_FALSE(win::Printer().Name().empty());
  Host h;
  const int lines = 6000;
  GeneratedLog log(lines);
  win::PrintJob job;
  job.lines = &log;
  // Codes a header would otherwise expand: a date, a page number, a new column.
  // The caption starts with a plain tag, which also names the PDF.
  const std::string tag =
      "vt9vp" + std::to_string(GetCurrentProcessId()) + "x" + std::to_string(GetTickCount());
  job.caption = tag + " R&D &p &r.log";
  win::LogPrinter printer;
  Watch watch;
  std::string pageLabel;
  int hourglassChecks = 0, hourglassShown = 0;
  bool confirmed = false;
  std::string lastPageField;
  watch.onTick = [&](HWND progress, HWND dialog) {
    if (dialog && !confirmed) {
      confirmed = true;
      lastPageField = Text(GetDlgItem(dialog, 0x481));
      SendMessageA(dialog, WM_COMMAND, IDOK, 0);
      return;
    }
    if (progress && StatusOf(progress).rfind("Preparing", 0) != 0) {
      ++hourglassChecks;
      if (ShowsHourglass(h.edit)) ++hourglassShown;
    }
  };
  const DWORD start = GetTickCount();
  PrintWatched(h.host.hwnd(), job, printer, watch);
  std::printf("%d lines laid out and printed in %lu ms\n", lines, GetTickCount() - start);
  ASSERT_TRUE(confirmed);
  const std::string pdf = test::WaitForPdf(tag, 120000);
  ASSERT_FALSE(pdf.empty());
  const int pages =
      std::stoi(test::RunHostScript("pdfinfo '" + pdf + "' | sed -n 's/^Pages:[[:space:]]*//p'"));
  EXPECT_EQ(std::to_string(pages), lastPageField) << "every page of the layout printed";
  EXPECT_GT(pages, 50);
  EXPECT_GT(hourglassChecks, 0) << "the timer never ran while pages went out";
  EXPECT_EQ(hourglassShown, hourglassChecks) << "the hourglass went away while printing";

  const std::string first = test::RunHostScript("pdftotext -layout -f 1 -l 1 '" + pdf + "' -");
  EXPECT_NE(first.find(job.caption), std::string::npos) << first.substr(0, 300);
  EXPECT_NE(first.find("Line 0000001 "), std::string::npos);
  const std::string last = test::RunHostScript("pdftotext -layout -f " + std::to_string(pages) +
                                               " -l " + std::to_string(pages) + " '" + pdf + "' -");
  EXPECT_NE(last.find("Line 0006000 "), std::string::npos);

  // 10 mm is 28.35 points: nothing printed comes nearer the paper's edge.
  const std::string size = test::RunHostScript(
      "pdfinfo '" + pdf +
      "' | sed -n 's/^Page size:[[:space:]]*\\([0-9.]*\\) x \\([0-9.]*\\).*/\\1 \\2/p'");
  double width = 0, height = 0;
  ASSERT_EQ(std::sscanf(size.c_str(), "%lf %lf", &width, &height), 2) << size;
  for (int page : {1, pages}) {
    const std::vector<Word> words = PdfWords(pdf, page);
    ASSERT_FALSE(words.empty());
    for (const Word& w : words) {
      EXPECT_GE(w.xMin, 28.3) << w.text << " on page " << page;
      EXPECT_GE(w.yMin, 28.3) << w.text << " on page " << page;
      EXPECT_LE(w.xMax, width - 28.3) << w.text << " on page " << page;
      EXPECT_LE(w.yMax, height - 28.3) << w.text << " on page " << page;
    }
  }
}

TEST(ViewerPrinting, TheRichEditControlHandsOutItsLinesOneByOne) {
  Host h;
  const std::string longLine(70000, 'x');
  const std::string text = "first\r\n\r\nthird\tcolumn\r\n" + longLine + "\r\nlast\r\n";
  SendMessageA(h.edit, EM_EXLIMITTEXT, 0, 1 << 24);
  SetWindowTextA(h.edit, text.c_str());
  win::RichEditLines lines(h.edit);
  ASSERT_EQ(lines.LineCount(), 5u);
  std::string line;
  EXPECT_TRUE(lines.ReadLine(0, line));
  EXPECT_EQ(line, "first");
  EXPECT_TRUE(lines.ReadLine(1, line));
  EXPECT_EQ(line, "");
  EXPECT_TRUE(lines.ReadLine(2, line));
  EXPECT_EQ(line, "third\tcolumn");
  EXPECT_TRUE(lines.ReadLine(3, line));
  EXPECT_EQ(line.size(), longLine.size()) << "a line longer than EM_GETLINE's 16-bit buffer";
  EXPECT_TRUE(lines.ReadLine(4, line));
  EXPECT_EQ(line, "last");
  EXPECT_FALSE(lines.ReadLine(5, line));
  EXPECT_EQ(line, "");
  SetWindowTextA(h.edit, "");
  EXPECT_EQ(win::RichEditLines(h.edit).LineCount(), 0u);
  SetWindowTextA(h.edit, "no break at the end");
  EXPECT_EQ(win::RichEditLines(h.edit).LineCount(), 1u);
}

}  // namespace
}  // namespace vt9
