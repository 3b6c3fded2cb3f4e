#include "viewer/win/wait_cursor.h"

#include <commctrl.h>

namespace vt9::win {

namespace {

constexpr UINT_PTR kSubclassId = 0x5761;  // "Wa"

HCURSOR Hourglass() { return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)); }

LRESULT CALLBACK ShowHourglass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR) {
  if (message == WM_SETCURSOR) {
    SetCursor(Hourglass());
    return TRUE;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

BOOL CALLBACK AddChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

}  // namespace

WaitCursor::WaitCursor(HWND window) {
  if (window && IsWindow(window)) {
    windows_.push_back(window);
    EnumChildWindows(window, AddChild, reinterpret_cast<LPARAM>(&windows_));
  }
  for (HWND w : windows_) SetWindowSubclass(w, ShowHourglass, kSubclassId, 0);
  previous_ = SetCursor(Hourglass());
}

WaitCursor::~WaitCursor() {
  for (HWND w : windows_)
    if (IsWindow(w)) RemoveWindowSubclass(w, ShowHourglass, kSubclassId);
  SetCursor(previous_ ? previous_ : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

}  // namespace vt9::win
