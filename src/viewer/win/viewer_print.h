// Printing of the log: the page printer lays the lines out under a header with the caption,
// the system print dialog chooses range and copies, the pages go to the printer.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vt9::win {

// The system lists at least one printer (false also when the list cannot be had).
bool PrintersAvailable();

struct PrintJob {
  std::vector<std::string> lines;
  std::string caption;  // centred in the header of every page
  HFONT font = nullptr;
};

// Lays the lines out, asks for range and copies and prints. `owner` is disabled meanwhile;
// `cancelRequested` becomes true when the owner is asked to close while pages go out.
void PrintLog(HWND owner, const PrintJob& job, const bool& cancelRequested);

}  // namespace vt9::win
