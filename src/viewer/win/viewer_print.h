// Printing of the log: the page printer lays the lines out under a header with the caption,
// the system print dialog chooses printer, range and copies, the pages go to that printer (laid
// out again when it is not the default one).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vt9::win {

class TPagePrinter;

// The system lists at least one printer (false also when the list cannot be had).
bool PrintersAvailable();

struct PrintJob {
  std::vector<std::string> lines;
  std::string caption;  // centred in the header of every page
  HFONT font = nullptr;
};

class LogPrinter {
 public:
  // Lays the lines out, asks for range and copies in the print dialog and prints, with the
  // hourglass while pages go out. Returns when all is done or cancelled.
  void Print(HWND owner, const PrintJob& job);
  // While Print runs: stop after the page being sent (the page printer's Cancel).
  void Cancel();

 private:
  TPagePrinter* running_ = nullptr;
};

}  // namespace vt9::win
