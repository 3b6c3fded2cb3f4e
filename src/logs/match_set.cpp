#include "logs/match_set.h"

#include <algorithm>
#include <bit>

namespace vt9::logs {

namespace {

// The position of the k-th (0-based) set bit of `word`, which has more than k.
int SelectBit(std::uint64_t word, int k) {
  for (; k > 0; --k) word &= word - 1;
  return std::countr_zero(word);
}

}  // namespace

void MatchSet::ToBitmap(Chunk& c) {
  c.bits.assign(kWords, 0);
  c.groups.assign(kGroups, 0);
  for (std::uint16_t o : c.offsets) c.bits[o >> 6] |= std::uint64_t(1) << (o & 63);
  for (std::uint16_t o : c.offsets) {
    for (std::size_t g = std::size_t(o >> 6) / kGroupWords + 1; g < kGroups; ++g) ++c.groups[g];
  }
  std::vector<std::uint16_t>().swap(c.offsets);
}

void MatchSet::Add(std::int64_t line) {
  if (line < 0 || line <= last_) return;
  const std::int64_t block = line >> kBlockBits;
  const auto offset = std::uint16_t(line & (kBlockLines - 1));
  if (chunks_.empty() || chunks_.back().block != block) {
    if (!chunks_.empty()) chunks_.back().offsets.shrink_to_fit();
    Chunk c;
    c.block = block;
    c.before = count_;
    chunks_.push_back(std::move(c));
  }
  Chunk& c = chunks_.back();
  if (c.bits.empty()) {
    c.offsets.push_back(offset);
    if (c.offsets.size() > kArrayMax) ToBitmap(c);
  } else {
    c.bits[offset >> 6] |= std::uint64_t(1) << (offset & 63);
    // Every later group now has one more before it.
    for (std::size_t g = std::size_t(offset >> 6) / kGroupWords + 1; g < kGroups; ++g) {
      ++c.groups[g];
    }
  }
  ++c.count;
  ++count_;
  last_ = line;
}

std::size_t MatchSet::ChunkFrom(std::int64_t block) const {
  const auto it = std::lower_bound(chunks_.begin(), chunks_.end(), block,
                                   [](const Chunk& c, std::int64_t b) { return c.block < b; });
  return std::size_t(it - chunks_.begin());
}

std::int64_t MatchSet::Nth(std::int64_t n) const {
  if (n < 0 || n >= count_) return -1;
  // The last chunk with `before` <= n holds it.
  const auto it = std::upper_bound(chunks_.begin(), chunks_.end(), n,
                                   [](std::int64_t v, const Chunk& c) { return v < c.before; });
  const Chunk& c = *(it - 1);
  auto k = std::uint32_t(n - c.before);
  const std::int64_t base = c.block << kBlockBits;
  if (c.bits.empty()) return base + c.offsets[k];
  const std::size_t g =
      std::size_t(std::upper_bound(c.groups.begin(), c.groups.end(), k) - c.groups.begin()) - 1;
  k -= c.groups[g];
  for (std::size_t w = g * kGroupWords;; ++w) {
    const auto ones = std::uint32_t(std::popcount(c.bits[w]));
    if (k < ones) return base + std::int64_t(w * 64) + SelectBit(c.bits[w], int(k));
    k -= ones;
  }
}

std::int64_t MatchSet::CountBefore(std::int64_t line) const {
  if (line <= 0) return 0;
  if (line > last_) return count_;
  const std::int64_t block = line >> kBlockBits;
  const std::size_t i = ChunkFrom(block);
  if (i == chunks_.size()) return count_;
  const Chunk& c = chunks_[i];
  if (c.block != block) return c.before;
  const auto offset = std::uint16_t(line & (kBlockLines - 1));
  if (c.bits.empty()) {
    return c.before +
           (std::lower_bound(c.offsets.begin(), c.offsets.end(), offset) - c.offsets.begin());
  }
  const std::size_t word = offset >> 6;
  const std::size_t g = word / kGroupWords;
  std::int64_t n = c.before + c.groups[g];
  for (std::size_t w = g * kGroupWords; w < word; ++w) n += std::popcount(c.bits[w]);
  const std::uint64_t below = (std::uint64_t(1) << (offset & 63)) - 1;
  return n + std::popcount(c.bits[word] & below);
}

bool MatchSet::Contains(std::int64_t line) const {
  if (line < 0 || line > last_) return false;
  const std::int64_t block = line >> kBlockBits;
  const std::size_t i = ChunkFrom(block);
  if (i == chunks_.size() || chunks_[i].block != block) return false;
  const Chunk& c = chunks_[i];
  const auto offset = std::uint16_t(line & (kBlockLines - 1));
  if (c.bits.empty()) return std::binary_search(c.offsets.begin(), c.offsets.end(), offset);
  return (c.bits[offset >> 6] >> (offset & 63)) & 1;
}

std::size_t MatchSet::MemoryBytes() const {
  std::size_t bytes = sizeof(*this) + chunks_.capacity() * sizeof(Chunk);
  for (const Chunk& c : chunks_) {
    bytes += c.offsets.capacity() * sizeof(std::uint16_t) + c.bits.capacity() * 8 +
             c.groups.capacity() * sizeof(std::uint32_t);
  }
  return bytes;
}

void MatchSet::Clear() {
  chunks_.clear();
  count_ = 0;
  last_ = -1;
}

}  // namespace vt9::logs
