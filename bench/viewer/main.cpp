// Times the log viewer's own log view under Wine on generated backup logs (default 1 MB, 100 MB
// and 1 GB, written to the system temp folder and removed afterwards), each opened with
// "VT9Now.exe \V":
//   - start to first painted screen, start to complete index (MB/s counted from the window's
//     appearance, when indexing starts);
//   - the document alone in this process: index and search speed, index bytes per line;
//   - the process's private bytes once idle;
//   - find-next to a match 10 MB ahead; a whole pass that finds nothing, case on and off
//     (until the "Not Found" message shows);
//   - PgDn near the end and a character typed at the end, each until repainted;
//   - the slowest answer to input while the index is being built;
// and Wine's WordPad opening the 10 MB log. Prints a table.
// Usage (under Wine, from the build's bin folder): bench_viewer.exe [sizes in MB...]
//
// bench_viewer.exe print MB [seconds] instead prints a generated log of MB megabytes from the
// viewer to the default printer: Print, OK in the print dialog, then the viewer's private bytes
// sampled while the pages are laid out ("Preparing page N", before the print dialog) and go
// out, for at most `seconds` (default 120), then Cancel. Prints the idle figure, the peak above
// it, the layout time and how far printing got. With `seconds` 0 every page goes out (no
// Cancel), and the log's first and last lines are printed too, for run.sh to find in the PDF.
#include <windows.h>
// The process-status header builds on <windows.h>.
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "logs/log_document.h"
#include "viewer/find_request.h"
#include "viewer/win/log_files.h"
#include "viewer/win/viewer_window.h"

namespace {

constexpr int kMemLog = vt9::win::viewer_id::memLog;  // the viewer's text control
constexpr int kProgressLabel = vt9::win::viewer_id::lblProgress;  // "Reading the log… 45 %"
constexpr char kMarker[] = "Marker ten megabytes ahead";

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

// A backup log of about `mb` megabytes in the temp folder: every line a copied file, every 40th
// an error, and one marker line 10 MB in.
std::string MakeLog(int mb) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "vt9-bench-" + std::to_string(mb) + "MB.log";
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "";
  const long long target = static_cast<long long>(mb) * 1024 * 1024;
  long long written = 0;
  bool marked = false;
  std::string chunk;
  char line[200];
  for (long i = 1; written < target || written == 0; ++i) {
    int n = std::snprintf(line, sizeof line,
                          "2026/12/08 10:%02ld:%02ld  Copied C:\\Users\\Ann\\Documents\\"
                          "Projects\\file%07ld.dat%s\r\n",
                          (i / 60) % 60, i % 60, i, i % 40 == 0 ? "  Error: in use" : "");
    if (!marked && written >= 10ll * 1024 * 1024) {
      n = std::snprintf(line, sizeof line, "2026/12/08 11:00:00  %s\r\n", kMarker);
      marked = true;
    }
    chunk.append(line, static_cast<std::size_t>(n));
    written += n;
    if (chunk.size() >= (8u << 20) || written >= target) {
      DWORD out = 0;
      WriteFile(f, chunk.data(), static_cast<DWORD>(chunk.size()), &out, nullptr);
      chunk.clear();
    }
  }
  CloseHandle(f);
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

HWND TopWindow(DWORD pid, const char* cls) {
  WindowQuery q{pid, cls, nullptr};
  EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&q));
  return q.found;
}

BOOL CALLBACK MatchRichEdit(HWND w, LPARAM p) {
  auto* q = reinterpret_cast<WindowQuery*>(p);
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls).rfind("RichEdit", 0) == 0 || std::string(cls).rfind("RICHEDIT", 0) == 0) {
    q->found = w;
    return FALSE;
  }
  return TRUE;
}

LRESULT Ask(HWND w, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, UINT timeoutMs = 60000) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(w, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result)) return -1;
  return static_cast<LRESULT>(result);
}

void End(Started& s, HWND window) {
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(s.pi.hProcess, 20000) != WAIT_OBJECT_0)
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

// WordPad: until its rich-edit control holds the whole text (CR LF counted once or twice).
double WordPadOpen(const std::string& wordpad, const std::string& log, long long bytes) {
  const double start = Now();
  Started w = Start("\"" + wordpad + "\" \"" + log + "\"");
  HWND window = nullptr, edit = nullptr;
  const long long minLength = bytes - bytes / 60 - 1024;
  double shown = -1;
  while (Now() - start < 180000 && WaitForSingleObject(w.pi.hProcess, 0) != WAIT_OBJECT_0) {
    if (!window) window = TopWindow(w.pi.dwProcessId, nullptr);
    if (window && !edit) {
      WindowQuery q{0, nullptr, nullptr};
      EnumChildWindows(window, MatchRichEdit, reinterpret_cast<LPARAM>(&q));
      edit = q.found;
    }
    if (edit && Ask(edit, WM_GETTEXTLENGTH, 0, 0, 100) >= minLength) {
      shown = Now() - start;
      break;
    }
    Sleep(10);
  }
  if (shown < 0 && WaitForSingleObject(w.pi.hProcess, 0) == WAIT_OBJECT_0) shown = -2;  // ended
  End(w, window);
  return shown;
}

// A find request sent on its own thread, since the viewer's answer may wait for a message box.
struct FindCall {
  std::thread thread;
  volatile bool done = false;
  double endMs = 0;
};

void SendFind(HWND window, const std::string& text, bool matchCase, FindCall& call) {
  call.done = false;
  call.thread = std::thread([window, text, matchCase, &call] {
    const vt9::FindRequestBytes request =
        vt9::EncodeFindRequest(vt9::MakeFindNext(text, matchCase, false));
    COPYDATASTRUCT cds{0, static_cast<DWORD>(request.size()),
                       const_cast<unsigned char*>(request.data())};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 120000,
                        &result);
    call.endMs = Now();
    call.done = true;
  });
}

BOOL CALLBACK PressOk(HWND w, LPARAM) {
  char text[16] = {};
  GetWindowTextA(w, text, sizeof text);
  if (lstrcmpA(text, "OK") == 0) {
    PostMessageA(w, BM_CLICK, 0, 0);
    return FALSE;
  }
  return TRUE;
}

// The time until the find request found its match, or until "Not Found" showed.
double TimeFind(HWND window, DWORD pid, const std::string& text, bool matchCase) {
  FindCall call;
  const double start = Now();
  SendFind(window, text, matchCase, call);
  double took = -1;
  while (Now() - start < 120000) {
    if (call.done) {
      took = call.endMs - start;
      break;
    }
    HWND message = TopWindow(pid, "#32770");
    if (!message) message = TopWindow(pid, "TTaskDialogForm");
    if (message) {
      took = Now() - start;
      EnumChildWindows(message, PressOk, 0);
      break;
    }
    Sleep(1);
  }
  call.thread.join();
  // The find dialog is hidden by Not Found; nothing else is left open.
  return took;
}

double Repaint(HWND view) {
  const double t = Now();
  RedrawWindow(view, nullptr, nullptr, RDW_UPDATENOW);
  return Now() - t;
}

struct Figures {
  double windowMs = -1;
  double firstScreen = -1, indexed = -1, privateMB = -1, findAhead = -1, passCase = -1,
         passNoCase = -1, pgDn = -1, typed = -1, answerMax = -1;
  long long bytes = 0;
};

Figures RunViewer(const std::string& viewer, const std::string& log, long long bytes) {
  Figures f;
  f.bytes = bytes;
  const double start = Now();
  Started v = Start("\"" + viewer + "\" \\V \"" + log + "\"");
  if (!v.ok) return f;
  HWND window = nullptr, view = nullptr, label = nullptr;
  // First screen: the view answers with its first line and has painted it.
  while (Now() - start < 60000 && WaitForSingleObject(v.pi.hProcess, 0) != WAIT_OBJECT_0) {
    if (!window) {
      window = TopWindow(v.pi.dwProcessId, "TfViewer");
      if (window) f.windowMs = Now() - start;
    }
    if (window && !view) {
      view = GetDlgItem(window, kMemLog);
      label = GetDlgItem(window, kProgressLabel);
    }
    if (view && Ask(view, EM_LINELENGTH, 0, 0, 1000) > 0) {
      RedrawWindow(view, nullptr, nullptr, RDW_UPDATENOW);
      f.firstScreen = Now() - start;
      break;
    }
    Sleep(1);
  }
  if (f.firstScreen < 0) {
    End(v, window);
    return f;
  }
  // While indexing: how soon the window answers a key (a line down and back).
  double slowest = 0;
  int asked = 0;
  while (Now() - start < 600000 && label && IsWindowVisible(label)) {
    const double t = Now();
    Ask(view, WM_KEYDOWN, asked % 2 ? VK_UP : VK_DOWN, 0);  // one key, the caret a line down or up
    slowest = std::max(slowest, Now() - t);
    ++asked;
    Sleep(20);
  }
  f.indexed = Now() - start;
  if (asked > 0) f.answerMax = slowest;
  Sleep(1500);
  PROCESS_MEMORY_COUNTERS_EX mem{};
  mem.cb = sizeof mem;
  if (GetProcessMemoryInfo(v.pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem),
                           sizeof mem))
    f.privateMB =
        static_cast<double>(std::max(mem.PrivateUsage, mem.PagefileUsage)) / (1024.0 * 1024.0);
  else
    std::printf("(no memory figures: error %lu)\n", GetLastError());

  // Find-next to the marker 10 MB ahead, from the top.
  if (bytes > 11ll * 1024 * 1024) {
    Ask(view, EM_SETSEL, 0, 0);
    f.findAhead = TimeFind(window, v.pi.dwProcessId, kMarker, true);
  }
  Ask(view, EM_SETSEL, 0, 0);
  f.passCase = TimeFind(window, v.pi.dwProcessId, "no such text in the log", true);
  Sleep(300);
  Ask(view, EM_SETSEL, 0, 0);
  f.passNoCase = TimeFind(window, v.pi.dwProcessId, "No Such Text In The Log", false);
  Sleep(300);

  // PgDn two pages before the end, then a character typed at the end; each until repainted.
  const LRESULT lines = Ask(view, EM_GETLINECOUNT);
  const LRESULT nearEnd =
      Ask(view, EM_LINEINDEX, static_cast<WPARAM>(std::max<LRESULT>(0, lines - 60)));
  Ask(view, EM_SETSEL, static_cast<WPARAM>(nearEnd), nearEnd);
  Ask(view, EM_SCROLLCARET);
  Repaint(view);
  double t = Now();
  Ask(view, WM_KEYDOWN, VK_NEXT, 0);
  Repaint(view);
  f.pgDn = Now() - t;
  const LRESULT lastStart = Ask(view, EM_LINEINDEX, static_cast<WPARAM>(lines - 1));
  const LRESULT end = lastStart + Ask(view, EM_LINELENGTH, static_cast<WPARAM>(lastStart));
  Ask(view, EM_SETSEL, static_cast<WPARAM>(end), end);
  Ask(view, EM_SCROLLCARET);
  Repaint(view);
  t = Now();
  Ask(view, WM_CHAR, 'x', 1);
  Repaint(view);
  f.typed = Now() - t;
  Ask(view, EM_SETMODIFY, FALSE);
  End(v, window);
  return f;
}

double PrivateMB(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX mem{};
  mem.cb = sizeof mem;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof mem))
    return -1;
  // Wine reports PrivateUsage as 0; its PagefileUsage is the process's private memory.
  return static_cast<double>(std::max(mem.PrivateUsage, mem.PagefileUsage)) / (1024.0 * 1024.0);
}

BOOL CALLBACK CollectText(HWND w, LPARAM p) {
  char text[128] = {};
  GetWindowTextA(w, text, sizeof text);
  if (text[0]) *reinterpret_cast<std::string*>(p) += std::string(text) + " | ";
  return TRUE;
}

std::string ChildTexts(HWND window) {
  std::string texts;
  EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

struct PrintFigures {
  double idleMB = -1, peakMB = -1, layoutMs = -1, sampledMs = -1;
  std::string lastStatus;
};

PrintFigures RunPrint(const std::string& viewer, const std::string& log, int seconds) {
  PrintFigures f;
  Started v = Start("\"" + viewer + "\" \\V \"" + log + "\"");
  if (!v.ok) return f;
  const DWORD pid = v.pi.dwProcessId;
  double start = Now();
  HWND window = nullptr;
  while (!window && Now() - start < 60000) {
    window = TopWindow(pid, "TfViewer");
    Sleep(10);
  }
  HWND label = window ? GetDlgItem(window, kProgressLabel) : nullptr;
  while (label && IsWindowVisible(label) && Now() - start < 600000) Sleep(50);
  Sleep(1500);
  f.idleMB = PrivateMB(v.pi.hProcess);
  f.peakMB = f.idleMB;
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(vt9::win::viewer_id::btnPrint, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, vt9::win::viewer_id::btnPrint)));
  // The pages are laid out ("Preparing page N") before the print dialog asks for the range.
  HWND dialog = nullptr;
  start = Now();
  while (!dialog && Now() - start < 600000) {
    f.peakMB = std::max(f.peakMB, PrivateMB(v.pi.hProcess));
    dialog = TopWindow(pid, "#32770");
    Sleep(20);
  }
  f.layoutMs = Now() - start;
  if (!dialog) {
    End(v, window);
    return f;
  }
  Sleep(300);
  EnumChildWindows(dialog, PressOk, 0);
  start = Now();
  HWND progress = nullptr;
  while ((seconds <= 0 || Now() - start < seconds * 1000.0) &&
         WaitForSingleObject(v.pi.hProcess, 0) != WAIT_OBJECT_0) {
    f.peakMB = std::max(f.peakMB, PrivateMB(v.pi.hProcess));
    if (!progress) progress = TopWindow(pid, "TPrintProgressDlg");
    if (progress) {
      const std::string texts = ChildTexts(progress);
      if (!texts.empty()) f.lastStatus = texts;
      if (!IsWindow(progress)) break;
    }
    Sleep(100);
  }
  f.sampledMs = Now() - start;
  if (progress && IsWindow(progress)) {
    // Cancel is clicked and answered before the page label is read again: it then names the
    // last page the viewer started, since none starts after Cancel.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0, SMTO_NORMAL, 10000,
                        &ignored);
    const std::string texts = ChildTexts(progress);
    if (!texts.empty()) f.lastStatus = texts;
  }
  Sleep(2000);
  End(v, window);
  return f;
}

// The document alone, in this process: index and search speed without the window.
struct CoreFigures {
  double indexMs = -1, indexBytesPerLine = -1, findAheadMs = -1, passCaseMs = -1, passNoCaseMs = -1;
};

CoreFigures RunCore(const std::string& log, long long bytes) {
  CoreFigures c;
  std::unique_ptr<vt9::logs::LogDocument> doc = vt9::win::OpenLogDocument(log);
  if (!doc) return c;
  std::atomic<bool> stop{false};
  double t = Now();
  doc->BuildIndex(stop);
  c.indexMs = Now() - t;
  if (doc->LineCount() > 0)
    c.indexBytesPerLine =
        static_cast<double>(doc->IndexMemoryBytes()) / static_cast<double>(doc->LineCount());
  const std::int64_t length = doc->Length();
  if (bytes > 11ll * 1024 * 1024) {
    t = Now();
    doc->Find(0, length, kMarker, true, false);
    c.findAheadMs = Now() - t;
  }
  t = Now();
  doc->Find(0, length, "no such text in the log", true, false);
  c.passCaseMs = Now() - t;
  t = Now();
  doc->Find(0, length, "No Such Text In The Log", false, false);
  c.passNoCaseMs = Now() - t;
  return c;
}

// The first and the last line of a log (without their line breaks).
std::pair<std::string, std::string> FirstAndLastLines(const std::string& log) {
  std::pair<std::string, std::string> lines;
  HANDLE f = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return lines;
  char buffer[512];
  DWORD got = 0;
  ReadFile(f, buffer, sizeof buffer, &got, nullptr);
  std::string head(buffer, got);
  lines.first = head.substr(0, head.find("\r\n"));
  LARGE_INTEGER size{}, at{};
  GetFileSizeEx(f, &size);
  at.QuadPart = std::max<LONGLONG>(0, size.QuadPart - static_cast<LONGLONG>(sizeof buffer));
  SetFilePointerEx(f, at, nullptr, FILE_BEGIN);
  ReadFile(f, buffer, sizeof buffer, &got, nullptr);
  std::string tail(buffer, got);
  while (tail.size() >= 2 && tail.compare(tail.size() - 2, 2, "\r\n") == 0) tail.resize(tail.size() - 2);
  const std::size_t lastBreak = tail.rfind("\r\n");
  lines.second = lastBreak == std::string::npos ? tail : tail.substr(lastBreak + 2);
  CloseHandle(f);
  return lines;
}

std::string Ms(double ms) {
  char s[32];
  if (ms < 0) return "-";
  std::snprintf(s, sizeof s, ms < 10 ? "%.1f ms" : "%.0f ms", ms);
  return s;
}

std::string Rate(long long bytes, double ms) {
  char s[32];
  if (ms <= 0) return "-";
  std::snprintf(s, sizeof s, "%.0f MB/s", static_cast<double>(bytes) / 1048576.0 / (ms / 1000.0));
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const std::string viewerPath = Folder() + "VT9Now.exe";
  if (argc >= 3 && std::string(argv[1]) == "print") {
    const int mb = std::atoi(argv[2]);
    const int seconds = argc >= 4 ? std::atoi(argv[3]) : 120;
    const std::string log = MakeLog(mb);
    if (seconds <= 0) {
      const auto lines = FirstAndLastLines(log);
      std::printf("first line: %s\nlast line: %s\n", lines.first.c_str(), lines.second.c_str());
    }
    const PrintFigures p = RunPrint(viewerPath, log, seconds);
    std::printf(
        "print %d MB log: private bytes idle %.1f MB, peak while printing %.1f MB (%.1f MB above "
        "idle), layout until the print dialog %s, pages going out for %s, last progress: %s\n",
        mb, p.idleMB, p.peakMB, p.peakMB - p.idleMB, Ms(p.layoutMs).c_str(),
        Ms(p.sampledMs).c_str(), p.lastStatus.c_str());
    DeleteFileA(log.c_str());
    return 0;
  }
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1, 100, 1024};
  const std::string viewer = Folder() + "VT9Now.exe";
  {
    // One start first, so every figure below is of a warm Wine.
    const std::string warm = MakeLog(0);
    Figures ignored = RunViewer(viewer, warm, 0);
    (void)ignored;
    DeleteFileA(warm.c_str());
  }
  std::printf("%-7s %9s %9s %10s %9s %9s %19s %19s %8s %8s %10s\n", "log", "1st paint", "indexed",
              "index", "private", "find 10M", "pass, case", "pass, any case", "PgDn", "type",
              "answer");
  for (int mb : sizes) {
    const std::string log = MakeLog(mb);
    if (log.empty()) {
      std::printf("%d MB: cannot write the log\n", mb);
      continue;
    }
    WIN32_FILE_ATTRIBUTE_DATA info{};
    GetFileAttributesExA(log.c_str(), GetFileExInfoStandard, &info);
    const long long bytes = static_cast<long long>(info.nFileSizeLow) |
                            (static_cast<long long>(info.nFileSizeHigh) << 32);
    const Figures f = RunViewer(viewer, log, bytes);
    const CoreFigures c = RunCore(log, bytes);
    std::printf("        window visible after %s\n", Ms(f.windowMs).c_str());
    std::printf("%-7s %9s %9s %10s %7.1f MB %9s %8s %10s %8s %10s %8s %8s %10s\n",
                (std::to_string(mb) + " MB").c_str(), Ms(f.firstScreen).c_str(),
                Ms(f.indexed).c_str(), Rate(bytes, f.indexed - f.windowMs).c_str(), f.privateMB,
                Ms(f.findAhead).c_str(), Ms(f.passCase).c_str(), Rate(bytes, f.passCase).c_str(),
                Ms(f.passNoCase).c_str(), Rate(bytes, f.passNoCase).c_str(), Ms(f.pgDn).c_str(),
                Ms(f.typed).c_str(), Ms(f.answerMax).c_str());
    std::printf(
        "        document alone: index %s (%s, %.2f bytes a line), find 10 MB ahead %s, "
        "pass %s (%s) case, %s (%s) any case\n",
        Ms(c.indexMs).c_str(), Rate(bytes, c.indexMs).c_str(), c.indexBytesPerLine,
        Ms(c.findAheadMs).c_str(), Ms(c.passCaseMs).c_str(), Rate(bytes, c.passCaseMs).c_str(),
        Ms(c.passNoCaseMs).c_str(), Rate(bytes, c.passNoCaseMs).c_str());
    DeleteFileA(log.c_str());
  }
  // WordPad on the 10 MB log, for comparison.
  const std::string wordpad = WordPadPath();
  if (!wordpad.empty()) {
    const std::string log = MakeLog(10);
    WIN32_FILE_ATTRIBUTE_DATA info{};
    GetFileAttributesExA(log.c_str(), GetFileExInfoStandard, &info);
    const double ms = WordPadOpen(wordpad, log, static_cast<long long>(info.nFileSizeLow));
    const std::string result = ms == -2 ? std::string("ended before the text was shown")
                               : ms < 0 ? std::string("text not shown within 180 s")
                                        : Ms(ms) + " until the whole text is in its control";
    std::printf("WordPad, 10 MB log: %s\n", result.c_str());
    DeleteFileA(log.c_str());
  }
  return 0;
}
