// Times the log viewer under Wine against Wine's WordPad: opening generated logs of 10 MB and
// 100 MB until the whole text is in the control, how soon the window answers again, 100
// find-next steps through the 10 MB log, and the viewer's memory. Prints figures and ratios.
// Usage (under Wine, from the build's bin folder): bench_viewer.exe [sizes in MB...]
#include <windows.h>
// The process-status header builds on <windows.h>.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "viewer/find_request.h"

namespace {

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

std::string Folder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.find_last_of('\\') + 1);
}

// A backup log of about `mb` megabytes: every line a copied file, every 40th an error.
std::string MakeLog(int mb) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "vt9-bench-" + std::to_string(mb) + "MB.log";
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
  FILE* f = std::fopen(path.c_str(), "wb");
  const long long target = static_cast<long long>(mb) * 1024 * 1024;
  long long written = 0;
  char line[200];
  for (long i = 1; written < target; ++i) {
    const int n = std::snprintf(line, sizeof line,
                                "2026/12/08 10:%02ld:%02ld  Copied C:\\Users\\Ann\\Documents\\"
                                "Projects\\file%07ld.dat%s\r\n",
                                (i / 60) % 60, i % 60, i, i % 40 == 0 ? "  Error: in use" : "");
    std::fwrite(line, 1, static_cast<std::size_t>(n), f);
    written += n;
  }
  std::fclose(f);
  return path;
}

struct Started {
  PROCESS_INFORMATION pi{};
  bool ok = false;
};

Started Start(const std::string& commandLine) {
  Started s;
  std::string cmd = commandLine;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  s.ok = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &s.pi) != FALSE;
  if (s.ok) CloseHandle(s.pi.hThread);
  return s;
}

struct WindowQuery {
  DWORD pid;
  const char* cls;
  HWND found;
};

BOOL CALLBACK MatchTop(HWND w, LPARAM p) {
  auto* q = reinterpret_cast<WindowQuery*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (pid == q->pid && IsWindowVisible(w) && (!q->cls || lstrcmpiA(cls, q->cls) == 0)) {
    q->found = w;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK MatchChild(HWND w, LPARAM p) {
  auto* q = reinterpret_cast<WindowQuery*>(p);
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls).rfind("RichEdit", 0) == 0 || std::string(cls).rfind("RICHEDIT", 0) == 0) {
    q->found = w;
    return FALSE;
  }
  return TRUE;
}

struct OpenResult {
  double shownMs = -1;   // until the control holds the whole text
  double answerMs = -1;  // then until the window answers a message
  HWND window = nullptr;
  HWND edit = nullptr;
};

// Waits until `cls`'s window (any, without a class) of the process shows a rich-edit control
// holding at least `minLength` characters.
OpenResult WaitForText(const Started& s, double start, const char* cls, long long minLength,
                       double timeoutMs) {
  OpenResult r;
  while (Now() - start < timeoutMs) {
    if (WaitForSingleObject(s.pi.hProcess, 0) == WAIT_OBJECT_0) return r;  // it ended (crashed)
    if (!r.window) {
      WindowQuery q{s.pi.dwProcessId, cls, nullptr};
      EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&q));
      r.window = q.found;
    }
    if (r.window && !r.edit) {
      WindowQuery q{0, nullptr, nullptr};
      EnumChildWindows(r.window, MatchChild, reinterpret_cast<LPARAM>(&q));
      r.edit = q.found;
    }
    if (r.edit) {
      DWORD_PTR length = 0;
      if (SendMessageTimeoutA(r.edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 100, &length) &&
          static_cast<long long>(length) >= minLength) {
        r.shownMs = Now() - start;
        const double ask = Now();
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(r.window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
        r.answerMs = Now() - ask;
        return r;
      }
    }
    Sleep(10);
  }
  return r;
}

void End(Started& s, HWND window) {
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(s.pi.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(s.pi.hProcess, 1);
  CloseHandle(s.pi.hProcess);
}

std::string WordPadPath() {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  for (std::string p : {std::string("C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"),
                        std::string(windows) + "\\system32\\wordpad.exe"})
    if (GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES) return p;
  return "";
}

// An open that takes longer counts as failed (-1 in the table).
constexpr double kOpenTimeoutMs = 180000;

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1, 10, 100};
  const std::string viewer = Folder() + "VT9Now.exe";
  const std::string wordpad = WordPadPath();
  std::printf("%-8s %14s %14s %10s %14s %10s %12s\n", "log", "viewer open", "answers in",
              "find max", "WordPad open", "ratio", "viewer mem");
  for (int mb : sizes) {
    const std::string log = MakeLog(mb);
    WIN32_FILE_ATTRIBUTE_DATA info{};
    GetFileAttributesExA(log.c_str(), GetFileExInfoStandard, &info);
    const long long bytes = static_cast<long long>(info.nFileSizeLow) |
                            (static_cast<long long>(info.nFileSizeHigh) << 32);
    // Each line's CR LF may count as one character: wait for the text without the LFs.
    const long long lines = bytes / 70;
    const long long minLength = bytes - lines - 1024;

    double start = Now();
    Started v = Start("\"" + viewer + "\" \\V \"" + log + "\"");
    if (!v.ok) std::printf("cannot start %s\n", viewer.c_str());
    OpenResult open = WaitForText(v, start, "TfViewer", minLength, kOpenTimeoutMs);
    double findMs = -1;
    if (open.shownMs >= 0) {
      // 100 find-next steps: each request searches forward from behind the last match.
      std::vector<double> steps;
      const vt9::FindRequestBytes request =
          vt9::EncodeFindRequest(vt9::MakeFindNext("Error", true, false));
      for (int i = 0; i < 100; ++i) {
        COPYDATASTRUCT cds{0, static_cast<DWORD>(request.size()),
                           const_cast<unsigned char*>(request.data())};
        const double t = Now();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(open.window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                            SMTO_NORMAL, 30000, &result);
        steps.push_back(Now() - t);
      }
      findMs = *std::max_element(steps.begin(), steps.end());
      std::printf("find-next over %d MB: median %.2f ms, slowest %.2f ms\n", mb, Median(steps),
                  findMs);
    }
    PROCESS_MEMORY_COUNTERS mem{};
    mem.cb = sizeof mem;
    GetProcessMemoryInfo(v.pi.hProcess, &mem, sizeof mem);
    if (open.shownMs < 0) {
      DWORD code = 0;
      GetExitCodeProcess(v.pi.hProcess, &code);
      std::printf("%d MB: the viewer did not show the text (%s, exit code 0x%lx)\n", mb,
                  code == STILL_ACTIVE ? "time-out" : "ended", code);
    }
    End(v, open.window);

    double wordpadMs = -1;
    if (!wordpad.empty()) {
      start = Now();
      Started w = Start("\"" + wordpad + "\" \"" + log + "\"");
      OpenResult wp = WaitForText(w, start, nullptr, minLength, kOpenTimeoutMs);
      wordpadMs = wp.shownMs;
      if (wp.shownMs < 0) std::printf("%d MB: WordPad did not show the text\n", mb);
      End(w, wp.window);
    }
    std::printf("%-8s %11.0f ms %11.0f ms %7.2f ms %11.0f ms %10.2f %9.0f MB\n",
                (std::to_string(mb) + " MB").c_str(), open.shownMs, open.answerMs, findMs,
                wordpadMs, wordpadMs > 0 ? open.shownMs / wordpadMs : 0.0,
                static_cast<double>(mem.PeakWorkingSetSize) / (1024.0 * 1024.0));
    std::fflush(stdout);
  }
  return 0;
}
