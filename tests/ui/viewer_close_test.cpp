// Closing the real viewer under Wine while it is busy: a close from the viewer's own keys, from
// another program or from a log-off waits until the dialog in progress has ended, and then the
// viewer closes; the always-on-top find dialog sends nothing while the viewer is disabled; Esc
// closes only when pressed alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/win/paths.h"
#include "support/win/viewer_driver.h"
#include "support/win/widget_host.h"
#include "viewer/win/find_dialog.h"

namespace vt9 {
namespace {

using test::ViewerDriver;

const std::string kLog = "Backup started\r\nError: disk full\r\nBackup ended\r\n";

enum class CloseWay { Message, LogOff };

// WM_CLOSE as a close-all tool posts it, or the two messages of a log-off.
void CloseFromOutside(HWND viewer, CloseWay way) {
  if (way == CloseWay::Message) {
    PostMessageA(viewer, WM_CLOSE, 0, 0);
    return;
  }
  DWORD_PTR mayEnd = 0;
  SendMessageTimeoutA(viewer, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                      &mayEnd);
  EXPECT_NE(mayEnd, 0u) << "the viewer never stands in the way of a log-off";
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(viewer, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                      &ignored);
}

// A visible dialog of the tool whose texts (or caption) hold `text`; null after the time-out.
HWND WaitForDialogWith(const ViewerDriver& viewer, const std::string& text,
                       DWORD timeoutMs = 8000) {
  const DWORD start = GetTickCount();
  do {
    if (HWND d = viewer.WaitForMessage(0))
      if (test::ChildTexts(d).find(text) != std::string::npos || test::WindowText(d) == text)
        return d;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

struct BusyStep {
  const char* name;
  const char* file;  // the log the viewer shows
  bool openFolder;   // "Open" visible
  CloseWay way;
  // Brings the step's dialog up; the dialog.
  std::function<HWND(ViewerDriver&)> start;
  // Ends the step by the dialog's own button.
  std::function<void(HWND)> finish;
};

void PressCancel(HWND dialog) { ViewerDriver::PressDialogButton(dialog, IDCANCEL); }
void PressOK(HWND dialog) { test::ClickButton(dialog, "OK"); }

HWND NotFound(ViewerDriver& viewer) {
  if (!viewer.ShowFind()) return nullptr;
  // The find dialog's "Next" now waits for the viewer, which shows "Not Found".
  viewer.FindNext("no such text", false, false);
  return WaitForDialogWith(viewer, "\"no such text\" Not Found");
}

TEST(ViewerClose, ACloseDuringAStepWaitsForItsEndThenTheViewerCloses) {
  const std::vector<BusyStep> steps = {
      {"not found, closed", "Daily.log", false, CloseWay::Message, NotFound, PressOK},
      {"not found, log-off", "Daily.log", false, CloseWay::LogOff, NotFound, PressOK},
      {"save warning", "Daily.log", false, CloseWay::Message,
       [](ViewerDriver& v) {
         v.Press("Save");
         return WaitForDialogWith(v, "Save of Logs is Optional");
       },
       [](HWND d) { test::ClickButton(d, "Cancel"); }},
      {"save dialog, log-off", "notes.txt", false, CloseWay::LogOff,
       [](ViewerDriver& v) {
         v.Press("Save");
         return WaitForDialogWith(v, "Save File As:");
       },
       PressCancel},
      {"open dialog", "Job.log", true, CloseWay::Message,
       [](ViewerDriver& v) {
         v.Press("Open");
         return WaitForDialogWith(v, "Open Log File");
       },
       PressCancel},
  };
  for (const BusyStep& step : steps) {
    SCOPED_TRACE(step.name);
    ViewerDriver viewer("close-busy");
    const std::string file = viewer.WriteLog(step.file, kLog);
    std::vector<std::string> args{file, "Busy viewer"};
    if (step.openFolder) args.push_back(viewer.logFolder());
    ASSERT_TRUE(viewer.Open(args, "Busy viewer"));
    HWND dialog = step.start(viewer);
    ASSERT_NE(dialog, nullptr);
    CloseFromOutside(viewer.window(), step.way);
    Sleep(600);
    EXPECT_TRUE(IsWindow(viewer.window())) << "the viewer is not destroyed under its dialog";
    EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "the dialog is still up";
    step.finish(dialog);
    const DWORD exitCode = viewer.tool().Wait(10000);
    EXPECT_EQ(exitCode, 0u) << "the held close is carried out once the step has ended";
    if (exitCode == STILL_ACTIVE) viewer.tool().Kill();
  }
}

TEST(ViewerClose, AnErrorAtStartHoldsTheCloseToo) {
  ViewerDriver viewer("close-start-error");
  const std::string file = viewer.WriteLog("Locked.log", kLog);
  HANDLE hold = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(viewer.Open({file}, "Vantory 9 - Log Viewer"));
  HWND error = WaitForDialogWith(viewer, "Error opening file!");
  ASSERT_NE(error, nullptr);
  CloseFromOutside(viewer.window(), CloseWay::Message);
  Sleep(600);
  EXPECT_TRUE(IsWindow(viewer.window()));
  EXPECT_TRUE(IsWindow(error) && IsWindowVisible(error));
  PressOK(error);
  CloseHandle(hold);
  const DWORD exitCode = viewer.tool().Wait(10000);
  EXPECT_EQ(exitCode, 0u);
  if (exitCode == STILL_ACTIVE) viewer.tool().Kill();
}

TEST(ViewerClose, ALogOffWithNothingRunningClosesAtOnce) {
  ViewerDriver viewer("close-logoff");
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Daily.log", kLog)}, "Vantory 9 - Log Viewer"));
  CloseFromOutside(viewer.window(), CloseWay::LogOff);
  const DWORD exitCode = viewer.tool().Wait(10000);
  EXPECT_EQ(exitCode, 0u);
  if (exitCode == STILL_ACTIVE) viewer.tool().Kill();
}

// The find dialog stays on top of the viewer's own dialogs; the dialogs disable the viewer,
// and with it the find dialog, so neither a click on "Next" nor Enter starts a search inside
// them.
TEST(ViewerClose, FindDialogIsDisabledWhileTheViewerIs) {
  for (test::MessagePath path : {test::MessagePath::Native, test::MessagePath::OwnWindow}) {
    SCOPED_TRACE(path == test::MessagePath::Native ? "native" : "own window");
    ViewerDriver viewer("find-disabled", path);
    ASSERT_TRUE(viewer.Open({viewer.WriteLog("Daily.log", kLog)}, "Vantory 9 - Log Viewer"));
    HWND find = viewer.ShowFind();
    ASSERT_NE(find, nullptr);
    viewer.Select(0, 0);
    SetWindowTextA(GetDlgItem(find, vt9::win::find_id::txtFindWhat), "Error");
    viewer.Press("Save");
    HWND warning = WaitForDialogWith(viewer, "Save of Logs is Optional");
    ASSERT_NE(warning, nullptr);
    EXPECT_FALSE(IsWindowEnabled(find));
    // A real click on "Next", and a click sent to it.
    HWND next = GetDlgItem(find, vt9::win::find_id::btnOK);
    RECT r{};
    GetWindowRect(next, &r);
    test::ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    PostMessageA(next, BM_CLICK, 0, 0);
    Sleep(700);
    EXPECT_EQ(viewer.Selection(), std::make_pair(0L, 0L)) << "no search ran";
    EXPECT_EQ(WaitForDialogWith(viewer, "Not Found", 0), nullptr);
    test::ClickButton(warning, "Cancel");
    ASSERT_TRUE(viewer.WaitForNoDialog());
    for (int i = 0; i < 40 && !IsWindowEnabled(find); ++i) Sleep(50);
    EXPECT_TRUE(IsWindowEnabled(find)) << "enabled again with the viewer";
    PostMessageA(next, BM_CLICK, 0, 0);
    const long at = static_cast<long>(kLog.find("Error")) - 1;  // one CR LF before it
    EXPECT_EQ(viewer.WaitForSelectionChange({0L, 0L}), std::make_pair(at, at + 5));
    EXPECT_TRUE(viewer.CloseAndEnd());
  }
}

TEST(ViewerClose, EscClosesFromTheLogOnlyWithoutShiftCtrlOrAlt) {
  ViewerDriver viewer("close-esc-keys");
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Daily.log", kLog)}, "Vantory 9 - Log Viewer"));
  SetForegroundWindow(viewer.window());
  Sleep(300);
  for (WORD modifier : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
    test::KeyDown(modifier);
    test::PressKey(VK_ESCAPE);
    test::KeyUp(modifier);
    Sleep(500);
    ASSERT_TRUE(IsWindow(viewer.window())) << "closed by Esc with modifier " << modifier;
    SetForegroundWindow(viewer.window());  // Alt+Esc may send it behind another window
    Sleep(200);
  }
  EXPECT_EQ(viewer.LogText(), kLog);
  test::PressKey(VK_ESCAPE);
  EXPECT_EQ(viewer.tool().Wait(10000), 0u);
}

}  // namespace
}  // namespace vt9
