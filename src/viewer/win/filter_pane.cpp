// The filtered pane's window: rows painted from the document, a selection of consecutive rows,
// the keys and the clipboard.
#include "viewer/win/filter_pane.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "common/win/handles.h"
#include "common/win/window_base.h"
#include "common/win/window_class.h"
#include "logs/log_document.h"
#include "viewer/filter_text.h"
#include "viewer/win/match_list.h"

namespace vt9::win {
namespace {

constexpr int kMargin = 4;
constexpr std::int64_t kMostColumns = 400;  // characters of a line a row ever shows

bool KeyDown(int key) { return GetKeyState(key) < 0; }

class FilterPane : public WindowBase<FilterPane> {
 public:
  explicit FilterPane(HWND hwnd) : WindowBase(hwnd) {}

  void SetSource(const logs::LogDocument* document, const MatchList* list) {
    doc_ = document;
    list_ = list;
    top_ = anchor_ = caret_ = 0;
    shownRows_ = 0;
    Refresh();
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
  void Refresh() {
    const std::int64_t rows = Rows();
    if (shownRows_ < top_ + VisibleRows() + 1 || rows < shownRows_)
      InvalidateRect(hwnd_, nullptr, FALSE);
    shownRows_ = rows;
    UpdateScrollBar();
  }
  std::pair<std::int64_t, std::int64_t> Selection() const {
    if (Rows() == 0) return {-1, -1};
    return {std::min(anchor_, caret_), std::max(anchor_, caret_)};
  }
  std::int64_t Caret() const { return Rows() == 0 ? -1 : caret_; }
  void SelectRow(std::int64_t row, bool extend = false) {
    const std::int64_t rows = Rows();
    if (rows == 0) return;
    row = std::clamp<std::int64_t>(row, 0, rows - 1);
    caret_ = row;
    if (!extend) anchor_ = row;
    const int visible = VisibleRows();
    if (caret_ < top_) top_ = caret_;
    if (caret_ >= top_ + visible) top_ = caret_ - visible + 1;
    UpdateScrollBar();
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
  bool Copy();
  void SelectAll() {
    if (Rows() == 0) return;
    anchor_ = 0;
    caret_ = Rows() - 1;
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

 private:
  friend class WindowBase<FilterPane>;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  std::int64_t Rows() const { return list_ ? list_->Count() : 0; }
  int VisibleRows() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    return std::max<int>(1, client.bottom / lineHeight_);
  }
  void Notify(WORD code) {
    SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), code),
                 reinterpret_cast<LPARAM>(hwnd_));
  }
  void OnSetFont(HFONT font);
  void Paint(HDC dc);
  void UpdateScrollBar();
  void ScrollTo(std::int64_t top);
  void OnKeyDown(WPARAM key);
  std::int64_t RowAt(int y) const { return top_ + (y >= 0 ? y / lineHeight_ : -1); }

  const logs::LogDocument* doc_ = nullptr;
  const MatchList* list_ = nullptr;
  HFONT font_ = nullptr;
  int lineHeight_ = 16;
  int digitWidth_ = 8;
  std::int64_t top_ = 0;
  std::int64_t anchor_ = 0;
  std::int64_t caret_ = 0;
  std::int64_t shownRows_ = 0;
  int vScale_ = 1;
  int wheelRest_ = 0;
  bool focused_ = false;
  GdiObject backBuffer_;
  SIZE backSize_{0, 0};
};

void FilterPane::OnSetFont(HFONT font) {
  font_ = font;
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(SYSTEM_FONT));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SIZE digit{};
  GetTextExtentPoint32A(dc, "0", 1, &digit);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  lineHeight_ = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
  digitWidth_ = std::max<int>(1, digit.cx);
  UpdateScrollBar();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void FilterPane::Paint(HDC target) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return;
  HDC dc = CreateCompatibleDC(target);
  if (!backBuffer_ || backSize_.cx < width || backSize_.cy < height) {
    backBuffer_.Reset(CreateCompatibleBitmap(target, width, height));
    backSize_ = {width, height};
  }
  HGDIOBJ oldBitmap = SelectObject(dc, backBuffer_.get());
  HGDIOBJ oldFont =
      SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(SYSTEM_FONT));
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  const std::int64_t rows = Rows();
  // The gutter fits the largest line number of the document.
  const std::int64_t lines = doc_ ? doc_->LineCount() : 1;
  // (One digit more than it has: digits of a proportional font are not all of one width.)
  const int gutter =
      kMargin * 2 + digitWidth_ * (static_cast<int>(GroupedNumber(lines).size()) + 1);
  RECT gutterRect{0, 0, gutter, height};
  FillRect(dc, &gutterRect, GetSysColorBrush(COLOR_BTNFACE));
  const auto selection = Selection();
  for (int r = 0; r * lineHeight_ < height; ++r) {
    const std::int64_t row = top_ + r;
    if (row >= rows) break;
    const std::int64_t line = list_->Nth(row);
    if (line < 0) break;
    const int y = r * lineHeight_;
    const std::string number = GroupedNumber(line + 1);
    RECT numberRect{kMargin, y, gutter - kMargin, y + lineHeight_};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, number.c_str(), static_cast<int>(number.size()), &numberRect,
              DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    std::u16string text = doc_ ? doc_->LineText16(line, 0, kMostColumns) : std::u16string();
    std::replace(text.begin(), text.end(), u'\t', u' ');
    const bool selected = row >= selection.first && row <= selection.second;
    RECT textRect{gutter, y, width, y + lineHeight_};
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    ExtTextOutW(dc, gutter + kMargin, y, ETO_OPAQUE | ETO_CLIPPED, &textRect,
                reinterpret_cast<const wchar_t*>(text.data()), static_cast<UINT>(text.size()),
                nullptr);
    if (row == caret_ && focused_) DrawFocusRect(dc, &textRect);
  }
  BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
}

void FilterPane::UpdateScrollBar() {
  const std::int64_t rows = std::max<std::int64_t>(1, Rows());
  vScale_ = static_cast<int>(rows / 0x40000000 + 1);
  SCROLLINFO v{};
  v.cbSize = sizeof v;
  v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  v.nMax = static_cast<int>((rows - 1) / vScale_);
  v.nPage = static_cast<UINT>(std::max(1, VisibleRows() / vScale_));
  v.nPos = static_cast<int>(top_ / vScale_);
  SetScrollInfo(hwnd_, SB_VERT, &v, TRUE);
}

void FilterPane::ScrollTo(std::int64_t top) {
  top = std::clamp<std::int64_t>(top, 0, std::max<std::int64_t>(0, Rows() - VisibleRows()));
  if (top == top_) return;
  top_ = top;
  UpdateScrollBar();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void FilterPane::OnKeyDown(WPARAM key) {
  const bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
  const std::int64_t page = std::max(1, VisibleRows() - 1);
  switch (key) {
    case VK_UP:
      return SelectRow(caret_ - 1, shift);
    case VK_DOWN:
      return SelectRow(caret_ + 1, shift);
    case VK_PRIOR:
      return SelectRow(caret_ - page, shift);
    case VK_NEXT:
      return SelectRow(caret_ + page, shift);
    case VK_HOME:
      return SelectRow(0, shift);
    case VK_END:
      return SelectRow(Rows() - 1, shift);
    case VK_RETURN:
      if (Rows() > 0) Notify(FPN_OPEN);
      return;
    case VK_ESCAPE:
      Notify(FPN_CLOSE);
      return;
    default:
      break;
  }
  if (!ctrl) return;
  switch (key) {
    case 'A':
      SelectAll();
      return;
    case 'C':
    case VK_INSERT:
      if (!Copy()) MessageBeep(MB_ICONERROR);
      return;
    case 'S':
      Notify(FPN_SAVE);
      return;
    case 'P':
      Notify(FPN_PRINT);
      return;
    default:
      return;
  }
}

// The selected lines as the log holds them, CR LF between them; Unicode for a Unicode log.
bool FilterPane::Copy() {
  const auto [first, last] = Selection();
  if (!doc_ || first < 0) return true;
  const bool unicode = doc_->Encoding() != logs::TextEncoding::Ansi;
  std::string ansi;
  std::u16string wide;
  for (std::int64_t row = first; row <= last; ++row) {
    const std::int64_t line = list_->Nth(row);
    if (line < 0) break;
    if (unicode) {
      if (row > first) wide += u"\r\n";
      wide += doc_->LineText16(line);
    } else {
      if (row > first) ansi += "\r\n";
      ansi += doc_->LineTextAnsi(line);
    }
  }
  const std::size_t bytes = unicode ? (wide.size() + 1) * sizeof(char16_t) : ansi.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  if (void* to = GlobalLock(memory)) {
    std::memcpy(to, unicode ? static_cast<const void*>(wide.c_str()) : ansi.c_str(), bytes);
    GlobalUnlock(memory);
  }
  if (!OpenClipboard(hwnd_)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool done = SetClipboardData(unicode ? CF_UNICODETEXT : CF_TEXT, memory) != nullptr;
  if (!done) GlobalFree(memory);
  CloseClipboard();
  return done;
}

LRESULT FilterPane::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto painted = HandlePaintMessages(message, wParam, [this](HDC dc) { Paint(dc); }))
    return *painted;
  switch (message) {
    case WM_CREATE:
      OnSetFont(nullptr);
      return 0;
    case WM_SETFONT:
      OnSetFont(reinterpret_cast<HFONT>(wParam));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE:
      UpdateScrollBar();
      ScrollTo(top_);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      focused_ = message == WM_SETFOCUS;
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE: {
      // Every key but Tab is the pane's (Enter goes to the line, not to a default button).
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      const bool tab = msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB;
      return DLGC_WANTARROWS | DLGC_WANTCHARS | (msg && !tab ? DLGC_WANTMESSAGE : 0);
    }
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      SetFocus(hwnd_);
      const std::int64_t row = RowAt(static_cast<short>(HIWORD(lParam)));
      const auto selection = Selection();
      // The right button keeps a selection it falls in, for the menu to act on.
      if (row < Rows() &&
          !(message == WM_RBUTTONDOWN && row >= selection.first && row <= selection.second))
        SelectRow(row, message == WM_LBUTTONDOWN && (wParam & MK_SHIFT));
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      if (RowAt(static_cast<short>(HIWORD(lParam))) < Rows()) Notify(FPN_OPEN);
      return 0;
    case WM_MOUSEWHEEL: {
      wheelRest_ += static_cast<short>(HIWORD(wParam));
      const int notches = wheelRest_ / WHEEL_DELTA;
      wheelRest_ -= notches * WHEEL_DELTA;
      ScrollTo(top_ - notches * 3);
      return 0;
    }
    case WM_VSCROLL: {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_ALL;
      GetScrollInfo(hwnd_, SB_VERT, &info);
      const std::int64_t page = std::max(1, VisibleRows() - 1);
      switch (LOWORD(wParam)) {
        case SB_LINEUP:
          ScrollTo(top_ - 1);
          break;
        case SB_LINEDOWN:
          ScrollTo(top_ + 1);
          break;
        case SB_PAGEUP:
          ScrollTo(top_ - page);
          break;
        case SB_PAGEDOWN:
          ScrollTo(top_ + page);
          break;
        case SB_TOP:
          ScrollTo(0);
          break;
        case SB_BOTTOM:
          ScrollTo(INT64_MAX / 2);
          break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
          ScrollTo(static_cast<std::int64_t>(info.nTrackPos) * vScale_);
          break;
        default:
          break;
      }
      return 0;
    }
    case LB_GETCOUNT:
      return static_cast<LRESULT>(std::min<std::int64_t>(Rows(), INT_MAX));
    case LB_GETCURSEL:
      return static_cast<LRESULT>(Caret());
    case LB_SETCURSEL:
      SelectRow(static_cast<std::int64_t>(wParam));
      return static_cast<LRESULT>(Caret());
    case LB_GETSELCOUNT: {
      const auto [first, last] = Selection();
      return first < 0 ? 0 : static_cast<LRESULT>(last - first + 1);
    }
    case LB_GETITEMDATA: {
      const auto row = static_cast<std::int64_t>(wParam);
      const std::int64_t line = row >= 0 && row < Rows() ? list_->Nth(row) : -1;
      return line < 0 ? LB_ERR : static_cast<LRESULT>(line + 1);
    }
    case WM_COPY:
      Copy();
      return 0;
    default:
      return DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

FilterPane* PaneOf(HWND pane) {
  char name[32] = {};
  if (!pane || GetClassNameA(pane, name, sizeof name) <= 0 ||
      lstrcmpiA(name, kFilterPaneClass) != 0)
    return nullptr;
  return FilterPane::FromWindow(pane);
}

}  // namespace

bool RegisterFilterPane() {
  static const bool registered = RegisterWindowClass(kFilterPaneClass, &FilterPane::WindowProc,
                                                     {.style = CS_DBLCLKS, .background = nullptr});
  return registered;
}

void FilterPaneSetSource(HWND pane, const logs::LogDocument* document, const MatchList* list) {
  if (FilterPane* p = PaneOf(pane)) p->SetSource(document, list);
}

void FilterPaneRefresh(HWND pane) {
  if (FilterPane* p = PaneOf(pane)) p->Refresh();
}

std::pair<std::int64_t, std::int64_t> FilterPaneSelection(HWND pane) {
  FilterPane* p = PaneOf(pane);
  return p ? p->Selection() : std::pair<std::int64_t, std::int64_t>{-1, -1};
}

std::int64_t FilterPaneCaret(HWND pane) {
  FilterPane* p = PaneOf(pane);
  return p ? p->Caret() : -1;
}

void FilterPaneSelectRow(HWND pane, std::int64_t row) {
  if (FilterPane* p = PaneOf(pane)) p->SelectRow(row);
}

void FilterPaneSelectAll(HWND pane) {
  if (FilterPane* p = PaneOf(pane)) p->SelectAll();
}

bool FilterPaneCopy(HWND pane) {
  FilterPane* p = PaneOf(pane);
  return p && p->Copy();
}

}  // namespace vt9::win
