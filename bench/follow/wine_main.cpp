// bench_follow.exe: the log viewer following a log its writer (this program) appends to, under
// Wine. Makes a log of MB megabytes in the temp folder, holds it open for appending as a backup
// does, shows it with "VT9Now.exe \V", puts the caret at the end, then measures:
//   - a line appended: the time until the viewer shows it (line count grown and the last line
//     on screen), five times;
//   - a writer appending RATE MB/s for SECONDS: the slowest and 99th-percentile answer of the
//     window to a message sent every 20 ms, and how far behind its line count is when the
//     writer stops (the time until it caught up);
//   - the viewer's private bytes before and after following what was appended.
// Usage (from the build's bin folder): bench_follow.exe [MB=1024] [SECONDS=60] [RATE=20]
#include <windows.h>
// The process-status header builds on <windows.h>.
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "viewer/win/viewer_window.h"

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
  const std::string s = path;
  return s.substr(0, s.find_last_of('\\') + 1);
}

// Lines of 64 bytes, CR LF included.
std::string Lines(long long first, long long count) {
  std::string out;
  out.reserve(static_cast<std::size_t>(count) * 64);
  char line[96];
  for (long long i = first; i < first + count; ++i) {
    const int n = std::snprintf(line, sizeof line,
                                "2026/12/09 22:%02lld:%02lld  Copied D:\\Data\\f%021lld.dat\r\n",
                                i / 60 % 60, i % 60, i);
    out.append(line, static_cast<std::size_t>(n));
  }
  return out;
}

LRESULT Ask(HWND w, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, UINT ms = 60000) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(w, message, wParam, lParam, SMTO_NORMAL, ms, &result)) return -1;
  return static_cast<LRESULT>(result);
}

struct Query {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchTop(HWND w, LPARAM p) {
  auto* q = reinterpret_cast<Query*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == q->pid && IsWindowVisible(w) && GetDlgItem(w, vt9::win::viewer_id::memLog)) {
    q->found = w;
    return FALSE;
  }
  return TRUE;
}

double PrivateMB(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX mem{};
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof mem))
    return -1;
  return static_cast<double>(std::max(mem.PrivateUsage, mem.PagefileUsage)) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const long long mb = argc > 1 ? std::atoll(argv[1]) : 1024;
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
  const int rate = argc > 3 ? std::atoi(argv[3]) : 20;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "vt9-follow-bench.log";
  HANDLE log = CreateFileA(path.c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           CREATE_ALWAYS, 0, nullptr);
  if (log == INVALID_HANDLE_VALUE) return 1;
  long long next = 0;  // the number of the next line
  auto append = [&](const std::string& bytes) {
    DWORD out = 0;
    SetFilePointer(log, 0, nullptr, FILE_END);
    WriteFile(log, bytes.data(), static_cast<DWORD>(bytes.size()), &out, nullptr);
  };
  const long long total = mb * 1024 * 1024 / 64;
  for (long long done = 0; done < total;) {
    const long long n = std::min<long long>(total - done, 131072);
    append(Lines(next, n));
    next += n;
    done += n;
  }
  std::printf("log of %lld MB (%lld lines) written\n", mb, next);

  std::string cmd = "\"" + Folder() + "VT9Now.exe\" \\V \"" + path + "\" \"Follow bench\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return 2;
  CloseHandle(pi.hThread);
  Query q{pi.dwProcessId, nullptr};
  for (int i = 0; i < 600 && !q.found; ++i) {
    Sleep(100);
    EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&q));
  }
  if (!q.found) return 3;
  HWND window = q.found;
  HWND view = GetDlgItem(window, vt9::win::viewer_id::memLog);
  HWND progress = GetDlgItem(window, vt9::win::viewer_id::lblProgress);
  const double opened = Now();
  while (IsWindowVisible(progress) || Ask(view, EM_GETLINECOUNT) != next + 1) Sleep(50);
  std::printf("indexed after %.0f ms\n", Now() - opened);
  const double idleMB = PrivateMB(pi.hProcess);

  // The caret at the end (the last, empty line). Not through WM_GETTEXTLENGTH: from another
  // process Wine answers it by fetching the whole text.
  const LRESULT length = Ask(view, EM_LINEINDEX, static_cast<WPARAM>(next));
  Ask(view, EM_SETSEL, static_cast<WPARAM>(length), length);
  Ask(view, EM_SCROLLCARET);
  const long visible =
      static_cast<long>(next) + 1 - static_cast<long>(Ask(view, EM_GETFIRSTVISIBLELINE));
  std::vector<double> shown;
  for (int k = 0; k < 5; ++k) {
    Sleep(300 + 97 * k);  // at different points of the viewer's check interval
    append(Lines(next, 1));
    ++next;
    const double t = Now();
    for (;;) {
      const long lines = static_cast<long>(Ask(view, EM_GETLINECOUNT));
      const long first = static_cast<long>(Ask(view, EM_GETFIRSTVISIBLELINE));
      if (lines == next + 1 && first + visible > lines - 1) break;
      if (Now() - t > 10000) break;
      Sleep(2);
    }
    shown.push_back(Now() - t);
  }
  std::printf("a line appended to %lld MB, shown at the end after:", mb);
  for (double ms : shown) std::printf(" %.0f", ms);
  std::printf(" ms\n");

  // The writer at RATE MB/s, a megabyte every 1000/RATE ms; the window asked every 20 ms.
  std::atomic<bool> writing{true};
  const long long perChunk = 1024 * 1024 / 64;
  std::atomic<long long> written{next};
  std::thread writer([&] {
    const double start = Now();
    long long chunks = 0;
    while (Now() - start < seconds * 1000.0) {
      append(Lines(written, perChunk));
      written += perChunk;
      ++chunks;
      const double due = start + chunks * 1000.0 / rate;
      while (Now() < due) Sleep(1);
    }
    writing = false;
  });
  std::vector<double> answers;
  while (writing) {
    const double t = Now();
    Ask(window, WM_NULL, 0, 0, 10000);
    answers.push_back(Now() - t);
    Sleep(20);
  }
  writer.join();
  next = written;
  const double stopped = Now();
  const long behind = static_cast<long>(next + 1 - Ask(view, EM_GETLINECOUNT));
  while (Ask(view, EM_GETLINECOUNT) != next + 1 && Now() - stopped < 60000) Sleep(10);
  const double caughtUp = Now() - stopped;
  std::sort(answers.begin(), answers.end());
  std::printf(
      "writer at %d MB/s for %d s (%lld MB appended): window answered %zu asks, slowest %.1f ms, "
      "99th percentile %.1f ms, median %.1f ms; %ld lines behind when the writer stopped, caught "
      "up after %.0f ms\n",
      rate, seconds, static_cast<long long>(seconds) * rate, answers.size(), answers.back(),
      answers[answers.size() * 99 / 100], answers[answers.size() / 2], behind, caughtUp);
  const long first = static_cast<long>(Ask(view, EM_GETFIRSTVISIBLELINE));
  std::printf("last line on screen after following: %s\n",
              first + visible > static_cast<long>(next) ? "yes" : "no");
  std::printf(
      "viewer private bytes: %.1f MB with %lld MB indexed at opening, %.1f MB after "
      "following %lld MB more\n",
      idleMB, mb, PrivateMB(pi.hProcess), static_cast<long long>(seconds) * rate);
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  CloseHandle(log);
  DeleteFileA(path.c_str());
  return 0;
}
