#include "common/win/window_class.h"

namespace vt9::win {

bool RegisterWindowClass(const char* name, WNDPROC proc, const WindowClassOptions& options) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = options.style;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = options.extraBytes;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = options.icon;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = options.background;
  wc.lpszClassName = name;
  return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool RegisterFormClass(const char* name, WNDPROC proc) {
  return RegisterWindowClass(name, proc,
                             {.icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)),
                              .background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))});
}

}  // namespace vt9::win
