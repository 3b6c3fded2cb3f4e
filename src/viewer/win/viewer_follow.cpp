// The viewer window's side of following a growing log: the follow note in the button bar, the
// context menu's "Follow" once the log grows, and reading the log again when it was cut short,
// replaced, or when the edits that paused following were saved.
#include <windows.h>

#include <string>

#include "viewer/win/log_view.h"
#include "viewer/win/viewer_form.h"
#include "viewer/win/viewer_window.h"

namespace vt9::win {

namespace id = viewer_id;

// The follow note ("1,234 new lines", "Follow paused: ...") in the incomplete note's place: a
// log in the log view is never rich text, so the two never meet.
void TfViewer::ShowFollowNote(const std::wstring& note) {
  HWND label = Control(id::lblIncomplete);
  const int length = GetWindowTextLengthW(label);
  std::wstring now(static_cast<std::size_t>(length) + 1, L'\0');
  now.resize(static_cast<std::size_t>(GetWindowTextW(label, now.data(), length + 1)));
  const bool visible = IsWindowVisible(label) != FALSE;
  if (now == note && visible == !note.empty()) return;
  SetWindowTextW(label, note.c_str());
  FormResize();  // one line or two, as the text needs
  ShowWindow(label, note.empty() ? SW_HIDE : SW_SHOWNA);
}

// The file grows: its context menu offers switching following off (a file that does not grow
// keeps the menu as it was).
void TfViewer::OfferFollow(bool following) {
  if (!PopupMenu1) return;
  if (GetMenuState(PopupMenu1, id::popFollow, MF_BYCOMMAND) == UINT(-1))
    AppendMenuA(PopupMenu1, MF_STRING, id::popFollow, "F&ollow");
  CheckMenuItem(PopupMenu1, id::popFollow, MF_BYCOMMAND | (following ? MF_CHECKED : MF_UNCHECKED));
}

void TfViewer::popFollowClick() {
  const bool following = !LogViewFollowing(memLog);
  CheckMenuItem(PopupMenu1, id::popFollow, MF_BYCOMMAND | (following ? MF_CHECKED : MF_UNCHECKED));
  LogViewSetFollowing(memLog, following);
}

// The log shrank or another file took its name: what is shown would be stale, so the file is
// read again from the start, and the button bar says why.
void TfViewer::OnFileChanged() {
  const FileChange change = LogViewFileChange(memLog);
  ReadLogAgain(change == FileChange::Shrunk     ? L"The log was cut short and read again"
               : change == FileChange::Replaced ? L"The log was replaced and read again"
                                                : L"");
}

// The log view's file read again from the start, following as before (after a change of the
// file, or once the edits that paused following were saved).
void TfViewer::ReadLogAgain(const wchar_t* note) {
  const bool offered = GetMenuState(PopupMenu1, id::popFollow, MF_BYCOMMAND) != UINT(-1);
  const bool following = LogViewFollowing(memLog);
  const std::string file = logFile_;
  HWND loaded = LoadFile(file);
  if (!loaded) {
    LogViewSetFollowNote(memLog, L"The log is gone (deleted or renamed)");
    OnLogViewNotify(LVN_FOLLOWNOTE);
    return;
  }
  const bool hadFocus = GetFocus() == memLog;
  AdoptLogControl(loaded);
  if (hadFocus) SetFocus(memLog);
  LogViewSetFollowing(memLog, following);
  if (offered) OfferFollow(following);
  LogViewSetFollowNote(memLog, note);
  OnLogViewNotify(LVN_FOLLOWNOTE);
}

}  // namespace vt9::win
