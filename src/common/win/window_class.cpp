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

RECT CentredFormRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
  RECT r{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int left = work.left + ((work.right - work.left) - width) / 2;
  const int top = work.top + ((work.bottom - work.top) - height) / 2;
  return RECT{left, top, left + width, top + height};
}

}  // namespace vt9::win
