// A line read for layout a part at a time (page_layout_internal.h).
#include <algorithm>

#include "printing/page_layout_internal.h"

namespace vt9 {

using page_detail::LinePosition;

namespace {

// What is read at least at a time, and how much laid-out text is kept before it is dropped.
constexpr std::size_t kMinRead = 256;
constexpr std::size_t kKeepLaidOut = 1 << 16;

}  // namespace

TPageLayout::LineCursor::LineCursor(Reader reader, unsigned tabSize, LinePosition start)
    : reader_(std::move(reader)), tab_(tabSize ? tabSize : 1) {
  // The blanks of a tab already laid out are skipped once the tab is read again.
  pos_ = start.skip;
  baseByte_ = nextByte_ = start.byte;
  baseColumn_ = start.phase;
}

bool TPageLayout::LineCursor::Fill(std::size_t count) {
  while (!ended_ && text_.size() < pos_ + count) {
    const std::size_t want = std::max(kMinRead, pos_ + count - text_.size());
    if (!reader_(nextByte_, want, part_)) return false;
    if (part_.size() > want) part_.resize(want);
    if (part_.size() < want) ended_ = true;
    for (std::size_t i = 0; i < part_.size();) {
      // The text up to the next tab goes in at once.
      std::size_t tab = part_.find('\t', i);
      if (tab == std::string::npos) tab = part_.size();
      text_.append(part_, i, tab - i);
      if (tab == part_.size()) break;
      const auto width = static_cast<unsigned>(tab_ - (baseColumn_ + text_.size()) % tab_);
      tabs_.push_back({static_cast<std::int64_t>(text_.size()), width, nextByte_ + tab});
      text_.append(width, ' ');
      i = tab + 1;
    }
    nextByte_ += part_.size();
  }
  return true;
}

std::string_view TPageLayout::LineCursor::Pending() const {
  return std::string_view(text_).substr(std::min(pos_, text_.size()));
}

LinePosition TPageLayout::LineCursor::Position() {
  const auto at = static_cast<std::int64_t>(pos_);
  while (tabIndex_ < tabs_.size() && tabs_[tabIndex_].at + tabs_[tabIndex_].width <= at)
    ++tabIndex_;
  LinePosition p;
  if (tabIndex_ < tabs_.size() && tabs_[tabIndex_].at <= at) {
    const Tab& t = tabs_[tabIndex_];
    p.byte = t.byte;
    p.skip = static_cast<unsigned>(at - t.at);
    p.phase = static_cast<unsigned>((baseColumn_ + t.at) % tab_);
    return p;
  }
  if (tabIndex_ > 0) {
    const Tab& t = tabs_[tabIndex_ - 1];
    p.byte = t.byte + 1 + static_cast<std::uint64_t>(at - (t.at + t.width));
  } else {
    p.byte = baseByte_ + pos_;
  }
  p.phase = static_cast<unsigned>((baseColumn_ + pos_) % tab_);
  return p;
}

void TPageLayout::LineCursor::Consume(std::size_t count) {
  pos_ = std::min(pos_ + count, text_.size());
  if (pos_ < kKeepLaidOut || 2 * pos_ < text_.size()) return;
  // Drop what is laid out, unless that would cut a tab's blanks apart.
  const LinePosition p = Position();
  if (p.skip) return;
  text_.erase(0, pos_);
  tabs_.erase(tabs_.begin(), tabs_.begin() + static_cast<std::ptrdiff_t>(tabIndex_));
  for (Tab& t : tabs_) t.at -= static_cast<std::int64_t>(pos_);
  tabIndex_ = 0;
  baseByte_ = p.byte;
  baseColumn_ += pos_;
  pos_ = 0;
}

}  // namespace vt9
