// The viewer's log view at its limits, in the real VT9Now.exe under Wine: a sparse log over
// 4.3 GB searched through the find dialog to words past 2^31 and 2^32 characters, and WM_SETTEXT
// while a large log is still being indexed.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "support/win/paths.h"
#include "support/win/tool_process.h"
#include "support/win/viewer_driver.h"
#include "support/win/widget_host.h"
#include "viewer/win/viewer_window.h"

namespace vt9 {
namespace {

using test::ViewerDriver;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 120000, &result);
  return static_cast<LRESULT>(result);
}

// A sparse file of `size` bytes: NUL bytes (one character each in the view) with CR LF ending
// each `lineBytes`, and words written at the given byte offsets.
bool WriteSparseLog(const std::string& path, std::uint64_t size, std::uint64_t lineBytes,
                    const std::pair<std::uint64_t, std::string>* words, int wordCount) {
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  auto put = [out](std::uint64_t at, const std::string& bytes) {
    LARGE_INTEGER where{};
    where.QuadPart = static_cast<LONGLONG>(at);
    DWORD written = 0;
    return SetFilePointerEx(out, where, nullptr, FILE_BEGIN) &&
           WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  };
  bool ok = true;
  for (std::uint64_t end = lineBytes; end <= size && ok; end += lineBytes)
    ok = put(end - 2, "\r\n");
  for (int i = 0; i < wordCount && ok; ++i) ok = put(words[i].first, words[i].second);
  LARGE_INTEGER where{};
  where.QuadPart = static_cast<LONGLONG>(size);
  ok = ok && SetFilePointerEx(out, where, nullptr, FILE_BEGIN) && SetEndOfFile(out);
  CloseHandle(out);
  return ok;
}

struct RemoveFile {
  std::string path;
  ~RemoveFile() { DeleteFileA(path.c_str()); }
};

// The selection by EM_GETSEL with pointers: DWORDs, exact below 4 GB, at their largest above.
std::pair<DWORD, DWORD> Selection(HWND log) {
  DWORD start = 0, end = 0;
  Send(log, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

// The selected text, as the view copies it.
std::string CopiedSelection(HWND log) {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  Send(log, WM_COPY);
  return ViewerDriver::Clipboard();
}

// Presses Next in the find dialog and waits until the selected text changes from `before`.
std::string FindAndCopy(ViewerDriver& viewer, HWND log, const std::string& word,
                        const std::string& before) {
  viewer.FindNext(word, false, false);
  std::string now = before;
  for (int i = 0; i < 600 && now == before; ++i) {
    Sleep(100);
    if (viewer.WaitForMessage(0)) break;  // "Not Found"
    now = CopiedSelection(log);
  }
  return now;
}

constexpr std::uint64_t kLineBytes = 64ull << 20;  // CR LF included
std::uint64_t CharOfByte(std::uint64_t byte) { return byte - byte / kLineBytes; }

TEST(ViewerLimits, FindsAndSelectsWordsPastTwoAndFourGigabytes) {
  ViewerDriver viewer("limits-find");
  const std::string file = viewer.logFolder() + "Huge.log";
  const std::uint64_t size = 4'400'000'000ull;
  const std::pair<std::uint64_t, std::string> words[] = {{(1ull << 31) + 1000, "needle31"},
                                                         {(1ull << 32) + 1000, "needle32"}};
  ASSERT_TRUE(WriteSparseLog(file, size, kLineBytes, words, 2));
  RemoveFile remove{file};

  ASSERT_TRUE(viewer.Open({file, "Huge log"}, "Huge log"));
  HWND log = viewer.Log();
  ASSERT_TRUE(viewer.WaitForIndex(300000)) << "indexing 4.4 GB";
  ASSERT_TRUE(viewer.ShowFind());

  // The first word lies past 2^31 characters: selected, in view, and its position exact in the
  // 32-bit answer (a DWORD holds it).
  const std::string first = FindAndCopy(viewer, log, "needle31", "");
  EXPECT_EQ(first, "needle31");
  const auto at31 = static_cast<DWORD>(CharOfByte(words[0].first));
  EXPECT_EQ(Selection(log), std::make_pair(at31, at31 + 8));
  const auto line31 = static_cast<LRESULT>(words[0].first / kLineBytes);
  const LRESULT top31 = Send(log, EM_GETFIRSTVISIBLELINE);
  EXPECT_LE(top31, line31);
  EXPECT_GT(top31 + 30, line31);

  // The next Find starts behind it and reaches the word past 2^32: there the 32-bit answers
  // stay at their largest value instead of wrapping.
  const std::string second = FindAndCopy(viewer, log, "needle32", first);
  EXPECT_EQ(second, "needle32");
  EXPECT_EQ(Selection(log), std::make_pair(DWORD{MAXDWORD}, DWORD{MAXDWORD}));
  const auto line32 = static_cast<LRESULT>(words[1].first / kLineBytes);
  const LRESULT top32 = Send(log, EM_GETFIRSTVISIBLELINE);
  EXPECT_LE(top32, line32);
  EXPECT_GT(top32 + 30, line32);
  // The unselected characters of the selection's line: the line less the word.
  EXPECT_EQ(Send(log, EM_LINELENGTH, static_cast<WPARAM>(-1)),
            static_cast<LRESULT>(kLineBytes - 2 - 8));
  ViewerDriver::Snapshot("viewer-find-past-4gb");

  // Nothing after it: "Not Found", and the selection stays.
  viewer.FindNext("needle", false, false);
  HWND notFound = viewer.WaitForMessage(120000);
  ASSERT_NE(notFound, nullptr);
  EXPECT_NE(test::ChildTexts(notFound).find("Not Found"), std::string::npos);
  test::ClickButton(notFound, "OK");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_EQ(CopiedSelection(log), "needle32");
  EXPECT_TRUE(viewer.CloseAndEnd(60000));
}

TEST(ViewerLimits, SetTextWhileIndexingLeavesExactlyTheNewText) {
  ViewerDriver viewer("limits-settext");
  const std::string file = viewer.logFolder() + "Large.log";
  ASSERT_TRUE(WriteSparseLog(file, 2'000'000'000ull, 1 << 20, nullptr, 0));
  RemoveFile remove{file};
  ASSERT_TRUE(viewer.Open({file, "Large log"}, "Large log"));
  HWND log = viewer.Log();
  const bool stillIndexing = !viewer.Progress().empty();
  const std::string fresh = "a new text\r\nof two lines";
  EXPECT_EQ(Send(log, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fresh.c_str())), TRUE);
  EXPECT_EQ(Send(log, EM_GETLINECOUNT), 2);
  EXPECT_EQ(viewer.LogText(), fresh);
  EXPECT_EQ(Send(log, EM_GETMODIFY), FALSE);
  if (!stillIndexing) std::printf("note: the index was complete before WM_SETTEXT arrived\n");
  EXPECT_TRUE(viewer.CloseAndEnd(60000));
}

void PutOnClipboard(const std::string& text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

// The texts of the message the viewer shows next (empty when none comes), which is then closed.
std::string NextMessage(ViewerDriver& viewer, DWORD timeoutMs = 30000) {
  HWND message = viewer.WaitForMessage(timeoutMs);
  if (!message) return {};
  const std::string texts = test::ChildTexts(message);
  test::ClickButton(message, "OK");
  viewer.WaitForNoDialog();
  return texts;
}

TEST(ViewerLimits, CopyAboveTheLimitLeavesTheClipboardAndSaysSoOnce) {
  ViewerDriver viewer("limits-copy");
  const std::string file = viewer.logFolder() + "Big.log";
  ASSERT_TRUE(WriteSparseLog(file, 300'000'000ull, 1 << 20, nullptr, 0));
  RemoveFile remove{file};
  ASSERT_TRUE(viewer.Open({file, "Big log"}, "Big log"));
  HWND log = viewer.Log();
  ASSERT_TRUE(viewer.WaitForIndex(120000));
  PutOnClipboard("held before");
  // Ctrl+A, Ctrl+C: the keys' copy and the context menu's are one path with one message.
  SetForegroundWindow(viewer.window());
  SetFocus(log);
  test::KeyDown(VK_CONTROL);
  test::PressKey('A');
  test::PressKey('C');
  test::KeyUp(VK_CONTROL);
  const std::string keys = NextMessage(viewer);
  EXPECT_NE(keys.find("too large to copy"), std::string::npos) << keys;
  EXPECT_EQ(ViewerDriver::Clipboard(), "held before");
  viewer.Command(vt9::win::viewer_id::popCopy);
  const std::string menu = NextMessage(viewer);
  EXPECT_EQ(menu, keys);
  EXPECT_EQ(ViewerDriver::Clipboard(), "held before");
  // A selection below the limit is copied.
  Send(log, EM_SETSEL, 0, 10);
  Send(log, WM_COPY);
  EXPECT_EQ(ViewerDriver::Clipboard().size(), 10u);
  EXPECT_TRUE(viewer.CloseAndEnd(60000));
}

TEST(ViewerLimits, ALogCutAfterIndexingMakesCopyReportTheReadErrorAndIsReadAgain) {
  ViewerDriver viewer("limits-cut");
  std::string text;
  for (int i = 0; i < 100000; ++i)
    text += "2026/12/09 backup copied file " + std::to_string(i) + "\r\n";
  text += "the last word";
  const std::string file = viewer.WriteLog("Cut.log", text);
  ASSERT_TRUE(viewer.Open({file, "Cut log"}, "Cut log"));
  HWND log = viewer.Log();
  ASSERT_TRUE(viewer.WaitForIndex(30000));
  HANDLE cut = CreateFileA(file.c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(cut, INVALID_HANDLE_VALUE);
  SetFilePointer(cut, 1000, nullptr, FILE_BEGIN);
  SetEndOfFile(cut);
  CloseHandle(cut);

  PutOnClipboard("held before");
  viewer.Command(vt9::win::viewer_id::popCopy);
  const std::string copy = NextMessage(viewer);
  EXPECT_NE(copy.find("Error reading file!"), std::string::npos) << copy;
  EXPECT_EQ(ViewerDriver::Clipboard(), "held before") << "no text with holes";

  // The viewer follows its log, so soon after the cut it reads the shortened log again and
  // says so: nothing of the old end is shown or found as if it were there.
  HWND note = GetDlgItem(viewer.window(), vt9::win::viewer_id::lblIncomplete);
  const DWORD start = GetTickCount();
  while (
      !(IsWindowVisible(note) && test::WindowText(note).find("cut short") != std::string::npos) &&
      GetTickCount() - start < 5000)
    Sleep(10);
  EXPECT_NE(test::WindowText(note).find("cut short"), std::string::npos);
  ASSERT_TRUE(viewer.ShowFind());
  viewer.FindNext("the last word", false, false);
  const std::string find = NextMessage(viewer);
  EXPECT_NE(find.find("Not Found"), std::string::npos) << find;
  (void)log;
  EXPECT_TRUE(viewer.CloseAndEnd(60000));
}

// A UTF-8 log (every character decoded by the search) of `lines` equal lines of `kLine`, with
// `word` written at character position `at` when it fits on one line there; false otherwise.
constexpr char kLine[] = "2026/12/09 backup copied a file!\r\n";
constexpr std::int64_t kLineBytes8 = sizeof kLine - 1;  // the break counts one character
bool WriteUtf8Log(const std::string& path, std::int64_t lines, std::int64_t at,
                  const std::string& word) {
  const std::int64_t line = at / (kLineBytes8 - 1), column = at % (kLineBytes8 - 1);
  if (column + static_cast<std::int64_t>(word.size()) > kLineBytes8 - 2) return false;
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  std::string block;
  for (int i = 0; i < 65536; ++i) block += kLine;
  const std::int64_t blockLines = 65536;
  DWORD written = 0;
  bool ok = WriteFile(out, "\xEF\xBB\xBF", 3, &written, nullptr) != FALSE;
  for (std::int64_t first = 0; first < lines && ok; first += blockLines) {
    std::string piece = block.substr(
        0, static_cast<std::size_t>(std::min(blockLines, lines - first) * kLineBytes8));
    if (line >= first && line < first + blockLines)
      piece.replace(static_cast<std::size_t>((line - first) * kLineBytes8 + column), word.size(),
                    word);
    ok = WriteFile(out, piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr) &&
         written == piece.size();
  }
  CloseHandle(out);
  return ok;
}

// Whether the viewer's window answers a message within 50 ms.
bool Answers(HWND window) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 50, &result) != 0;
}

// Waits until the button bar's progress starts with `what`; its text then, empty when it never
// did (or a message came instead).
std::string WaitForProgress(ViewerDriver& viewer, const std::string& what, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    const std::string now = viewer.Progress();
    if (now.rfind(what, 0) == 0) return now;
    Sleep(5);
  }
  return {};
}

TEST(ViewerLimits, FindThroughALargeLogShowsProgressAnswersAndStopsOnEsc) {
  ViewerDriver viewer("limits-long-find");
  const std::string file = viewer.logFolder() + "Long.log";
  // About 200 MB; the word straddles a multiple of 4 Mi characters, where a search in pieces
  // could split it.
  const std::int64_t lines = 200'000'000 / kLineBytes8;
  const std::int64_t boundary = std::int64_t{45} << 22;
  std::int64_t at = boundary - 5;
  while (at < boundary && !WriteUtf8Log(file, lines, at, "needle")) ++at;
  ASSERT_LT(at, boundary);
  RemoveFile remove{file};
  ASSERT_TRUE(viewer.Open({file, "Long log"}, "Long log"));
  HWND log = viewer.Log();
  ASSERT_TRUE(viewer.WaitForIndex(120000));
  ASSERT_TRUE(viewer.ShowFind());

  viewer.FindNext("needle", false, false);
  EXPECT_FALSE(WaitForProgress(viewer, "Searching", 20000).empty());
  for (int i = 0; i < 1200 && !viewer.Progress().empty(); ++i) Sleep(50);
  EXPECT_EQ(CopiedSelection(log), "needle");
  EXPECT_EQ(Selection(log), std::make_pair(static_cast<DWORD>(at), static_cast<DWORD>(at + 6)));

  // A word that is not there, from the top: the window answers while the search runs, its
  // commands wait, and Esc ends it without a message, the selection as it was.
  Send(log, EM_SETSEL, 0, 0);
  viewer.FindNext("absent word", false, false);
  const std::string progress = WaitForProgress(viewer, "Searching", 20000);
  EXPECT_NE(progress.find(" %"), std::string::npos) << progress;
  EXPECT_TRUE(Answers(viewer.window()));
  EXPECT_TRUE(Answers(log));
  ViewerDriver::Snapshot("viewer-long-find");
  viewer.FindNext("2026", false, false);  // refused while the search runs
  PostMessageA(log, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  const DWORD start = GetTickCount();
  while (!viewer.Progress().empty() && GetTickCount() - start < 5000) Sleep(10);
  EXPECT_TRUE(viewer.Progress().empty()) << "Esc ends the search";
  EXPECT_EQ(viewer.WaitForMessage(1000), nullptr) << "no Not Found after Esc";
  EXPECT_EQ(Selection(log), std::make_pair(DWORD{0}, DWORD{0}));
  EXPECT_TRUE(viewer.CloseAndEnd(60000));
}

// Presses Save and chooses `target` in the save dialog.
bool SaveAs(ViewerDriver& viewer, const std::string& target) {
  viewer.Press("Save");
  HWND save = viewer.WaitForMessage(8000);
  if (!save) return false;
  ViewerDriver::ChooseFile(save, target);
  return true;
}

TEST(ViewerLimits, SaveOfALargeLogShowsProgressAnswersAndStopsOnEsc) {
  ViewerDriver viewer("limits-long-save");
  test::SetSetting("WarnSaveAs", "YES");  // no warning before the save dialog
  const std::string file = viewer.logFolder() + "Long.log";
  ASSERT_TRUE(WriteUtf8Log(file, 200'000'000 / kLineBytes8, 0, ""));
  RemoveFile remove{file};
  ASSERT_TRUE(viewer.Open({file, "Long log"}, "Long log"));
  HWND log = viewer.Log();
  ASSERT_TRUE(viewer.WaitForIndex(120000));
  const std::string folder = test::MakeTempFolder("limits-save");
  const std::string target = folder + "Saved.rtf";

  // Esc: no message, no file, no temporary file left.
  ASSERT_TRUE(SaveAs(viewer, target));
  const std::string progress = WaitForProgress(viewer, "Saving", 20000);
  EXPECT_NE(progress.find(" %"), std::string::npos) << progress;
  EXPECT_TRUE(Answers(viewer.window()));
  EXPECT_TRUE(Answers(log));
  PostMessageA(log, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  const DWORD start = GetTickCount();
  while (!viewer.Progress().empty() && GetTickCount() - start < 5000) Sleep(10);
  EXPECT_TRUE(viewer.Progress().empty()) << "Esc ends the save";
  EXPECT_EQ(viewer.WaitForMessage(1000), nullptr) << "a cancelled save says nothing";
  EXPECT_EQ(test::FileNames(folder), "");

  // Left alone it ends with the whole log saved.
  ASSERT_TRUE(SaveAs(viewer, target));
  EXPECT_FALSE(WaitForProgress(viewer, "Saving", 20000).empty());
  for (int i = 0; i < 2400 && !viewer.Progress().empty(); ++i) Sleep(50);
  EXPECT_EQ(viewer.WaitForMessage(500), nullptr);
  EXPECT_EQ(test::FileNames(folder), "Saved.rtf;");
  WIN32_FILE_ATTRIBUTE_DATA saved{};
  ASSERT_TRUE(GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &saved));
  EXPECT_GT((std::uint64_t{saved.nFileSizeHigh} << 32) | saved.nFileSizeLow, 200'000'000u);
  DeleteFileA(target.c_str());
  EXPECT_TRUE(viewer.CloseAndEnd(60000));
}

TEST(ViewerLimits, CopyOfALargeLogShowsProgressAnswersAndStopsOnEsc) {
  ViewerDriver viewer("limits-long-copy");
  const std::string file = viewer.logFolder() + "Copied.log";
  ASSERT_TRUE(WriteSparseLog(file, 200'000'000ull, 1 << 20, nullptr, 0));
  RemoveFile remove{file};
  ASSERT_TRUE(viewer.Open({file, "Copied log"}, "Copied log"));
  HWND log = viewer.Log();
  ASSERT_TRUE(viewer.WaitForIndex(120000));

  // Esc: no message, the clipboard as it was.
  PutOnClipboard("held before");
  viewer.Command(vt9::win::viewer_id::popCopy);
  const std::string progress = WaitForProgress(viewer, "Copying", 20000);
  EXPECT_NE(progress.find(" %"), std::string::npos) << progress;
  EXPECT_TRUE(Answers(viewer.window()));
  EXPECT_TRUE(Answers(log));
  PostMessageA(log, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  const DWORD start = GetTickCount();
  while (!viewer.Progress().empty() && GetTickCount() - start < 5000) Sleep(10);
  EXPECT_TRUE(viewer.Progress().empty()) << "Esc ends the copy";
  EXPECT_EQ(viewer.WaitForMessage(1000), nullptr) << "a cancelled copy says nothing";
  EXPECT_EQ(ViewerDriver::Clipboard(), "held before");

  // Left alone the whole log is copied (its NUL bytes shown as '?').
  viewer.Command(vt9::win::viewer_id::popCopy);
  EXPECT_FALSE(WaitForProgress(viewer, "Copying", 20000).empty());
  for (int i = 0; i < 2400 && !viewer.Progress().empty(); ++i) Sleep(50);
  EXPECT_EQ(viewer.WaitForMessage(500), nullptr);
  const std::string copied = ViewerDriver::Clipboard();
  EXPECT_EQ(copied.size(), 200'000'000u);
  EXPECT_EQ(copied.substr((1 << 20) - 3, 4), "?\r\n?");
  EXPECT_TRUE(viewer.CloseAndEnd(60000));
}

}  // namespace
}  // namespace vt9
