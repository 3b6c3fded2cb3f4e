// The texts and bar range of the print progress dialog.
#pragma once

#include <cstdint>
#include <string>

namespace vt9 {

inline constexpr const char* kFinishProgress = "<FINISH>";

// The status line: the message, or "Sending Pages To Printer" when it is empty.
std::string ProgressStatus(const std::string& message);
// "Page n"; when the range starts at page 1 also " of m", and with more than one copy
// " x c Copies".
std::string ProgressPageLabel(unsigned page, unsigned first, unsigned last, unsigned copies);
// Copies x pages in the range: the bar runs over all pages of all copies.
std::uint64_t ProgressMaximum(unsigned first, unsigned last, unsigned copies);

}  // namespace vt9
