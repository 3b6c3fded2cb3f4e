#include "support/win/widget_host.h"

#include <algorithm>

#include "support/win/paths.h"

namespace vt9::test {
namespace {

constexpr char kHostClass[] = "VT9WidgetTestHost";

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* host = reinterpret_cast<WidgetHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == WM_COMMAND && host) {
    host->commands.push_back({LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)});
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void Send(INPUT input) { SendInput(1, &input, sizeof(input)); }

}  // namespace

WidgetHost::WidgetHost() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kHostClass;
  RegisterClassExA(&wc);
  RECT frame{0, 0, 400, 300};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  hwnd_ = CreateWindowExA(WS_EX_CONTROLPARENT, kHostClass, "Widget test host", style, 100, 100,
                          frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  UpdateWindow(hwnd_);
  Pump(100, hwnd_);
}

WidgetHost::~WidgetHost() {
  if (IsWindow(hwnd_)) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  Pump(20);
}

int WidgetHost::CountCommands(int id, int code) const {
  return static_cast<int>(std::count_if(commands.begin(), commands.end(), [&](const Command& c) {
    return c.id == id && c.code == code;
  }));
}

void Pump(int ms, HWND dialog) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(5);
  } while (static_cast<long>(GetTickCount() - end) < 0);
}

void MouseMoveTo(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx =
      (screen.x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy =
      (screen.y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send(in);
}

void MouseDown() {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  Send(in);
}

void MouseUp() {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  Send(in);
}

void ClickAt(POINT screen) {
  MouseMoveTo(screen);
  Pump(30);
  MouseDown();
  Pump(30);
  MouseUp();
  Pump(60);
}

void KeyDown(WORD vk) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  Send(in);
}

void KeyUp(WORD vk) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = KEYEVENTF_KEYUP;
  Send(in);
}

void PressKey(WORD vk, bool alt) {
  if (alt) KeyDown(VK_MENU);
  KeyDown(vk);
  KeyUp(vk);
  if (alt) KeyUp(VK_MENU);
}

POINT ClientToScreenPoint(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return p;
}

void SaveScreenshot(const std::string& name) {
  const std::string target = ArtifactFolder() + name + ".png";
  DeleteFileA(target.c_str());
  // Wine starts host programs through CreateProcess; drive Z: is the Unix root.
  std::string unixPath = target.size() > 2 && target[1] == ':' ? target.substr(2) : target;
  std::replace(unixPath.begin(), unixPath.end(), '\\', '/');
  std::string cmd = "Z:\\usr\\bin\\import -window root " + unixPath;
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return;
  }
  CloseHandle(pi.hThread);
  // Wine cannot wait on a host process: wait until the picture is written completely (its
  // size stays the same for a moment), so the windows are still up while it is taken.
  DWORD lastSize = 0;
  for (int i = 0; i < 150; ++i) {
    Pump(100);
    WIN32_FILE_ATTRIBUTE_DATA info{};
    const DWORD size =
        GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &info) ? info.nFileSizeLow : 0;
    if (size > 0 && size == lastSize) break;
    lastSize = size;
  }
  CloseHandle(pi.hProcess);
}

}  // namespace vt9::test
