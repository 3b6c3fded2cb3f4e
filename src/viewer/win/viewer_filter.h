// "Only the lines with…" in the log viewer: the filter bar, the filtered pane, the "Problems (N)"
// button, the log showing only the picked lines, F8 / Shift+F8 and Ctrl+G. The viewer owns one
// and hands it its keys, commands, layout and the log view's notifications; while the filter is
// closed and the log holds no problem lines, none of its windows is shown.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "printing/line_source.h"

namespace vt9::win {

class ViewerFilter {
 public:
  struct Hooks {
    // Prints the lines with `header` centred above them (the viewer's print flow).
    std::function<void(LineSource& lines, const std::string& header)> print;
    // The lines could not be saved to `file`.
    std::function<void(const std::string& file)> saveFailed;
    // Bar, pane or button came or went: the viewer lays itself out again.
    std::function<void()> relayout;
    // The viewer's caption (for the print header).
    std::function<std::string()> caption;
  };

  ViewerFilter(HWND viewer, Hooks hooks);
  ~ViewerFilter();
  ViewerFilter(const ViewerFilter&) = delete;
  ViewerFilter& operator=(const ViewerFilter&) = delete;

  // Creates the bar, the pane and the hidden "Problems" button, with the fonts to use.
  void Create(HFONT uiFont, HFONT logFont, int dpi);
  // The viewer shows another text control: a filter of the one before ends.
  void SetLog(HWND log);
  bool IsOpen() const;

  // Opens the bar and the pane (the terms' box gets the focus); closes them, the log staying
  // where it is.
  void Open();
  void Close();

  // Places bar and pane above `bottom` (the button bar's top) across `width`; returns where the
  // log ends.
  int LayOut(int width, int bottom);
  // The "Problems" button's place: in the button bar between `left` and `right`, at `top`.
  // Returns where it begins (`right` while it is hidden), so the note beside it stays clear.
  int PlaceProblems(int left, int right, int top, int height);

  // The viewer's WM_COMMAND for the filter's windows and menu items; true when it was theirs.
  bool OnCommand(int controlId, int code);
  // The pane's context menu; true when `source` was the pane.
  bool OnContextMenu(HWND source, LPARAM lParam);
  // Adds the log menu's item that opens the filter.
  void AddToLogMenu(HMENU menu);
  // Ctrl+L, Ctrl+G, F8, Shift+F8, and Esc, Enter and Down where they are the filter's; true when
  // the key was used.
  bool PreTranslate(const MSG& msg);
  // The log view's index is complete: the problem lines are known.
  void OnIndexDone();
  // Lines were appended to the followed log: the problem count, and the run or the problem
  // lines shown, take them in.
  void OnLogGrew();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vt9::win
