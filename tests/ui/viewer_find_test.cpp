// The find dialog of the real viewer under Wine: requests go to the viewer, which searches
// forward from behind the selection, selects each match in turn, and reports "Not Found"
// after the last one without wrapping.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/win/paths.h"
#include "support/win/viewer_driver.h"
#include "support/win/widget_host.h"
#include "viewer/win/find_dialog.h"

namespace vt9 {
namespace {

using test::ViewerDriver;
using Range = std::pair<long, long>;

// One paragraph end counts as one character in the control.
const std::string kLog =
    "Job started\r\n"              // 0..11, end at 11
    "Error: disk full\r\n"         // 12..
    "retrying after error\r\n"     // 29..
    "errors: 2, last error 5\r\n"  // 50..
    "done\r\n";

std::vector<long> Positions(const std::string& text, const std::string& word, bool anyCase) {
  std::string plain;  // the control's view: CR LF as one character
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\n' && i > 0 && text[i - 1] == '\r')) plain += text[i];
  std::vector<long> at;
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
  };
  const std::string hay = anyCase ? lower(plain) : plain;
  const std::string needle = anyCase ? lower(word) : word;
  for (std::size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1))
    at.push_back(static_cast<long>(p));
  return at;
}

class ViewerFind : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(viewer.Open({viewer.WriteLog("Daily.log", kLog), "Daily log"}, "Daily log"));
    ASSERT_TRUE(viewer.ShowFind());
  }
  void TearDown() override { EXPECT_TRUE(viewer.CloseAndEnd()); }

  // Presses Next and waits for the selection to move; the new selection.
  Range Next(const std::string& text, bool matchCase, bool whole) {
    const Range before = viewer.Selection();
    viewer.FindNext(text, matchCase, whole);
    return viewer.WaitForSelectionChange(before, 3000);
  }
  HWND FindWindowOf() {
    return test::WaitForWindow(viewer.tool().processId(), vt9::win::kFindWindowClass, "", 0);
  }

  ViewerDriver viewer{"find"};
};

TEST_F(ViewerFind, IgnoresCaseUnlessMatchCaseIsTicked) {
  viewer.Select(0, 0);
  const auto any = Positions(kLog, "error", true);
  EXPECT_EQ(Next("error", false, false), Range(any[0], any[0] + 5)) << "finds \"Error\"";
  viewer.Select(0, 0);
  const auto exact = Positions(kLog, "error", false);
  EXPECT_EQ(Next("error", true, false), Range(exact[0], exact[0] + 5)) << "skips \"Error\"";
  EXPECT_EQ(Next("ERROR", true, false), Range(exact[0], exact[0] + 5)) << "nothing: selection kept";
  HWND notFound = viewer.WaitForMessage(3000);
  ASSERT_NE(notFound, nullptr);
  EXPECT_NE(test::ChildTexts(notFound).find("\"ERROR\" Not Found"), std::string::npos)
      << test::ChildTexts(notFound);
  test::ClickButton(notFound, "OK");
  ASSERT_TRUE(viewer.WaitForNoDialog());
}

TEST_F(ViewerFind, WholeWordsSkipsPartsOfWords) {
  viewer.Select(0, 0);
  EXPECT_EQ(Next("err", false, false).first, Positions(kLog, "err", true)[0]);
  viewer.Select(0, 0);
  viewer.FindNext("err", false, true);
  HWND notFound = viewer.WaitForMessage(3000);
  ASSERT_NE(notFound, nullptr) << "\"err\" is no whole word of this log";
  EXPECT_NE(test::ChildTexts(notFound).find("\"err\" Not Found"), std::string::npos)
      << test::ChildTexts(notFound);
  test::ClickButton(notFound, "OK");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  viewer.ShowFind();
  viewer.Select(0, 0);
  // "error" as a whole word: not inside "errors".
  const auto all = Positions(kLog, "error", true);  // Error, error, error(s), error
  std::vector<long> found;
  for (int i = 0; i < 3; ++i) found.push_back(Next("error", false, true).first);
  EXPECT_EQ(found, (std::vector<long>{all[0], all[1], all[3]}));
}

TEST_F(ViewerFind, NextWalksForwardThroughEveryMatchThenReportsNotFound) {
  viewer.Select(3, 3);  // a caret is no selection: the search starts at the top
  const auto all = Positions(kLog, "error", true);
  ASSERT_EQ(all.size(), 4u);
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(Next("error", false, false), Range(all[i], all[i] + 5)) << "match " << i;
    if (i == 0) ViewerDriver::Snapshot("viewer-find");
  }
  viewer.FindNext("error", false, false);
  HWND notFound = viewer.WaitForMessage(3000);
  ASSERT_NE(notFound, nullptr);
  EXPECT_EQ(test::WindowText(notFound), "Daily log");
  EXPECT_NE(test::ChildTexts(notFound).find("\"error\" Not Found"), std::string::npos)
      << test::ChildTexts(notFound);
  EXPECT_FALSE(IsWindowVisible(FindWindowOf())) << "the find dialog is hidden first";
  Sleep(300);
  ViewerDriver::Snapshot("viewer-not-found");
  test::ClickButton(notFound, "OK");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_EQ(viewer.Selection(), Range(all[3], all[3] + 5)) << "the last match stays selected";
  // Shown again, the dialog keeps its text and options, and "Next" is enabled again.
  ASSERT_TRUE(viewer.ShowFind());
  HWND find = FindWindowOf();
  EXPECT_EQ(test::WindowText(GetDlgItem(find, vt9::win::find_id::txtFindWhat)), "error");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(find, vt9::win::find_id::btnOK)));
  // With a selection the search starts just behind it.
  viewer.Select(all[1], all[1] + 2);
  EXPECT_EQ(Next("error", false, false).first, all[2]);
}

TEST_F(ViewerFind, DialogSitsOnTopOfTheViewerAndEnterAddsNoLineBreak) {
  HWND find = FindWindowOf();
  ASSERT_NE(find, nullptr);
  RECT f{}, v{};
  GetWindowRect(find, &f);
  GetWindowRect(viewer.window(), &v);
  EXPECT_EQ(f.bottom, v.top);
  EXPECT_EQ(f.left, v.left);
  EXPECT_TRUE(GetWindowLongA(find, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT client{};
  GetClientRect(find, &client);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(client.right, MulDiv(348, dpi, 96));
  EXPECT_EQ(client.bottom, MulDiv(92, dpi, 96));
  // Dialog keys work in the modeless window: Tab moves from the search field on.
  auto focus = [find] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(find, nullptr), &info);
    return info.hwndFocus;
  };
  HWND edit = GetDlgItem(find, vt9::win::find_id::txtFindWhat);
  EXPECT_EQ(focus(), edit);
  PostMessageA(edit, WM_KEYDOWN, VK_TAB, 0x000F0001);
  for (int i = 0; i < 40 && focus() == edit; ++i) Sleep(50);
  EXPECT_EQ(focus(), GetDlgItem(find, vt9::win::find_id::chkWhole));
  // Enter, typed: the search runs and selects the match in the log, which then has the focus;
  // the key must end there, or the match would be replaced by a line break.
  viewer.Select(0, 0);
  SetWindowTextA(edit, "started");
  RECT e{};
  GetWindowRect(edit, &e);
  test::ClickAt(POINT{(e.left + e.right) / 2, (e.top + e.bottom) / 2});
  for (int i = 0; i < 40 && focus() != edit; ++i) Sleep(50);
  ASSERT_EQ(focus(), edit);
  test::PressKey(VK_RETURN);
  EXPECT_EQ(viewer.WaitForSelectionChange({0, 0}), Range(4, 11));
  Sleep(300);
  EXPECT_EQ(focus(), viewer.Log());
  EXPECT_EQ(viewer.LogText(), kLog);
  EXPECT_EQ(test::WindowText(edit), "started");
  // Esc in the dialog hides it; it keeps its place on the next showing.
  PostMessageA(GetDlgItem(find, vt9::win::find_id::txtFindWhat), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  for (int i = 0; i < 40 && IsWindowVisible(find); ++i) Sleep(50);
  EXPECT_FALSE(IsWindowVisible(find));
  SetWindowPos(find, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(viewer.ShowFind());
  GetWindowRect(find, &f);
  EXPECT_EQ(f.left, 10);
  EXPECT_EQ(f.top, 20);
}

TEST_F(ViewerFind, SearchTextIsCutTo255Characters) {
  ViewerDriver::Snapshot("viewer-find-dialog");
  viewer.ReplaceText("x" + std::string(255, 'a') + "b");
  viewer.Select(0, 0);
  EXPECT_EQ(Next(std::string(300, 'a'), false, false), Range(1, 256));
}

TEST(ViewerFindPlacement, ViewerAtTheTopOfTheScreenGivesTheDesignedPlace) {
  ViewerDriver viewer("find-top");
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("a.log", kLog)}, "Vantory 9 - Log Viewer"));
  SetWindowPos(viewer.window(), nullptr, 30, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  HWND find = viewer.ShowFind();
  ASSERT_NE(find, nullptr);
  RECT f{};
  GetWindowRect(find, &f);
  EXPECT_EQ(f.left, 422);
  EXPECT_EQ(f.top, 183);
  EXPECT_TRUE(viewer.CloseAndEnd());
}

TEST(ViewerFindKeys, CtrlFInTheViewerShowsTheDialog) {
  ViewerDriver viewer("find-ctrlf");
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("a.log", kLog)}, "Vantory 9 - Log Viewer"));
  SetForegroundWindow(viewer.window());
  Sleep(300);
  test::KeyDown(VK_CONTROL);
  test::KeyDown(VK_SHIFT);  // other modifiers do not matter
  test::PressKey('F');
  test::KeyUp(VK_SHIFT);
  test::KeyUp(VK_CONTROL);
  HWND find =
      test::WaitForWindow(viewer.tool().processId(), vt9::win::kFindWindowClass, "Find...", 5000);
  EXPECT_NE(find, nullptr);
  EXPECT_EQ(viewer.LogText(), kLog) << "the key is swallowed, not typed";
  EXPECT_TRUE(viewer.CloseAndEnd());
}

}  // namespace
}  // namespace vt9
