// Finished pages as compact display lists of our own: a page is a run of drawing operations
// (font changes, text runs, lines) in printer pixels, replayed onto any canvas. Text of every
// page lives in one shared buffer, so the memory held stays proportional to the text and no
// page needs a system object (a metafile per page would exhaust a process's GDI quota long
// before a log of a million lines is paginated).
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace vt9 {

class TPageList {
 public:
  // Starts a new, empty page and makes it the one recorded into.
  void AddPage();
  std::size_t Count() const { return pages_.size(); }
  void Clear();

  // Recording onto the last page. Coordinates are printer pixels from the printable origin.
  void SetFont(const FontSpec& font, int textHeight);
  void Text(int x, int y, std::string_view text);
  void Line(int x1, int y1, int x2, int y2, int penWidth);
  // Whether the last page has any text or line.
  bool LastPageDrawn() const;

  // Draws page `index` (0-based) onto the canvas; `clipWidth` bounds each text run's rectangle.
  void Replay(std::size_t index, Canvas& canvas, int clipWidth) const;

  // Bytes held for the recorded pages (for the memory figures of the benchmark).
  std::size_t MemoryBytes() const;

 private:
  // Operations are 16 bytes: text runs (the most frequent) carry position, offset and length;
  // a line takes two slots. The kind sits in the top bits of the last word.
  enum Kind : std::uint32_t { kFont = 0, kText = 1, kLine = 2, kLineEnd = 3 };
  struct Op {
    std::int32_t a, b, c;
    std::uint32_t d;  // kind << 30 | value
  };
  static constexpr std::uint32_t kValueMask = (1u << 30) - 1;
  // Text is kept in blocks that never move or grow by copying, addressed as one space of
  // kBlockSize bytes per block, so a run is found by its offset alone.
  static constexpr std::size_t kBlockSize = std::size_t(1) << 22;
  struct Block {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::size_t used = 0;
  };
  struct Page {
    std::size_t firstOp = 0;
    std::size_t opCount = 0;
    bool drawn = false;
  };
  struct Font {
    FontSpec fontSpec;
    int textHeight;
  };
  void Push(const Op& op);
  std::deque<Op> ops_;
  std::vector<Page> pages_;
  std::vector<Font> fonts_;
  std::vector<Block> blocks_;
  int currentFont_ = -1;
};

}  // namespace vt9
