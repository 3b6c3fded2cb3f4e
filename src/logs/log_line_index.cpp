#include "logs/log_line_index.h"

#include <algorithm>
#include <type_traits>

namespace vt9::logs {

LineIndex::LineIndex(std::uint64_t startByte, bool bitLoss)
    : bitLoss_(bitLoss), endByte_(startByte) {}

// Numbers are written 7 bits a byte, low bits first; a set top bit says another byte follows,
// and each longer form starts where the shorter ones end (two bytes hold 128 to 16,511).
void LineIndex::Put(std::uint64_t value) {
  for (;;) {
    if (write_ == writeEnd_) {
      chunks_.push_back(std::make_unique<std::uint8_t[]>(kChunkBytes));
      write_ = chunks_.back().get();
      writeEnd_ = write_ + kChunkBytes;
    }
    ++streamBytes_;
    if (value < 128) {
      *write_++ = std::uint8_t(value);
      return;
    }
    *write_++ = std::uint8_t(0x80 | (value & 0x7F));
    value = (value >> 7) - 1;
  }
}

std::uint64_t LineIndex::Take(std::uint64_t& at) const {
  std::uint64_t value = 0;
  unsigned shift = 0;
  for (;;) {
    const std::uint8_t b =
        chunks_[std::size_t(at >> kChunkShift)][std::size_t(at) & (kChunkBytes - 1)];
    ++at;
    if (b < 128) return value + (std::uint64_t(b) << shift);
    value += std::uint64_t((b & 0x7F) + 128) << shift;
    shift += 7;
  }
}

void LineIndex::Append(std::uint64_t bytes, std::uint64_t chars) {
  const std::int64_t inGroup = lines_ & (kGroupLines - 1);
  if (inGroup == 0) {
    groups_.push_back(
        Group{endByte_, endChar_, streamBytes_, 0, bitLoss_ ? LossMode::Bits : LossMode::Stored});
    openBits_ = Bits{};
  }
  Put(bytes);
  const std::uint64_t loss = bytes - chars;
  if (bitLoss_) {
    if (loss) openBits_[std::size_t(inGroup >> 6)] |= std::uint64_t(1) << (inGroup & 63);
  } else {
    Put(loss);
  }
  ++lines_;
  endByte_ += bytes;
  endChar_ += std::int64_t(chars);
  if ((lines_ & (kGroupLines - 1)) == 0) CloseGroup();
}

void LineIndex::Finish() {
  groups_.shrink_to_fit();
  bits_.shrink_to_fit();
  chunks_.shrink_to_fit();
}

void LineIndex::CloseGroup() {
  Group& g = groups_.back();
  if (!bitLoss_) return;
  const bool allZero =
      std::all_of(openBits_.begin(), openBits_.end(), [](std::uint64_t w) { return w == 0; });
  const bool allOne = std::all_of(openBits_.begin(), openBits_.end(),
                                  [](std::uint64_t w) { return w == ~std::uint64_t(0); });
  if (allZero) {
    g.mode = LossMode::AllZero;
  } else if (allOne) {
    g.mode = LossMode::AllOne;
  } else {
    g.bits = std::uint32_t(bits_.size());
    bits_.push_back(openBits_);
  }
}

bool LineIndex::LossBit(std::int64_t line) const {
  const Group& g = groups_[std::size_t(line >> kGroupShift)];
  const std::int64_t k = line & (kGroupLines - 1);
  const bool open = (line >> kGroupShift) == std::int64_t(groups_.size()) - 1 &&
                    (lines_ & (kGroupLines - 1)) != 0;
  if (open) return (openBits_[std::size_t(k >> 6)] >> (k & 63)) & 1;
  switch (g.mode) {
    case LossMode::AllZero:
      return false;
    case LossMode::AllOne:
      return true;
    default:
      return (bits_[g.bits][std::size_t(k >> 6)] >> (k & 63)) & 1;
  }
}

void LineIndex::Record(std::int64_t line, std::uint64_t& at, std::uint64_t& bytes,
                       std::int64_t& chars) const {
  bytes = Take(at);
  const std::uint64_t loss = bitLoss_ ? (LossBit(line) ? 1 : 0) : Take(at);
  chars = std::int64_t(bytes - loss);
}

// Where to begin decoding in group `gi`: the last line found when it lies in that group at or
// before the wanted one (`notPast`), else the group's first line.
template <class NotPast>
LineIndex::Cursor LineIndex::Start(std::size_t gi, NotPast&& notPast) const {
  if (cursor_.line >= 0 && std::size_t(cursor_.line >> kGroupShift) == gi && notPast(cursor_)) {
    return cursor_;
  }
  const Group& g = groups_[gi];
  return Cursor{std::int64_t(gi) << kGroupShift, g.byteStart, g.charStart, g.stream};
}

LineIndex::Line LineIndex::Get(std::int64_t line) const {
  std::lock_guard<std::mutex> lock(cursorMutex_);
  Cursor c =
      Start(std::size_t(line >> kGroupShift), [&](const Cursor& k) { return k.line <= line; });
  std::uint64_t bytes = 0;
  std::int64_t chars = 0;
  for (; c.line < line; ++c.line) {
    Record(c.line, c.stream, bytes, chars);
    c.byteStart += bytes;
    c.charStart += chars;
  }
  cursor_ = c;
  std::uint64_t at = c.stream;
  Record(line, at, bytes, chars);
  return Line{c.byteStart, c.charStart, bytes, chars};
}

// The line holding `key`, a character position (T = std::int64_t) or a byte offset
// (T = std::uint64_t): the group found by its start, then the lines decoded from there.
template <class T>
std::int64_t LineIndex::LineAt(T key) const {
  constexpr bool kChars = std::is_same_v<T, std::int64_t>;
  auto startOf = [](const auto& place) -> T {
    if constexpr (kChars)
      return place.charStart;
    else
      return place.byteStart;
  };
  auto it = std::upper_bound(groups_.begin(), groups_.end(), key,
                             [&](T k, const Group& g) { return k < startOf(g); });
  const std::size_t gi = std::size_t(it - groups_.begin()) - 1;
  std::lock_guard<std::mutex> lock(cursorMutex_);
  Cursor c = Start(gi, [&](const Cursor& k) { return startOf(k) <= key; });
  for (;; ++c.line) {
    std::uint64_t at = c.stream;
    std::uint64_t bytes = 0;
    std::int64_t chars = 0;
    Record(c.line, at, bytes, chars);
    if constexpr (kChars) {
      if (key < c.charStart + chars) break;
    } else {
      if (key < c.byteStart + bytes) break;
    }
    c.stream = at;
    c.byteStart += bytes;
    c.charStart += chars;
  }
  cursor_ = c;
  return c.line;
}

std::int64_t LineIndex::LineOfChar(std::int64_t position) const {
  if (position >= endChar_) return lines_;
  if (position <= 0 || groups_.empty()) return 0;
  return LineAt(position);
}

std::int64_t LineIndex::LineOfByte(std::uint64_t byte) const {
  if (byte >= endByte_) return lines_;
  if (groups_.empty() || byte <= groups_[0].byteStart) return 0;
  return LineAt(byte);
}

std::size_t LineIndex::MemoryBytes() const {
  return chunks_.size() * kChunkBytes + chunks_.capacity() * sizeof(chunks_[0]) +
         groups_.capacity() * sizeof(Group) + bits_.capacity() * sizeof(Bits) + sizeof(*this);
}

}  // namespace vt9::logs

namespace vt9::logs {

void LineIndex::RemoveLast() {
  const std::int64_t line = lines_ - 1;
  const Line last = Get(line);
  std::uint64_t at = 0;
  {
    std::lock_guard<std::mutex> lock(cursorMutex_);
    at = cursor_.stream;  // Get left the cursor on the line's record
    cursor_ = Cursor{};
  }
  const std::int64_t inGroup = line & (kGroupLines - 1);
  if (inGroup == kGroupLines - 1 && bitLoss_) {
    // The line closed its group: its loss bits become the open group's again.
    Group& g = groups_.back();
    if (g.mode == LossMode::AllZero) {
      openBits_ = Bits{};
    } else if (g.mode == LossMode::AllOne) {
      openBits_.fill(~std::uint64_t(0));
    } else {
      openBits_ = bits_[g.bits];
      bits_.pop_back();  // the closed group's bits are always the last ones kept
    }
    g.mode = LossMode::Bits;
  }
  if (bitLoss_) openBits_[std::size_t(inGroup >> 6)] &= ~(std::uint64_t(1) << (inGroup & 63));
  if (inGroup == 0) groups_.pop_back();
  // The stream ends where the line's record began.
  streamBytes_ = at;
  chunks_.resize(std::size_t((at + kChunkBytes - 1) >> kChunkShift));
  if (at & (kChunkBytes - 1)) {
    write_ = chunks_.back().get() + (at & (kChunkBytes - 1));
    writeEnd_ = chunks_.back().get() + kChunkBytes;
  } else {
    write_ = writeEnd_ = nullptr;  // the next number starts a new chunk
  }
  --lines_;
  endByte_ -= last.bytes;
  endChar_ -= last.chars;
}

}  // namespace vt9::logs
