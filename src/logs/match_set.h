// A set of line numbers, for the lines a filter matched: compact at any size (a block of 65,536
// lines keeps its matches as a sorted array of 16-bit offsets while they are few and as a
// bitmap once they are many, so even every line of a huge log costs one bit a line), with the
// n-th match and the count before a line in logarithmic time for scrolling and for the count.
//
// Not synchronised: whoever shares one between threads guards it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vt9::logs {

class MatchSet {
 public:
  // Lines are added in increasing order; a line not above the last one added is ignored.
  void Add(std::int64_t line);
  std::int64_t Count() const { return count_; }
  // The n-th matching line (0-based), -1 past the end (or for n below 0).
  std::int64_t Nth(std::int64_t n) const;
  // Matches on lines < line.
  std::int64_t CountBefore(std::int64_t line) const;
  bool Contains(std::int64_t line) const;
  // The last line added, -1 when none.
  std::int64_t Last() const { return last_; }
  std::size_t MemoryBytes() const;
  void Clear();

 private:
  static constexpr int kBlockBits = 16;
  static constexpr std::int64_t kBlockLines = std::int64_t(1) << kBlockBits;
  static constexpr std::size_t kArrayMax = 4096;  // 8 KB of offsets, the size of the bitmap
  static constexpr std::size_t kWords = std::size_t(kBlockLines / 64);
  static constexpr std::size_t kGroupWords = 64;  // words per prefix count in a bitmap
  static constexpr std::size_t kGroups = kWords / kGroupWords;

  struct Chunk {
    std::int64_t block = 0;   // line >> kBlockBits
    std::int64_t before = 0;  // matches in earlier chunks
    std::uint32_t count = 0;
    std::vector<std::uint16_t> offsets;  // while count <= kArrayMax
    std::vector<std::uint64_t> bits;     // after: kWords words
    std::vector<std::uint32_t> groups;   // bitmap: matches before each group of words
  };

  // The chunk holding block `block`, or the first after it (chunks_.size() when none).
  std::size_t ChunkFrom(std::int64_t block) const;
  static void ToBitmap(Chunk& c);

  std::vector<Chunk> chunks_;
  std::int64_t count_ = 0;
  std::int64_t last_ = -1;
};

}  // namespace vt9::logs
