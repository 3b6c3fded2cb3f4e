#include "logs/log_block_cache.h"

#include <cstring>

namespace vt9::logs {

BlockCache::BlockCache(RandomAccessFile& file, std::uint64_t fileBytes, std::size_t blockBytes,
                       std::size_t blocks)
    : file_(file), fileBytes_(fileBytes), blockBytes_(blockBytes), maxBlocks_(blocks) {}

bool BlockCache::Failed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return failed_;
}

std::uint64_t BlockCache::Failures() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return failures_;
}

const BlockCache::Block* BlockCache::Fetch(std::uint64_t offset) {
  const std::uint64_t start = offset - offset % blockBytes_;
  for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
    if (it->start == start) {
      blocks_.splice(blocks_.begin(), blocks_, it);
      return &blocks_.front();
    }
  }
  const std::size_t want = std::size_t(std::min<std::uint64_t>(blockBytes_, fileBytes_ - start));
  Block block;
  if (blocks_.size() >= maxBlocks_) {
    // Reuse the least recently used block's memory.
    block = std::move(blocks_.back());
    blocks_.pop_back();
  }
  block.start = start;
  block.bytes.resize(want);
  std::size_t got = 0;
  while (got < want) {
    const std::int64_t n = file_.ReadAt(start + got, block.bytes.data() + got, want - got);
    if (n <= 0) break;
    got += std::size_t(n);
  }
  if (got < want) {
    failed_ = true;
    ++failures_;
    return nullptr;
  }
  blocks_.push_front(std::move(block));
  return &blocks_.front();
}

bool BlockCache::Read(std::uint64_t offset, std::size_t size, std::uint8_t* out) {
  if (offset > fileBytes_ || size > fileBytes_ - offset) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  while (size > 0) {
    const Block* b = Fetch(offset);
    if (!b) return false;
    const std::size_t at = std::size_t(offset - b->start);
    const std::size_t take = std::min(size, b->bytes.size() - at);
    std::memcpy(out, b->bytes.data() + at, take);
    out += take;
    offset += take;
    size -= take;
  }
  return true;
}

}  // namespace vt9::logs

namespace vt9::logs {

bool BlockCache::ReadThrough(std::uint64_t offset, std::size_t size, std::uint8_t* out) {
  if (offset > fileBytes_ || size > fileBytes_ - offset) return false;
  std::size_t got = 0;
  while (got < size) {
    const std::int64_t n = file_.ReadAt(offset + got, out + got, size - got);
    if (n <= 0) break;
    got += std::size_t(n);
  }
  if (got == size) return true;
  std::lock_guard<std::mutex> lock(mutex_);
  failed_ = true;
  ++failures_;
  return false;
}

}  // namespace vt9::logs
