// Checkpoints inside long lines of double-byte and UTF-8 text: where a column starts, without
// counting every character before it each time the line is painted or searched.
#include <algorithm>
#include <vector>

#include "logs/log_document_impl.h"

namespace vt9::logs {
namespace {

// Lines with checkpoints kept: enough for a screen's long lines and a search's.
constexpr std::size_t kLinesKept = 8;

}  // namespace

bool LogDocument::Impl::SeekColumn(std::int64_t line, std::uint64_t byteStart,
                                   std::uint64_t byteEnd, std::int64_t column,
                                   Checkpoint& at) const {
  std::lock_guard<std::mutex> lock(checkpointMutex);
  auto it = std::find_if(checkpoints.begin(), checkpoints.end(),
                         [line](const LineCheckpoints& c) { return c.line == line; });
  if (it == checkpoints.end()) {
    if (checkpoints.size() >= kLinesKept) checkpoints.pop_back();
    checkpoints.insert(checkpoints.begin(), LineCheckpoints{line, {Checkpoint{byteStart, 0}}});
  } else if (it != checkpoints.begin()) {
    std::rotate(checkpoints.begin(), it, it + 1);
  }
  std::vector<Checkpoint>& marks = checkpoints.front().marks;
  // Count on from the last checkpoint until one lies past the column (or the line ends).
  std::vector<std::uint8_t> buffer;
  while (marks.back().column <= column && marks.back().byte < byteEnd) {
    const Checkpoint last = marks.back();
    const std::size_t take =
        std::size_t(std::min<std::uint64_t>(kCheckpointBytes, byteEnd - last.byte));
    buffer.resize(take);
    if (!cache->Read(last.byte, take, buffer.data())) return false;
    const bool final = last.byte + take >= byteEnd;
    std::size_t consumed = 0;
    const std::int64_t chars = codec->Count(buffer.data(), take, final, consumed);
    if (consumed == 0) break;  // cannot happen: a window holds whole characters
    marks.push_back(Checkpoint{last.byte + consumed, last.column + chars});
  }
  const auto after =
      std::upper_bound(marks.begin(), marks.end(), column,
                       [](std::int64_t c, const Checkpoint& mark) { return c < mark.column; });
  at = *(after - 1);
  return true;
}

}  // namespace vt9::logs
