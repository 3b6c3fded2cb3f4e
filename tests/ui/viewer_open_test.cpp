// The log viewer of the real VT9Now.exe under Wine: what "\V file [caption] [folder]" shows,
// the "Open" dialog's filter, log mode from the extension, copying, forged find requests and
// files that cannot be shown.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "support/win/paths.h"
#include "support/win/viewer_driver.h"
#include "support/win/widget_host.h"
#include "viewer/find_request.h"
#include "viewer/win/viewer_window.h"

namespace vt9 {
namespace {

using test::ViewerDriver;

const std::string kLog =
    "2026/12/01 10:00:01  Backup job \"Daily\" started\r\n"
    "2026/12/01 10:00:02  Copied C:\\Data\\report.doc\r\n"
    "2026/12/01 10:00:03  Error: C:\\Data\\locked.pst is in use\r\n"
    "2026/12/01 10:00:04  Backup job \"Daily\" ended with 1 error\r\n";

constexpr int kFileTypeCombo = 0x470;  // cmb1 of the common file dialogs

TEST(ViewerOpen, ShowsTheLogGivenAsArgument) {
  ViewerDriver viewer("view-log");
  const std::string file = viewer.WriteLog("Daily.log", kLog);
  ASSERT_TRUE(viewer.Open({file}, "Vantory 9 - Log Viewer"));
  EXPECT_EQ(viewer.LogText(), kLog);
  EXPECT_FALSE(IsWindowVisible(viewer.Button("Open"))) << "no open folder given";
  for (const char* b : {"Find", "Save", "Print", "Close"})
    EXPECT_TRUE(IsWindowVisible(viewer.Button(b))) << b;
  RECT client{};
  GetClientRect(viewer.window(), &client);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(client.right, MulDiv(500, dpi, 96));
  EXPECT_EQ(client.bottom, MulDiv(325, dpi, 96));
  // Close at the right edge, then Print, Save and Find, each a spacing of 5 (at 96 dpi) apart.
  const int s = dpi * 5 / 96;
  auto left = [&](const char* b) {
    RECT r{};
    GetWindowRect(viewer.Button(b), &r);
    MapWindowPoints(nullptr, viewer.window(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  EXPECT_EQ(left("Close").right, client.right - s);
  EXPECT_EQ(left("Print").right, left("Close").left - s);
  EXPECT_EQ(left("Save").right, left("Print").left - s);
  EXPECT_EQ(left("Find").right, left("Save").left - s);
  ViewerDriver::Snapshot("viewer-log");
  EXPECT_TRUE(viewer.CloseAndEnd());
}

TEST(ViewerOpen, EscClosesTheViewer) {
  ViewerDriver viewer("view-esc");
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("a.log", kLog)}, "Vantory 9 - Log Viewer"));
  PostMessageA(viewer.Log(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  EXPECT_EQ(viewer.tool().Wait(10000), 0u);
}

TEST(ViewerOpen, CaptionFolderAndTheOpenFilterFromTheFileName) {
  struct Case {
    const char* subfolder;
    const char* name;
    const char* filter;
  } cases[] = {
      {"", "Job.Full.log", "(*.Full.log)"},
      {"", "Job.log", "(*.*)"},                       // fewer than two dots
      {"My.Logs\\", "Job.log", "(*.Logs\\Job.log)"},  // dots in folder names count too
  };
  int n = 0;
  for (const Case& c : cases) {
    ViewerDriver viewer("view-mask-" + std::to_string(++n));  // no dots in the folder names
    CreateDirectoryA((viewer.logFolder() + c.subfolder).c_str(), nullptr);
    const std::string file = viewer.WriteLog(std::string(c.subfolder) + c.name, kLog);
    ASSERT_TRUE(viewer.Open({file, "Daily backup log", viewer.logFolder()}, "Daily backup log"))
        << c.name;
    ASSERT_TRUE(IsWindowVisible(viewer.Button("Open")));
    viewer.Press("Open");
    HWND dialog = viewer.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(test::WindowText(dialog), "Open Log File");
    EXPECT_EQ(test::WindowText(GetDlgItem(dialog, kFileTypeCombo)), c.filter) << file;
    if (std::string(c.name) == "Job.Full.log") {
      Sleep(700);  // the dialog paints its buttons last
      ViewerDriver::Snapshot("viewer-open-dialog");
    }
    ViewerDriver::PressDialogButton(dialog, IDCANCEL);
    ASSERT_TRUE(viewer.WaitForNoDialog());
    EXPECT_EQ(viewer.LogText(), kLog) << "a cancelled Open changes nothing";
    EXPECT_TRUE(viewer.CloseAndEnd());
  }
}

TEST(ViewerOpen, OpenReplacesTheTextAndTheCaption) {
  ViewerDriver viewer("view-reopen");
  const std::string file = viewer.WriteLog("Job.Full.log", kLog);
  viewer.WriteLog("Other.Full.log", "Second log\r\n");
  ASSERT_TRUE(viewer.Open({file, "Daily", viewer.logFolder()}, "Daily"));
  viewer.Press("Open");
  HWND dialog = viewer.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  ViewerDriver::ChooseFile(dialog, viewer.logFolder() + "Other.Full.log");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  Sleep(300);
  EXPECT_EQ(viewer.LogText(), "Second log\r\n");
  EXPECT_EQ(test::WindowText(viewer.window()), "Other.Full.log");
  EXPECT_TRUE(viewer.CloseAndEnd());
}

TEST(ViewerOpen, AnUnreadableFileInOpenKeepsTheText) {
  ViewerDriver viewer("view-reopen-locked");
  const std::string file = viewer.WriteLog("Job.Full.log", kLog);
  const std::string locked = viewer.WriteLog("Locked.Full.log", "secret\r\n");
  HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(viewer.Open({file, "Daily", viewer.logFolder()}, "Daily"));
  viewer.Press("Open");
  HWND dialog = viewer.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  ViewerDriver::ChooseFile(dialog, locked);
  HWND error = nullptr;
  for (int i = 0; i < 50 && !error; ++i) {
    Sleep(100);
    HWND d = viewer.WaitForMessage(0);
    if (d && test::ChildTexts(d).find("Unable to open") != std::string::npos) error = d;
  }
  ASSERT_NE(error, nullptr);
  EXPECT_NE(test::ChildTexts(error).find(locked), std::string::npos);
  test::ClickButton(error, "OK");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_EQ(viewer.LogText(), kLog);
  EXPECT_EQ(test::WindowText(viewer.window()), "Daily");
  CloseHandle(hold);
  EXPECT_TRUE(viewer.CloseAndEnd());
}

TEST(ViewerOpen, CopyPutsTheWholeTextOnTheClipboard) {
  ViewerDriver viewer("view-copy");
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Daily.log", kLog)}, "Vantory 9 - Log Viewer"));
  viewer.Select(5, 9);  // a selection plays no part
  // The context menu of the log, with its two items.
  POINT at = test::ClientToScreenPoint(viewer.Log(), 40, 30);
  PostMessageA(viewer.window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(viewer.Log()),
               MAKELPARAM(at.x, at.y));
  Sleep(700);
  ViewerDriver::Snapshot("viewer-context-menu");
  HWND menu = test::WaitForWindow(viewer.tool().processId(), "#32768", "", 3000);
  EXPECT_NE(menu, nullptr);
  test::PressKey(VK_ESCAPE);
  Sleep(300);
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  viewer.Command(vt9::win::viewer_id::popCopy);
  std::string copied;
  for (int i = 0; i < 50 && copied.empty(); ++i) {
    Sleep(100);
    copied = ViewerDriver::Clipboard();
  }
  EXPECT_EQ(copied, kLog);
  // Edited text is what is copied.
  viewer.ReplaceText("edited line");
  viewer.Command(vt9::win::viewer_id::popCopy);
  for (int i = 0; i < 50 && copied != "edited line"; ++i) {
    Sleep(100);
    copied = ViewerDriver::Clipboard();
  }
  EXPECT_EQ(copied, "edited line");
  EXPECT_TRUE(viewer.CloseAndEnd());
}

TEST(ViewerOpen, ForgedFindRequestsAreIgnored) {
  ViewerDriver viewer("view-forged");
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Daily.log", kLog)}, "Vantory 9 - Log Viewer"));
  viewer.Select(0, 0);
  const FindRequestBytes good = EncodeFindRequest(MakeFindNext("Error", false, false));
  auto send = [&](ULONG_PTR identifier, const void* data, DWORD size) {
    COPYDATASTRUCT cds{identifier, size, const_cast<void*>(data)};
    DWORD_PTR result = 1;
    SendMessageTimeoutA(viewer.window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                        SMTO_ABORTIFHUNG, 5000, &result);
    return result;
  };
  std::string longer(300, 'x');
  std::memcpy(longer.data(), good.data(), good.size());
  EXPECT_EQ(send(0, good.data(), 263), 0u);
  EXPECT_EQ(send(0, longer.data(), 300), 0u);
  EXPECT_EQ(send(7, good.data(), 264), 0u);
  FindRequestBytes otherCommand = good;
  otherCommand[0] = 2;
  EXPECT_EQ(send(0, otherCommand.data(), 264), 0u);
  EXPECT_EQ(send(0, nullptr, 0), 0u);
  EXPECT_EQ(viewer.Selection(), std::make_pair(0L, 0L));
  EXPECT_EQ(viewer.WaitForMessage(500), nullptr) << "nothing is reported for a forged request";
  // The same record with the right size is searched.
  EXPECT_EQ(send(0, good.data(), 264), 0u);
  const long at = static_cast<long>(kLog.find("Error"));
  const long crs = 2;  // the control counts a paragraph end as one character
  EXPECT_EQ(viewer.Selection(), std::make_pair(at - crs, at - crs + 5));
  EXPECT_TRUE(viewer.CloseAndEnd());
}

// ---- Files that cannot be shown as they are ----------------------------------------------------

TEST(ViewerOpen, MissingFileGivesAnEmptyViewStillInLogMode) {
  ViewerDriver viewer("view-missing");
  ASSERT_TRUE(viewer.Open({viewer.logFolder() + "Gone.LOG"}, "Vantory 9 - Log Viewer"));
  EXPECT_EQ(viewer.LogText(), "");
  EXPECT_EQ(viewer.WaitForMessage(500), nullptr) << "a missing file is not reported";
  viewer.Press("Save");  // log mode: the optional-save warning comes first
  HWND warning = viewer.WaitForMessage();
  ASSERT_NE(warning, nullptr);
  EXPECT_NE(test::ChildTexts(warning).find("Save of Logs is Optional"), std::string::npos);
  test::ClickButton(warning, "Cancel");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_TRUE(viewer.CloseAndEnd());
}

TEST(ViewerOpen, BinaryAndNulBytesAndBrokenRichTextDoNotStopTheViewer) {
  ViewerDriver viewer("view-bad");
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 37) & 0xFF);
  const std::string files[] = {
      viewer.WriteLog("binary.log", binary),
      viewer.WriteLog("nul.log", std::string("before\0after\r\nline 2\r\n", 21)),
      viewer.WriteLog("broken.log", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 text {\\b bold"),
      viewer.WriteLog("bad.rtf", "{\\rtf1{{{{{{{{{{{{{\\'zz\\u-99999999999?\\bin999999999 x"),
  };
  for (const std::string& file : files) {
    ViewerDriver one("view-bad-one");
    ASSERT_TRUE(one.Open({file}, "Vantory 9 - Log Viewer")) << file;
    // Whatever the control made of it, the viewer answers and closes normally; an error
    // report is allowed, and dismissed.
    if (HWND error = one.WaitForMessage(800)) {
      EXPECT_NE(test::ChildTexts(error).find(file), std::string::npos);
      test::ClickButton(error, "OK");
      ASSERT_TRUE(one.WaitForNoDialog());
    }
    EXPECT_TRUE(IsWindowEnabled(one.window()));
    EXPECT_TRUE(one.CloseAndEnd()) << file;
  }
}

TEST(ViewerOpen, DamagedRichTextGivesAnEmptyViewAndAClearError) {
  ViewerDriver viewer("view-damaged");
  const std::string file =
      viewer.WriteLog("Damaged.log", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 text {\\b bold");
  ASSERT_TRUE(viewer.Open({file}, "Vantory 9 - Log Viewer"));
  HWND error = viewer.WaitForMessage();
  ASSERT_NE(error, nullptr);
  EXPECT_NE(test::ChildTexts(error).find("Unable to open or read file: " + file),
            std::string::npos);
  test::ClickButton(error, "OK");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_EQ(viewer.LogText(), "");
  EXPECT_TRUE(viewer.CloseAndEnd());
}

TEST(ViewerOpen, LockedFileGivesAnEmptyViewAndAClearError) {
  ViewerDriver viewer("view-locked");
  const std::string file = viewer.WriteLog("Locked.log", kLog);
  HANDLE hold = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(viewer.Open({file}, "Vantory 9 - Log Viewer"));
  HWND error = viewer.WaitForMessage();
  ASSERT_NE(error, nullptr);
  const std::string texts = test::ChildTexts(error);
  EXPECT_NE(texts.find("Error opening file!"), std::string::npos) << texts;
  EXPECT_NE(texts.find("Unable to open or read file: " + file), std::string::npos) << texts;
  ViewerDriver::Snapshot("viewer-open-error");
  test::ClickButton(error, "OK");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_EQ(viewer.LogText(), "");
  CloseHandle(hold);
  EXPECT_TRUE(viewer.CloseAndEnd());
}

TEST(ViewerOpen, PathsBeyondMaxPathGiveAnEmptyView) {
  ViewerDriver viewer("view-long");
  const std::string file =
      viewer.logFolder() + std::string(300 - viewer.logFolder().size(), 'a') + ".log";
  ASSERT_TRUE(viewer.Open({file, std::string(300, 'c')}, std::string(300, 'c')));
  EXPECT_EQ(viewer.LogText(), "");
  if (HWND error = viewer.WaitForMessage(500)) test::ClickButton(error, "OK");
  EXPECT_TRUE(viewer.CloseAndEnd());
}

}  // namespace
}  // namespace vt9
