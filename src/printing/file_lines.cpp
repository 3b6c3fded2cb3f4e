#include "printing/file_lines.h"

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

bool FileLines::Next(std::string& line) {
  line.clear();
  for (;;) {
    // The bytes up to a line break go in at once.
    std::size_t i = pos_;
    while (i < end_ && buffer_[i] != '\n' && buffer_[i] != '\r') ++i;
    line.append(buffer_.data() + pos_, i - pos_);
    pos_ = i;
    const int c = Get();
    if (c == EOF) return !line.empty();
    if (c == '\n') return true;
    if (c == '\r') {
      const int after = Get();
      if (after != '\n' && after != EOF) --pos_;
      return true;
    }
    line += static_cast<char>(c);
  }
}

bool FileLines::ReadLine(std::uint64_t index, std::string& line) {
  line.clear();
  if (!file_ || index >= count_) return false;
  if (index != nextLine_) {
    const std::uint64_t k = index / kStride;
    if (!(index > nextLine_ && index - nextLine_ < kStride)) {
      if (!Seek(starts_[k])) return false;
      nextLine_ = k * kStride;
    }
    std::string skipped;
    while (nextLine_ < index) {
      if (!Next(skipped)) return false;
      ++nextLine_;
    }
  }
  const bool ok = Next(line);
  ++nextLine_;
  return ok || index + 1 == count_;
}

}  // namespace vt9
