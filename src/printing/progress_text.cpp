#include "printing/progress_text.h"

namespace vt9 {

std::string ProgressStatus(const std::string& message) {
  return message.empty() ? "Sending Pages To Printer" : message;
}

std::string ProgressPageLabel(unsigned page, unsigned first, unsigned last, unsigned copies) {
  std::string label = "Page " + std::to_string(page);
  if (first == 1) {
    label += " of " + std::to_string(last - first + 1);
    if (copies > 1) label += " x " + std::to_string(copies) + " Copies";
  }
  return label;
}

std::uint64_t ProgressMaximum(unsigned first, unsigned last, unsigned copies) {
  return std::uint64_t(copies) * (last >= first ? last - first + 1 : 0);
}

}  // namespace vt9
