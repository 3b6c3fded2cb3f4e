// Printing of the log: the page printer lays the lines out under a header with the caption
// (reading them from a line source, never copying the log), the system print dialog chooses
// printer, range and copies, the pages go to that printer (laid out again when it is not the
// default one). Layout and printing both show the progress dialog with Cancel and keep the
// hourglass over the viewer.
#pragma once

#include <windows.h>

#include <string>

#include "printing/line_source.h"

namespace vt9::win {

class TPagePrinter;

// The system lists at least one printer (false also when the list cannot be had).
bool PrintersAvailable();

struct PrintJob {
  LineSource* lines = nullptr;  // read while Print runs
  std::string caption;          // centred in the header of every page
  HFONT font = nullptr;
};

class LogPrinter {
 public:
  // Lays the lines out, asks for range and copies in the print dialog and prints, with the
  // hourglass while layout runs and pages go out. Returns when all is done or cancelled.
  void Print(HWND owner, const PrintJob& job);
  // While Print runs: stop after the page being sent (the page printer's Cancel).
  void Cancel();

 private:
  TPagePrinter* running_ = nullptr;
};

}  // namespace vt9::win
