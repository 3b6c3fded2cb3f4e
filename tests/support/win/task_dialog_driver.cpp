#include "support/win/task_dialog_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <thread>

namespace vt9::test {

namespace {

DWORD g_dialogThread = 0;

std::string WithoutAmpersands(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), '&'), s.end());
  return s;
}

std::string ClassOf(HWND w) {
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  return cls;
}

struct DialogSearch {
  HWND except;
  HWND found = nullptr;
};
BOOL CALLBACK FindDialogProc(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<DialogSearch*>(p);
  const std::string cls = ClassOf(w);
  if (w != s->except && IsWindowVisible(w) && (cls == "#32770" || cls == "TTaskDialogForm")) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

struct ChildSearch {
  std::string wanted;
  bool byClass = false;
  HWND found = nullptr;
};
bool SameIgnoringCase(const std::string& a, const std::string& b);
BOOL CALLBACK FindChildProc(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<ChildSearch*>(p);
  char text[8192] = {};
  GetWindowTextA(w, text, sizeof text);
  const bool match =
      s->byClass ? SameIgnoringCase(ClassOf(w), s->wanted) : WithoutAmpersands(text) == s->wanted;
  if (!match) return TRUE;
  s->found = w;
  return FALSE;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

void UseOwnTaskDialogWindow(bool own) {
  SetEnvironmentVariableA("VT9_TASKDIALOG_OWN_WINDOW", own ? "1" : "0");
}

DWORD DialogThread() { return g_dialogThread; }

std::string TextOf(HWND window) {
  char text[8192] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HWND WaitForTaskDialog(DWORD thread, int timeoutMs, HWND except) {
  for (int waited = 0; waited <= timeoutMs; waited += 20) {
    DialogSearch s{except};
    EnumThreadWindows(thread, FindDialogProc, reinterpret_cast<LPARAM>(&s));
    if (s.found) {
      Sleep(150);  // let it finish painting and take the focus
      return s.found;
    }
    Sleep(20);
  }
  return nullptr;
}

HWND FindChildByText(HWND parent, const std::string& text) {
  ChildSearch s{WithoutAmpersands(text), false};
  EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindChildByClass(HWND parent, const std::string& cls) {
  ChildSearch s{cls, true};
  EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

void Click(HWND control) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &ignored);
}

void ClickText(HWND dialog, const std::string& text) {
  HWND control = FindChildByText(dialog, text);
  if (!control) {
    ADD_FAILURE() << "no control \"" << text << "\"";
    return;
  }
  Click(control);
}

void PostKey(WORD vk) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(g_dialogThread, &info);
  HWND target = info.hwndFocus ? info.hwndFocus : info.hwndActive;
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16;
  PostMessageA(target, WM_KEYDOWN, vk, scan | 1);
  PostMessageA(target, WM_KEYUP, vk, scan | 1 | (LPARAM{3} << 30));
}

bool StillOpenAfter(HWND window, int ms) {
  Sleep(static_cast<DWORD>(ms));
  return IsWindow(window) && IsWindowVisible(window);
}

int RunDialog(win::TTaskDialog& d, const std::function<void(HWND dialog)>& script, HWND owner,
              int closeTimeoutMs) {
  g_dialogThread = GetCurrentThreadId();
  std::atomic<bool> returned{false};
  std::thread actor([&] {
    HWND dialog = WaitForTaskDialog(g_dialogThread);
    if (!dialog) {
      ADD_FAILURE() << "no task dialog appeared";
      PostThreadMessageA(g_dialogThread, WM_QUIT, 0, 0);
      return;
    }
    script(dialog);
    for (int waited = 0; waited < closeTimeoutMs && !returned; waited += 20) Sleep(20);
    if (!returned) {
      ADD_FAILURE() << "the script left the dialog open";
      PostThreadMessageA(g_dialogThread, WM_QUIT, 0, 0);
    }
  });
  const int result = d.Execute(owner);
  returned = true;
  actor.join();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message != WM_QUIT) DispatchMessageA(&msg);
  }
  return result;
}

}  // namespace vt9::test
