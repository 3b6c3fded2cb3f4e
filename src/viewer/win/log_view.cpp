// The log view: its window class, the worker that indexes the document, painting and scrolling.
#include "viewer/win/log_view.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "common/win/window_class.h"
#include "viewer/win/log_view_window.h"

namespace vt9::win {
namespace {

constexpr int kMargin = 2;      // pixels left of the text, as in the rich-edit control
constexpr int kTabColumns = 8;  // a tab stop every 8 average character widths

}  // namespace

bool RegisterLogView() {
  static const bool registered = RegisterWindowClass(kLogViewClass, &LogView::WindowProc,
                                                     {.style = CS_DBLCLKS, .background = nullptr});
  return registered;
}

void LogViewSetDocument(HWND view, std::unique_ptr<logs::LogDocument> document) {
  if (LogView* v = IsLogView(view) ? LogView::FromWindow(view) : nullptr)
    v->SetDocument(std::move(document));
}

logs::LogDocument* LogViewDocument(HWND view) {
  LogView* v = IsLogView(view) ? LogView::FromWindow(view) : nullptr;
  return v ? v->Document() : nullptr;
}

int LogViewProgress(HWND view) {
  LogView* v = IsLogView(view) ? LogView::FromWindow(view) : nullptr;
  return v ? v->Progress() : 100;
}

void LogViewWaitForIndex(HWND view) {
  if (LogView* v = IsLogView(view) ? LogView::FromWindow(view) : nullptr) v->WaitForIndex();
}

void LogViewShowOnly(HWND view, const MatchList* list) {
  if (LogView* v = IsLogView(view) ? LogView::FromWindow(view) : nullptr) v->ShowOnly(list);
}

void LogViewRefreshShown(HWND view) {
  if (LogView* v = IsLogView(view) ? LogView::FromWindow(view) : nullptr) v->RefreshShown();
}

void LogViewSelectLine(HWND view, std::int64_t line) {
  if (LogView* v = IsLogView(view) ? LogView::FromWindow(view) : nullptr) v->SelectLine(line);
}

std::int64_t LogViewCaretLine(HWND view) {
  LogView* v = IsLogView(view) ? LogView::FromWindow(view) : nullptr;
  return v ? v->CaretLine() : 0;
}

logs::TextRange LogViewSelection(HWND view) {
  LogView* v = IsLogView(view) ? LogView::FromWindow(view) : nullptr;
  return v ? v->Selection() : logs::TextRange{};
}

void LogViewSelect(HWND view, logs::TextRange range) {
  if (LogView* v = IsLogView(view) ? LogView::FromWindow(view) : nullptr) v->SelectAndShow(range);
}

bool IsLogView(HWND window) {
  char name[32] = {};
  return window && GetClassNameA(window, name, sizeof name) > 0 &&
         lstrcmpiA(name, kLogViewClass) == 0;
}

// ---- Document and indexing ------------------------------------------------------------------

LogView::~LogView() { StopIndexing(); }

void LogView::StopIndexing() {
  if (!worker_.joinable()) return;
  index_->stop = true;
  // The worker stops after the block it is on; one waiting on a read that does not return is
  // let go (it keeps the document and its file until the read ends).
  constexpr DWORD kStopWaitMs = 500;
  const DWORD started = GetTickCount();
  while (!index_->finished && GetTickCount() - started < kStopWaitMs) Sleep(5);
  if (index_->finished)
    worker_.join();
  else
    worker_.detach();
}

void LogView::SetDocument(std::unique_ptr<logs::LogDocument> document) {
  StopIndexing();
  Follow(std::string());  // a new document is followed only when asked
  shown_ = nullptr;
  gutter_ = 0;
  doc_ = std::move(document);
  topLine_ = firstColumn_ = 0;
  anchor_ = caret_ = 0;
  wantedColumn_ = -1;
  paintedLines_ = 0;
  readFailureSent_ = false;
  index_ = std::make_shared<IndexState>();
  indexDone_ = !doc_;
  if (doc_) {
    const HWND self = hwnd_;
    const WPARAM generation = ++generation_;
    // The worker only indexes and posts; every window call stays on the window's thread. A
    // post is left out while the last one is still waiting, so a fast index cannot flood the
    // queue ahead of the user's input. It touches nothing of the view itself.
    worker_ = std::thread([doc = doc_, state = index_, self, generation] {
      // The window's thread comes first when both want the processor.
      SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
      doc->BuildIndex(state->stop, [&state, self, generation](std::uint64_t bytes) {
        state->indexedBytes = bytes;
        if (!state->progressPosted.exchange(true))
          PostMessageA(self, kIndexProgressMessage, generation, 0);
      });
      PostMessageA(self, kIndexDoneMessage, generation, 0);
      state->finished = true;
    });
  }
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateCaret();
}

int LogView::Progress() const {
  if (!doc_ || indexDone_) return 100;
  // Read once: a read failure on the worker may shrink the size to what was read, even to 0.
  const std::uint64_t total = doc_->FileBytes();
  if (total == 0) return 100;
  const std::uint64_t done = index_->indexedBytes;
  const auto percent = static_cast<int>(done * 100 / total);
  return std::clamp(percent, 0, 99);
}

void LogView::Notify(WORD code) {
  SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), code),
               reinterpret_cast<LPARAM>(hwnd_));
}

void LogView::OnIndexProgress() {
  if (index_) index_->progressPosted = false;
  if (!doc_ || indexDone_) return;
  const std::int64_t lines = doc_->LineCount();
  // New lines need painting only while they fall on the screen (the first screen of a log,
  // or the end of a short one); further down only the scroll bar grows.
  if (paintedLines_ < topLine_ + VisibleLines() + 1 || shown_)
    InvalidateRect(hwnd_, nullptr, FALSE);
  paintedLines_ = lines;
  UpdateScrollBars();
  if (doc_->ReadFailed() && !readFailureSent_) {
    readFailureSent_ = true;
    Notify(LVN_READFAILED);
  }
  Notify(LVN_INDEXPROGRESS);
}

void LogView::OnIndexDone() {
  if (!doc_ || indexDone_) return;
  if (worker_.joinable()) worker_.join();
  indexDone_ = true;
  paintedLines_ = doc_->LineCount();
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateCaret();
  if (doc_->ReadFailed() && !readFailureSent_) {
    readFailureSent_ = true;
    Notify(LVN_READFAILED);
  }
  Notify(LVN_INDEXDONE);
}

// ---- Rows -----------------------------------------------------------------------------------

std::int64_t LogView::RowCount() const {
  if (!doc_) return 1;
  return shown_ ? shown_->Count() : doc_->LineCount();
}

std::int64_t LogView::LineOfRow(std::int64_t row) const {
  if (row < 0 || row >= RowCount()) return -1;
  return shown_ ? shown_->Nth(row) : row;
}

std::int64_t LogView::RowOfLine(std::int64_t line) const {
  return shown_ ? shown_->CountBefore(line) : line;
}

int LogView::TextLeft() const { return kMargin + gutter_; }

void LogView::ShowOnly(const MatchList* list) {
  if (!doc_ || list == shown_) return;
  // The caret's line stays where the eye is: at the top when it was on screen before.
  const std::int64_t caretLine = doc_->LineFromPosition(caret_);
  shown_ = list;
  RefreshShown();
  const std::int64_t row = RowOfLine(caretLine);
  ScrollTo(row - VisibleLines() / 3, 0);
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateCaret();
}

void LogView::RefreshShown() {
  int gutter = 0;
  if (shown_ && doc_) {
    int digits = 1;
    for (std::int64_t n = doc_->LineCount(); n >= 10; n /= 10) ++digits;
    gutter = (digits + digits / 3) * (charWidth_ + 1) + 3 * kMargin;
  }
  gutter_ = gutter;
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void LogView::SelectLine(std::int64_t line) {
  if (!doc_ || line < 0 || line >= doc_->LineCount()) return;
  const std::int64_t start = doc_->LineStart(line);
  wantedColumn_ = -1;
  // The caret at the line's start: a long line does not pull the view to its end.
  Select(start + doc_->LineLength(line), start);
  const std::int64_t row = RowOfLine(line);
  const int visible = VisibleLines();
  std::int64_t top = topLine_;
  if (row < topLine_ || row >= topLine_ + visible) top = row - visible / 3;
  ScrollTo(top, 0);
  UpdateCaret();
}

// ---- Messages -------------------------------------------------------------------------------

LRESULT LogView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (EditMessage(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_CREATE:
      OnSetFont(nullptr, false);
      return 0;
    case WM_DESTROY:
      StopIndexing();
      return 0;
    // Posts of an earlier document's worker are dropped.
    case kIndexProgressMessage:
      if (wParam == generation_) OnIndexProgress();
      return 0;
    case kIndexDoneMessage:
      if (wParam == generation_) OnIndexDone();
      return 0;
    case kReadFailedMessage:
      if (wParam == generation_) Notify(LVN_READFAILED);
      return 0;
    case WM_SETFONT:
      OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint fills every pixel
    case WM_SIZE:
      UpdateScrollBars();
      ScrollTo(topLine_, firstColumn_);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_VSCROLL:
      OnVScroll(LOWORD(wParam));
      return 0;
    case WM_HSCROLL:
      OnHScroll(LOWORD(wParam));
      return 0;
    case WM_SETFOCUS:
      focused_ = true;
      CreateCaret(hwnd_, nullptr, 1, lineHeight_);
      UpdateCaret();
      return 0;
    case WM_KILLFOCUS:
      focused_ = false;
      DestroyCaret();
      return 0;
    case WM_GETDLGCODE:
      // Arrows, characters and Enter are the log's; the viewer moves on with Tab itself.
      return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      return 0;
    case WM_CHAR:
      OnChar(wParam);
      return 0;
    case WM_IME_CHAR:
      OnImeChar(wParam);
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                    (wParam & MK_SHIFT) != 0);
      return 0;
    case WM_LBUTTONDBLCLK:
      OnDoubleClick(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (selecting_) {
        selecting_ = false;
        KillTimer(hwnd_, 1);
        if (message == WM_LBUTTONUP) ReleaseCapture();
      }
      return 0;
    case WM_TIMER:
      if (wParam == kFollowTimer)
        OnFollowTimer();
      else
        OnTimer();
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(static_cast<short>(HIWORD(wParam)));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM)));
        return TRUE;
      }
      return DefWindowProcA(hwnd_, message, wParam, lParam);
    default:
      // WM_RBUTTONUP becomes WM_CONTEXTMENU, which goes on to the parent's menu.
      return DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

// ---- Font and painting ----------------------------------------------------------------------

void LogView::OnSetFont(HFONT font, bool redraw) {
  font_ = font;
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(SYSTEM_FONT));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  // The narrowest common character bounds how many characters a line of the window can show.
  int narrowest = tm.tmAveCharWidth;
  for (const char* c : {"i", "l", "j", " ", ".", ",", "'", "|", "!"}) {
    SIZE size{};
    if (GetTextExtentPoint32A(dc, c, 1, &size) && size.cx > 0)
      narrowest = std::min<int>(narrowest, size.cx);
  }
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  lineHeight_ = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
  charWidth_ = std::max<int>(1, tm.tmAveCharWidth);
  minCharWidth_ = std::max<int>(1, std::min<int>(narrowest, charWidth_));
  if (focused_) {
    DestroyCaret();
    CreateCaret(hwnd_, nullptr, 1, lineHeight_);
  }
  UpdateScrollBars();
  UpdateCaret();
  if (redraw) InvalidateRect(hwnd_, nullptr, FALSE);
}

int LogView::VisibleLines() const {
  RECT client{};
  GetClientRect(hwnd_, &client);
  return std::max<int>(1, client.bottom / lineHeight_);
}

void LogView::LayOut(HDC dc, const std::u16string& text, std::vector<int>& x) const {
  const int n = static_cast<int>(text.size());
  x.assign(static_cast<std::size_t>(n) + 1, 0);
  if (n == 0) return;
  std::vector<int> partial(static_cast<std::size_t>(n), 0);
  SIZE size{};
  // Without a fit count the extents of every character are filled in.
  GetTextExtentExPointW(dc, reinterpret_cast<const wchar_t*>(text.data()), n, 0, nullptr,
                        partial.data(), &size);
  const int tab = charWidth_ * kTabColumns;
  int at = 0;
  for (int i = 0; i < n; ++i) {
    x[static_cast<std::size_t>(i)] = at;
    const int width = partial[static_cast<std::size_t>(i)] -
                      (i > 0 ? partial[static_cast<std::size_t>(i) - 1] : 0);
    at += text[static_cast<std::size_t>(i)] == u'\t' ? tab - at % tab : std::max(0, width);
  }
  x[static_cast<std::size_t>(n)] = at;
}

void LogView::OnPaint() {
  PAINTSTRUCT ps;
  HDC target = BeginPaint(hwnd_, &ps);
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int width = client.right, height = client.bottom;
  if (width > 0 && height > 0) {
    // Painted off screen and copied in one go: no flicker while the index grows or on scroll.
    HDC dc = CreateCompatibleDC(target);
    if (!backBuffer_ || backSize_.cx < width || backSize_.cy < height) {
      backBuffer_.Reset(CreateCompatibleBitmap(target, width, height));
      backSize_ = {width, height};
    }
    HGDIOBJ oldBitmap = SelectObject(dc, backBuffer_.get());
    HGDIOBJ oldFont =
        SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(SYSTEM_FONT));
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    if (doc_) {
      const std::int64_t rows = RowCount();
      for (int row = 0; row * lineHeight_ < height; ++row) {
        if (topLine_ + row >= rows) break;
        const std::int64_t line = LineOfRow(topLine_ + row);
        if (line < 0) break;
        PaintLine(dc, line, row * lineHeight_, width);
      }
    }
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    // Lines are read as they are painted: a file cut short after indexing shows up here. The
    // message waits for the paint to end.
    if (doc_ && indexDone_ && !readFailureSent_ && doc_->ReadFailed()) {
      readFailureSent_ = true;
      PostMessageA(hwnd_, kReadFailedMessage, generation_, 0);
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
  }
  EndPaint(hwnd_, &ps);
}

void LogView::PaintLine(HDC dc, std::int64_t line, int y, int width) {
  const std::int64_t length = doc_->LineLength(line);
  const std::int64_t most = width / minCharWidth_ + 2;
  std::u16string text;
  if (firstColumn_ < length)
    text = doc_->LineText16(line, firstColumn_, std::min(length - firstColumn_, most));
  std::vector<int> x;
  LayOut(dc, text, x);
  const int n = static_cast<int>(text.size());
  std::u16string shown = text;
  std::replace(shown.begin(), shown.end(), u'\t', u' ');
  std::vector<int> dx(static_cast<std::size_t>(n), 0);
  for (int i = 0; i < n; ++i)
    dx[static_cast<std::size_t>(i)] =
        x[static_cast<std::size_t>(i) + 1] - x[static_cast<std::size_t>(i)];
  if (gutter_ > 0) {
    // The line's number in the file, so the user knows where the shown lines are.
    RECT numbers{0, y, gutter_, y + lineHeight_};
    FillRect(dc, &numbers, GetSysColorBrush(COLOR_BTNFACE));
    std::string number = std::to_string(line + 1);
    for (int at = static_cast<int>(number.size()) - 3; at > 0; at -= 3) number.insert(at, ",");
    RECT inner{0, y, gutter_ - 2 * kMargin, y + lineHeight_};
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, number.c_str(), static_cast<int>(number.size()), &inner,
              DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    SetBkMode(dc, OPAQUE);
  }
  RECT row{gutter_, y, width, y + lineHeight_};
  auto draw = [&](const RECT& clip, COLORREF fore, COLORREF back) {
    SetTextColor(dc, fore);
    SetBkColor(dc, back);
    ExtTextOutW(dc, TextLeft(), y, ETO_OPAQUE | ETO_CLIPPED, &clip,
                reinterpret_cast<const wchar_t*>(shown.data()), static_cast<UINT>(n),
                n > 0 ? dx.data() : nullptr);
  };
  draw(row, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));

  // The selection: its part of this line, and the line break as a narrow block when selected.
  const logs::TextRange selection = Selection();
  if (selection.start == selection.end) return;
  const std::int64_t start = doc_->LineStart(line);
  const bool lastLine = line + 1 >= doc_->LineCount();
  const std::int64_t end = start + length + (lastLine ? 0 : 1);
  if (selection.end <= start || selection.start >= end) return;
  const std::int64_t from = std::max<std::int64_t>(selection.start - start, 0);
  const std::int64_t to = std::min<std::int64_t>(selection.end - start, length + 1);
  auto xOf = [&](std::int64_t column) -> int {
    if (column <= firstColumn_) return gutter_;
    const std::int64_t i = column - firstColumn_;
    return i <= n ? TextLeft() + x[static_cast<std::size_t>(i)] : width;
  };
  int left = from <= firstColumn_ ? gutter_ : xOf(from);
  int right = xOf(std::min(to, length));
  if (to > length) right = (firstColumn_ + n >= length ? xOf(length) : width) + charWidth_ / 2 + 1;
  if (right <= left) return;
  RECT band{left, y, std::min(right, width), y + lineHeight_};
  draw(band, GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT));
}

// ---- Scrolling ------------------------------------------------------------------------------

void LogView::UpdateScrollBars() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const std::int64_t lines = std::max<std::int64_t>(1, RowCount());
  vScale_ = static_cast<int>(lines / 0x40000000 + 1);
  SCROLLINFO v{};
  v.cbSize = sizeof v;
  v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  v.nMin = 0;
  v.nMax = static_cast<int>((lines - 1) / vScale_);
  v.nPage = static_cast<UINT>(std::max(1, VisibleLines() / vScale_));
  v.nPos = static_cast<int>(topLine_ / vScale_);
  SetScrollInfo(hwnd_, SB_VERT, &v, TRUE);

  const std::int64_t longest = doc_ ? doc_->LongestLine() : 0;
  SCROLLINFO h{};
  h.cbSize = sizeof h;
  h.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  h.nMin = 0;
  // A few columns beyond the longest line, so its end and the caret behind it can be seen.
  h.nMax = static_cast<int>(std::min<std::int64_t>(longest + 4, INT_MAX - 1));
  h.nPage = static_cast<UINT>(std::max(1, static_cast<int>(client.right) / charWidth_));
  h.nPos = static_cast<int>(std::min<std::int64_t>(firstColumn_, INT_MAX));
  SetScrollInfo(hwnd_, SB_HORZ, &h, TRUE);
}

void LogView::ScrollTo(std::int64_t topLine, std::int64_t firstColumn) {
  const std::int64_t lines = RowCount();
  topLine = std::clamp<std::int64_t>(topLine, 0, std::max<std::int64_t>(0, lines - VisibleLines()));
  RECT client{};
  GetClientRect(hwnd_, &client);
  const std::int64_t page = std::max<int>(1, static_cast<int>(client.right) / charWidth_);
  const std::int64_t longest = doc_ ? doc_->LongestLine() : 0;
  firstColumn =
      std::clamp<std::int64_t>(firstColumn, 0, std::max<std::int64_t>(0, longest + 5 - page));
  if (topLine == topLine_ && firstColumn == firstColumn_) return;
  topLine_ = topLine;
  firstColumn_ = firstColumn;
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateCaret();
}

void LogView::OnVScroll(int code) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(hwnd_, SB_VERT, &info);
  const std::int64_t page = std::max(1, VisibleLines() - 1);
  std::int64_t top = topLine_;
  switch (code) {
    case SB_LINEUP:
      top -= 1;
      break;
    case SB_LINEDOWN:
      top += 1;
      break;
    case SB_PAGEUP:
      top -= page;
      break;
    case SB_PAGEDOWN:
      top += page;
      break;
    case SB_TOP:
      top = 0;
      break;
    case SB_BOTTOM:
      top = INT64_MAX / 2;
      break;
    // The 32-bit track position, not the message's 16-bit one: logs have millions of lines.
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      top = static_cast<std::int64_t>(info.nTrackPos) * vScale_;
      break;
    default:
      return;
  }
  ScrollTo(top, firstColumn_);
}

void LogView::OnHScroll(int code) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(hwnd_, SB_HORZ, &info);
  const std::int64_t page = std::max<std::int64_t>(1, static_cast<std::int64_t>(info.nPage) - 1);
  std::int64_t column = firstColumn_;
  switch (code) {
    case SB_LINELEFT:
      column -= 1;
      break;
    case SB_LINERIGHT:
      column += 1;
      break;
    case SB_PAGELEFT:
      column -= page;
      break;
    case SB_PAGERIGHT:
      column += page;
      break;
    case SB_LEFT:
      column = 0;
      break;
    case SB_RIGHT:
      column = INT64_MAX / 2;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      column = info.nTrackPos;
      break;
    default:
      return;
  }
  ScrollTo(topLine_, column);
}

int LogView::ColumnX(std::int64_t line, std::int64_t column) {
  if (!doc_ || column < firstColumn_) return -1;
  RECT client{};
  GetClientRect(hwnd_, &client);
  const std::int64_t count = column - firstColumn_;
  if (count > client.right / minCharWidth_ + 2) return -1;
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(SYSTEM_FONT));
  std::vector<int> x;
  LayOut(dc, doc_->LineText16(line, firstColumn_, count), x);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  return TextLeft() + x.back();
}

std::int64_t LogView::PositionAt(int px, int py) {
  if (!doc_) return 0;
  const std::int64_t rows = RowCount();
  if (rows <= 0) return caret_;
  std::int64_t row = topLine_ + (py >= 0 ? py / lineHeight_ : -1 - (-py - 1) / lineHeight_);
  row = std::clamp<std::int64_t>(row, 0, rows - 1);
  const std::int64_t line = std::max<std::int64_t>(0, LineOfRow(row));
  const std::int64_t start = doc_->LineStart(line);
  const std::int64_t length = doc_->LineLength(line);
  if (firstColumn_ >= length) return start + length;
  RECT client{};
  GetClientRect(hwnd_, &client);
  const std::int64_t most = std::max<int>(client.right, px) / minCharWidth_ + 2;
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(SYSTEM_FONT));
  std::vector<int> x;
  LayOut(dc, doc_->LineText16(line, firstColumn_, std::min(length - firstColumn_, most)), x);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  const int at = px - TextLeft();
  std::size_t i = 0;
  while (i + 1 < x.size() && (x[i] + x[i + 1]) / 2 < at) ++i;
  return start + std::min<std::int64_t>(firstColumn_ + static_cast<std::int64_t>(i), length);
}

void LogView::EnsureVisible(std::int64_t position) {
  if (!doc_) return;
  const std::int64_t line = doc_->LineFromPosition(position);
  const std::int64_t column = position - doc_->LineStart(line);
  const std::int64_t row = RowOfLine(line);
  const int visible = VisibleLines();
  std::int64_t top = topLine_;
  if (row < top) top = row;
  if (row >= top + visible) top = row - visible + 1;
  RECT client{};
  GetClientRect(hwnd_, &client);
  const std::int64_t page = std::max<int>(1, static_cast<int>(client.right) / charWidth_);
  std::int64_t first = firstColumn_;
  if (column < first) {
    first = std::max<std::int64_t>(0, column - page / 4);
  } else {
    const int x = ColumnX(line, column);
    if (x < 0 || x > client.right - charWidth_)
      first = std::max<std::int64_t>(0, column - page * 3 / 4);
  }
  ScrollTo(top, first);
}

void LogView::UpdateCaret() {
  if (!focused_) return;
  int x = -1000, y = -1000;
  if (doc_) {
    const std::int64_t line = doc_->LineFromPosition(caret_);
    const std::int64_t row = RowOfLine(line);
    if (row >= topLine_ && row < topLine_ + VisibleLines() + 1 && LineOfRow(row) == line) {
      const int cx = ColumnX(line, caret_ - doc_->LineStart(line));
      if (cx >= 0) {
        x = cx;
        y = static_cast<int>(row - topLine_) * lineHeight_;
      }
    }
  } else {
    x = TextLeft();
    y = 0;
  }
  SetCaretPos(x, y);
  ShowCaret(hwnd_);
}

}  // namespace vt9::win
