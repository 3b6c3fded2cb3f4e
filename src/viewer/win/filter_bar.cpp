// The filter bar's window: its controls, their layout, the settled typing and the status.
#include "viewer/win/filter_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "common/win/handles.h"
#include "common/win/window_base.h"
#include "common/win/window_class.h"

namespace vt9::win {
namespace {

namespace id = filter_bar_id;

constexpr UINT_PTR kSettleTimer = 1;
constexpr UINT_PTR kTickTimer = 2;
constexpr UINT kSettleMs = 40;
constexpr UINT kPostMessage = WM_APP + 0x41;
constexpr int kRowHeight96 = 23;
constexpr int kGap96 = 5;

class FilterBar : public WindowBase<FilterBar> {
 public:
  explicit FilterBar(HWND hwnd) : WindowBase(hwnd) {}

  FilterBarState Read() const {
    FilterBarState state;
    HWND edit = Control(id::edtTerms);
    const int length = GetWindowTextLengthA(edit);
    state.terms.assign(static_cast<std::size_t>(length) + 1, '\0');
    state.terms.resize(static_cast<std::size_t>(
        std::max(0, GetWindowTextA(edit, state.terms.data(), length + 1))));
    state.matchCase = Checked(id::chkMatchCase);
    state.wholeWord = Checked(id::chkWholeWords);
    state.regex = Checked(id::chkRegex);
    state.hideOthers = Checked(id::chkHide);
    return state;
  }
  void Write(const FilterBarState& state) {
    quiet_ = true;
    SetWindowTextA(Control(id::edtTerms), state.terms.c_str());
    SendMessageA(Control(id::edtTerms), EM_SETSEL, state.terms.size(), state.terms.size());
    Check(id::chkMatchCase, state.matchCase);
    Check(id::chkWholeWords, state.wholeWord);
    Check(id::chkRegex, state.regex);
    Check(id::chkHide, state.hideOthers);
    KillTimer(hwnd_, kSettleTimer);
    quiet_ = false;
  }
  void SetStatus(const std::string& text, bool error) {
    if (error != errorShown_) {
      errorShown_ = error;
      LayOut();
    }
    SetWindowTextA(Control(id::lblStatus), text.c_str());
    InvalidateRect(Control(id::lblStatus), nullptr, TRUE);
  }
  void SetPostHandler(std::function<void(WPARAM)> handler) { postHandler_ = std::move(handler); }

 private:
  friend class WindowBase<FilterBar>;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HWND Control(int controlId) const { return GetDlgItem(hwnd_, controlId); }
  bool Checked(int controlId) const {
    return SendMessageA(Control(controlId), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void Check(int controlId, bool on) {
    SendMessageA(Control(controlId), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void Notify(WORD code) {
    SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), code),
                 reinterpret_cast<LPARAM>(hwnd_));
  }
  int Scale(int v) const { return MulDiv(v, dpi_, 96); }
  void CreateControls();
  void LayOut();
  int TextWidth(HWND control) const;
  int TextWidth(const char* text) const;

  int dpi_ = 96;
  bool quiet_ = false;
  bool errorShown_ = false;
  int countWidth_ = 0;  // of "99,999,999 of 99,999,999 lines"
  HFONT font_ = nullptr;
  std::function<void(WPARAM)> postHandler_;
};

void FilterBar::CreateControls() {
  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  auto make = [&](DWORD exStyle, const char* cls, const char* text, DWORD style, int controlId) {
    return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance,
                           nullptr);
  };
  // The label comes right before the box: screen readers take it as the box's name.
  make(0, WC_STATICA, "Show only &lines with:", SS_LEFT | SS_CENTERIMAGE, id::lblTerms);
  make(WS_EX_CLIENTEDGE, WC_EDITA, "", WS_TABSTOP | ES_AUTOHSCROLL, id::edtTerms);
  make(0, WC_BUTTONA, "Close filter", WS_TABSTOP | BS_PUSHBUTTON, id::btnClose);
  make(0, WC_BUTTONA, "Match &case", WS_TABSTOP | BS_AUTOCHECKBOX, id::chkMatchCase);
  make(0, WC_BUTTONA, "&Whole words", WS_TABSTOP | BS_AUTOCHECKBOX, id::chkWholeWords);
  make(0, WC_BUTTONA, "Regular e&xpression", WS_TABSTOP | BS_AUTOCHECKBOX, id::chkRegex);
  make(0, WC_BUTTONA, "&Hide the other lines", WS_TABSTOP | BS_AUTOCHECKBOX, id::chkHide);
  make(0, WC_STATICA, "", SS_RIGHT | SS_NOPREFIX | SS_CENTERIMAGE, id::lblStatus);
}

int FilterBar::TextWidth(HWND control) const {
  char text[128] = {};
  GetWindowTextA(control, text, sizeof text);
  return TextWidth(text);
}

int FilterBar::TextWidth(const char* text) const {
  const int length = lstrlenA(text);
  HWND control = hwnd_;
  HDC dc = GetDC(control);
  HGDIOBJ old =
      SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  GetTextExtentPoint32A(dc, text, length, &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

void FilterBar::LayOut() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int gap = Scale(kGap96), row = Scale(kRowHeight96);
  const int box = GetSystemMetrics(SM_CXMENUCHECK) + Scale(6);
  auto place = [&](int controlId, int x, int y, int w) {
    SetWindowPos(Control(controlId), nullptr, x, y, std::max(0, w), row,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  };
  // First row: label, terms, and the status, wide enough for a count of a huge log, wider for
  // a message about the expression. Second row: the options, and the close button at the right
  // when it fits there (else at the end of the first row).
  const int y1 = gap / 2 + 1, y2 = y1 + row + gap / 2;
  int x = gap;
  for (int controlId : {id::chkMatchCase, id::chkWholeWords, id::chkRegex, id::chkHide}) {
    const int w = box + TextWidth(Control(controlId));
    place(controlId, x, y2, w);
    x += w + gap;
  }
  const int close = TextWidth(Control(id::btnClose)) + 3 * gap;
  const bool closeBelow = x + close + gap <= client.right;
  const int right = static_cast<int>(client.right) - (closeBelow ? 0 : close + gap);
  place(id::btnClose, client.right - gap - close, closeBelow ? y2 : y1, close);
  const int label = TextWidth(Control(id::lblTerms)) + gap;
  const int rest = std::max(0, right - label - 3 * gap);
  const int status = std::min(rest / 2, std::max(countWidth_, errorShown_ ? rest / 2 : 0));
  place(id::lblTerms, gap, y1, label);
  place(id::edtTerms, gap + label, y1, rest - status);
  place(id::lblStatus, right - gap - status, y1, status);
}

LRESULT FilterBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageA(child, WM_SETFONT, wParam, FALSE);
      countWidth_ = TextWidth("99,999,999 of 99,999,999 lines") + MulDiv(4, dpi_, 96);
      LayOut();
      return 0;
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_COMMAND: {
      const int controlId = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (controlId == id::edtTerms && code == EN_CHANGE && !quiet_) {
        // Typing goes on: the filter starts once the keys settle.
        SetTimer(hwnd_, kSettleTimer, kSettleMs, nullptr);
      } else if (code == BN_CLICKED) {
        if (controlId == id::btnClose) {
          Notify(FBN_CLOSE);
        } else if (controlId == id::chkHide) {
          Notify(FBN_HIDE);
        } else if (controlId != id::lblStatus) {
          KillTimer(hwnd_, kSettleTimer);
          Notify(FBN_CHANGED);
        }
      }
      return 0;
    }
    case WM_TIMER:
      KillTimer(hwnd_, wParam);
      if (wParam == kSettleTimer) Notify(FBN_CHANGED);
      if (wParam == kTickTimer && postHandler_) postHandler_(0);
      return 0;
    case WM_CTLCOLORSTATIC: {
      auto dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      if (reinterpret_cast<HWND>(lParam) == Control(id::lblStatus) && errorShown_)
        SetTextColor(dc, RGB(192, 0, 0));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd_, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case kPostMessage:
      if (postHandler_) postHandler_(wParam);
      return 0;
    default:
      return DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

FilterBar* BarOf(HWND bar) {
  char name[32] = {};
  if (!bar || GetClassNameA(bar, name, sizeof name) <= 0 || lstrcmpiA(name, kFilterBarClass) != 0)
    return nullptr;
  return FilterBar::FromWindow(bar);
}

}  // namespace

bool RegisterFilterBar() {
  static const bool registered =
      RegisterWindowClass(kFilterBarClass, &FilterBar::WindowProc, {.background = nullptr});
  return registered;
}

int FilterBarHeight(int dpi) { return MulDiv(2 * kRowHeight96 + 2 * kGap96 + 2, dpi, 96); }

FilterBarState FilterBarRead(HWND bar) {
  FilterBar* b = BarOf(bar);
  return b ? b->Read() : FilterBarState{};
}

void FilterBarWrite(HWND bar, const FilterBarState& state) {
  if (FilterBar* b = BarOf(bar)) b->Write(state);
}

void FilterBarSetStatus(HWND bar, const std::string& text, bool error) {
  if (FilterBar* b = BarOf(bar)) b->SetStatus(text, error);
}

HWND FilterBarTermsBox(HWND bar) { return GetDlgItem(bar, filter_bar_id::edtTerms); }

void FilterBarSetPostHandler(HWND bar, std::function<void(WPARAM)> handler) {
  if (FilterBar* b = BarOf(bar)) b->SetPostHandler(std::move(handler));
}

void FilterBarPost(HWND bar, WPARAM value) { PostMessageA(bar, kPostMessage, value, 0); }

void FilterBarTickLater(HWND bar, UINT ms) { SetTimer(bar, kTickTimer, ms, nullptr); }

}  // namespace vt9::win
