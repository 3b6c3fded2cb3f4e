// Helpers shared by the parts of the page layout (page_layout.cpp, page_text.cpp, page_rows.cpp,
// page_replay.cpp); not part of the page printer's interface.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "printing/page_layout.h"
#include "printing/page_types.h"

namespace vt9::page_detail {

template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() { f_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
};

inline bool IsBreakChar(char c) { return static_cast<unsigned char>(c) < 33; }

inline int SpacedHeight(int h, TLineSpacing spacing) {
  switch (spacing) {
    case lsHalfSpace:
      return h / 2;
    case lsSingleAndAHalf:
      return h + h / 2;
    case lsDoubleSpace:
      return 2 * h;
    default:
      return h;
  }
}

// A position in a line as a page's checkpoint keeps it: the byte of the line, the tab-stop
// phase of the column that byte is expanded at, and how many of the blanks a tab there expands
// to were already laid out. Tabs are at most 256 wide, so the phase and the blanks take a byte
// each and the byte offset 48 bits.
struct LinePosition {
  std::uint64_t byte = 0;
  unsigned phase = 0;
  unsigned skip = 0;
  std::uint64_t Pack() const {
    return (byte & ((std::uint64_t(1) << 48) - 1)) | std::uint64_t(phase & 0xFF) << 48 |
           std::uint64_t(skip & 0xFF) << 56;
  }
  static LinePosition Unpack(std::uint64_t v) {
    return {v & ((std::uint64_t(1) << 48) - 1), unsigned(v >> 48) & 0xFF, unsigned(v >> 56)};
  }
};

}  // namespace vt9::page_detail

namespace vt9 {

// One line read for layout a part at a time, with its tabs expanded as it is read. For every
// character still to be laid out it tells where in the line it came from, so a page can note
// where its first piece starts and lay itself out again from there without reading the line
// from its start. What has been laid out is dropped, so a line of any length is held only as
// far as a page needs it.
class TPageLayout::LineCursor {
 public:
  // Reads up to `maxBytes` bytes of the line from byte `offset`; fewer means the line ends.
  using Reader = std::function<bool(std::uint64_t offset, std::size_t maxBytes, std::string&)>;
  LineCursor(Reader reader, unsigned tabSize, page_detail::LinePosition start);

  // Reads until at least `count` characters wait to be laid out or the line has ended; false
  // when the line could not be read.
  bool Fill(std::size_t count);
  std::string_view Pending() const;
  bool Ended() const { return ended_; }
  void Consume(std::size_t count);
  // Where the first character waiting to be laid out comes from.
  page_detail::LinePosition Position();

 private:
  struct Tab {
    std::int64_t at;  // index in text_ of its first blank
    unsigned width;
    std::uint64_t byte;
  };
  Reader reader_;
  unsigned tab_;
  std::string text_, part_;
  std::vector<Tab> tabs_;
  std::size_t tabIndex_ = 0;      // the first tab that ends after pos_
  std::size_t pos_ = 0;           // the first character of text_ still to be laid out
  std::uint64_t baseByte_ = 0;    // the line's byte of text_[0] (when no tab precedes it)
  std::uint64_t baseColumn_ = 0;  // the column (modulo the tab size) of text_[0]
  std::uint64_t nextByte_ = 0;    // the next byte to read
  bool ended_ = false;
};

}  // namespace vt9
