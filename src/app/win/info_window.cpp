#include "app/win/info_window.h"

#include <array>
#include <string>

#include "app/dep_text.h"
#include "common/win/error_report.h"
#include "common/win/window_base.h"
#include "common/win/window_class.h"
#include "widgets/widget_geometry.h"
#include "widgets/win/control_support.h"
#include "widgets/win/markup_panel.h"

namespace vt9::win {
namespace {

// Layout at 96 dpi.
constexpr int kClientWidth = 465;
constexpr int kClientHeight = 297;
constexpr RECT kCloseButton = {385, 265, 385 + 70, 265 + 23};
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

class TfVT9Info : public WindowBase<TfVT9Info> {
 public:
  explicit TfVT9Info(HWND hwnd) : WindowBase(hwnd) {}
  ~TfVT9Info() {
    DeleteObject(formFont_);
    DeleteObject(panelFont_);
  }

  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  void FormCreate();
  void SetDEPMode(bool depMode) {
    depMode_ = depMode;
    if (!depMode) return;
    SetMarkupPanelText(pnlMsg_, DepInformationMarkup());
    SetMarkupPanelColor(pnlMsg_, kDepPanelColor);
  }

 private:
  void btnCloseClick() { DestroyWindow(hwnd_); }
  HFONT MakeFont(const char* face, int height96) const {
    return CreateFontA(ScaleFrom96(height96, dpi_), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
  }

  HWND pnlMsg_ = nullptr;
  HWND btnClose_ = nullptr;
  HFONT formFont_ = nullptr;
  HFONT panelFont_ = nullptr;
  int dpi_ = 96;
  bool depMode_ = false;
};

TfVT9Info* FromWindow(HWND hwnd) { return TfVT9Info::FromWindow(hwnd); }

void TfVT9Info::FormCreate() {
  dpi_ = WindowDpi(hwnd_);
  formFont_ = MakeFont("Arial", -12);
  panelFont_ = MakeFont("Tahoma", -11);
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_), FALSE);

  RECT client;
  GetClientRect(hwnd_, &client);
  pnlMsg_ = CreateMarkupPanel(hwnd_, kInfoPanelId, client);
  MarkupPanelStyle style = GetMarkupPanelStyle(pnlMsg_);
  style.bevelOuter = PanelBevel::None;
  style.bevelInner = PanelBevel::None;
  style.color = kInfoCreationColor;
  SetMarkupPanelStyle(pnlMsg_, style);
  SendMessageA(pnlMsg_, WM_SETFONT, reinterpret_cast<WPARAM>(panelFont_), FALSE);
  SetMarkupPanelText(pnlMsg_, CreationInformationMarkup());

  const auto s = [this](int v) { return ScaleFrom96(v, dpi_); };
  // The cancel button: Esc presses it through the dialog manager (IDCANCEL).
  btnClose_ = CreateWindowExA(
      0, "BUTTON", "&Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
      s(kCloseButton.left), s(kCloseButton.top), s(kCloseButton.right - kCloseButton.left),
      s(kCloseButton.bottom - kCloseButton.top), pnlMsg_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(btnClose_, WM_SETFONT, reinterpret_cast<WPARAM>(panelFont_), FALSE);
  SetFocus(btnClose_);
}

LRESULT TfVT9Info::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL &&
          (HIWORD(wp) == BN_CLICKED || lp == 0 || reinterpret_cast<HWND>(lp) == btnClose_)) {
        RunHandler([&] { btnCloseClick(); });
        return 0;
      }
      break;
    case WM_ACTIVATE:
      // Give the focus back to the button after the window was deactivated.
      if (LOWORD(wp) != WA_INACTIVE && btnClose_) SetFocus(btnClose_);
      return 0;
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hwnd_, &rc);
      FillRect(reinterpret_cast<HDC>(wp), &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      return 1;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

bool RegisterInfoWindow() {
  static const bool registered = [] {
    HICON icon = LoadIcon(GetModuleHandleA(nullptr), MAKEINTRESOURCE(1));
    if (!icon) icon = LoadIcon(nullptr, IDI_APPLICATION);
    return RegisterWindowClass(kInfoWindowClass, TfVT9Info::WindowProc, {.icon = icon});
  }();
  return registered;
}

}  // namespace

HWND CreateInformationWindow() {
  if (!RegisterInfoWindow()) return nullptr;
  const int dpi = WindowDpi(nullptr);
  RECT frame{0, 0, ScaleFrom96(kClientWidth, dpi), ScaleFrom96(kClientHeight, dpi)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // Centred on the screen's work area.
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + (work.right - work.left - width) / 2;
  const int y = work.top + (work.bottom - work.top - height) / 2;
  HWND hwnd = CreateWindowExA(0, kInfoWindowClass, kInfoWindowCaption, kStyle, x, y, width, height,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return nullptr;
  if (TfVT9Info* form = FromWindow(hwnd)) {
    RunHandler([&] { form->FormCreate(); });
  }
  return hwnd;
}

void SetDEPMode(HWND window, bool depMode) {
  if (TfVT9Info* form = FromWindow(window)) {
    RunHandler([&] { form->SetDEPMode(depMode); });
  }
}

int RunInformationWindow() {
  HWND hwnd = CreateInformationWindow();
  if (!hwnd) return 0;
  SetDEPMode(hwnd, true);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(hwnd, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace vt9::win
