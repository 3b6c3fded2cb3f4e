// The log view's keyboard, mouse, selection, editing and clipboard.
#include <algorithm>
#include <cstring>
#include <string>

#include "viewer/win/log_files.h"
#include "viewer/win/log_view.h"
#include "viewer/win/log_view_window.h"

namespace vt9::win {
namespace {

constexpr UINT_PTR kDragTimer = 1;
constexpr std::int64_t kWordScan = 256;  // characters looked at around a position for a word

bool IsWordUnit(char16_t c) { return c == u'_' || IsCharAlphaNumericW(static_cast<wchar_t>(c)); }

bool KeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

logs::TextRange LogView::Selection() const {
  return {std::min(anchor_, caret_), std::max(anchor_, caret_)};
}

// Edits change the index, so they wait until it is complete; until then the view only reads.
// Nor while only some lines are shown: an edit would move the lines the filter picked.
bool LogView::Editable() const { return doc_ && indexDone_ && !shown_; }

void LogView::Select(std::int64_t anchor, std::int64_t caret) {
  const std::int64_t length = doc_ ? doc_->Length() : 0;
  anchor = std::clamp<std::int64_t>(anchor, 0, length);
  caret = std::clamp<std::int64_t>(caret, 0, length);
  if (anchor == anchor_ && caret == caret_) return;
  anchor_ = anchor;
  caret_ = caret;
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateCaret();
}

void LogView::SelectAndShow(logs::TextRange range) {
  wantedColumn_ = -1;
  Select(range.start, range.end);
  EnsureVisible(caret_);
}

void LogView::MoveCaret(std::int64_t position, bool extend) {
  Select(extend ? anchor_ : position, position);
  EnsureVisible(caret_);
}

void LogView::OnKeyDown(WPARAM key) {
  if (!doc_) return;
  const bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
  const std::int64_t line = doc_->LineFromPosition(caret_);
  const std::int64_t lineStart = doc_->LineStart(line);
  const std::int64_t column = caret_ - lineStart;
  const std::int64_t rows = RowCount();
  const std::int64_t page = std::max(1, VisibleLines() - 1);
  const std::int64_t row = RowOfLine(line);
  // Up and Down go by rows: with only some lines shown, to the next shown line.
  auto toLine = [&](std::int64_t targetRow) {
    if (wantedColumn_ < 0) wantedColumn_ = column;
    if (rows <= 0) return;
    const std::int64_t target =
        std::max<std::int64_t>(0, LineOfRow(std::clamp<std::int64_t>(targetRow, 0, rows - 1)));
    const std::int64_t keep = wantedColumn_;
    MoveCaret(doc_->LineStart(target) + std::min(wantedColumn_, doc_->LineLength(target)), shift);
    wantedColumn_ = keep;
  };
  switch (key) {
    case VK_LEFT:
      wantedColumn_ = -1;
      if (!shift && caret_ != anchor_ && !ctrl)
        MoveCaret(Selection().start, false);
      else
        MoveCaret(ctrl ? WordMove(caret_, false) : caret_ - 1, shift);
      return;
    case VK_RIGHT:
      wantedColumn_ = -1;
      if (!shift && caret_ != anchor_ && !ctrl)
        MoveCaret(Selection().end, false);
      else
        MoveCaret(ctrl ? WordMove(caret_, true) : caret_ + 1, shift);
      return;
    case VK_UP:
      if (ctrl) {
        ScrollTo(topLine_ - 1, firstColumn_);
        return;
      }
      toLine(row - 1);
      return;
    case VK_DOWN:
      if (ctrl) {
        ScrollTo(topLine_ + 1, firstColumn_);
        return;
      }
      toLine(row + (LineOfRow(row) == line ? 1 : 0));
      return;
    case VK_PRIOR:
      ScrollTo(topLine_ - page, firstColumn_);
      toLine(row - page);
      return;
    case VK_NEXT:
      ScrollTo(topLine_ + page, firstColumn_);
      toLine(row + page);
      return;
    case VK_HOME:
      wantedColumn_ = -1;
      MoveCaret(ctrl ? 0 : lineStart, shift);
      return;
    case VK_END:
      wantedColumn_ = -1;
      MoveCaret(ctrl ? doc_->Length() : lineStart + doc_->LineLength(line), shift);
      return;
    case VK_DELETE:
      if (!Editable()) break;
      wantedColumn_ = -1;
      if (shift) {  // Shift+Del cuts, as in every edit control
        CopySelection();
        ReplaceSelection(u"");
      } else {
        if (caret_ == anchor_) Select(caret_, caret_ + 1);
        ReplaceSelection(u"");
      }
      return;
    case VK_INSERT:
      if (ctrl) CopySelection();
      if (shift && !ctrl && Editable()) Paste();
      return;
    default:
      break;
  }
  if (!ctrl) return;
  switch (key) {
    case 'A':
      wantedColumn_ = -1;
      Select(0, doc_->Length());
      return;
    case 'C':
      CopySelection();
      return;
    case 'X':
      if (Editable()) {
        CopySelection();
        ReplaceSelection(u"");
      }
      return;
    case 'V':
      if (Editable()) Paste();
      return;
    case 'Z':
      if (Editable()) UndoEdit();
      return;
    default:
      return;
  }
}

void LogView::OnChar(WPARAM ch) {
  if (!doc_) return;
  const bool ctrl = KeyDown(VK_CONTROL) && !KeyDown(VK_MENU);  // AltGr gives Ctrl+Alt
  if (ch == VK_BACK) {
    if (!Editable()) return MessageBeep(0), void();
    if (caret_ == anchor_) {
      if (caret_ == 0) return;
      Select(caret_, caret_ - 1);
    }
    wantedColumn_ = -1;
    ReplaceSelection(u"");
    return;
  }
  if (ch == VK_RETURN || ch == u'\n') {
    if (!Editable()) return MessageBeep(0), void();
    wantedColumn_ = -1;
    ReplaceSelection(u"\r\n");
    return;
  }
  if ((ch < 32 && ch != u'\t') || ctrl) return;  // Ctrl+letters come as control characters
  if (!Editable()) return MessageBeep(0), void();
  // The window is an ANSI window: WM_CHAR carries a byte of the code page. On a double-byte
  // code page a character comes as two: its lead byte, then its trail byte.
  const auto byte = static_cast<unsigned char>(ch & 0xFF);
  if (leadByte_ >= 0) {
    const char pair[2] = {static_cast<char>(leadByte_), static_cast<char>(byte)};
    leadByte_ = -1;
    InsertAnsi(pair, 2);
    return;
  }
  if (IsDBCSLeadByte(byte)) {
    leadByte_ = byte;
    return;
  }
  const char single = static_cast<char>(byte);
  InsertAnsi(&single, 1);
}

// WM_IME_CHAR to an ANSI window: a double-byte character whole (lead byte high), or one byte.
void LogView::OnImeChar(WPARAM ch) {
  if (!doc_) return;
  if (!Editable()) return MessageBeep(0), void();
  leadByte_ = -1;
  const auto lead = static_cast<unsigned char>((ch >> 8) & 0xFF);
  const auto trail = static_cast<unsigned char>(ch & 0xFF);
  if (lead == 0) return OnChar(trail);
  const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  InsertAnsi(pair, 2);
}

void LogView::InsertAnsi(const char* bytes, int count) {
  wchar_t wide[2] = {};
  int units = MultiByteToWideChar(CP_ACP, 0, bytes, count, wide, 2);
  if (units <= 0) {
    wide[0] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[0]));
    units = 1;
  }
  wantedColumn_ = -1;
  ReplaceSelection(std::u16string_view(reinterpret_cast<const char16_t*>(wide),
                                       static_cast<std::size_t>(units)));
}

void LogView::ReplaceSelection(std::u16string_view text) {
  if (!Editable()) return;
  const logs::TextRange range = Selection();
  if (range.start == range.end && text.empty()) return;
  const std::int64_t before = doc_->Length();
  doc_->Replace(range, text);
  // The inserted text's length in characters: what the document grew by, plus what it lost.
  const std::int64_t inserted = doc_->Length() - before + (range.end - range.start);
  const std::int64_t caret = range.start + std::max<std::int64_t>(0, inserted);
  anchor_ = caret_ = caret;
  paintedLines_ = doc_->LineCount();
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
  EnsureVisible(caret_);
  UpdateCaret();
  Notify(EN_CHANGE);
}

void LogView::UndoEdit() {
  if (!doc_->CanUndo()) return;
  if (const std::optional<logs::TextRange> restored = doc_->Undo()) {
    anchor_ = restored->start;
    caret_ = restored->end;
  }
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
  EnsureVisible(caret_);
  UpdateCaret();
  Notify(EN_CHANGE);
}

void LogView::CopySelection() {
  const logs::TextRange range = Selection();
  if (!doc_ || range.start == range.end) return;
  // The viewer's one copy: its limit, and its message through the parent.
  switch (CopyLogToClipboard(hwnd_, *doc_, range)) {
    case CopyResult::Copied:
      return;
    case CopyResult::TooLarge:
      Notify(LVN_COPYTOOLARGE);
      return;
    case CopyResult::ReadFailed:
      Notify(LVN_COPYREADFAILED);
      return;
  }
}

void LogView::Paste() {
  if (!OpenClipboard(hwnd_)) return;
  std::u16string text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const char16_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  if (!text.empty()) ReplaceSelection(text);
}

std::int64_t LogView::WordMove(std::int64_t position, bool forward) const {
  const std::int64_t line = doc_->LineFromPosition(position);
  const std::int64_t start = doc_->LineStart(line);
  const std::int64_t length = doc_->LineLength(line);
  std::int64_t column = position - start;
  if (forward) {
    if (column >= length) return std::min(position + 1, doc_->Length());  // over the break
    const std::u16string text = doc_->LineText16(line, column, kWordScan);
    std::size_t i = 0;
    while (i < text.size() && IsWordUnit(text[i])) ++i;
    while (i < text.size() && !IsWordUnit(text[i])) ++i;
    return position + std::max<std::int64_t>(1, static_cast<std::int64_t>(i));
  }
  if (column == 0) return std::max<std::int64_t>(position - 1, 0);
  const std::int64_t from = std::max<std::int64_t>(0, column - kWordScan);
  const std::u16string text = doc_->LineText16(line, from, column - from);
  std::size_t i = text.size();
  while (i > 0 && !IsWordUnit(text[i - 1])) --i;
  while (i > 0 && IsWordUnit(text[i - 1])) --i;
  return start + from + static_cast<std::int64_t>(i);
}

logs::TextRange LogView::WordAt(std::int64_t position) const {
  const std::int64_t line = doc_->LineFromPosition(position);
  const std::int64_t start = doc_->LineStart(line);
  const std::int64_t length = doc_->LineLength(line);
  const std::int64_t column = std::min(position - start, length);
  const std::int64_t from = std::max<std::int64_t>(0, column - kWordScan);
  const std::u16string text = doc_->LineText16(line, from, std::min(length - from, 2 * kWordScan));
  const auto at = static_cast<std::size_t>(column - from);
  if (text.empty()) return {position, position};
  std::size_t left = at, right = at;
  // The word under the pointer, or the run of blanks and signs there.
  const bool word = at < text.size() ? IsWordUnit(text[at]) : IsWordUnit(text[at - 1]);
  while (left > 0 && IsWordUnit(text[left - 1]) == word) --left;
  while (right < text.size() && IsWordUnit(text[right]) == word) ++right;
  return {start + from + static_cast<std::int64_t>(left),
          start + from + static_cast<std::int64_t>(right)};
}

void LogView::OnLButtonDown(int x, int y, bool shift) {
  SetFocus(hwnd_);
  if (!doc_) return;
  wantedColumn_ = -1;
  MoveCaret(PositionAt(x, y), shift);
  selecting_ = true;
  dragPoint_ = {x, y};
  SetCapture(hwnd_);
  SetTimer(hwnd_, kDragTimer, 50, nullptr);
}

void LogView::OnMouseMove(int x, int y) {
  if (!selecting_ || !doc_) return;
  dragPoint_ = {x, y};
  MoveCaret(PositionAt(x, y), true);
}

// While the button is held outside the window, the text scrolls towards the pointer.
void LogView::OnTimer() {
  if (!selecting_ || !doc_) return;
  RECT client{};
  GetClientRect(hwnd_, &client);
  std::int64_t top = topLine_, first = firstColumn_;
  if (dragPoint_.y < 0) top -= 1 + (-dragPoint_.y) / lineHeight_;
  if (dragPoint_.y >= client.bottom) top += 1 + (dragPoint_.y - client.bottom) / lineHeight_;
  if (dragPoint_.x < 0) first -= 4;
  if (dragPoint_.x >= client.right) first += 4;
  if (top == topLine_ && first == firstColumn_) return;
  ScrollTo(top, first);
  Select(anchor_, PositionAt(dragPoint_.x, dragPoint_.y));
}

void LogView::OnDoubleClick(int x, int y) {
  if (!doc_) return;
  const logs::TextRange word = WordAt(PositionAt(x, y));
  wantedColumn_ = -1;
  Select(word.start, word.end);
}

void LogView::OnWheel(int delta) {
  UINT perNotch = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
  wheelRest_ += delta;
  const int notches = wheelRest_ / WHEEL_DELTA;
  if (notches == 0) return;
  wheelRest_ -= notches * WHEEL_DELTA;
  const std::int64_t lines =
      perNotch == WHEEL_PAGESCROLL ? std::max(1, VisibleLines() - 1) : static_cast<int>(perNotch);
  ScrollTo(topLine_ - notches * lines, firstColumn_);
}

}  // namespace vt9::win
