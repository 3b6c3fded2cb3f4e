// The line index of a log: where each line starts, in bytes of the file and in characters of the
// text, kept small enough for a log of millions of lines in a 32-bit process.
//
// Lines are kept in groups of 1024. A group holds the absolute byte and character position of
// its first line; each line adds its length in bytes as a variable-length number (one byte up to
// 127, two up to 16,511, so a line under 16 KB costs at most two bytes). Its length in characters
// follows from the bytes and the "loss" (bytes - characters):
//   - on a single-byte code page the loss is only the extra byte of a CR LF break, so it is a
//     bit; a group whose lines all end alike needs no bits at all;
//   - other encodings write the loss as a second number.
// Finding a line decodes at most one group's numbers; reading lines in order continues from the
// last one found.
//
// Not thread-safe by itself except for the lookup cache; the document locks around it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace vt9::logs {

class LineIndex {
 public:
  // `startByte`: where the text begins (after a byte-order mark); `bitLoss`: the loss of every
  // line is 0 or 1 (single-byte code pages).
  LineIndex(std::uint64_t startByte, bool bitLoss);

  // Adds a complete line, break included.
  void Append(std::uint64_t bytes, std::uint64_t chars);
  // No more lines follow: gives back the room kept for growth.
  void Finish();
  // Takes back the last line (a line ended by a CR at the file's end, when more bytes came and
  // an LF may be its second half). Lines() > 0.
  void RemoveLast();

  struct Line {
    std::uint64_t byteStart = 0;
    std::int64_t charStart = 0;
    std::uint64_t bytes = 0;  // break included
    std::int64_t chars = 0;   // break included (one)
  };
  std::int64_t Lines() const { return lines_; }
  // Where the text after the last complete line starts.
  std::uint64_t EndByte() const { return endByte_; }
  std::int64_t EndChar() const { return endChar_; }
  // Line `line` < Lines().
  Line Get(std::int64_t line) const;
  // The line holding character `position`: the last line starting at or before it, Lines()
  // when it lies at or after EndChar().
  std::int64_t LineOfChar(std::int64_t position) const;
  // The same for a byte offset.
  std::int64_t LineOfByte(std::uint64_t byte) const;
  std::size_t MemoryBytes() const;

 private:
  static constexpr int kGroupShift = 10;
  static constexpr std::int64_t kGroupLines = std::int64_t(1) << kGroupShift;
  static constexpr std::size_t kChunkShift = 12;
  static constexpr std::size_t kChunkBytes = std::size_t(1) << kChunkShift;
  using Bits = std::array<std::uint64_t, kGroupLines / 64>;
  enum class LossMode : std::uint8_t { AllZero, AllOne, Bits, Stored };
  struct Group {
    std::uint64_t byteStart;
    std::int64_t charStart;
    std::uint64_t stream;  // offset of its first number
    std::uint32_t bits;    // index into bits_ when mode is Bits
    LossMode mode;
  };
  struct Cursor {  // a line already found: the next lookups in the same group continue here
    std::int64_t line = -1;
    std::uint64_t byteStart = 0;
    std::int64_t charStart = 0;
    std::uint64_t stream = 0;
  };

  void Put(std::uint64_t value);
  std::uint64_t Take(std::uint64_t& at) const;
  bool LossBit(std::int64_t line) const;
  // Reads line `line`'s record at `at` (moving it) into bytes and chars.
  void Record(std::int64_t line, std::uint64_t& at, std::uint64_t& bytes,
              std::int64_t& chars) const;
  void CloseGroup();
  template <class NotPast>
  Cursor Start(std::size_t gi, NotPast&& notPast) const;
  template <class T>
  std::int64_t LineAt(T key) const;

  bool bitLoss_;
  std::int64_t lines_ = 0;
  std::uint64_t endByte_;
  std::int64_t endChar_ = 0;
  std::uint64_t streamBytes_ = 0;
  std::vector<std::unique_ptr<std::uint8_t[]>> chunks_;
  std::uint8_t* write_ = nullptr;  // where the next number goes in the last chunk
  std::uint8_t* writeEnd_ = nullptr;
  std::vector<Group> groups_;
  std::vector<Bits> bits_;
  Bits openBits_{};  // loss bits of the group being filled
  mutable std::mutex cursorMutex_;
  mutable Cursor cursor_;
};

}  // namespace vt9::logs
