// Finished pages as compact display lists of our own: a page is a run of drawing operations
// (font changes, text runs, lines) in printer pixels, replayed onto any canvas. Text of every
// page lives in one shared buffer, so the memory held stays proportional to the text and no
// page needs a system object (a metafile per page would exhaust a process's GDI quota long
// before a log of a million lines is paginated).
//
// Pages laid out from a line source hold no text at all: a page records a checkpoint (which
// run of a source, the line and the position in it its first piece starts at, and where on the
// page) and, when
// the page was begun inside that source, that its header, footer and borders are drawn again
// on replay. The page layout (page_layout.h) lays such pages out again from the source; this
// list only keeps the checkpoint and whatever else was recorded on the page.
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
  // While muted, text and lines are dropped and font changes only tracked (what is muted is
  // drawn again on replay from a checkpoint).
  void SetMuted(bool muted) { muted_ = muted; }
  // The last page's header, footer and borders are drawn again on replay, as run `source` of
  // line sources of the document decides.
  void MarkRegenerated(unsigned source);
  // The last page continues with lines read again from run `source`, from position `offset` of
  // line `line` at y; false when the page already holds a section of a source, or its header
  // is drawn as another run decides.
  bool MarkSource(unsigned source, std::uint64_t line, std::uint64_t offset, int y);

  struct Checkpoint {
    bool regenerated = false;  // header, footer and borders drawn again
    bool hasSource = false;
    unsigned source = 0;
    std::uint64_t line = 0;
    std::uint64_t offset = 0;
    int y = 0;
    std::size_t sourceAt = 0;  // recorded operations before the source section
    std::size_t opCount = 0;   // recorded operations of the page
  };
  Checkpoint CheckpointOf(std::size_t index) const;
  bool IsCheckpointed(std::size_t index) const;
  // Appends operations [begin, end) of page `index` of `from` to the last page, as recorded.
  void CopyOps(const TPageList& from, std::size_t index, std::size_t begin, std::size_t end);

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
  enum PageFlags : std::uint32_t { kDrawn = 1, kRegenerated = 2, kHasSource = 4 };
  // At most 40 bytes, so a page laid out from a source costs well under 64 bytes.
  struct Page {
    std::uint64_t firstOp = 0;
    std::uint64_t line = 0;
    std::uint64_t offset = 0;  // a position in a line of any length
    std::uint32_t opCount = 0;
    std::uint32_t sourceAt = 0;
    std::int32_t y = 0;
    std::uint32_t flags = 0;  // PageFlags | source << 8
  };
  struct Font {
    FontSpec fontSpec;
    int textHeight;
  };
  void Push(const Op& op);
  int FontIndex(const FontSpec& font, int textHeight);
  std::deque<Op> ops_;
  std::deque<Page> pages_;  // a deque: no doubling of a million pages' worth of memory
  std::vector<Font> fonts_;
  std::vector<Block> blocks_;
  int currentFont_ = -1;
  bool muted_ = false;
};

}  // namespace vt9
