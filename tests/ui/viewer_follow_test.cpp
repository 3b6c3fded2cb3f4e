// The viewer following a log its writer still appends to, in the real VT9Now.exe under Wine. The
// test process is the writer: it holds the log open for writing as a backup does (sharing read,
// write and delete) and appends lines while the viewer shows the file.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/win/paths.h"
#include "support/win/viewer_driver.h"
#include "support/win/widget_host.h"
#include "viewer/win/filter_bar.h"
#include "viewer/win/log_view.h"
#include "viewer/win/viewer_window.h"

namespace vt9 {
namespace {

using test::ViewerDriver;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 30000, &result);
  return static_cast<LRESULT>(result);
}

std::string Note(const ViewerDriver& viewer) {
  HWND label = GetDlgItem(viewer.window(), vt9::win::viewer_id::lblIncomplete);
  return label && IsWindowVisible(label) ? test::WindowText(label) : std::string();
}

// Waits up to `ms` for `done`; the milliseconds it took, or -1.
template <class Done>
long WaitFor(Done&& done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return -1;
    Sleep(10);
  }
  return static_cast<long>(GetTickCount() - start);
}

std::string LogLine(long i) {
  char line[96];
  std::snprintf(line, sizeof line, "2026/12/09 22:%02ld:%02ld  Copied D:\\Data\\file%06ld.dat\r\n",
                (i / 60) % 60, i % 60, i);
  return line;
}

// The backup's side: the log open for appending, shared as a writer shares it.
class Writer {
 public:
  explicit Writer(const std::string& path) {
    file_ = CreateFileA(path.c_str(), FILE_APPEND_DATA | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_ALWAYS, 0, nullptr);
  }
  ~Writer() { Close(); }
  bool ok() const { return file_ != INVALID_HANDLE_VALUE; }
  void Append(const std::string& text) {
    SetFilePointer(file_, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
  // Cuts the file to nothing and writes `text` from the start.
  void Rewrite(const std::string& text) {
    SetFilePointer(file_, 0, nullptr, FILE_BEGIN);
    SetEndOfFile(file_);
    Append(text);
  }
  void Close() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

// EM_GETSEL with pointers: positions past 65,535 (the driver's selection is the 16-bit one).
std::pair<long, long> ExSelection(HWND log) {
  DWORD start = 0, end = 0;
  SendMessageA(log, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<long>(start), static_cast<long>(end)};
}

long LineCount(HWND log) { return static_cast<long>(Send(log, EM_GETLINECOUNT)); }

// The view shows line `line` of `visible` lines that fit: it lies between the first visible line
// and the view's bottom.
bool Shows(HWND log, long line, long visible) {
  const long first = static_cast<long>(Send(log, EM_GETFIRSTVISIBLELINE));
  return line >= first && line < first + visible;
}

TEST(ViewerFollow, FollowsAtTheEndKeepsItsPlaceWhenScrolledUpFindsAppendedLinesAndPausesOnEdit) {
  ViewerDriver viewer("follow-tail");
  std::string text;
  for (long i = 1; i <= 300; ++i) text += LogLine(i);
  const std::string file = viewer.WriteLog("Running.log", text);
  Writer writer(file);
  ASSERT_TRUE(writer.ok());
  HWND window = viewer.Open({file, "Running backup"}, "Running backup");
  ASSERT_NE(window, nullptr);
  HWND log = viewer.Log();
  ASSERT_GE(WaitFor([&] { return LineCount(log) == 301; }, 10000), 0);
  // While the file does not grow, nothing about following shows.
  Sleep(600);
  EXPECT_EQ(Note(viewer), "");

  // At the end: each appended line is shown as it comes, the caret stays behind it.
  SetForegroundWindow(window);
  test::ClickAt(test::ClientToScreenPoint(log, 30, 10));
  test::KeyDown(VK_CONTROL);
  test::PressKey(VK_END);
  test::KeyUp(VK_CONTROL);
  ASSERT_GE(WaitFor([&] { return viewer.Selection().first == long(text.size()) - 300; }, 3000), 0);
  // The last line (300) at the bottom: the lines that fit.
  const long visible = 301 - static_cast<long>(Send(log, EM_GETFIRSTVISIBLELINE));
  ASSERT_GT(visible, 5);
  for (long i = 301; i <= 303; ++i) {
    writer.Append(LogLine(i));
    const long ms =
        WaitFor([&] { return LineCount(log) == i + 1 && Shows(log, i, visible); }, 5000);
    ASSERT_GE(ms, 0) << "line " << i << " not shown";
    std::printf("line %ld shown at the end after %ld ms\n", i, ms);
    EXPECT_EQ(viewer.Selection().first, viewer.Selection().second);
  }
  EXPECT_TRUE(Shows(log, 303, visible));
  EXPECT_FALSE(Shows(log, 303 - visible, visible));
  EXPECT_EQ(Note(viewer), "") << "no new lines waiting while at the end";
  ViewerDriver::Snapshot("viewer-follow-at-end");

  // Scrolled up with a selection: the view and selection stay, the button bar counts.
  viewer.Select(10, 20);
  Send(log, EM_SCROLLCARET);
  const long top = static_cast<long>(Send(log, EM_GETFIRSTVISIBLELINE));
  std::string burst;
  for (long i = 304; i <= 1537; ++i) burst += LogLine(i);
  writer.Append(burst);
  EXPECT_GE(WaitFor([&] { return Note(viewer) == "1,234 new lines"; }, 5000), 0) << Note(viewer);
  EXPECT_EQ(LineCount(log), 1538);
  EXPECT_EQ(Send(log, EM_GETFIRSTVISIBLELINE), top);
  EXPECT_EQ(viewer.Selection(), std::make_pair(10L, 20L));
  ViewerDriver::Snapshot("viewer-follow-new-lines");
  // Going to the end takes the note away.
  SetForegroundWindow(window);
  test::ClickAt(test::ClientToScreenPoint(log, 30, 10));
  test::KeyDown(VK_CONTROL);
  test::PressKey(VK_END);
  test::KeyUp(VK_CONTROL);
  EXPECT_GE(WaitFor([&] { return Note(viewer).empty(); }, 3000), 0) << Note(viewer);

  // Find reaches a line appended after opening.
  writer.Append("2026/12/09 23:00:00  Backup job ended with 2 warnings\r\n");
  ASSERT_GE(WaitFor([&] { return LineCount(log) == 1539; }, 5000), 0);
  viewer.Select(0, 0);
  ASSERT_TRUE(viewer.ShowFind());
  viewer.FindNext("2 warnings", false, false);
  WaitFor([&] { return ExSelection(log).second - ExSelection(log).first == 10; }, 5000);
  const auto found = ExSelection(log);
  EXPECT_EQ(Send(log, EM_LINEFROMCHAR, static_cast<WPARAM>(found.first)), 1537);
  EXPECT_EQ(found.second - found.first, 10);
  ViewerDriver::Snapshot("viewer-follow-found");

  // An edit pauses following: the typed text stays, appended lines wait.
  SetForegroundWindow(window);
  test::ClickAt(test::ClientToScreenPoint(log, 30, 10));
  viewer.Select(0, 0);
  PostMessageA(log, WM_CHAR, 'X', 1);
  ASSERT_GE(WaitFor([&] { return viewer.LogText().rfind("X2026", 0) == 0; }, 3000), 0);
  writer.Append(LogLine(9999));
  EXPECT_GE(WaitFor([&] { return Note(viewer) == "Follow paused: the text was edited"; }, 5000), 0)
      << Note(viewer);
  EXPECT_EQ(LineCount(log), 1539);
  EXPECT_EQ(viewer.LogText().rfind("X2026", 0), 0u);
  ViewerDriver::Snapshot("viewer-follow-paused");

  // Saving the edits resumes following: the log is read again, with the lines that waited.
  viewer.Press("Save");
  HWND save = nullptr;
  WaitFor(
      [&] {
        HWND d = viewer.WaitForMessage(0);
        if (d && test::ClickButton(d, "Continue with the Save")) Sleep(200);
        save = viewer.WaitForDialog(0);
        return save && test::WindowText(save) == "Save File As:";
      },
      8000);
  ASSERT_NE(save, nullptr);
  const std::string target = test::MakeTempFolder("follow-saved");
  ViewerDriver::ChooseFile(save, target + "Edited.log");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_GE(WaitFor([&] { return LineCount(viewer.Log()) == 1540; }, 5000), 0)
      << LineCount(viewer.Log());
  EXPECT_EQ(Note(viewer), "");
  EXPECT_NE(test::ReadFile(target + "Edited.log").find("X2026"), std::string::npos);
  writer.Append(LogLine(10000));
  EXPECT_GE(WaitFor([&] { return LineCount(viewer.Log()) == 1541; }, 5000), 0);
  writer.Close();
  EXPECT_TRUE(viewer.CloseAndEnd());
  DeleteFileA(file.c_str());
}

TEST(ViewerFollow, ACutOrReplacedLogIsReadAgainAndARenamedOrDeletedOneStaysShown) {
  ViewerDriver viewer("follow-change");
  std::string text;
  for (long i = 1; i <= 200; ++i) text += LogLine(i);
  const std::string file = viewer.WriteLog("Changing.log", text);
  Writer writer(file);
  ASSERT_TRUE(writer.ok());
  HWND window = viewer.Open({file, "Changing"}, "Changing");
  ASSERT_NE(window, nullptr);
  ASSERT_GE(WaitFor([&] { return LineCount(viewer.Log()) == 201; }, 10000), 0);

  // Cut short: read again from the start, and the button bar says so.
  writer.Rewrite("2026/12/10 00:00:00  Backup started again\r\n");
  EXPECT_GE(WaitFor([&] { return Note(viewer).find("cut short") != std::string::npos; }, 5000), 0)
      << Note(viewer);
  EXPECT_EQ(LineCount(viewer.Log()), 2);
  EXPECT_EQ(viewer.LogText(), "2026/12/10 00:00:00  Backup started again\r\n");
  ViewerDriver::Snapshot("viewer-follow-cut-short");

  // Rewritten from the start and longer than before: not taken for an append.
  std::string other;
  for (long i = 1; i <= 5; ++i) other += "2026/12/11 other run " + std::to_string(i) + "\r\n";
  writer.Rewrite(other);
  EXPECT_GE(WaitFor([&] { return Note(viewer).find("replaced") != std::string::npos; }, 5000), 0)
      << Note(viewer);
  EXPECT_EQ(viewer.LogText(), other);
  // And it is followed again.
  writer.Append("appended after the rewrite\r\n");
  EXPECT_GE(WaitFor([&] { return LineCount(viewer.Log()) == 7; }, 5000), 0);
  const std::string shown = viewer.LogText();

  // Renamed, then deleted, by the writer: the text stays as it was, with a note.
  const std::string renamed = file + ".1";
  ASSERT_TRUE(MoveFileExA(file.c_str(), renamed.c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_GE(
      WaitFor([&] { return Note(viewer).find("deleted or renamed") != std::string::npos; }, 5000),
      0)
      << Note(viewer);
  writer.Append("written after the rename\r\n");
  writer.Close();
  EXPECT_TRUE(DeleteFileA(renamed.c_str()));
  Sleep(800);
  EXPECT_EQ(viewer.LogText(), shown);
  EXPECT_NE(Note(viewer).find("deleted or renamed"), std::string::npos);
  ViewerDriver::Snapshot("viewer-follow-gone");
  EXPECT_TRUE(viewer.CloseAndEnd());
}

// The filter and the problem list follow too: lines appended while the pane lists a filter's
// lines join it (counted once, in their final form), and "Problems (N)" counts them.
TEST(ViewerFollow, TheFilterPaneAndTheProblemsCountTakeInAppendedLines) {
  ViewerDriver viewer("follow-filter");
  std::string text;
  for (long i = 1; i <= 200; ++i) text += i % 50 == 0 ? "copy failed: disk full\r\n" : LogLine(i);
  text += "copy fail";  // the writer is in the middle of this line
  const std::string file = viewer.WriteLog("Filtered.log", text);
  Writer writer(file);
  ASSERT_TRUE(writer.ok());
  HWND window = viewer.Open({file, "Filtered backup"}, "Filtered backup");
  ASSERT_NE(window, nullptr);
  HWND problems = GetDlgItem(window, vt9::win::viewer_id::btnProblems);
  ASSERT_GE(WaitFor([&] { return test::WindowText(problems) == "Problems (4)"; }, 10000), 0)
      << test::WindowText(problems);

  viewer.Command(vt9::win::viewer_id::popFilter);
  HWND bar = GetDlgItem(window, vt9::win::viewer_id::filterBar);
  HWND pane = GetDlgItem(window, vt9::win::viewer_id::filterPane);
  HWND terms = GetDlgItem(bar, vt9::win::filter_bar_id::edtTerms);
  HWND status = GetDlgItem(bar, vt9::win::filter_bar_id::lblStatus);
  ASSERT_GE(WaitFor([&] { return IsWindowVisible(bar) != FALSE; }, 5000), 0);
  const char* word = "failed";
  Send(terms, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word));
  ASSERT_GE(WaitFor([&] { return test::WindowText(status) == "4 of 201 lines"; }, 10000), 0)
      << test::WindowText(status);

  writer.Append("ed too\r\n" + LogLine(300) + "failed again\r\n");
  ASSERT_GE(WaitFor([&] { return test::WindowText(status) == "6 of 204 lines"; }, 5000), 0)
      << test::WindowText(status);
  EXPECT_EQ(Send(pane, LB_GETCOUNT), 6);
  EXPECT_EQ(Send(pane, LB_GETITEMDATA, 4), 201) << "the completed line (numbered from 1), once";
  EXPECT_EQ(Send(pane, LB_GETITEMDATA, 5), 203);
  EXPECT_GE(WaitFor([&] { return test::WindowText(problems) == "Problems (6)"; }, 5000), 0)
      << test::WindowText(problems);
  // The note and the button share the button bar's free space without covering each other.
  RECT noteRect{}, problemsRect{};
  GetWindowRect(GetDlgItem(window, vt9::win::viewer_id::lblIncomplete), &noteRect);
  GetWindowRect(problems, &problemsRect);
  EXPECT_NE(Note(viewer), "");
  EXPECT_LE(noteRect.right, problemsRect.left);
  test::SaveScreenshot("viewer-follow-filter");
  EXPECT_TRUE(viewer.CloseAndEnd());
}

}  // namespace
}  // namespace vt9
