#include "viewer/win/find_dialog.h"

#include "common/win/error_report.h"
#include "common/win/window_class.h"
#include "common/win/window_text.h"
#include "viewer/find_request.h"
#include "viewer/viewer_rules.h"
#include "widgets/win/control_support.h"
#include "widgets/win/markup_check_box.h"

namespace vt9::win {
namespace {

constexpr int kClientWidth96 = 348;
constexpr int kClientHeight96 = 92;
constexpr int kFontHeight96 = -12;
constexpr COLORREF kFlatBorderColor = 0x996633;  // 10053171
// A dialog frame without a system menu: no border icons at all.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;

struct ControlSpec {
  int id;
  const char* cls;  // nullptr: markup check box
  const char* caption;
  DWORD style;
  int left, top, width, height;
};

// In tab order.
constexpr ControlSpec kControls[] = {
    {find_id::Label1, "STATIC", "Find What: ", SS_LEFT | SS_NOPREFIX, 10, 14, 64, 16},
    {find_id::txtFindWhat, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, 79, 11, 170, 18},
    {find_id::chkWhole, nullptr, "Whole Words Only", 0, 78, 40, 170, 18},
    {find_id::chkCase, nullptr, "Match Case", 0, 78, 62, 170, 18},
    {find_id::btnOK, "BUTTON", "Next", WS_TABSTOP | BS_DEFPUSHBUTTON, 262, 8, 75, 25},
    {find_id::btnCancel, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 262, 40, 75, 25},
};

}  // namespace

TfFind::~TfFind() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool TfFind::Create(HWND owner) {
  static const bool registered = RegisterWindowClass(kFindWindowClass, &TfFind::WindowProc);
  if (!registered) return false;
  dpi_ = WindowDpi(nullptr);  // the screen's, before the window exists
  RECT r{0, 0, Scale(kClientWidth96), Scale(kClientHeight96)};
  AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
  brush_.Reset(CreateSolidBrush(color_));
  hwnd_ = CreateWindowExA(kExStyle, kFindWindowClass, "Find...", kStyle, kFindDesignedPosition.left,
                          kFindDesignedPosition.top, r.right - r.left, r.bottom - r.top, owner,
                          nullptr, GetModuleHandleA(nullptr), this);
  if (!hwnd_) return false;
  CreateControls();
  return true;
}

void TfFind::CreateControls() {
  font_.Reset(CreateFontA(Scale(kFontHeight96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_SWISS, "Arial"));
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  for (const ControlSpec& c : kControls) {
    const RECT rect{Scale(c.left), Scale(c.top), Scale(c.left + c.width), Scale(c.top + c.height)};
    HWND control = nullptr;
    if (c.cls) {
      control = CreateWindowExA(0, c.cls, c.caption, WS_CHILD | WS_VISIBLE | c.style, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                GetModuleHandleA(nullptr), nullptr);
    } else {
      control = CreateMarkupCheckBox(hwnd_, c.id, rect, c.caption);
      if (control) {
        MarkupCheckBoxStyle style = GetMarkupCheckBoxStyle(control);
        style.buttonType = CheckButtonType::WinXP;
        SetMarkupCheckBoxStyle(control, style);
      }
    }
    if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  }
}

void TfFind::SetColor(COLORREF color) {
  color_ = color;
  brush_.Reset(CreateSolidBrush(color_));
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TfFind::Show() {
  RunHandler([this] { FormShow(); });
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(Control(find_id::txtFindWhat));
}

void TfFind::Hide() { ShowWindow(hwnd_, SW_HIDE); }

void TfFind::FormShow() {
  if (FPlaced) return;
  FPlaced = true;
  RECT r{};
  GetWindowRect(hwnd_, &r);
  const ScreenPoint at = PlaceFindDialog(r.bottom - r.top, FAnchorLeft, FAnchorTop);
  SetWindowPos(hwnd_, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TfFind::PreTranslate(MSG& msg) {
  if (!hwnd_ || !IsWindowVisible(hwnd_) || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)))
    return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
    // Swallowed before it becomes a character: no line break and no beep.
    RunHandler([this] { btnOKClick(); });
    return true;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
    RunHandler([this] { btnCancelClick(); });
    return true;
  }
  return IsDialogMessageA(hwnd_, &msg) != FALSE;
}

LRESULT TfFind::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == find_id::btnOK || LOWORD(wParam) == IDOK)
          RunHandler([this] { btnOKClick(); });
        else if (LOWORD(wParam) == find_id::btnCancel || LOWORD(wParam) == IDCANCEL)
          RunHandler([this] { btnCancelClick(); });
      }
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(find_id::btnOK, DC_HASDEFID);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, color_);
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(brush_.get());
    }
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd_, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, static_cast<HBRUSH>(brush_.get()));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      PaintEditFrame(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_CLOSE:
      RunHandler([this] { btnCancelClick(); });
      return 0;
    default:
      return DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

// The flat edit: a borderless edit framed by one line in the border colour.
void TfFind::PaintEditFrame(HDC dc) {
  HWND edit = Control(find_id::txtFindWhat);
  if (!edit) return;
  RECT r;
  GetWindowRect(edit, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  InflateRect(&r, 2, 2);
  GdiObject frame(CreateSolidBrush(kFlatBorderColor));
  FrameRect(dc, &r, static_cast<HBRUSH>(frame.get()));
}

void TfFind::btnOKClick() {
  HWND next = Control(find_id::btnOK);
  // Disabled with the viewer: a request now would run inside another dialog or the page loop.
  if (!IsWindowEnabled(hwnd_) || !IsWindowEnabled(next)) return;
  const bool hadFocus = GetFocus() == next;
  EnableWindow(next, FALSE);
  const FindRequest request = MakeFindNext(WindowText(Control(find_id::txtFindWhat)),
                                           IsMarkupCheckBoxChecked(Control(find_id::chkCase)),
                                           IsMarkupCheckBoxChecked(Control(find_id::chkWhole)));
  FindRequestBytes bytes = EncodeFindRequest(request);
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(bytes.size());
  data.lpData = bytes.data();
  const LRESULT answer = SendMessageA(FTargetWnd, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd_),
                                      reinterpret_cast<LPARAM>(&data));
  if (answer == 0) {
    EnableWindow(next, TRUE);
    if (hadFocus && IsWindowVisible(hwnd_)) SetFocus(next);
  }
}

void TfFind::btnCancelClick() { Hide(); }

}  // namespace vt9::win
