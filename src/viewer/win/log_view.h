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
};

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
