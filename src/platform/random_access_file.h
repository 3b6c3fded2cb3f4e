// A file read at positions of the caller's choosing, as the log viewer reads a log of any size
// a block at a time instead of holding it whole.
//
// The Windows implementation opens the file for reading and lets others go on writing, renaming
// and deleting it (a backup may still be writing its log). Size() is the size on disk now, which
// may differ from the size when the file was opened.
//
// Thread safety: ReadAt may be called from two threads at once (the index builder and the
// window); each call reads at its own offset and does not move a shared file pointer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vt9 {

class RandomAccessFile {
 public:
  virtual ~RandomAccessFile() = default;
  // The size on disk now, or -1 when it cannot be had.
  virtual std::int64_t Size() = 0;
  // Reads up to `size` bytes at `offset` into `buffer`: the count read (0 at or past the end),
  // or -1 on a read error.
  virtual std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

}  // namespace vt9
