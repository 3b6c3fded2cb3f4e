#include "support/win/report_watcher.h"

#include <windows.h>

namespace vt9::test {
namespace {

BOOL CALLBACK MatchReport(HWND window, LPARAM param) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(window) || std::string(cls) != "#32770")
    return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

}  // namespace

ReportWatcher::ReportWatcher() : thread_([this] { Watch(); }) {}

ReportWatcher::~ReportWatcher() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::vector<std::string> ReportWatcher::Seen() {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

void ReportWatcher::Watch() {
  HWND last = nullptr;
  while (!stop_) {
    HWND box = nullptr;
    EnumWindows(MatchReport, reinterpret_cast<LPARAM>(&box));
    if (box && box != last) {
      char caption[256] = {};
      GetWindowTextA(box, caption, sizeof caption);
      // The message is the box's static text (id 0xFFFF).
      char message[1024] = {};
      GetDlgItemTextA(box, 0xFFFF, message, sizeof message);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back(std::string(caption) + "|" + message);
      }
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      last = box;
    }
    Sleep(30);
  }
}

}  // namespace vt9::test
