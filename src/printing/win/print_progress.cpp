#include "printing/win/print_progress.h"

#include <commctrl.h>

#include "common/win/window_class.h"

namespace vt9::win {

namespace {

constexpr char kClassName[] = "TPrintProgressDlg";
constexpr int kCancelId = IDCANCEL;

struct Control {
  const char* name;
  const char* className;
  const char* caption;
  DWORD style;
  RECT bounds;  // left, top, width, height at 96 dpi
};

// The form at 96 pixels per inch.
constexpr int kClientWidth = 293, kClientHeight = 133, kClientHeightNoCancel = 98;
constexpr RECT kBevel{8, 8, 277, 57};  // the framed bevel, drawn by the form itself
constexpr Control kStatus{"lblStatus", "STATIC", "", SS_CENTER | SS_NOPREFIX, {20, 20, 249, 13}};
constexpr Control kPageNumber{
    "lblPageNumber", "STATIC", "", SS_CENTER | SS_NOPREFIX, {20, 40, 253, 13}};
constexpr Control kProgBar{"ProgBar", PROGRESS_CLASSA, "", 0, {8, 76, 277, 13}};
constexpr Control kCancel{
    "btnCancel", "BUTTON", "&Cancel", BS_DEFPUSHBUTTON | WS_TABSTOP, {109, 100, 75, 25}};

int Scale(int v, int ppi) { return MulDiv(v, ppi, 96); }

}  // namespace

TPrintProgressDlg::TPrintProgressDlg(bool showCancel, std::function<void()> onCancel)
    : onCancel_(std::move(onCancel)) {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&icc);
  WindowClassOptions options;
  options.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  RegisterWindowClass(kClassName, WindowProc, options);
  HDC screen = GetDC(nullptr);
  const int ppi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  const DWORD style = WS_POPUP | WS_CAPTION | WS_DLGFRAME;
  const DWORD exStyle = WS_EX_DLGMODALFRAME;
  RECT frame{0, 0, Scale(kClientWidth, ppi),
             showCancel ? Scale(kClientHeight, ppi) : ppi * kClientHeightNoCancel / 96};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + (work.right - work.left - w) / 2;
  const int y = work.top + (work.bottom - work.top - h) / 2;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  CreateWindowExA(exStyle, kClassName, "Print Progress", style, x, y, w, h, nullptr, nullptr,
                  instance, this);
  if (!hwnd_) return;

  font_ = CreateFontA(-Scale(11, ppi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  auto create = [&](const Control& c, int id) {
    HWND child = CreateWindowExA(
        0, c.className, c.caption, WS_CHILD | WS_VISIBLE | c.style, Scale(c.bounds.left, ppi),
        Scale(c.bounds.top, ppi), Scale(c.bounds.right, ppi), Scale(c.bounds.bottom, ppi), hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return child;
  };
  bevel_ = RECT{Scale(kBevel.left, ppi), Scale(kBevel.top, ppi),
                Scale(kBevel.left + kBevel.right, ppi), Scale(kBevel.top + kBevel.bottom, ppi)};
  lblStatus_ = create(kStatus, -1);
  lblPageNumber_ = create(kPageNumber, -1);
  progBar_ = create(kProgBar, -1);
  SendMessageA(progBar_, PBM_SETRANGE32, 0, 10);
  SendMessageA(progBar_, PBM_SETSTEP, 1, 0);
  btnCancel_ = create(kCancel, kCancelId);
  if (!showCancel) {
    EnableWindow(btnCancel_, FALSE);
    ShowWindow(btnCancel_, SW_HIDE);
  }
}

TPrintProgressDlg::~TPrintProgressDlg() {
  if (hwnd_) {
    if (IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_HIDE);
    DestroyWindow(hwnd_);
  }
  if (font_) DeleteObject(font_);
}

void TPrintProgressDlg::SetCaption(const std::string& caption) {
  if (hwnd_) SetWindowTextA(hwnd_, caption.c_str());
}
void TPrintProgressDlg::SetStatus(const std::string& text) {
  SetWindowTextA(lblStatus_, text.c_str());
}
void TPrintProgressDlg::SetPageText(const std::string& text) {
  SetWindowTextA(lblPageNumber_, text.c_str());
}

void TPrintProgressDlg::Step(unsigned long long maximum) {
  const LPARAM top = static_cast<LPARAM>(maximum > 0x7FFFFFFF ? 0x7FFFFFFF : maximum);
  if (SendMessageA(progBar_, PBM_GETRANGE, FALSE, 0) != top)
    SendMessageA(progBar_, PBM_SETRANGE32, 0, top);
  SendMessageA(progBar_, PBM_STEPIT, 0, 0);
}

void TPrintProgressDlg::ShowAndRepaint() {
  if (!hwnd_) return;
  if (!IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOWNORMAL);
  RedrawWindow(hwnd_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TPrintProgressDlg::btnCancelClick() {
  if (onCancel_) onCancel_();
}

LRESULT TPrintProgressDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Enter and Esc arrive as IDOK / IDCANCEL through IsDialogMessage; both press Cancel.
      if ((LOWORD(wParam) == kCancelId || LOWORD(wParam) == IDOK) && IsWindowEnabled(btnCancel_)) {
        btnCancelClick();
        return 0;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT bevel = bevel_;
      DrawEdge(dc, &bevel, EDGE_ETCHED, BF_RECT);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_CLOSE:
      return 0;  // only the page printer closes it
    case WM_DESTROY:
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace vt9::win
