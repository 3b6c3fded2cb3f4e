// The log view's answers to the standard edit messages, from the document: tools, screen readers
// and the viewer read and drive the view as they would an edit control. Positions count a line
// break as one character (as the rich-edit control does); text handed out has CR LF breaks.
// The window is an ANSI window: the system converts the text of the W messages.
#include <richedit.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "viewer/win/log_view.h"
#include "viewer/win/log_view_window.h"

namespace vt9::win {
namespace {

std::u16string FromAnsi(const char* text) {
  if (!text) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return {};
  std::u16string wide(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<wchar_t*>(wide.data()), length);
  wide.resize(static_cast<std::size_t>(length) - 1);
  return wide;
}

LRESULT Clamp32(std::int64_t value) {
  return static_cast<LRESULT>(std::min<std::int64_t>(value, INT_MAX));
}

DWORD ClampDword(std::int64_t value) {
  return static_cast<DWORD>(std::min<std::int64_t>(value, MAXDWORD));
}

}  // namespace

// A program's edit waits for the index, which the document needs for any change (the user's
// keys are refused until then instead).
void LogView::WaitForIndex() {
  if (!doc_ || indexDone_) return;
  if (worker_.joinable()) worker_.join();
  OnIndexDone();
}

bool LogView::EditMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  const std::int64_t length = doc_ ? doc_->Length() : 0;
  switch (message) {
    case WM_GETTEXTLENGTH:
      // In bytes of the ANSI text: every break counts two (CR LF). For a double-byte code page
      // or a Unicode log this is an upper bound, as the message allows.
      if (doc_) {
        const std::int64_t breaks = doc_->LineCount() - 1;
        CPINFO info{};
        const bool wide = doc_->Encoding() != logs::TextEncoding::Ansi ||
                          (GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1);
        result = Clamp32((wide ? 2 : 1) * length + breaks);
      }
      return true;
    case WM_GETTEXT: {
      char* buffer = reinterpret_cast<char*>(lParam);
      const auto size = static_cast<std::size_t>(wParam);
      if (!buffer || size == 0) return true;
      std::string text;
      // No more characters than bytes fit: a 1 GB log is never copied whole for a short buffer.
      if (doc_)
        text = doc_->RangeTextAnsi(
            {0, std::min<std::int64_t>(length, static_cast<std::int64_t>(size))});
      const std::size_t copied = std::min(text.size(), size - 1);
      std::memcpy(buffer, text.data(), copied);
      buffer[copied] = '\0';
      result = static_cast<LRESULT>(copied);
      return true;
    }
    case WM_SETTEXT:
      WaitForIndex();
      if (Editable()) {
        // The whole text, as long as it is now: not the part indexed when the message came.
        Select(0, doc_->Length());
        ReplaceSelection(FromAnsi(reinterpret_cast<const char*>(lParam)));
        doc_->SetModified(false);
        result = TRUE;
      }
      return true;
    case EM_GETSEL: {
      const logs::TextRange s = Selection();
      // Past what a DWORD holds the answer stays at its largest value instead of wrapping.
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = ClampDword(s.start);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = ClampDword(s.end);
      result = s.start > 0xFFFF || s.end > 0xFFFF
                   ? -1
                   : static_cast<LRESULT>(
                         MAKELONG(static_cast<WORD>(s.start), static_cast<WORD>(s.end)));
      return true;
    }
    case EM_SETSEL: {
      if (!doc_) return true;
      const auto start = static_cast<std::int64_t>(static_cast<int>(wParam));
      const auto end = static_cast<std::int64_t>(static_cast<int>(lParam));
      wantedColumn_ = -1;
      if (start == -1)
        Select(caret_, caret_);  // no selection; the caret stays
      else
        Select(start, end < 0 ? length : end);
      return true;
    }
    case EM_EXGETSEL: {
      if (auto* range = reinterpret_cast<CHARRANGE*>(lParam)) {
        const logs::TextRange s = Selection();
        range->cpMin = static_cast<LONG>(std::min<std::int64_t>(s.start, LONG_MAX));
        range->cpMax = static_cast<LONG>(std::min<std::int64_t>(s.end, LONG_MAX));
      }
      return true;
    }
    case EM_EXSETSEL: {
      const auto* range = reinterpret_cast<const CHARRANGE*>(lParam);
      if (!doc_ || !range) return true;
      wantedColumn_ = -1;
      if (range->cpMin == 0 && range->cpMax == -1)
        Select(0, length);
      else if (range->cpMin < 0)
        Select(caret_, caret_);
      else
        Select(std::min(range->cpMin, range->cpMax < 0 ? LONG_MAX : range->cpMax),
               range->cpMax < 0 ? length : std::max(range->cpMin, range->cpMax));
      result = Clamp32(caret_);
      return true;
    }
    case EM_GETLINECOUNT:
      // The lines indexed so far: the count grows while the file is read.
      result = doc_ ? Clamp32(doc_->LineCount()) : 1;
      return true;
    case EM_LINEINDEX: {
      if (!doc_) return true;
      const std::int64_t line = static_cast<int>(wParam) < 0 ? doc_->LineFromPosition(caret_)
                                                             : static_cast<std::int64_t>(wParam);
      result = line < doc_->LineCount() ? Clamp32(doc_->LineStart(line)) : -1;
      return true;
    }
    case EM_LINELENGTH: {
      if (!doc_) return true;
      const int at = static_cast<int>(wParam);
      if (at < 0) {
        // The characters on the selection's lines that are not selected.
        const logs::TextRange s = Selection();
        const std::int64_t first = doc_->LineFromPosition(s.start);
        const std::int64_t last = doc_->LineFromPosition(s.end);
        result = Clamp32((s.start - doc_->LineStart(first)) +
                         (doc_->LineStart(last) + doc_->LineLength(last) - s.end));
      } else {
        result =
            Clamp32(doc_->LineLength(doc_->LineFromPosition(std::min<std::int64_t>(at, length))));
      }
      return true;
    }
    case EM_GETLINE: {
      auto* buffer = reinterpret_cast<char*>(lParam);
      if (!doc_ || !buffer) return true;
      const auto line = static_cast<std::int64_t>(wParam);
      WORD room = 0;
      std::memcpy(&room, buffer, sizeof room);
      if (line >= doc_->LineCount() || room == 0) return true;
      // No more characters than the caller's buffer holds bytes: a long line is never read whole.
      const std::string text = doc_->LineTextAnsi(line, 0, room);
      const std::size_t copied = std::min<std::size_t>(text.size(), room);
      std::memcpy(buffer, text.data(), copied);
      if (copied < room) buffer[copied] = '\0';  // as the edit control: no NUL when full
      result = static_cast<LRESULT>(copied);
      return true;
    }
    case EM_LINEFROMCHAR:
    case EM_EXLINEFROMCHAR: {
      if (!doc_) return true;
      const std::int64_t at = static_cast<int>(message == EM_LINEFROMCHAR ? wParam : lParam);
      result = Clamp32(doc_->LineFromPosition(at < 0 ? Selection().start : std::min(at, length)));
      return true;
    }
    case EM_GETFIRSTVISIBLELINE:
      result = Clamp32(std::max<std::int64_t>(0, LineOfRow(topLine_)));
      return true;
    case EM_SCROLLCARET:
      EnsureVisible(caret_);
      return true;
    case EM_GETMODIFY:
      result = doc_ && doc_->Modified();
      return true;
    case EM_SETMODIFY:
      if (doc_) doc_->SetModified(wParam != 0);
      return true;
    case EM_REPLACESEL:
      WaitForIndex();
      ReplaceSelection(FromAnsi(reinterpret_cast<const char*>(lParam)));
      return true;
    case EM_CANUNDO:
      result = Editable() && doc_->CanUndo();
      return true;
    case EM_UNDO:
    case WM_UNDO:
      if (Editable()) UndoEdit();
      result = TRUE;
      return true;
    case WM_COPY:
      CopySelection();
      return true;
    case WM_CUT:
      if (Editable()) {
        CopySelection();
        ReplaceSelection(u"");
      }
      return true;
    case WM_PASTE:
      if (Editable()) Paste();
      return true;
    case WM_CLEAR:
      if (Editable()) ReplaceSelection(u"");
      return true;
    default:
      return false;
  }
}

}  // namespace vt9::win
