// Following a log while its writer appends to it: the index continues from where it ended.
//
// Everything before the last, unfinished line stays as indexed. That line is read again from
// its start, since its end was only provisional: a character cut by the old end was counted as
// bytes that are no character, and a CR as the very last byte was taken for a lone CR though
// its LF may come in the next write (then that line is taken back from the index first).
#include <algorithm>
#include <cstring>
#include <mutex>

#include "logs/log_document.h"
#include "logs/log_document_impl.h"

namespace vt9::logs {

void LogDocument::Impl::KeepHead() {
  const std::size_t want = std::size_t(std::min<std::uint64_t>(kHeadBytes, fileBytes));
  if (head.size() >= want) return;
  const std::size_t had = head.size();
  head.resize(want);
  std::size_t got = had;
  while (got < want) {
    const std::int64_t n = file->ReadAt(got, head.data() + got, want - got);
    if (n <= 0) break;
    got += std::size_t(n);
  }
  head.resize(got);
}

bool LogDocument::Impl::HeadUnchanged() const {
  if (head.empty()) return true;
  std::uint8_t now[kHeadBytes];
  std::size_t got = 0;
  while (got < head.size()) {
    const std::int64_t n = file->ReadAt(got, now + got, head.size() - got);
    if (n <= 0) break;
    got += std::size_t(n);
  }
  // A short read means the file shrank under the check; the size says so next time.
  return got < head.size() || std::memcmp(now, head.data(), head.size()) == 0;
}

LogDocument::Growth LogDocument::CheckGrowth(std::uint64_t maxBytes) {
  Impl& d = *impl_;
  bool edited = false;
  {
    std::shared_lock<std::shared_mutex> lock(d.mutex);
    if (!d.complete || d.indexing) return Growth::None;
    edited = d.edited;
  }
  const std::int64_t size = d.file->Size();
  if (size < 0) return Growth::None;
  const std::uint64_t oldBytes = d.fileBytes;
  if (std::uint64_t(size) < oldBytes) return Growth::Shrunk;
  if (!d.HeadUnchanged()) return Growth::Replaced;
  if (std::uint64_t(size) == oldBytes) return Growth::None;
  if (edited) return Growth::Edited;
  if (d.startByte == 0 && oldBytes < 3) {
    // The first bytes may now be a byte-order mark that chooses another encoding.
    std::uint8_t first[3] = {};
    const std::int64_t n = d.file->ReadAt(0, first, 3);
    if ((n >= 2 && first[0] == 0xFF && first[1] == 0xFE) ||
        (n >= 3 && first[0] == 0xEF && first[1] == 0xBB && first[2] == 0xBF)) {
      return Growth::Restart;
    }
  }
  const std::uint64_t newBytes = oldBytes + std::min(std::uint64_t(size) - oldBytes, maxBytes);

  // Does the last indexed line end in a CR that was the last whole unit of the file (in UTF-16,
  // maybe followed by the first byte of an LF)?
  const std::size_t u = d.codec->UnitBytes();
  bool crAtEnd = false;
  const std::uint64_t end = d.index->EndByte();
  if (d.index->Lines() > 0 && oldBytes - end < u) {
    std::uint8_t last[2] = {};
    if (d.file->ReadAt(end - u, last, u) == std::int64_t(u)) {
      crAtEnd = last[0] == '\r' && (u == 1 || last[1] == 0);
    }
  }
  {
    std::unique_lock<std::shared_mutex> lock(d.mutex);
    if (crAtEnd) {
      // The line goes back to being the unfinished last line, its CR not yet counted.
      const LineIndex::Line line = d.index->Get(d.index->Lines() - 1);
      d.index->RemoveLast();
      d.tailChars = line.chars - 1;
      d.tailEnd = line.byteStart + line.bytes - u;
    }
    d.RewindProblems(d.index->Lines());
    d.grown = true;
    d.fileBytes = newBytes;
    d.cache->Grow(newBytes);
    d.complete = false;
    d.nextRead = d.lineStart = d.scanEnd = d.index->EndByte();
    d.lineChars = 0;
    d.scanLongest = 0;
    d.pendingCR = false;
    d.carry.clear();
  }
  const std::atomic<bool> stop{false};
  BuildIndex(stop);
  d.KeepHead();
  return Growth::Grew;
}

}  // namespace vt9::logs
