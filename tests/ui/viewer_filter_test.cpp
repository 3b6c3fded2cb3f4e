// "Only the lines with…" in the real VT9Now.exe under Wine: a 200 MB log filtered for a word
// of 40 lines (the pane lists them with their numbers, Enter goes to one), the problem lines
// after indexing, lines excluded in the log itself with their numbers kept, Go to Line, F8, and
// Esc closing bar and pane with the log where it was.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/win/paths.h"
#include "support/win/viewer_driver.h"
#include "support/win/widget_host.h"
#include "viewer/win/filter_bar.h"
#include "viewer/win/go_to_line.h"
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

struct Filter {
  HWND window, log, bar, pane;
  explicit Filter(const ViewerDriver& viewer)
      : window(viewer.window()),
        log(GetDlgItem(window, id::memLog)),
        bar(GetDlgItem(window, id::filterBar)),
        pane(GetDlgItem(window, id::filterPane)) {}
  HWND Terms() const { return GetDlgItem(bar, bar_id::edtTerms); }
  std::string Status() const { return test::WindowText(GetDlgItem(bar, bar_id::lblStatus)); }
  // Types the terms as one change of the box (the bar waits for the keys to settle).
  void Type(const std::string& terms) const {
    Send(Terms(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(terms.c_str()));
  }
  void Tick(int checkBox) const { PostMessageA(GetDlgItem(bar, checkBox), BM_CLICK, 0, 0); }
  // The status once it reads `expected`, or as it stands after `ms`.
  std::string StatusOnce(const std::string& expected, DWORD ms = 60000) const {
    const DWORD start = GetTickCount();
    std::string now = Status();
    while (now != expected && GetTickCount() - start < ms) {
      Sleep(50);
      now = Status();
    }
    return now;
  }
  long Rows() const { return static_cast<long>(Send(pane, LB_GETCOUNT)); }
  long LineOfRow(long row) const { return static_cast<long>(Send(pane, LB_GETITEMDATA, row)); }
  long TopLine() const { return static_cast<long>(Send(log, EM_GETFIRSTVISIBLELINE)); }
  // The line of the log's selection start (from 1), and whether a whole line is selected.
  long SelectedLine(bool* wholeLine = nullptr) const {
    DWORD start = 0, end = 0;
    Send(log, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const long line = static_cast<long>(Send(log, EM_LINEFROMCHAR, start));
    if (wholeLine)
      *wholeLine = static_cast<long>(Send(log, EM_LINEINDEX, line)) == static_cast<long>(start) &&
                   static_cast<LRESULT>(end - start) == Send(log, EM_LINELENGTH, start);
    return line + 1;
  }
  long SelectedLineOnce(long expected) const {
    long now = SelectedLine();
    for (int i = 0; i < 100 && now != expected; ++i) {
      Sleep(50);
      now = SelectedLine();
    }
    return now;
  }
};

void KeyWith(WORD modifier, WORD key) {
  test::KeyDown(modifier);
  test::PressKey(key);
  test::KeyUp(modifier);
}

// Puts the viewer in front with the log focused, for keys through the real keyboard.
void FocusLog(const Filter& f) {
  SetForegroundWindow(f.window);
  test::ClickAt(test::ClientToScreenPoint(f.log, 40, 8));
  Sleep(300);
}

bool WaitVisible(HWND window, bool visible, DWORD ms = 10000) {
  const DWORD start = GetTickCount();
  while ((IsWindowVisible(window) != FALSE) != visible) {
    if (GetTickCount() - start > ms) return false;
    Sleep(50);
  }
  return true;
}

// ---- A small log: exclusion in the log itself, Go to Line, F8, Esc ---------------------------

std::string SmallLog() {
  std::string text;
  for (int i = 1; i <= 300; ++i) {
    char line[96];
    if (i % 10 == 0)
      std::snprintf(line, sizeof line, "Line %03d: Skipped C:\\Data\\f%03d.dat (in use)\r\n", i, i);
    else
      std::snprintf(line, sizeof line, "Line %03d: Copied C:\\Data\\f%03d.dat\r\n", i, i);
    text += line;
  }
  return text;
}

TEST(ViewerFilter, ExcludedLinesHideInTheLogWithTheirNumbersKept) {
  ViewerDriver viewer("filter-hide");
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Hide.log", SmallLog()), "Hide"}, "Hide"));
  Filter f(viewer);
  ASSERT_NE(f.bar, nullptr);
  ASSERT_NE(f.pane, nullptr);
  EXPECT_FALSE(IsWindowVisible(f.bar)) << "closed until asked for";
  RECT logBefore{};
  GetWindowRect(f.log, &logBefore);

  // The log's context menu item opens bar and pane; the log gives them its lower part.
  viewer.Command(id::popFilter);
  ASSERT_TRUE(WaitVisible(f.bar, true));
  EXPECT_TRUE(IsWindowVisible(f.pane));
  RECT logOpen{}, barRect{}, paneRect{};
  GetWindowRect(f.log, &logOpen);
  GetWindowRect(f.bar, &barRect);
  GetWindowRect(f.pane, &paneRect);
  EXPECT_LT(logOpen.bottom, logBefore.bottom);
  EXPECT_EQ(barRect.top, logOpen.bottom);
  EXPECT_EQ(paneRect.top, barRect.bottom);
  EXPECT_LE(paneRect.bottom, logBefore.bottom);

  // Every line without "Copied": the 30 skipped ones, and the empty line after the last break
  // (the document's line 301).
  f.Type("-Copied");
  EXPECT_EQ(f.StatusOnce("31 of 301 lines"), "31 of 301 lines");
  EXPECT_EQ(f.Rows(), 31);
  EXPECT_EQ(f.LineOfRow(0), 10);
  EXPECT_EQ(f.LineOfRow(29), 300);
  f.Type("-Copied -Skipped");
  EXPECT_EQ(f.StatusOnce("1 of 301 lines"), "1 of 301 lines");
  f.Type("-Copied");
  ASSERT_EQ(f.StatusOnce("31 of 301 lines"), "31 of 301 lines");

  // Hidden in the log: the first row is line 10, one row down is line 20.
  f.Tick(bar_id::chkHide);
  EXPECT_TRUE(WaitVisible(f.pane, false)) << "the log shows the lines itself";
  Sleep(300);
  EXPECT_EQ(f.TopLine(), 9);
  Send(f.log, WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(f.TopLine(), 19);
  Send(f.log, WM_VSCROLL, SB_TOP);
  ViewerDriver::Snapshot("viewer-filter-hidden-lines");
  // Down goes from shown line to shown line.
  Send(f.log, EM_SETSEL, 0, 0);
  FocusLog(f);
  const long clicked = f.SelectedLine();
  EXPECT_EQ(clicked % 10, 0) << "a click lands on a shown line: " << clicked;
  test::PressKey(VK_DOWN);
  EXPECT_EQ(f.SelectedLineOnce(clicked + 10), clicked + 10);
  // Typing changes nothing while lines are hidden.
  const std::string before = viewer.LogText().substr(0, 40);
  PostMessageA(f.log, WM_CHAR, 'x', 1);
  Sleep(300);
  EXPECT_EQ(viewer.LogText().substr(0, 40), before);

  // Ctrl+G to line 95, which is hidden: the next shown one, 100, is selected.
  KeyWith(VK_CONTROL, 'G');
  HWND go = viewer.WaitForDialog();
  ASSERT_NE(go, nullptr);
  EXPECT_EQ(test::WindowText(go), win::kGoToLineTitle);
  Send(GetDlgItem(go, win::kGoToLineEditId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("95"));
  ViewerDriver::PressDialogButton(go, IDOK);
  bool whole = false;
  EXPECT_EQ(f.SelectedLineOnce(100), 100);
  f.SelectedLine(&whole);
  EXPECT_TRUE(whole) << "the whole line is selected";

  // Shown again: every line, and the caret's line still on screen.
  f.Tick(bar_id::chkHide);
  EXPECT_TRUE(WaitVisible(f.pane, true));
  Sleep(300);
  const long top = f.TopLine();
  EXPECT_LE(top, 99);
  EXPECT_GT(top + 5, 99 - 30);

  // F8 and Shift+F8 in the log: the next and previous listed line.
  FocusLog(f);
  Send(f.log, EM_SETSEL, Send(f.log, EM_LINEINDEX, 44), Send(f.log, EM_LINEINDEX, 44));
  test::PressKey(VK_F8);
  EXPECT_EQ(f.SelectedLineOnce(50), 50);
  test::PressKey(VK_F8);
  EXPECT_EQ(f.SelectedLineOnce(60), 60);
  KeyWith(VK_SHIFT, VK_F8);
  EXPECT_EQ(f.SelectedLineOnce(50), 50);
  EXPECT_EQ(Send(f.pane, LB_GETCURSEL), 4) << "the pane follows";

  // Ctrl+G without the filter's part: any line. Then Esc in the bar closes bar and pane and
  // the log stays where it was.
  KeyWith(VK_CONTROL, 'G');
  go = viewer.WaitForDialog();
  ASSERT_NE(go, nullptr);
  Send(GetDlgItem(go, win::kGoToLineEditId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1,234"));
  ViewerDriver::PressDialogButton(go, IDOK);
  EXPECT_EQ(f.SelectedLineOnce(301), 301) << "past the end: the last line";
  Send(f.log, WM_VSCROLL, SB_TOP);
  Send(f.log, WM_VSCROLL, SB_PAGEDOWN);
  const long kept = f.TopLine();
  KeyWith(VK_CONTROL, 'L');  // the focus to the terms' box
  Sleep(300);
  test::PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitVisible(f.bar, false));
  EXPECT_FALSE(IsWindowVisible(f.pane));
  EXPECT_TRUE(IsWindow(viewer.window())) << "Esc in the bar closes the filter, not the viewer";
  EXPECT_EQ(f.TopLine(), kept);
  RECT logAfter{};
  GetWindowRect(f.log, &logAfter);
  EXPECT_EQ(logAfter.bottom, logBefore.bottom);
  // "Skipped" is one of the problem words: the button came once the log was indexed.
  HWND problems = GetDlgItem(f.window, id::btnProblems);
  EXPECT_TRUE(IsWindowVisible(problems));
  EXPECT_EQ(test::WindowText(problems), "Problems (30)");
  EXPECT_TRUE(viewer.CloseAndEnd());
}

TEST(ViewerFilter, ThePaneTakesItsKeysFromTheKeyboard) {
  ViewerDriver viewer("filter-keys");
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Keys.log", SmallLog()), "Keys"}, "Keys"));
  Filter f(viewer);
  FocusLog(f);
  KeyWith(VK_CONTROL, 'L');
  ASSERT_TRUE(WaitVisible(f.bar, true));
  f.Type("skipped");  // any case
  ASSERT_EQ(f.StatusOnce("30 of 301 lines"), "30 of 301 lines");
  // Down in the terms' box: on to the pane, its first row.
  test::PressKey(VK_DOWN);
  Sleep(300);
  EXPECT_EQ(Send(f.pane, LB_GETCURSEL), 0);
  test::PressKey(VK_DOWN);
  Sleep(200);
  EXPECT_EQ(Send(f.pane, LB_GETCURSEL), 1);
  KeyWith(VK_CONTROL, 'A');
  Sleep(200);
  EXPECT_EQ(Send(f.pane, LB_GETSELCOUNT), 30);
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  KeyWith(VK_CONTROL, 'C');
  std::string copied;
  for (int i = 0; i < 40 && copied.empty(); ++i) {
    Sleep(50);
    copied = ViewerDriver::Clipboard();
  }
  EXPECT_EQ(copied.rfind("Line 010: Skipped C:\\Data\\f010.dat (in use)\r\nLine 020:", 0), 0u)
      << copied.substr(0, 80);
  EXPECT_EQ(std::count(copied.begin(), copied.end(), '\n'), 29);
  // End, Enter: the log at line 300, the focus in the log.
  test::PressKey(VK_END);
  test::PressKey(VK_RETURN);
  EXPECT_EQ(f.SelectedLineOnce(300), 300);
  // Back in the pane, Esc closes the filter and not the viewer.
  test::ClickAt(test::ClientToScreenPoint(f.pane, 60, 5));
  Sleep(300);
  test::PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitVisible(f.bar, false));
  EXPECT_TRUE(IsWindow(viewer.window()));
  EXPECT_TRUE(viewer.CloseAndEnd());
}

TEST(ViewerFilter, AMalformedExpressionSaysWhatIsWrongAndTheNextTermsRunAgain) {
  ViewerDriver viewer("filter-regex");
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Regex.log", SmallLog()), "Regex"}, "Regex"));
  Filter f(viewer);
  viewer.Command(id::popFilter);
  ASSERT_TRUE(WaitVisible(f.bar, true));
  f.Tick(bar_id::chkRegex);
  f.Type("f(01|02");
  Sleep(1000);
  const std::string error = f.Status();
  EXPECT_NE(error.find_first_of("()"), std::string::npos) << error;
  EXPECT_EQ(error.find(" of "), std::string::npos) << error;
  f.Type("f(01|02)0.dat");
  EXPECT_EQ(f.StatusOnce("2 of 301 lines"), "2 of 301 lines");
  EXPECT_EQ(f.LineOfRow(0), 10);
  EXPECT_EQ(f.LineOfRow(1), 20);
  EXPECT_TRUE(viewer.CloseAndEnd());
}

}  // namespace
}  // namespace vt9
