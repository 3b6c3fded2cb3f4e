// The viewer's rich-edit control as a line source for the page printer: each line is read from
// the control when layout or printing asks for it, so a log prints without a copy of its text.
// The control does not wrap, so its lines are the text's lines; a last empty line (the text ends
// with a line break, or is empty) is no line of the log.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "printing/line_source.h"

namespace vt9::win {

class RichEditLines : public LineSource {
 public:
  // The count is taken now: the control must not change while the source is in use.
  explicit RichEditLines(HWND edit);
  std::uint64_t LineCount() override { return count_; }
  bool ReadLine(std::uint64_t index, std::string& line) override;

 private:
  HWND edit_;
  std::uint64_t count_ = 0;
  std::string buffer_;
};

}  // namespace vt9::win
