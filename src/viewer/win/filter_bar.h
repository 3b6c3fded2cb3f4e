// The filter bar: between the log and the button bar, what the user wants to see of the log.
//   Show only lines with: [terms........................................] [x]
//   [ ] Match case  [ ] Whole words  [ ] Regular expression  [ ] Hide the other lines   40 of
//   1,000,001 lines
// The terms follow ParseFilterTerms (words, "quoted phrases", a leading minus excludes). Typing
// is settled for a moment before the bar says so, so a filter is not started for every key; a
// check box says so at once. The status at the right is the count while and after the filter
// runs, or what is wrong with an expression.
//
// To its parent it sends WM_COMMAND with its control id and one of the FBN_ codes below.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vt9::win {

inline constexpr char kFilterBarClass[] = "VT9FilterBar";

enum : WORD {
  FBN_CHANGED = 0x7D01,  // the terms or an option changed: run the filter again
  FBN_HIDE = 0x7D02,     // "Hide the other lines" was ticked or cleared
  FBN_CLOSE = 0x7D03,    // Esc in the bar, or its close button
  FBN_TOPANE = 0x7D04,   // Down or Enter in the terms: on to the listed lines
};

// The bar's own controls, for tests and screen readers.
namespace filter_bar_id {
enum : int {
  edtTerms = 1,
  chkMatchCase,
  chkWholeWords,
  chkRegex,
  chkHide,
  lblStatus,
  btnClose,
  lblTerms,
};
}

struct FilterBarState {
  std::string terms;
  bool matchCase = false;
  bool wholeWord = false;
  bool regex = false;
  bool hideOthers = false;
};

bool RegisterFilterBar();
// Its height at the window's dots per inch.
int FilterBarHeight(int dpi);
FilterBarState FilterBarRead(HWND bar);
// Sets the terms and options without announcing a change.
void FilterBarWrite(HWND bar, const FilterBarState& state);
// The status at the right: the count (`error` false) or a message in the error colour.
void FilterBarSetStatus(HWND bar, const std::string& text, bool error);
// The terms' box, for the focus.
HWND FilterBarTermsBox(HWND bar);
// A message for the bar's owner, run on the window's thread: posts of a filter's worker come
// through here (the callback is called once per post).
void FilterBarSetPostHandler(HWND bar, std::function<void(WPARAM)> handler);
void FilterBarPost(HWND bar, WPARAM value);
// Calls the handler once, with 0, after `ms` milliseconds (a running filter's next look).
void FilterBarTickLater(HWND bar, UINT ms);

}  // namespace vt9::win
