// A text file as a line source: the lines are read from the file when asked for, so a log of any
// size is laid out and printed without its text in memory. Lines end at LF, CR LF or a lone CR.
// Opening scans the file once to count its lines and notes where every 64th line starts, so a
// page laid out again finds its first line with one seek and a short skip.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "printing/line_source.h"

namespace vt9 {

class FileLines : public LineSource {
 public:
  // Opens and scans the file; Ok() tells whether that worked.
  explicit FileLines(const std::string& path);
  ~FileLines() override;
  FileLines(const FileLines&) = delete;
  FileLines& operator=(const FileLines&) = delete;

  bool Ok() const { return file_ != nullptr; }
  std::uint64_t LineCount() override { return count_; }
  bool ReadLine(std::uint64_t index, std::string& line) override;

 private:
  static constexpr std::uint64_t kStride = 64;
  bool Seek(std::uint64_t offset);
  // The next line from the read position (false at the end of the file).
  bool Next(std::string& line);
  int Get();

  std::FILE* file_ = nullptr;
  std::uint64_t count_ = 0;
  std::vector<std::uint64_t> starts_;  // byte offset of line k * kStride
  std::uint64_t nextLine_ = 0;         // the line the read position is at
  std::vector<char> buffer_;
  std::size_t pos_ = 0, end_ = 0;
  std::uint64_t bufferStart_ = 0;  // file offset of buffer_[0]
};

}  // namespace vt9
