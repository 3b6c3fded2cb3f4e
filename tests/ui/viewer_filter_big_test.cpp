// The filter over a 200 MB log in the real VT9Now.exe under Wine: 40 lines of 3.3 million hold
// the word; the pane lists them with their numbers while the filter runs, Enter on the 20th
// moves the log there, and "Problems (40)" lists the same lines straight from the index.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "support/win/paths.h"
#include "support/win/viewer_driver.h"
#include "support/win/widget_host.h"
#include "viewer/win/filter_bar.h"
#include "viewer/win/viewer_window.h"

namespace vt9 {
namespace {

using test::ViewerDriver;
namespace id = win::viewer_id;
namespace bar_id = win::filter_bar_id;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 30000, &result);
  return static_cast<LRESULT>(result);
}

constexpr long kLines = 3'300'000;  // of 64 bytes: 200 MB

// The 40 lines (from 1) that hold "denied", spread over the whole log.
std::vector<long> DeniedLines() {
  std::vector<long> lines;
  for (long k = 0; k < 40; ++k) lines.push_back(1 + k * 82'500 + (k * 7919) % 80'000);
  return lines;
}

std::string Line(long i, bool denied) {
  char line[96];
  if (denied)
    std::snprintf(line, sizeof line,
                  "2026/12/08 10:%02ld:%02ld  Cannot copy file%08ld: access denied\r\n",
                  (i / 60) % 60, i % 60, i);
  else
    std::snprintf(line, sizeof line,
                  "2026/12/08 10:%02ld:%02ld  Copied C:\\Users\\Ann\\Data\\file%08ld.dat\r\n",
                  (i / 60) % 60, i % 60, i);
  return line;
}

std::string WaitForText(HWND window, const std::string& expected, DWORD ms) {
  const DWORD start = GetTickCount();
  std::string now = test::WindowText(window);
  while (now != expected && GetTickCount() - start < ms) {
    Sleep(50);
    now = test::WindowText(window);
  }
  return now;
}

TEST(ViewerFilterBig, FortyLinesOfA200MBLogListedWithTheirNumbersAndEnterGoesThere) {
  ViewerDriver viewer("filter-big");
  const std::string file = viewer.logFolder() + "Job.Full.log";
  const std::vector<long> denied = DeniedLines();
  {
    HANDLE out = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    const std::set<long> wanted(denied.begin(), denied.end());
    std::string chunk;
    for (long i = 1; i <= kLines; ++i) {
      chunk += Line(i, wanted.count(i) != 0);
      if (chunk.size() > (4u << 20) || i == kLines) {
        DWORD written = 0;
        ASSERT_TRUE(
            ::WriteFile(out, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr));
        chunk.clear();
      }
    }
    FlushFileBuffers(out);
    CloseHandle(out);
  }
  struct Remove {
    std::string path;
    ~Remove() { DeleteFileA(path.c_str()); }
  } remove{file};

  HWND window = viewer.Open({file, "Full backup"}, "Full backup");
  ASSERT_NE(window, nullptr);
  HWND log = GetDlgItem(window, id::memLog);
  HWND bar = GetDlgItem(window, id::filterBar);
  HWND pane = GetDlgItem(window, id::filterPane);
  HWND status = GetDlgItem(bar, bar_id::lblStatus);
  HWND problems = GetDlgItem(window, id::btnProblems);

  // The problem lines come with the index: the button appears once it is complete.
  EXPECT_EQ(WaitForText(problems, "Problems (40)", 120000), "Problems (40)");
  EXPECT_TRUE(IsWindowVisible(problems));

  // Ctrl+L, then the word typed: the count grows to all lines, the pane lists the 40.
  SetForegroundWindow(window);
  test::ClickAt(test::ClientToScreenPoint(log, 40, 8));
  Sleep(300);
  test::KeyDown(VK_CONTROL);
  test::PressKey('L');
  test::KeyUp(VK_CONTROL);
  const DWORD opened = GetTickCount();
  while (!IsWindowVisible(bar) && GetTickCount() - opened < 10000) Sleep(20);
  ASSERT_TRUE(IsWindowVisible(bar));
  const DWORD typed = GetTickCount();
  for (const char c : std::string("denied"))
    test::PressKey(static_cast<WORD>(VkKeyScanA(c) & 0xFF));
  DWORD firstRow = 0;
  while (GetTickCount() - typed < 120000) {
    if (!firstRow && Send(pane, LB_GETCOUNT) > 0) firstRow = GetTickCount();
    if (test::WindowText(status) == "40 of 3,300,001 lines") break;
    Sleep(10);
  }
  const DWORD done = GetTickCount();
  ASSERT_EQ(test::WindowText(status), "40 of 3,300,001 lines");
  std::printf("first row %lu ms and all lines %lu ms after the last key (settling 40 ms)\n",
              firstRow ? firstRow - typed : 0, done - typed);
  ASSERT_EQ(Send(pane, LB_GETCOUNT), 40);
  for (long row = 0; row < 40; ++row)
    EXPECT_EQ(Send(pane, LB_GETITEMDATA, row), denied[static_cast<std::size_t>(row)]) << row;
  EXPECT_EQ(test::WindowText(pane), R"(Lines with "denied")");
  ViewerDriver::Snapshot("viewer-filter-pane");

  // Enter on the 20th: the log shows that line, selected whole.
  Send(pane, LB_SETCURSEL, 19);
  PostMessageA(pane, WM_KEYDOWN, VK_RETURN, 1);
  const long target = denied[19] - 1;
  DWORD start = 0, end = 0;
  for (int i = 0; i < 100; ++i) {
    Send(log, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (Send(log, EM_LINEFROMCHAR, start) == target) break;
    Sleep(50);
  }
  EXPECT_EQ(Send(log, EM_LINEFROMCHAR, start), target);
  EXPECT_EQ(static_cast<LRESULT>(start), Send(log, EM_LINEINDEX, target));
  EXPECT_EQ(static_cast<LRESULT>(end - start), Send(log, EM_LINELENGTH, start));
  const LRESULT top = Send(log, EM_GETFIRSTVISIBLELINE);
  EXPECT_LE(top, target);
  EXPECT_GT(top + 20, target) << "the line is on screen";
  ViewerDriver::Snapshot("viewer-filter-went-to-line");

  // Problems: the same lines at once, from the index's own record.
  viewer.Press("Problems (40)");
  EXPECT_EQ(
      WaitForText(pane, "Lines with a problem word (error failed warning cannot denied skipped)",
                  5000),
      "Lines with a problem word (error failed warning cannot denied skipped)");
  EXPECT_EQ(Send(pane, LB_GETCOUNT), 40);
  EXPECT_EQ(Send(pane, LB_GETITEMDATA, 39), denied[39]);
  EXPECT_EQ(test::WindowText(status), "40 of 3,300,001 lines");
  EXPECT_TRUE(viewer.CloseAndEnd(30000));
}

}  // namespace
}  // namespace vt9
