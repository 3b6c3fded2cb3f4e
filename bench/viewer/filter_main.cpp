// Times the viewer's filter under Wine on a generated backup log (default 200 MB, of which every
// third line is "Skipped": some 1.1 million matches), opened with "VT9Now.exe \V":
//   - the filter typed (the terms' box set once, then the bar's settling of 40 ms) to the first
//     listed line, and to the count covering every line;
//   - the slowest answer of the viewer's window to a message while the filter runs;
//   - with "Hide the other lines": a page down in the log (WM_VSCROLL) until repainted, at the
//     top, in the middle and near the end of the shown lines.
// Usage (under Wine, from the build's bin folder): bench_viewer_filter.exe [size in MB]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "viewer/win/filter_bar.h"
#include "viewer/win/viewer_window.h"

namespace {

namespace id = vt9::win::viewer_id;
namespace bar_id = vt9::win::filter_bar_id;

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

std::string MakeLog(int mb, long& lines, long& matches) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "vt9-bench-filter-" + std::to_string(mb) + "MB.log";
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "";
  const long long target = static_cast<long long>(mb) * 1024 * 1024;
  long long written = 0;
  std::string chunk;
  char line[200];
  lines = matches = 0;
  for (long i = 1; written < target; ++i) {
    const bool skipped = i % 3 == 0;
    const int n = std::snprintf(line, sizeof line,
                                "2026/12/08 10:%02ld:%02ld  %s C:\\Data\\file%08ld.dat\r\n",
                                (i / 60) % 60, i % 60, skipped ? "Skipped" : "Copied ", i);
    chunk.append(line, static_cast<std::size_t>(n));
    written += n;
    ++lines;
    if (skipped) ++matches;
    if (chunk.size() >= (8u << 20) || written >= target) {
      DWORD out = 0;
      WriteFile(f, chunk.data(), static_cast<DWORD>(chunk.size()), &out, nullptr);
      chunk.clear();
    }
  }
  CloseHandle(f);
  ++lines;  // the empty line after the last break
  return path;
}

struct Query {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchViewer(HWND w, LPARAM p) {
  auto* q = reinterpret_cast<Query*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (pid == q->pid && IsWindowVisible(w) && lstrcmpiA(cls, vt9::win::kViewerWindowClass) == 0) {
    q->found = w;
    return FALSE;
  }
  return TRUE;
}

LRESULT Ask(HWND w, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(w, message, wParam, lParam, SMTO_NORMAL, 60000, &result)) return -1;
  return static_cast<LRESULT>(result);
}

std::string Text(HWND w) {
  char text[256] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                      60000, &copied);
  return text;
}

std::string Grouped(long value) {
  std::string digits = std::to_string(value), out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

double PageDown(HWND log) {
  const double t = Now();
  Ask(log, WM_VSCROLL, SB_PAGEDOWN);
  RedrawWindow(log, nullptr, nullptr, RDW_UPDATENOW);
  return Now() - t;
}

}  // namespace

int main(int argc, char** argv) {
  const int mb = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 200;
  long lines = 0, matches = 0;
  std::printf("writing a %d MB log...\n", mb);
  const std::string log = MakeLog(mb, lines, matches);
  if (log.empty()) return 1;
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder = exe;
  folder.resize(folder.find_last_of('\\') + 1);
  std::string cmd = "\"" + folder + "VT9Now.exe\" \\V \"" + log + "\" \"Filter bench\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return 1;
  CloseHandle(pi.hThread);
  Query q{pi.dwProcessId, nullptr};
  for (int i = 0; i < 600 && !q.found; ++i) {
    Sleep(50);
    EnumWindows(MatchViewer, reinterpret_cast<LPARAM>(&q));
  }
  HWND window = q.found;
  int status = 1;
  if (window) {
    HWND progress = GetDlgItem(window, id::lblProgress);
    while (IsWindowVisible(progress)) Sleep(50);  // the index complete
    HWND logView = GetDlgItem(window, id::memLog);
    HWND bar = GetDlgItem(window, id::filterBar);
    HWND pane = GetDlgItem(window, id::filterPane);
    HWND count = GetDlgItem(bar, bar_id::lblStatus);
    Ask(window, WM_COMMAND, id::popFilter);
    const std::string all = Grouped(matches) + " of " + Grouped(lines) + " lines";
    const double typed = Now();
    Ask(GetDlgItem(bar, bar_id::edtTerms), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Skipped"));
    double first = -1, answerMax = 0;
    while (Now() - typed < 600000) {
      const double asked = Now();
      const LRESULT rows = Ask(pane, LB_GETCOUNT);
      answerMax = std::max(answerMax, Now() - asked);
      if (first < 0 && rows > 0) first = Now() - typed;
      if (Text(count) == all) break;
      Sleep(5);
    }
    const double done = Now() - typed;
    std::printf("log: %d MB, %s lines, %s with \"Skipped\"\n", mb, Grouped(lines).c_str(),
                Grouped(matches).c_str());
    std::printf("first listed line after typing:   %8.0f ms (40 ms of it the bar's settling)\n",
                first);
    std::printf("every line filtered after typing: %8.0f ms (%.0f MB/s), count \"%s\"\n", done,
                mb * 1000.0 / std::max(1.0, done - 40), Text(count).c_str());
    std::printf("slowest answer while filtering:   %8.1f ms\n", answerMax);
    PostMessageA(GetDlgItem(bar, bar_id::chkHide), BM_CLICK, 0, 0);
    Sleep(1000);
    double top = 0, middle = 0, end = 0;
    Ask(logView, WM_VSCROLL, SB_TOP);
    for (int i = 0; i < 5; ++i) top = std::max(top, PageDown(logView));
    // Elsewhere by the pane (hidden, but still listing): Enter on a row moves the log there.
    auto goTo = [&](long row) {
      Ask(pane, LB_SETCURSEL, static_cast<WPARAM>(row));
      PostMessageA(pane, WM_KEYDOWN, VK_RETURN, 1);
      Sleep(300);
      Ask(logView, WM_NULL);
    };
    goTo(matches / 2);
    for (int i = 0; i < 5; ++i) middle = std::max(middle, PageDown(logView));
    goTo(matches - 300);
    for (int i = 0; i < 5; ++i) end = std::max(end, PageDown(logView));
    std::printf(
        "hidden lines, %s shown: PgDn repainted, slowest of 5: top %.1f ms, middle %.1f "
        "ms, end %.1f ms (first shown line %ld)\n",
        Grouped(matches).c_str(), top, middle, end,
        static_cast<long>(Ask(logView, EM_GETFIRSTVISIBLELINE)) + 1);
    status = Text(count) == all ? 0 : 1;
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  DeleteFileA(log.c_str());
  return status;
}
