// Lines handed to the page printer one at a time, so a log of any size is printed without a
// copy of its text: the viewer's text control, the log document or a file can be a source.
//
// Contract: LineCount() does not change while a layout or a print reads the source. ReadLine
// may be called in any order (a page laid out again starts at its first line), though most
// calls go forward one line at a time, which a source should make cheap.
#pragma once

#include <cstdint>
#include <string>

namespace vt9 {

class LineSource {
 public:
  virtual ~LineSource() = default;
  // The number of lines.
  virtual std::uint64_t LineCount() = 0;
  // Line `index` (from 0) as 8-bit ANSI text without its line break, replacing `line`'s
  // content. False when the index is past the end or the line cannot be read; `line` is then
  // empty.
  virtual bool ReadLine(std::uint64_t index, std::string& line) = 0;
};

}  // namespace vt9
