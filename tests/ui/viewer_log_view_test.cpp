// The viewer's own log view in the real VT9Now.exe under Wine: a 200 MB log shown at once,
// scrolled to its end and searched to its last line; the edit messages and keys; an edit at the
// end saved as rich text in the target's place and reopened; rich text still in the rich-edit
// control; a log cut short while shown.
#include <gtest/gtest.h>
#include <windows.h>
// The rich-edit header builds on <windows.h>.
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "support/win/paths.h"
#include "support/win/viewer_driver.h"
#include "support/win/widget_host.h"
#include "viewer/win/log_view.h"
#include "viewer/win/viewer_window.h"

namespace vt9 {
namespace {

using test::ViewerDriver;

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 30000, &result);
  return static_cast<LRESULT>(result);
}

void EmptyTheClipboard() {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

// Line `index` as the view copies it: its characters selected and WM_COPY sent, so no more than
// the line crosses to this process. (Wine carries EM_GETLINE across processes as a fixed block of
// some 50 to 100 KB, of which only the first 50-odd characters are the line; an answer that size
// on its way to the Wine server blocks the viewer's window thread, and under load Wine ends the
// thread there: "wine client error: partial write".)
std::string Line(HWND log, long index) {
  const LRESULT start = Send(log, EM_LINEINDEX, static_cast<WPARAM>(index));
  if (start < 0) return {};
  const LRESULT length = Send(log, EM_LINELENGTH, static_cast<WPARAM>(start));
  EmptyTheClipboard();
  Send(log, EM_SETSEL, static_cast<WPARAM>(start), start + length);
  Send(log, WM_COPY);
  return ViewerDriver::Clipboard();
}

// Line `index` matches `expected` (without its line break), and EM_LINELENGTH gives its length.
void ExpectLine(HWND log, long index, std::string expected) {
  if (expected.size() >= 2 && expected.compare(expected.size() - 2, 2, "\r\n") == 0)
    expected.resize(expected.size() - 2);
  const LRESULT start = SendMessageA(log, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  EXPECT_EQ(SendMessageA(log, EM_LINELENGTH, static_cast<WPARAM>(start), 0),
            static_cast<LRESULT>(expected.size()))
      << "line " << index;
  EXPECT_EQ(Line(log, index), expected) << "line " << index;
}

// EM_GETSEL with pointers: the system carries them to the viewer's process (it does not for
// the rich-edit messages) and they hold positions past 65,535.
std::pair<long, long> ExSelection(HWND log) {
  DWORD start = 0, end = 0;
  SendMessageA(log, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<long>(start), static_cast<long>(end)};
}

void KeyWith(WORD modifier, WORD key) {
  test::KeyDown(modifier);
  test::PressKey(key);
  test::KeyUp(modifier);
}

// The selection once it equals `expected`, or as it stands after three seconds.
std::pair<long, long> SelectionOnce(HWND log, std::pair<long, long> expected);

// The viewer's text once it equals `expected` (posted keys take their time on a busy machine),
// or as it stands after three seconds.
std::string TextOnce(const ViewerDriver& viewer, const std::string& expected) {
  std::string text = viewer.LogText();
  for (int i = 0; i < 60 && text != expected; ++i) {
    Sleep(50);
    text = viewer.LogText();
  }
  return text;
}

std::pair<long, long> SelectionOnce(HWND log, std::pair<long, long> expected) {
  std::pair<long, long> now = ExSelection(log);
  for (int i = 0; i < 60 && now != expected; ++i) {
    Sleep(50);
    now = ExSelection(log);
  }
  return now;
}

void Type(HWND log, const std::string& text) {
  for (char c : text) PostMessageA(log, WM_CHAR, static_cast<unsigned char>(c), 1);
}

// ---- A log of 200 MB --------------------------------------------------------------------------

constexpr long kBigLines = 3'300'000;  // of 64 bytes: 200 MB
const std::string kLastLine = "2026/12/08 11:59:59  Backup job \"Full\" ended: the last line";

std::string BigLine(long i) {
  char line[96];
  std::snprintf(line, sizeof line,
                "2026/12/08 10:%02ld:%02ld  Copied C:\\Users\\Ann\\Data\\file%08ld.dat\r\n",
                (i / 60) % 60, i % 60, i);
  return line;
}

TEST(ViewerLogView, BigLogShowsItsFirstLinesAtOnceScrollsToItsEndAndFindsItsLastLine) {
  ViewerDriver viewer("view-big");
  const std::string file = viewer.logFolder() + "Job.Full.log";
  {
    HANDLE out = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    std::string chunk;
    for (long i = 1; i <= kBigLines; ++i) {
      chunk += BigLine(i);
      if (chunk.size() > (4u << 20) || i == kBigLines) {
        DWORD written = 0;
        ASSERT_TRUE(
            ::WriteFile(out, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr));
        chunk.clear();
      }
    }
    DWORD written = 0;
    ::WriteFile(out, kLastLine.data(), static_cast<DWORD>(kLastLine.size()), &written, nullptr);
    // On disk before the viewer starts, so that its first lines are not timed against the
    // write-back of 200 MB.
    FlushFileBuffers(out);
    CloseHandle(out);
  }
  struct Remove {
    std::string path;
    ~Remove() { DeleteFileA(path.c_str()); }
  } remove{file};

  const DWORD started = GetTickCount();
  HWND window = viewer.Open({file, "Full backup"}, "Full backup");
  ASSERT_NE(window, nullptr);
  HWND log = GetDlgItem(window, vt9::win::viewer_id::memLog);
  EXPECT_EQ(ClassOf(log), vt9::win::kLogViewClass);
  // The first lines are there before the index is complete (or just after, on a fast disk).
  std::string first;
  for (int i = 0; i < 100 && first.empty(); ++i) {
    if (Send(log, EM_LINELENGTH, 0) > 0) first = Line(log, 0);
    if (first.empty()) Sleep(20);
  }
  EXPECT_FALSE(first.empty());
  ExpectLine(log, 0, BigLine(1));
  Sleep(200);
  ViewerDriver::Snapshot("viewer-big-log-indexing");
  const std::string progress = viewer.Progress();
  if (!progress.empty()) {
    EXPECT_EQ(progress.rfind("Reading the log", 0), 0u) << progress;
    EXPECT_NE(progress.find(" %"), std::string::npos) << progress;
  }
  EXPECT_LT(Send(log, EM_GETLINECOUNT), kBigLines + 2);
  std::printf("window after %lu ms, index at %s\n", GetTickCount() - started, progress.c_str());

  ASSERT_TRUE(viewer.WaitForIndex(50000)) << "indexing 200 MB";
  std::printf("index complete after %lu ms\n", GetTickCount() - started);
  EXPECT_EQ(Send(log, EM_GETLINECOUNT), kBigLines + 1);
  ExpectLine(log, 1234566, BigLine(1234567));
  ExpectLine(log, kBigLines, kLastLine);

  // To the end with the keyboard: the last line at the bottom of the view, the caret behind it.
  SetForegroundWindow(window);
  test::ClickAt(test::ClientToScreenPoint(log, 30, 10));
  Sleep(200);
  KeyWith(VK_CONTROL, VK_END);
  for (int i = 0; i < 50 && Send(log, EM_GETFIRSTVISIBLELINE) < kBigLines - 100; ++i) Sleep(50);
  const LRESULT top = Send(log, EM_GETFIRSTVISIBLELINE);
  EXPECT_GT(top, kBigLines - 60);
  EXPECT_LE(top, kBigLines);
  const LRESULT lastStart = Send(log, EM_LINEINDEX, kBigLines);
  const long lastLength =
      static_cast<long>(Send(log, EM_LINELENGTH, static_cast<WPARAM>(lastStart)));
  EXPECT_EQ(ExSelection(log), std::make_pair(static_cast<long>(lastStart + lastLength),
                                             static_cast<long>(lastStart + lastLength)));
  // The scroll bar's thumb dragged to the middle: the 32-bit track position, not the 16-bit
  // one of the message, says where (3.3 million lines).
  RECT box{};
  GetWindowRect(log, &box);
  const int arrow = GetSystemMetrics(SM_CYVSCROLL);
  const int barX = box.right - GetSystemMetrics(SM_CXVSCROLL) / 2;
  const int barTop = box.top + arrow,
            barBottom = box.bottom - GetSystemMetrics(SM_CYHSCROLL) - arrow;
  test::MouseMoveTo({barX, barBottom - 3});  // the thumb, at the bottom now
  test::MouseDown();
  Sleep(100);
  test::MouseMoveTo({barX, (barTop + barBottom) / 2});
  Sleep(300);
  const LRESULT dragged = Send(log, EM_GETFIRSTVISIBLELINE);
  test::MouseUp();
  Sleep(200);
  EXPECT_GT(dragged, kBigLines / 4) << "thumb in the middle";
  EXPECT_LT(dragged, kBigLines * 3 / 4) << "thumb in the middle";
  EXPECT_EQ(Send(log, EM_GETFIRSTVISIBLELINE), dragged);

  // Find the last line from the top: the whole file is searched.
  ASSERT_TRUE(viewer.ShowFind());
  viewer.Select(0, 0);
  viewer.FindNext("ended: the last line", true, false);
  const auto found = viewer.WaitForSelectionChange({0, 0}, 30000);
  const long at = static_cast<long>(lastStart + kLastLine.find("ended: the last line"));
  EXPECT_EQ(ExSelection(log), std::make_pair(at, at + 20)) << found.first;
  Sleep(300);
  ViewerDriver::Snapshot("viewer-big-log-end");
  EXPECT_TRUE(viewer.CloseAndEnd(20000));
}

// ---- Edit messages and keys -------------------------------------------------------------------

TEST(ViewerLogView, EditMessagesKeysAndUndoCountALineBreakAsOneCharacter) {
  ViewerDriver viewer("view-keys");
  // CR LF, LF and a lone CR, and a last line without a break.
  const std::string text = "first line\r\nsecond\nthird\rlast";
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Mixed.log", text)}, "Vantory 9 - Log Viewer"));
  HWND log = viewer.Log();
  ASSERT_EQ(ClassOf(log), vt9::win::kLogViewClass);
  EXPECT_EQ(viewer.LogText(), "first line\r\nsecond\r\nthird\r\nlast");
  EXPECT_EQ(Send(log, EM_GETLINECOUNT), 4);
  EXPECT_EQ(Send(log, EM_LINEINDEX, 1), 11);
  EXPECT_EQ(Send(log, EM_LINEINDEX, 3), 24);
  EXPECT_EQ(Send(log, EM_LINEINDEX, 4), -1);
  EXPECT_EQ(Send(log, EM_LINELENGTH, 12), 6);
  EXPECT_EQ(Send(log, EM_LINEFROMCHAR, 17), 1) << "the break of line 2";
  EXPECT_EQ(Send(log, EM_LINEFROMCHAR, 18), 2);
  EXPECT_EQ(Line(log, 2), "third");
  EXPECT_EQ(Send(log, EM_GETMODIFY), 0);

  // Keys: Shift+End selects to the end of the line, Ctrl+C copies the selection.
  SetForegroundWindow(viewer.window());
  test::ClickAt(test::ClientToScreenPoint(log, 1, 3));
  Sleep(200);
  test::PressKey(VK_DOWN);
  KeyWith(VK_SHIFT, VK_END);
  Sleep(200);
  EXPECT_EQ(SelectionOnce(log, {11L, 17L}), std::make_pair(11L, 17L));
  EmptyTheClipboard();
  KeyWith(VK_CONTROL, 'C');
  std::string copied;
  for (int i = 0; i < 30 && copied.empty(); ++i) {
    Sleep(50);
    copied = ViewerDriver::Clipboard();
  }
  EXPECT_EQ(copied, "second");
  // Shift+Down from there takes the break and the next line's first six characters.
  KeyWith(VK_SHIFT, VK_DOWN);
  Sleep(100);
  EXPECT_EQ(SelectionOnce(log, {11L, 23L}), std::make_pair(11L, 23L));

  // Typing replaces the selection; Backspace and Delete over a line break take one character.
  Type(log, "2nd");
  EXPECT_EQ(TextOnce(viewer, "first line\r\n2nd\r\nlast"), "first line\r\n2nd\r\nlast");
  EXPECT_EQ(Send(log, EM_GETMODIFY), 1);
  viewer.Select(15, 15);  // behind "2nd"'s break: the start of "last"
  PostMessageA(log, WM_CHAR, VK_BACK, 1);
  EXPECT_EQ(TextOnce(viewer, "first line\r\n2ndlast"), "first line\r\n2ndlast");
  EXPECT_EQ(viewer.Selection(), std::make_pair(14L, 14L));
  PostMessageA(log, WM_CHAR, VK_RETURN, 1);
  EXPECT_EQ(TextOnce(viewer, "first line\r\n2nd\r\nlast"), "first line\r\n2nd\r\nlast");
  // Ctrl+Z undoes one edit at a time.
  KeyWith(VK_CONTROL, 'Z');
  EXPECT_EQ(TextOnce(viewer, "first line\r\n2ndlast"), "first line\r\n2ndlast");
  KeyWith(VK_CONTROL, 'A');
  Sleep(100);
  EXPECT_EQ(SelectionOnce(log, {0L, 18L}), std::make_pair(0L, 18L));
  Sleep(200);
  ViewerDriver::Snapshot("viewer-log-view-selection");
  // Double-click selects a word.
  const POINT word = test::ClientToScreenPoint(log, 8, 3);
  test::MouseMoveTo(word);
  test::MouseDown();
  test::MouseUp();
  test::MouseDown();
  test::MouseUp();
  Sleep(300);
  EXPECT_EQ(SelectionOnce(log, {0L, 5L}), std::make_pair(0L, 5L)) << "\"first\"";
  EXPECT_TRUE(viewer.CloseAndEnd());
}

// ---- Save --------------------------------------------------------------------------------------

TEST(ViewerLogView, AnEditAtTheEndIsSavedInTheTargetsPlaceAndReopens) {
  ViewerDriver viewer("view-save-edit");
  test::SetSetting("WarnSaveAs", "YES");
  const std::string log = "Backup started\r\nCopied 3 files {and} C:\\Data\r\nBackup ended\r\n";
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Daily.log", log)}, "Vantory 9 - Log Viewer"));
  HWND view = viewer.Log();
  ASSERT_EQ(ClassOf(view), vt9::win::kLogViewClass);
  const long end = static_cast<long>(log.size()) - 3;  // a CR LF counts one
  viewer.Select(end, end);
  Type(view, "Checked");
  EXPECT_EQ(TextOnce(viewer, log + "Checked"), log + "Checked");

  // The target exists, hidden: it stays hidden after the save.
  const std::string folder = test::MakeTempFolder("saved-edit");
  const std::string target = folder + "Daily copy.log";
  test::WriteFile(target, "old");
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  ASSERT_TRUE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  viewer.Press("Save");
  HWND save = viewer.WaitForDialog();
  ASSERT_NE(save, nullptr);
  ViewerDriver::ChooseFile(save, target);
  for (int i = 0; i < 100; ++i) {  // the target exists: yes, replace it
    Sleep(100);
    HWND d = viewer.WaitForDialog(0);
    if (d && d != save) {
      ViewerDriver::PressDialogButton(d, IDYES);
      break;
    }
  }
  for (int i = 0; i < 15; ++i) {  // no save error comes
    HWND d = viewer.WaitForMessage(0);
    if (d && test::ChildTexts(d).find("Error saving file!") != std::string::npos) {
      ADD_FAILURE() << test::ChildTexts(d);
      test::ClickButton(d, "OK");
      break;
    }
    Sleep(100);
  }
  ASSERT_TRUE(viewer.WaitForNoDialog(10000));
  const std::string saved = test::ReadFile(target);
  EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u) << saved.substr(0, 40);
  EXPECT_NE(saved.find("Checked"), std::string::npos);
  EXPECT_TRUE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN)
      << "the target keeps its attributes";
  std::string listing;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      listing += data.cFileName + std::string(";");
  } while (FindNextFileA(find, &data));
  FindClose(find);
  EXPECT_EQ(listing, "Daily copy.log;") << "no temporary or backup file is left";
  EXPECT_TRUE(viewer.CloseAndEnd());

  // Reopened, it is rich text in the rich-edit control, with the same text.
  ViewerDriver again("view-save-reopen");
  ASSERT_TRUE(again.Open({target}, "Vantory 9 - Log Viewer"));
  EXPECT_EQ(ClassOf(again.Log()).rfind("RichEdit", 0), 0u) << ClassOf(again.Log());
  EXPECT_EQ(again.LogText(), log + "Checked");
  EXPECT_TRUE(again.CloseAndEnd());
}

// ---- A file cut short ---------------------------------------------------------------------------

TEST(ViewerLogView, ALogCutShortWhileShownGivesOneClearMessageAndKeepsTheWindow) {
  ViewerDriver viewer("view-shrink");
  std::string text;
  for (long i = 1; i <= 400000; ++i) text += BigLine(i);  // 26 MB: more than a block cache holds
  const std::string file = viewer.WriteLog("Shrinking.log", text);
  text.clear();
  ASSERT_TRUE(viewer.Open({file}, "Vantory 9 - Log Viewer"));
  HWND log = viewer.Log();
  ASSERT_TRUE(viewer.WaitForIndex(30000));
  // Another program cuts the log (the viewer shares it for writing).
  HANDLE cut = CreateFileA(file.c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(cut, INVALID_HANDLE_VALUE);
  SetFilePointer(cut, 1000, nullptr, FILE_BEGIN);
  SetEndOfFile(cut);
  CloseHandle(cut);
  // Lines of the middle, then the end, must be read again.
  Send(log, WM_VSCROLL, SB_BOTTOM);
  UpdateWindow(log);
  Send(log, WM_VSCROLL, SB_TOP);
  UpdateWindow(log);
  viewer.Select(200000 * 63, 200000 * 63);
  Send(log, EM_SCROLLCARET);
  UpdateWindow(log);
  HWND error = viewer.WaitForMessage(8000);
  ASSERT_NE(error, nullptr);
  const std::string texts = test::ChildTexts(error);
  EXPECT_NE(texts.find("Error reading file!"), std::string::npos) << texts;
  EXPECT_NE(texts.find(file), std::string::npos) << texts;
  Sleep(300);
  ViewerDriver::Snapshot("viewer-log-cut-short");
  test::ClickButton(error, "OK");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  // Once only; the window goes on answering.
  Send(log, WM_VSCROLL, SB_BOTTOM);
  UpdateWindow(log);
  EXPECT_EQ(viewer.WaitForMessage(800), nullptr);
  EXPECT_GE(Send(log, EM_GETLINECOUNT), 400000);
  EXPECT_TRUE(viewer.CloseAndEnd());
}

// ---- Rich text and Unicode --------------------------------------------------------------------

TEST(ViewerLogView, RichTextStaysInTheRichEditControlAndUnicodeLogsCopyAsUnicode) {
  {
    ViewerDriver viewer("view-rtf");
    const std::string file =
        viewer.WriteLog("Rich.log", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 rich\\par}");
    ASSERT_TRUE(viewer.Open({file}, "Vantory 9 - Log Viewer"));
    EXPECT_EQ(ClassOf(viewer.Log()).rfind("RichEdit", 0), 0u) << ClassOf(viewer.Log());
    EXPECT_TRUE(viewer.CloseAndEnd());
  }
  ViewerDriver viewer("view-utf8");
  // "Grüße — 日本" in UTF-8 with its byte-order mark.
  const std::string utf8 =
      "\xEF\xBB\xBF"
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC\r\nnext\r\n";
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Unicode.log", utf8)}, "Vantory 9 - Log Viewer"));
  ASSERT_EQ(ClassOf(viewer.Log()), vt9::win::kLogViewClass);
  EXPECT_EQ(Send(viewer.Log(), EM_LINELENGTH, 0), 10) << "characters, not bytes";
  EmptyTheClipboard();
  viewer.Command(vt9::win::viewer_id::popCopy);
  std::wstring copied;
  for (int i = 0; i < 50 && copied.empty(); ++i) {
    Sleep(100);
    if (OpenClipboard(nullptr)) {
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
          copied = chars;
          GlobalUnlock(data);
        }
      }
      CloseClipboard();
    }
  }
  EXPECT_EQ(copied, L"Gr\u00FC\u00DFe \u2014 \u65E5\u672C\r\nnext\r\n");
  EXPECT_TRUE(viewer.CloseAndEnd());
}

}  // namespace
}  // namespace vt9
