#include "viewer/win/rich_edit_lines.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

namespace vt9::win {

namespace {

LRESULT Send(HWND edit, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendMessageA(edit, message, wParam, lParam);
}

}  // namespace

RichEditLines::RichEditLines(HWND edit) : edit_(edit) {
  const LRESULT lines = Send(edit_, EM_GETLINECOUNT);
  count_ = lines > 0 ? static_cast<std::uint64_t>(lines) : 0;
  if (count_ > 0) {
    const LRESULT start = Send(edit_, EM_LINEINDEX, static_cast<WPARAM>(count_ - 1));
    if (start < 0 || Send(edit_, EM_LINELENGTH, static_cast<WPARAM>(start)) == 0) --count_;
  }
}

bool RichEditLines::ReadLine(std::uint64_t index, std::string& line) {
  line.clear();
  if (index >= count_) return false;
  const LRESULT start = Send(edit_, EM_LINEINDEX, static_cast<WPARAM>(index));
  if (start < 0) return false;
  const LRESULT length = Send(edit_, EM_LINELENGTH, static_cast<WPARAM>(start));
  if (length <= 0) return true;
  // Room for the line break the control may copy along, and for a terminating zero.
  const std::size_t size = static_cast<std::size_t>(length) + 4;
  if (buffer_.size() < size) buffer_.resize(size);
  LRESULT copied = 0;
  if (size <= 0xFFFF) {
    // EM_GETLINE takes the buffer size in the buffer's first word.
    const WORD room = static_cast<WORD>(size - 1);
    std::memcpy(buffer_.data(), &room, sizeof room);
    copied = Send(edit_, EM_GETLINE, static_cast<WPARAM>(index),
                  reinterpret_cast<LPARAM>(buffer_.data()));
  } else {
    // A line too long for that word is read as a range of characters.
    TEXTRANGEA range{};
    range.chrg.cpMin = static_cast<LONG>(start);
    range.chrg.cpMax = static_cast<LONG>(start + length);
    range.lpstrText = buffer_.data();
    copied = Send(edit_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  }
  if (copied <= 0) return true;
  std::size_t n =
      std::min<std::size_t>(static_cast<std::size_t>(copied), static_cast<std::size_t>(length));
  line.assign(buffer_.data(), n);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  return true;
}

}  // namespace vt9::win
