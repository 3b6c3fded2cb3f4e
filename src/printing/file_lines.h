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
  // A part of a line is read from where the line starts (found once per line) without reading
  // what comes before it in the line, so a line of any length costs a page only its own text.
  bool ReadsParts() const override { return true; }
  bool ReadLinePart(std::uint64_t index, std::uint64_t offset, std::size_t maxBytes,
                    std::string& part) override;

 private:
  static constexpr std::uint64_t kStride = 64;
  bool Seek(std::uint64_t offset);
  // Moves the read position to the start of line `index`.
  bool GoTo(std::uint64_t index);
  // The next line from the read position (false at the end of the file); with `line` null the
  // line is skipped without being kept.
  bool Next(std::string* line);
  int Get();

  std::FILE* file_ = nullptr;
  std::uint64_t count_ = 0;
  std::vector<std::uint64_t> starts_;  // byte offset of line k * kStride
  std::uint64_t nextLine_ = 0;         // the line the read position is at
  std::vector<char> buffer_;
  std::size_t pos_ = 0, end_ = 0;
  std::uint64_t bufferStart_ = 0;  // file offset of buffer_[0]
  // The line a part was read from last: where it starts in the file, and where in the line the
  // read position is (kNowhere when it is not in that line).
  static constexpr std::uint64_t kNowhere = ~std::uint64_t(0);
  std::uint64_t partLine_ = kNowhere, partStart_ = 0, partAt_ = kNowhere;
};

}  // namespace vt9
