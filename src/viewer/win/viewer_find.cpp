#include <windows.h>
// The rich-edit header builds on <windows.h>.
#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "viewer/win/log_view.h"
#include "viewer/win/viewer_form.h"

namespace vt9::win {
namespace {

// Characters (as the text control counts them) of a text in the ANSI code page: on a
// double-byte code page fewer than its bytes.
LONG CharacterCount(const std::string& text) {
  if (text.empty()) return 0;
  const int count =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  return count > 0 ? count : static_cast<LONG>(text.size());
}

}  // namespace

void TfViewer::ShowFind() {
  if (!FFindForm) return;
  RECT r{};
  GetWindowRect(hwnd_, &r);
  FFindForm->SetAnchorTop(r.top);
  FFindForm->SetAnchorLeft(r.left);
  FFindForm->Show();
}

void TfViewer::OnFindRequest(const COPYDATASTRUCT* data) {
  if (!data) return;
  const auto request = DecodeFindRequest(data->dwData, data->lpData, data->cbData);
  if (!request || request->command != kFindNextCommand) return;
  if (logs::LogDocument* document = LogViewDocument(memLog)) {
    FindInLogView(*document, *request);
    return;
  }
  CHARRANGE selection{};
  SendMessageA(memLog, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  const SearchRange range =
      SearchRangeFor(selection.cpMin, selection.cpMax, GetWindowTextLengthA(memLog));
  FINDTEXTA find{};
  find.chrg.cpMin = range.start;
  find.chrg.cpMax = range.start + range.length;
  find.lpstrText = request->text.c_str();
  const LRESULT found = SendMessageA(memLog, EM_FINDTEXT, FindTextFlags(request->options),
                                     reinterpret_cast<LPARAM>(&find));
  if (found >= 0) {
    SetFocus(memLog);
    CHARRANGE match{static_cast<LONG>(found),
                    static_cast<LONG>(found) + CharacterCount(request->text)};
    SendMessageA(memLog, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&match));
    SendMessageA(memLog, EM_SCROLLCARET, 0, 0);
    return;
  }
  if (FFindForm) FFindForm->Hide();
  vTaskDialog->ShowNotFound(Caption(), request->text);
}

// A find request in the log view: forward from behind the selection (from the top without
// one) to the end, no wrap; the match is selected in characters, as the document counts them.
// A search over more than this many characters runs as long work, in pieces of this size.
constexpr std::int64_t kFindPieceChars = std::int64_t{4} << 20;

void TfViewer::FindInLogView(logs::LogDocument& document, const FindRequest& request) {
  if (!WaitForIndexAnswering()) return;
  // In 64-bit positions: a log past 2 GB has matches beyond what the edit messages can say.
  const logs::TextRange selection = LogViewSelection(memLog);
  const std::int64_t from = selection.end > selection.start ? selection.end : 0;
  const std::int64_t end = document.Length();
  const bool matchCase = (request.options & kFindMatchCase) != 0;
  const bool wholeWord = (request.options & kFindWholeWord) != 0;
  bool readFailed = false;
  std::optional<logs::TextRange> found;
  if (end - from <= kFindPieceChars) {
    found = document.Find(from, end, request.text, matchCase, wholeWord, &readFailed);
  } else {
    // Piece by piece, each reaching a match that starts in it (the text's bytes are at least
    // its characters), so Esc is seen between pieces.
    const auto overlap = static_cast<std::int64_t>(request.text.size());
    const LongWorkEnd result =
        RunLongWork(L"Searching", [&](const std::atomic<bool>& cancel, std::atomic<int>& percent) {
          for (std::int64_t at = from; at < end && !found && !readFailed; at += kFindPieceChars) {
            if (cancel) return false;
            percent = static_cast<int>((at - from) * 100 / (end - from));
            const std::int64_t to = std::min(end, at + kFindPieceChars + overlap);
            found = document.Find(at, to, request.text, matchCase, wholeWord, &readFailed);
          }
          return true;
        });
    if (result == LongWorkEnd::Cancelled) return;  // the selection stays, nothing to say
    // Memory ran out: the search did not get through the log, which is no "Not Found".
    if (result == LongWorkEnd::Failed && !found) readFailed = true;
  }
  if (found) {
    SetFocus(memLog);
    LogViewSelect(memLog, *found);
    return;
  }
  if (FFindForm) FFindForm->Hide();
  // Not "Not Found" when part of the log could not be searched.
  if (readFailed)
    vTaskDialog->ShowReadError(logFile_);
  else
    vTaskDialog->ShowNotFound(Caption(), request.text);
}

}  // namespace vt9::win
