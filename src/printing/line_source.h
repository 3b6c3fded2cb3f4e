// Lines handed to the page printer one at a time, so a log of any size is printed without a
// copy of its text: the viewer's text control, the log document or a file can be a source.
//
// Contract: LineCount() does not change while a layout or a print reads the source. ReadLine
// may be called in any order (a page laid out again starts at its first line), though most
// calls go forward one line at a time, which a source should make cheap.
#pragma once

#include <cstddef>
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
  // Whether ReadLinePart reads only the part asked for. A source that does makes a line of any
  // length cost each printed page only the text on that page; otherwise a line is read whole
  // once each time a page is laid out from it.
  virtual bool ReadsParts() const { return false; }
  // Up to `maxBytes` bytes of line `index` from byte `offset` on, replacing `part`'s content;
  // fewer when the line ends first (none past its end). False when the line cannot be read.
  virtual bool ReadLinePart(std::uint64_t index, std::uint64_t offset, std::size_t maxBytes,
                            std::string& part) {
    std::string line;
    part.clear();
    if (!ReadLine(index, line)) return false;
    if (offset < line.size()) part.assign(line, static_cast<std::size_t>(offset), maxBytes);
    return true;
  }
};

}  // namespace vt9
