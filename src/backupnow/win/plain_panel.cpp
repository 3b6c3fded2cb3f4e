#include "backupnow/win/plain_panel.h"

#include "common/win/window_class.h"

namespace vt9::win {
namespace {

constexpr int kBackgroundSlot = 0;
constexpr int kBorderSlot = sizeof(LONG_PTR);

LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (HWND parent = GetParent(hwnd)) return SendMessageA(parent, message, wParam, lParam);
      break;
    case WM_ERASEBKGND:
      return 1;  // painted whole in WM_PAINT, so nothing flickers
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      const auto background = static_cast<COLORREF>(GetWindowLongPtrA(hwnd, kBackgroundSlot));
      const auto border = static_cast<COLORREF>(GetWindowLongPtrA(hwnd, kBorderSlot));
      HBRUSH fill = CreateSolidBrush(background);
      FillRect(dc, &client, fill);
      DeleteObject(fill);
      if (border != kNoBorder) {
        HBRUSH line = CreateSolidBrush(border);
        FrameRect(dc, &client, line);
        DeleteObject(line);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterPanelClass() {
  static const bool registered =
      RegisterWindowClass(kPlainPanelClass, &PanelProc, {.extraBytes = 2 * sizeof(LONG_PTR)});
  (void)registered;
}

}  // namespace

HWND CreatePlainPanel(HWND parent, int id, const RECT& rect, COLORREF background, COLORREF border) {
  RegisterPanelClass();
  HWND panel = CreateWindowExA(WS_EX_CONTROLPARENT, kPlainPanelClass, "",
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect.left,
                               rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
  if (panel) {
    SetWindowLongPtrA(panel, kBackgroundSlot, static_cast<LONG_PTR>(background));
    SetWindowLongPtrA(panel, kBorderSlot, static_cast<LONG_PTR>(border));
  }
  return panel;
}

}  // namespace vt9::win
