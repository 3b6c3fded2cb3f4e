// The filtered pane: below the log, the lines a filter picked, each with its line number in the
// file, listed while the filter still runs. A virtual list painted by itself (one row a line,
// read from the document only while on screen), so a million matches cost nothing to list.
//
// Keys: arrows, Page Up/Down, Home/End (Shift extends the selection), Enter (the log goes to the
// line), Ctrl+A, Ctrl+C (the selected lines as the log holds them, without numbers), Ctrl+S and
// Ctrl+P (handed to the parent), Esc (handed to the parent). A double-click is Enter. The right
// button's menu goes to the parent as WM_CONTEXTMENU.
//
// It answers, as a list box does, LB_GETCOUNT, LB_GETCURSEL / LB_SETCURSEL (the caret's row),
// LB_GETSELCOUNT and LB_GETITEMDATA (a row's line number in the file, from 1), WM_COPY; its
// window text (set by the parent) names what it lists, for screen readers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace vt9::logs {
class LogDocument;
}

namespace vt9::win {

class MatchList;

inline constexpr char kFilterPaneClass[] = "VT9FilterPane";

// Notifications to the parent, in WM_COMMAND's high word.
enum : WORD {
  FPN_OPEN = 0x7E01,   // Enter or a double-click: go to the caret's line
  FPN_SAVE = 0x7E02,   // Ctrl+S
  FPN_PRINT = 0x7E03,  // Ctrl+P
  FPN_CLOSE = 0x7E04,  // Esc
};

bool RegisterFilterPane();

// What the pane lists from now on (both may be null: an empty list); the selection goes.
void FilterPaneSetSource(HWND pane, const logs::LogDocument* document, const MatchList* list);
// The list grew (or ended): the scroll range follows, new rows on screen are painted.
void FilterPaneRefresh(HWND pane);
// The selected rows, first and last (inclusive); {-1, -1} when the list is empty.
std::pair<std::int64_t, std::int64_t> FilterPaneSelection(HWND pane);
// The caret's row, or -1.
std::int64_t FilterPaneCaret(HWND pane);
// Puts the caret on the row (and selects it alone), scrolled into view.
void FilterPaneSelectRow(HWND pane, std::int64_t row);
void FilterPaneSelectAll(HWND pane);
// Copies the selected lines to the clipboard; false when it refused them.
bool FilterPaneCopy(HWND pane);

}  // namespace vt9::win
