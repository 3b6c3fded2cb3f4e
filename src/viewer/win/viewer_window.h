// The log viewer (TfViewer): one text file, as a rule a backup log, with Open, Find, Save,
// Print, Copy and Close. Plain text is shown in the viewer's own log view (any size), rich text
// in a rich-edit control. It is the program's main window in "\V" mode.
#pragma once

#include "common/program_state.h"

namespace vt9::win {

inline constexpr char kViewerWindowClass[] = "TfViewer";

namespace viewer_id {
enum : int {
  btnOK = 2,  // IDCANCEL: the form's cancel button
  memLog = 100,
  btnOpenFile,
  btnFind,
  btnSaveAs,
  btnPrint,
  lblIncomplete,    // "The file seems incomplete." in the button bar
  lblProgress,      // "Reading the log… 45 %" while the log view indexes
  filterBar = 110,  // "Show only lines with:" between the log and the button bar
  filterPane,       // the lines the filter picked, below the bar
  btnProblems,      // "Problems (N)" in the button bar once the log is indexed
  popCopy = 200,
  popFind,
  popFilter,           // "Show Only Lines With…"
  popFilterSeparator,  // before it
  popFollow,           // offered once the log grew while shown
  popPaneGo = 210,
  popPaneCopy,
  popPaneSelectAll,
  popPaneSave,
  popPanePrint,
};
}

// Creates the viewer from state.furtherArguments (file, caption, open folder), runs the
// message loop until it closes, and returns 0.
int RunLogViewerWindow(const vt9::ProgramState& state);

}  // namespace vt9::win
