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
#include "viewer/win/find_dialog.h"
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

struct MenuRows {
  int images[2] = {};     // pixels of the images' blue in the left fifth of each row
  int rightText[2] = {};  // dark pixels in the right third of each row
};

// Reads the pop-up menu's pixels from the screen: the menu belongs to the viewer's process, so
// its items cannot be asked for.
MenuRows ReadMenuRows(HWND menu) {
  Sleep(400);  // painted
  RECT r{};
  GetWindowRect(menu, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  MenuRows rows;
  if (w <= 0 || h <= 0) return rows;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  const auto* px = static_cast<const unsigned char*>(bits);
  for (int y = 3; y < h - 3; ++y) {
    const int row = y < h / 2 ? 0 : 1;
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = px + (static_cast<std::size_t>(y) * w + x) * 4;  // B G R A
      if (x < w / 5 && p[2] == 0x33 && p[1] == 0x66 && p[0] == 0x99) ++rows.images[row];
      if (x > w * 2 / 3 && x < w - 4 && p[0] < 90 && p[1] < 90 && p[2] < 90) ++rows.rightText[row];
    }
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return rows;
}

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
  SetForegroundWindow(viewer.window());  // the menu takes the keyboard
  Sleep(300);
  // The context menu of the log, with its two items.
  POINT at = test::ClientToScreenPoint(viewer.Log(), 40, 30);
  PostMessageA(viewer.window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(viewer.Log()),
               MAKELPARAM(at.x, at.y));
  Sleep(700);
  ViewerDriver::Snapshot("viewer-context-menu");
  HWND menu = test::WaitForWindow(viewer.tool().processId(), "#32768", "", 3000);
  ASSERT_NE(menu, nullptr);
  {
    // Two rows, each with its image (drawn in the strip's blue) on the left; only "Find" has a
    // shortcut ("Ctrl+F") on the right.
    const MenuRows rows = ReadMenuRows(menu);
    EXPECT_GT(rows.images[0], 4) << "the Copy image";
    EXPECT_GT(rows.images[1], 4) << "the Find image";
    EXPECT_EQ(rows.rightText[0], 0) << "no shortcut for Copy";
    EXPECT_GT(rows.rightText[1], 4) << "the Ctrl+F shortcut";
  }
  // The mnemonic F is the Find item.
  test::PressKey('F');
  EXPECT_NE(
      test::WaitForWindow(viewer.tool().processId(), vt9::win::kFindWindowClass, "Find...", 3000),
      nullptr);
  HWND findDialog =
      test::WaitForWindow(viewer.tool().processId(), vt9::win::kFindWindowClass, "", 0);
  if (findDialog) PostMessageA(findDialog, WM_CLOSE, 0, 0);
  Sleep(300);
  // And C, pressed in the menu, copies.
  PostMessageA(viewer.window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(viewer.Log()),
               MAKELPARAM(at.x, at.y));
  ASSERT_NE(test::WaitForWindow(viewer.tool().processId(), "#32768", "", 3000), nullptr);
  Sleep(300);
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  test::PressKey('C');
  std::string fromMenu;
  for (int i = 0; i < 50 && fromMenu.empty(); ++i) {
    Sleep(100);
    fromMenu = ViewerDriver::Clipboard();
  }
  EXPECT_EQ(fromMenu, kLog);
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
  // The viewer answers every request with 0; what it did shows in the selection.
  auto send = [&](ULONG_PTR identifier, const void* data, DWORD size) {
    COPYDATASTRUCT cds{identifier, size, const_cast<void*>(data)};
    DWORD_PTR result = 1;
    SendMessageTimeoutA(viewer.window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                        SMTO_ABORTIFHUNG, 5000, &result);
    return viewer.Selection();
  };
  const auto none = std::make_pair(0L, 0L);
  std::string longer(300, 'x');
  std::memcpy(longer.data(), good.data(), good.size());
  EXPECT_EQ(send(0, good.data(), 263), none) << "one byte short";
  EXPECT_EQ(send(0, longer.data(), 300), none) << "too long";
  EXPECT_EQ(send(7, good.data(), 264), none) << "another identifier";
  FindRequestBytes otherCommand = good;
  otherCommand[0] = 2;
  EXPECT_EQ(send(0, otherCommand.data(), 264), none) << "another command";
  EXPECT_EQ(send(0, nullptr, 0), none) << "no data";
  EXPECT_EQ(viewer.WaitForMessage(500), nullptr) << "nothing is reported for a forged request";
  // The same record with the right size is searched.
  const long at = static_cast<long>(kLog.find("Error"));
  const long crs = 2;  // the control counts a paragraph end as one character
  EXPECT_EQ(send(0, good.data(), 264), std::make_pair(at - crs, at - crs + 5));
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
      viewer.WriteLog("zeros.log", std::string("before\0after\r\nline 2\r\n", 21)),
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

// Rich text that is still being written, or was cut short by a crash or a full disk, shows
// what the control made of it (or, when that is nothing, the file's bytes), and the window
// says that the file seems incomplete; a whole file opened later takes the note away.
TEST(ViewerOpen, CutOffRichTextShowsWhatItHoldsAndSaysItSeemsIncomplete) {
  const std::string header = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
  struct Case {
    const char* name;
    std::string bytes;
    std::string shown;  // empty: the file's bytes
  } cases[] = {
      {"CutInText.log", header + "first line\\par second {\\b bold", ""},
      {"CutInHeader.log", "{\\rtf1\\ansi{\\fonttbl{\\f0 Ari", ""},
      {"CutInBinary.log", header + "before {\\*\\x\\bin20 ab", ""},
  };
  cases[0].shown = "first line\r\nsecond bold";
  cases[2].shown = "before ";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ViewerDriver viewer("view-cut");
    const std::string file = viewer.WriteLog(c.name, c.bytes);
    viewer.WriteLog("Whole.log", header + "all here\\par}");
    ASSERT_TRUE(viewer.Open({file, "Cut", viewer.logFolder()}, "Cut"));
    EXPECT_EQ(viewer.WaitForMessage(800), nullptr) << "no error: the text is there";
    EXPECT_EQ(viewer.LogText(), c.shown.empty() ? c.bytes : c.shown);
    HWND note = GetDlgItem(viewer.window(), vt9::win::viewer_id::lblIncomplete);
    EXPECT_TRUE(IsWindowVisible(note));
    EXPECT_EQ(test::WindowText(note), "The file seems incomplete.");
    if (std::string(c.name) != "CutInText.log") {
      EXPECT_TRUE(viewer.CloseAndEnd());
      continue;
    }
    // Between "Open" and "Find", inside the button bar.
    RECT n{}, open{}, find{}, log{};
    GetWindowRect(note, &n);
    GetWindowRect(viewer.Button("Open"), &open);
    GetWindowRect(viewer.Button("Find"), &find);
    GetWindowRect(viewer.Log(), &log);
    EXPECT_GT(n.left, open.right);
    EXPECT_LT(n.right, find.left);
    EXPECT_GE(n.top, log.bottom);
    ViewerDriver::Snapshot("viewer-incomplete");
    viewer.Press("Open");
    HWND dialog = viewer.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    ViewerDriver::ChooseFile(dialog, viewer.logFolder() + "Whole.log");
    ASSERT_TRUE(viewer.WaitForNoDialog());
    Sleep(300);
    EXPECT_EQ(viewer.LogText(), "all here");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(viewer.window(), vt9::win::viewer_id::lblIncomplete)));
    EXPECT_TRUE(viewer.CloseAndEnd());
  }
}

TEST(ViewerOpen, NulBytesInAPlainLogHideNothingBehindThem) {
  ViewerDriver viewer("view-nul");
  const std::string file =
      viewer.WriteLog("zeros.log", std::string("before\0after\r\nline 2\r\n\0\0end\r\n", 28));
  ASSERT_TRUE(viewer.Open({file}, "Vantory 9 - Log Viewer"));
  // Each NUL is one visible placeholder character ("?" in ANSI text), and the text behind it
  // is all there.
  EXPECT_EQ(viewer.LogText(), "before?after\r\nline 2\r\n??end\r\n");
  EXPECT_TRUE(viewer.CloseAndEnd());
}

TEST(ViewerOpen, DamagedRichTextGivesAnEmptyViewAndAClearError) {
  ViewerDriver viewer("view-damaged");
  // Closed once too often: not a log cut short, but a damaged one.
  const std::string file =
      viewer.WriteLog("Damaged.log", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 text}} {\\b bold}");
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

TEST(ViewerOpen, PathsBeyondMaxPathAreReportedNotShownEmpty) {
  ViewerDriver viewer("view-long");
  const std::string file =
      viewer.logFolder() + std::string(300 - viewer.logFolder().size(), 'a') + ".log";
  // Written through the long-path prefix, which the ANSI calls do not take.
  const std::wstring wide = L"\\\\?\\" + std::wstring(file.begin(), file.end());
  HANDLE out = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(out, kLog.data(), static_cast<DWORD>(kLog.size()), &written, nullptr);
  CloseHandle(out);
  ASSERT_EQ(written, kLog.size());
  ASSERT_TRUE(viewer.Open({file, std::string(300, 'c')}, std::string(300, 'c')));
  // The file is there but cannot be reached by its name: said so, not shown as an empty log.
  HWND error = viewer.WaitForMessage();
  ASSERT_NE(error, nullptr);
  // (The dialog's text as read back is cut short, so the start of the name is compared.)
  EXPECT_NE(test::ChildTexts(error).find("Unable to open or read file: " + file.substr(0, 120)),
            std::string::npos)
      << test::ChildTexts(error);
  test::ClickButton(error, "OK");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_EQ(viewer.LogText(), "");
  EXPECT_TRUE(viewer.CloseAndEnd());
  DeleteFileW(wide.c_str());
}

}  // namespace
}  // namespace vt9
