// The few blocks of a log the window read last, so painting, copying and search read each block
// of the file once while they work near each other, and the process never holds the whole file.
//
// Reads go no further than the size the file had when it was opened. A block that comes back
// short (the file shrank) or fails counts as a read failure, which the document reports once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <vector>

#include "platform/random_access_file.h"

namespace vt9::logs {

class BlockCache {
 public:
  BlockCache(RandomAccessFile& file, std::uint64_t fileBytes, std::size_t blockBytes,
             std::size_t blocks);
  // Copies bytes [offset, offset + size) into `out`; false when any of them could not be read
  // (past the size at opening, or the file failed).
  bool Read(std::uint64_t offset, std::size_t size, std::uint8_t* out);
  // The same straight from the file, leaving the cached blocks alone (a search passing over the
  // whole file would otherwise push out the blocks on screen).
  bool ReadThrough(std::uint64_t offset, std::size_t size, std::uint8_t* out);
  // Calls `use(bytes, count)` for the bytes [offset, offset + size) a block at a time, without
  // copying; stops and returns false when `use` returns false or a read fails.
  template <class Use>
  bool ForEach(std::uint64_t offset, std::uint64_t size, Use&& use);
  bool Failed() const;
  // Reads that failed so far: an operation compares it before and after to know whether it saw
  // the whole text.
  std::uint64_t Failures() const;

 private:
  struct Block {
    std::uint64_t start = 0;
    std::vector<std::uint8_t> bytes;
  };
  // The block holding `offset`, read if needed, moved to the front; null when it cannot be read.
  const Block* Fetch(std::uint64_t offset);

  RandomAccessFile& file_;
  std::uint64_t fileBytes_;
  std::size_t blockBytes_;
  std::size_t maxBlocks_;
  mutable std::mutex mutex_;
  std::list<Block> blocks_;  // most recently used first
  bool failed_ = false;
  std::uint64_t failures_ = 0;
};

template <class Use>
bool BlockCache::ForEach(std::uint64_t offset, std::uint64_t size, Use&& use) {
  std::vector<std::uint8_t> piece;
  while (size > 0) {
    const std::size_t inBlock = std::size_t(blockBytes_ - offset % blockBytes_);
    const std::size_t take = std::size_t(std::min<std::uint64_t>(size, inBlock));
    piece.resize(take);
    if (!Read(offset, take, piece.data())) return false;
    if (!use(static_cast<const std::uint8_t*>(piece.data()), take)) return false;
    offset += take;
    size -= take;
  }
  return true;
}

}  // namespace vt9::logs
