// The log view following its file while a backup still writes it: a timer asks the document to
// take in what was appended (looking at the size of the document's own open handle, which is
// current while the writer holds the file open, where the folder entry's size lags), keeps the
// view at the end while the caret is on the last line, and otherwise counts the lines that
// arrived. The file is only ever opened to be looked at, sharing read, write and delete, so the
// writer can append to it, rename it and delete it while it is shown.
#include <windows.h>

#include <string>

#include "viewer/win/log_view.h"
#include "viewer/win/log_view_window.h"

namespace vt9::win {
namespace {

constexpr UINT kFollowMs = 250;
// A growth step takes in at most this much, and a tick stops stepping after about kTickMs, so
// the window answers while a writer is far ahead; the rest follows on the next ticks.
constexpr std::uint64_t kStepBytes = 1024 * 1024;
constexpr DWORD kTickMs = 25;

LogView* ViewOf(HWND view) { return IsLogView(view) ? LogView::FromWindow(view) : nullptr; }

// "1,234": the count as the button bar shows it.
std::wstring Grouped(std::int64_t n) {
  std::wstring digits = std::to_wstring(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<std::size_t>(at), 1, L',');
  return digits;
}

// Which file the name leads to now: false when it leads nowhere (deleted, renamed, or deleted
// while still open somewhere, which Windows reports as access denied).
bool IdentityOf(const std::string& path, DWORD& volume, DWORD& high, DWORD& low) {
  HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = GetFileInformationByHandle(file, &info) != FALSE;
  CloseHandle(file);
  if (!ok) return false;
  volume = info.dwVolumeSerialNumber;
  high = info.nFileIndexHigh;
  low = info.nFileIndexLow;
  return true;
}

}  // namespace

void LogViewFollow(HWND view, const std::string& path) {
  if (LogView* v = ViewOf(view)) v->Follow(path);
}

void LogViewSetFollowing(HWND view, bool following) {
  LogView* v = ViewOf(view);
  if (!v) return;
  v->following_ = following;
  if (following) v->OnFollowTimer();
}

bool LogViewFollowing(HWND view) {
  const LogView* v = ViewOf(view);
  return v && v->following_;
}

bool LogViewFollowPaused(HWND view) {
  const LogView* v = ViewOf(view);
  return v && v->paused_;
}

bool LogViewGrew(HWND view) {
  const LogView* v = ViewOf(view);
  return v && v->grew_;
}

void LogViewHoldGrowth(HWND view, bool hold) {
  if (LogView* v = ViewOf(view)) v->holdGrowth_ = hold;
}

std::wstring LogViewFollowNote(HWND view) {
  const LogView* v = ViewOf(view);
  return v ? v->followNote_ : std::wstring();
}

void LogViewSetFollowNote(HWND view, const std::wstring& note) {
  if (LogView* v = ViewOf(view)) v->SetFollowNote(note);
}

FileChange LogViewFileChange(HWND view) {
  const LogView* v = ViewOf(view);
  return v ? static_cast<FileChange>(v->fileChange_) : FileChange::None;
}

void LogView::Follow(const std::string& path) {
  KillTimer(hwnd_, kFollowTimer);
  followPath_ = path;
  grew_ = false;
  followStopped_ = path.empty();
  newLines_ = 0;
  paused_ = false;
  followNote_.clear();
  fileChange_ = 0;
  if (path.empty()) return;
  if (!IdentityOf(path, fileVolume_, fileIndexHigh_, fileIndexLow_)) return;
  SetTimer(hwnd_, kFollowTimer, kFollowMs, nullptr);
}

void LogView::SetFollowNote(std::wstring note) {
  if (note == followNote_) return;
  followNote_ = std::move(note);
  Notify(LVN_FOLLOWNOTE);
}

void LogView::OnFollowTimer() {
  if (!doc_ || followStopped_ || holdGrowth_ || !indexDone_ || followPath_.empty()) return;
  DWORD volume = 0, high = 0, low = 0;
  if (!IdentityOf(followPath_, volume, high, low)) {
    // Deleted or renamed: the text stays as it was, and says so.
    followStopped_ = true;
    KillTimer(hwnd_, kFollowTimer);
    SetFollowNote(L"The log is gone (deleted or renamed)");
    return;
  }
  logs::LogDocument::Growth growth = logs::LogDocument::Growth::None;
  if (volume != fileVolume_ || high != fileIndexHigh_ || low != fileIndexLow_) {
    growth = logs::LogDocument::Growth::Replaced;  // another file under the name (rotated)
  }
  const std::int64_t before = doc_->LineCount();
  const logs::TextRange selection = Selection();
  // At the end: the caret on the last line, nothing selected.
  const bool atEnd =
      selection.start == selection.end && doc_->LineFromPosition(caret_) == before - 1;
  bool grew = false;
  const DWORD started = GetTickCount();
  while (growth == logs::LogDocument::Growth::None || growth == logs::LogDocument::Growth::Grew) {
    const logs::LogDocument::Growth step = doc_->CheckGrowth(kStepBytes);
    if (step == logs::LogDocument::Growth::None) break;
    growth = step;
    if (step != logs::LogDocument::Growth::Grew) break;
    grew = true;
    if (GetTickCount() - started >= kTickMs) break;
  }
  switch (growth) {
    case logs::LogDocument::Growth::Shrunk:
    case logs::LogDocument::Growth::Replaced:
    case logs::LogDocument::Growth::Restart:
      followStopped_ = true;
      KillTimer(hwnd_, kFollowTimer);
      fileChange_ = growth == logs::LogDocument::Growth::Shrunk     ? int(FileChange::Shrunk)
                    : growth == logs::LogDocument::Growth::Replaced ? int(FileChange::Replaced)
                                                                    : int(FileChange::Restart);
      Notify(LVN_FILECHANGED);  // the window reads the file again, from the start
      return;
    case logs::LogDocument::Growth::Edited:
      paused_ = true;
      SetFollowNote(L"Follow paused: the text was edited");
      return;
    default:
      break;
  }
  const std::int64_t after = doc_->LineCount();
  if (grew) {
    if (paused_) {  // every edit undone: the text is the file's again
      paused_ = false;
      SetFollowNote(std::wstring());
    }
    const bool first = !grew_;
    grew_ = true;
    paintedLines_ = after;
    UpdateScrollBars();
    if (topLine_ + VisibleLines() + 1 >= before) InvalidateRect(hwnd_, nullptr, FALSE);
    if (atEnd && following_) {
      newLines_ = 0;
      MoveCaret(doc_->Length(), false);
    } else {
      newLines_ += after - before;
      UpdateCaret();
    }
    if (first) Notify(LVN_FOLLOWNOTE);  // the window offers "Follow" from now on
    Notify(LVN_GREW);
  } else if (newLines_ > 0 && atEnd) {
    newLines_ = 0;  // the user went to the end
  }
  if (newLines_ > 0) {
    SetFollowNote(Grouped(newLines_) + (newLines_ == 1 ? L" new line" : L" new lines"));
  } else if (followNote_.find(L" new line") != std::wstring::npos) {
    SetFollowNote(std::wstring());
  }
}

}  // namespace vt9::win
