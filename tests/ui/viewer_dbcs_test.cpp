// The viewer on a double-byte code page (Japanese, 932): a match of the find dialog is selected
// for as many characters as the search text has, not for as many bytes.
//
// Wine takes a program's code page from the Unix locale it starts in, and that locale must
// exist on the host: a host shell compiles ja_JP.UTF-8 once into the build tree and starts the
// viewer with it (a program started by a Wine program keeps its parent's locale).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/win/host_command.h"
#include "support/win/paths.h"
#include "support/win/tool_process.h"
#include "viewer/win/find_dialog.h"
#include "viewer/win/viewer_window.h"

namespace vt9 {
namespace {

std::string Environment(const char* name) {
  char value[MAX_PATH * 2] = {};
  GetEnvironmentVariableA(name, value, sizeof value);
  return value;
}

std::string ShiftJis(const std::wstring& text) {
  const int size = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                       0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

std::pair<long, long> Selection(HWND log) {
  const LRESULT packed = SendMessageA(log, EM_GETSEL, 0, 0);
  return {static_cast<long>(LOWORD(packed)), static_cast<long>(HIWORD(packed))};
}

// Makes the Japanese locale (once) and starts the viewer on `file` in it; the viewer's window,
// or null with a failure recorded.
HWND StartJapaneseViewer(const test::ToolFolder& tool, const std::string& file,
                         const std::string& caption) {
  const std::string locales = Environment("VT9_ARTIFACTS") + "/../locale";
  const std::string ready =
      test::RunHostScript("d='" + locales +
                              "'; f=\"$d/ja_JP.UTF-8/LC_CTYPE\"\n"
                              "[ -f \"$f\" ] || { mkdir -p \"$d\" && localedef -i ja_JP -f UTF-8 "
                              "\"$d/ja_JP.UTF-8\"; }\n"
                              "[ -f \"$f\" ] && echo ready",
                          120000);
  EXPECT_NE(ready.find("ready"), std::string::npos)
      << "the Japanese locale could not be made (package locales):\n"
      << ready;
  const std::string loader =
      Environment("VT9_WINE_LOADER").empty() ? std::string("wine") : Environment("VT9_WINE_LOADER");
  test::RunHostScript("LOCPATH='" + locales + "' LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 '" + loader +
                      "' '" + tool.exe() + "' '\\V' '" + file + "' '" + caption +
                      "' >/dev/null 2>&1 &");
  return test::WaitForAnyWindow(vt9::win::kViewerWindowClass, caption, 15000);
}

TEST(ViewerDoubleByte, FoundSelectionCoversTheCharactersOfTheSearchText) {
  // "エラー" (error): three characters, six bytes.
  const std::wstring word = L"\u30A8\u30E9\u30FC";
  const std::string log =
      "Job 1\r\n" + ShiftJis(word) + ": disk full\r\n" + ShiftJis(word) + "\r\n";
  test::ToolFolder tool("dbcs");
  const std::string file = tool.folder() + "Daily.log";
  test::WriteFile(file, log);
  const std::string caption = "DoubleByte-" + std::to_string(GetTickCount());
  HWND viewer = StartJapaneseViewer(tool, file, caption);
  ASSERT_NE(viewer, nullptr);
  DWORD pid = 0;
  GetWindowThreadProcessId(viewer, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  HWND text = GetDlgItem(viewer, vt9::win::viewer_id::memLog);
  // Read as Japanese text: the viewer runs on code page 932.
  wchar_t shown[64] = {};
  SendMessageW(text, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
  ASSERT_EQ(std::wstring(shown), L"Job 1\r\n" + word + L": disk full\r\n" + word + L"\r\n");

  PostMessageA(FindWindowExA(viewer, nullptr, "Button", "Find"), BM_CLICK, 0, 0);
  HWND find = test::WaitForWindow(pid, vt9::win::kFindWindowClass, "Find...", 5000);
  ASSERT_NE(find, nullptr);
  SendMessageW(GetDlgItem(find, vt9::win::find_id::txtFindWhat), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(word.c_str()));
  HWND next = GetDlgItem(find, vt9::win::find_id::btnOK);
  const long first = 6;                // behind "Job 1" and its paragraph end
  const long second = first + 3 + 12;  // behind the word, ": disk full" and a paragraph end
  for (const long at : {first, second}) {
    const auto before = Selection(text);
    PostMessageA(next, BM_CLICK, 0, 0);
    auto now = before;
    for (int i = 0; i < 60 && now == before; ++i) {
      Sleep(50);
      now = Selection(text);
    }
    EXPECT_EQ(now, std::make_pair(at, at + 3)) << "three characters from " << at;
  }
  PostMessageA(viewer, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
  CloseHandle(process);
}

TEST(ViewerDoubleByte, TypedDoubleByteCharactersAreOneCharacterEach) {
  test::ToolFolder tool("dbcs-typing");
  const std::string file = tool.folder() + "Typed.log";
  test::WriteFile(file, "end\r\n");
  const std::string caption = "Typing-" + std::to_string(GetTickCount());
  HWND viewer = StartJapaneseViewer(tool, file, caption);
  ASSERT_NE(viewer, nullptr);
  DWORD pid = 0;
  GetWindowThreadProcessId(viewer, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  HWND text = GetDlgItem(viewer, vt9::win::viewer_id::memLog);
  SendMessageA(text, EM_SETSEL, 0, 0);
  // Sent as Unicode, the system hands the ANSI window what an IME would on code page 932:
  // WM_IME_CHAR with a whole double-byte character ("エ", lead byte high), and a character of
  // WM_CHAR as two messages, its lead byte and its trail byte ("ラ"), behind an ASCII letter.
  // The view takes keys once its index is complete: the letter goes first, until it is in.
  wchar_t shown[64] = {};
  for (int i = 0; i < 100 && shown[0] != L'x'; ++i) {
    SendMessageW(text, WM_CHAR, L'x', 1);
    SendMessageW(text, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
    if (shown[0] != L'x') Sleep(50);
  }
  SendMessageW(text, WM_IME_CHAR, L'\u30A8', 1);
  SendMessageW(text, WM_CHAR, L'\u30E9', 1);
  SendMessageW(text, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
  EXPECT_EQ(std::wstring(shown), L"x\u30A8\u30E9end\r\n");
  EXPECT_EQ(Selection(text), std::make_pair(3L, 3L)) << "three characters typed";
  SendMessageA(text, EM_SETMODIFY, FALSE, 0);
  PostMessageA(viewer, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
  CloseHandle(process);
}

}  // namespace
}  // namespace vt9
