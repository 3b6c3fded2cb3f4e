// Long work in the viewer (a find through a large log, saving it, waiting for its index): run
// off the window's thread while the window keeps painting and moving, its progress in the button
// bar, Esc to cancel, and the viewer's commands refused until it ends.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>
#include <string>
#include <thread>

#include "viewer/win/log_view.h"
#include "viewer/win/viewer_form.h"
#include "viewer/win/viewer_window.h"

namespace vt9::win {
namespace {

namespace id = viewer_id;

// Input the viewer does not take while long work runs: keys (Esc cancels instead) and mouse
// clicks inside its windows. The title bar's clicks still move the window, and a close from
// it or from another program is held and cancels the work.
bool RefusedInput(const MSG& msg) {
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_DEADCHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

// The window's messages for up to 100 ms: Esc cancels, a WM_QUIT is kept to be posted again
// once the work has ended.
struct Quit {
  bool seen = false;
  WPARAM code = 0;
};
void Pump(std::atomic<bool>& cancel, Quit& quit) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit.seen = true;
      quit.code = msg.wParam;
      cancel = true;
      continue;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) cancel = true;
    if (RefusedInput(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

TfViewer::LongWorkEnd TfViewer::RunLongWork(const wchar_t* what, const LongWork& work) {
  std::atomic<bool> cancel{false};
  std::atomic<bool> done{false};
  std::atomic<int> percent{0};
  bool ok = true;
  const HWND self = hwnd_;
  longWork_ = true;
  std::thread worker([&] {
    // The window's thread comes first when both want the processor.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    try {
      ok = work(cancel, percent);
    } catch (const std::exception&) {
      ok = false;  // an allocation failure ends the work, not the program
    }
    done = true;
    PostMessageA(self, WM_NULL, 0, 0);  // wakes the loop below
  });

  HWND label = Control(id::lblProgress);
  int shown = -1;
  Quit quit;
  while (!done) {
    Pump(cancel, quit);
    // A close waits for the work: it ends it sooner.
    if (closePending_) cancel = true;
    const int now = std::clamp(percent.load(), 0, 99);
    if (now != shown && label) {
      shown = now;
      const std::wstring text = std::wstring(what) + L"\u2026 " + std::to_wstring(now) + L" %";
      SetWindowTextW(label, text.c_str());
      ShowWindow(label, SW_SHOWNA);
    }
  }
  worker.join();
  longWork_ = false;
  if (label) ShowWindow(label, SW_HIDE);
  if (quit.seen) PostQuitMessage(static_cast<int>(quit.code));
  if (cancel) return LongWorkEnd::Cancelled;
  return ok ? LongWorkEnd::Done : LongWorkEnd::Failed;
}

bool TfViewer::WaitForIndexAnswering() {
  if (LogViewProgress(memLog) >= 100) {
    LogViewWaitForIndex(memLog);
    return true;
  }
  // The index's own progress shows in the button bar meanwhile ("Reading the log…").
  std::atomic<bool> cancel{false};
  Quit quit;
  longWork_ = true;
  while (LogViewProgress(memLog) < 100 && !cancel) {
    Pump(cancel, quit);
    if (closePending_) cancel = true;
  }
  longWork_ = false;
  if (quit.seen) PostQuitMessage(static_cast<int>(quit.code));
  if (cancel) return false;
  LogViewWaitForIndex(memLog);
  return true;
}

}  // namespace vt9::win
