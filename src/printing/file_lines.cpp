#include "printing/file_lines.h"

#include <algorithm>

namespace vt9 {

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}

FileLines::FileLines(const std::string& path) : buffer_(kBufferSize) {
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) return;
  // Count the lines: a line ends at LF, at CR LF or at a lone CR; a last line without a break
  // counts too.
  std::uint64_t offset = 0;
  bool inLine = false, afterCr = false;
  starts_.push_back(0);
  for (;;) {
    const std::size_t n = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (n == 0) break;
    for (std::size_t i = 0; i < n; ++i, ++offset) {
      const char c = buffer_[i];
      if (afterCr && c == '\n') {
        afterCr = false;
        if (count_ % kStride == 0) starts_.back() = offset + 1;
        continue;
      }
      afterCr = false;
      if (c == '\n' || c == '\r') {
        ++count_;
        afterCr = c == '\r';
        inLine = false;
        if (count_ % kStride == 0) starts_.push_back(offset + 1);
      } else {
        inLine = true;
      }
    }
  }
  if (inLine) ++count_;
  if (starts_.size() > count_ / kStride + 1) starts_.resize(count_ / kStride + 1);
  Seek(0);
  nextLine_ = 0;
}

FileLines::~FileLines() {
  if (file_) std::fclose(file_);
}

bool FileLines::Seek(std::uint64_t offset) {
  pos_ = end_ = 0;
  bufferStart_ = offset;
#ifdef _WIN32
  return _fseeki64(file_, static_cast<long long>(offset), SEEK_SET) == 0;
#else
  return fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

int FileLines::Get() {
  if (pos_ == end_) {
    bufferStart_ += end_;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    pos_ = 0;
    if (end_ == 0) return EOF;
  }
  return static_cast<unsigned char>(buffer_[pos_++]);
}

bool FileLines::Next(std::string* line) {
  if (line) line->clear();
  bool any = false;
  for (;;) {
    // The bytes up to a line break go in at once.
    std::size_t i = pos_;
    while (i < end_ && buffer_[i] != '\n' && buffer_[i] != '\r') ++i;
    if (line) line->append(buffer_.data() + pos_, i - pos_);
    any = any || i > pos_;
    pos_ = i;
    const int c = Get();
    if (c == EOF) return any;
    if (c == '\n') return true;
    if (c == '\r') {
      const int after = Get();
      if (after != '\n' && after != EOF) --pos_;
      return true;
    }
    if (line) *line += static_cast<char>(c);
    any = true;
  }
}

bool FileLines::GoTo(std::uint64_t index) {
  if (index == nextLine_) return true;
  const std::uint64_t k = index / kStride;
  if (!(index > nextLine_ && index - nextLine_ < kStride)) {
    if (!Seek(starts_[k])) return false;
    nextLine_ = k * kStride;
  }
  while (nextLine_ < index) {
    if (!Next(nullptr)) return false;
    ++nextLine_;
  }
  return true;
}

bool FileLines::ReadLine(std::uint64_t index, std::string& line) {
  line.clear();
  if (!file_ || index >= count_) return false;
  partAt_ = kNowhere;
  if (!GoTo(index)) return false;
  const bool ok = Next(&line);
  ++nextLine_;
  return ok || index + 1 == count_;
}

bool FileLines::ReadLinePart(std::uint64_t index, std::uint64_t offset, std::size_t maxBytes,
                             std::string& part) {
  part.clear();
  if (!file_ || index >= count_) return false;
  if (index != partLine_ || offset != partAt_) {
    if (index != partLine_) {
      partAt_ = kNowhere;
      if (!GoTo(index)) return false;
      partLine_ = index;
      partStart_ = bufferStart_ + pos_;
      partAt_ = 0;
    }
    if (offset != partAt_ && !Seek(partStart_ + offset)) return false;
    partAt_ = offset;
  }
  nextLine_ = kNowhere;  // the read position is inside a line now
  while (part.size() < maxBytes) {
    std::size_t i = pos_;
    const std::size_t stop = std::min(end_, pos_ + (maxBytes - part.size()));
    while (i < stop && buffer_[i] != '\n' && buffer_[i] != '\r') ++i;
    part.append(buffer_.data() + pos_, i - pos_);
    pos_ = i;
    if (part.size() == maxBytes) break;
    const int c = Get();
    if (c == EOF) break;
    if (c == '\n' || c == '\r') {
      // The line ends: the read position goes on to the next line, as ReadLine leaves it.
      if (c == '\r') {
        const int after = Get();
        if (after != '\n' && after != EOF) --pos_;
      }
      nextLine_ = index + 1;
      partAt_ = kNowhere;
      return true;
    }
    part += static_cast<char>(c);
  }
  partAt_ = offset + part.size();
  return true;
}

}  // namespace vt9
