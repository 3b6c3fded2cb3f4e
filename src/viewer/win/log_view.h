// The log view: the viewer's own text control for plain-text logs of any size. It shows a
// LogDocument (read a block at a time, indexed on a worker thread while the window is already up)
// and paints only the lines on screen, so a 1 GB log opens at once where the rich-edit control
// would have to hold and lay out the whole text.
//
// It behaves as a multi-line edit control without word wrap: both scroll bars, a caret, a
// selection by keyboard and mouse, the mouse wheel, a word on double-click, typing, cut, copy,
// paste and undo; the right button's context menu goes to the parent as WM_CONTEXTMENU (from
// DefWindowProc). It answers the standard edit messages (WM_GETTEXT, EM_GETSEL, EM_EXSETSEL,
// EM_GETLINE, EM_LINEINDEX, EM_REPLACESEL, ...), positions counting a line break as one
// character as the rich-edit control does, so tools, screen readers and the viewer read and
// drive it as they would an edit control.
//
// To its parent it sends WM_COMMAND with its control id and one of the LVN_ codes below.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace vt9::logs {
class LogDocument;
struct TextRange;
}

namespace vt9::win {

class MatchList;

inline constexpr char kLogViewClass[] = "VT9LogView";

// Notifications in WM_COMMAND's high word.
enum : WORD {
  LVN_INDEXPROGRESS = 0x7F01,   // more of the file is indexed (LogViewProgress)
  LVN_INDEXDONE = 0x7F02,       // the index is complete (or stopped by a read failure)
  LVN_READFAILED = 0x7F03,      // the file shrank or could not be read; sent once
  LVN_COPYTOOLARGE = 0x7F04,    // a copy was refused: above the limit, or no memory for it
  LVN_COPYREADFAILED = 0x7F05,  // a copy was refused: part of the selection could not be read
  LVN_FOLLOWNOTE = 0x7F06,      // the follow note changed (LogViewFollowNote); the file grew
  LVN_FILECHANGED = 0x7F07,     // the file shrank or was replaced: read again (LogViewFileChange)
  LVN_GREW = 0x7F08,            // lines were appended to the followed file and taken in
};

// Following the file while its writer appends to it (log_view_follow.cpp). Plain-text logs only.
// Starts watching `path` (the file the view's document was opened from): a timer takes in what
// was appended, the view stays at the end while the caret is on the last line.
void LogViewFollow(HWND view, const std::string& path);
// True while appended lines wait because the text was edited.
bool LogViewFollowPaused(HWND view);
// Whether the view scrolls to the end as lines arrive (the context menu's "Follow").
void LogViewSetFollowing(HWND view, bool following);
bool LogViewFollowing(HWND view);
// True once the file grew while shown (the "Follow" menu item is offered from then on).
bool LogViewGrew(HWND view);
// While held (printing), appended bytes wait, so the pages hold what was there at Print.
void LogViewHoldGrowth(HWND view, bool hold);
// The note for the button bar: "1,234 new lines", "Follow paused: the text was edited", the file
// is gone, or what the window set (LogViewSetFollowNote); empty for none.
std::wstring LogViewFollowNote(HWND view);
void LogViewSetFollowNote(HWND view, const std::wstring& note);
// Why LVN_FILECHANGED was sent.
enum class FileChange { None, Shrunk, Replaced, Restart };
FileChange LogViewFileChange(HWND view);

// Registers the window class (once); false when it cannot be registered.
bool RegisterLogView();

// Hands the view its document and starts indexing it on a worker thread; the view owns it from
// now on, and stops and joins the worker when it is destroyed or given another document.
void LogViewSetDocument(HWND view, std::unique_ptr<logs::LogDocument> document);
// The view's document, or null (no view, or none given yet).
logs::LogDocument* LogViewDocument(HWND view);
// Per cent of the file indexed, 0 to 100 (100 once complete or without a document).
int LogViewProgress(HWND view);
// Returns once the index is complete (at once when it is); the viewer waits so before an
// operation on the whole text: find, copy, save and print.
void LogViewWaitForIndex(HWND view);
// Whether `window` is a log view.
bool IsLogView(HWND window);
// The selection in 64-bit positions, for the viewer in the same process: the edit messages answer
// other programs in 32 bits, clamped, so a log past 2 GB is driven through these instead.
logs::TextRange LogViewSelection(HWND view);
// Selects [range.start, range.end) with the caret at its end and scrolls it into view.
void LogViewSelect(HWND view, logs::TextRange range);

// Shows only the lines of `list` (null: every line again), with each line's number in the file
// in a gutter at the left. The view reads the list while painting; the list must outlive this
// setting. Editing waits until every line is shown again.
void LogViewShowOnly(HWND view, const MatchList* list);
// The list given to LogViewShowOnly grew: the scroll range follows, new rows are painted.
void LogViewRefreshShown(HWND view);
// Selects the line (the caret at its start) and scrolls it into view.
void LogViewSelectLine(HWND view, std::int64_t line);
// The line of the caret (0 without a document).
std::int64_t LogViewCaretLine(HWND view);

}  // namespace vt9::win
