#include "printing/page_list.h"

#include <algorithm>
#include <cstring>

namespace vt9 {

void TPageList::Push(const Op& op) {
  if (muted_) return;
  ops_.push_back(op);
  ++pages_.back().opCount;
}

void TPageList::AddPage() {
  Page p;
  p.firstOp = ops_.size();
  pages_.push_back(p);
  currentFont_ = -1;  // every page names its font first, so each replays on its own
}

void TPageList::Clear() {
  ops_.clear();
  ops_.shrink_to_fit();
  pages_.clear();
  pages_.shrink_to_fit();
  fonts_.clear();
  blocks_.clear();
  currentFont_ = -1;
  muted_ = false;
}

int TPageList::FontIndex(const FontSpec& font, int textHeight) {
  for (std::size_t i = 0; i < fonts_.size(); ++i)
    if (fonts_[i].fontSpec == font && fonts_[i].textHeight == textHeight)
      return static_cast<int>(i);
  fonts_.push_back({font, textHeight});
  return static_cast<int>(fonts_.size() - 1);
}

void TPageList::MarkRegenerated(unsigned source) {
  if (!pages_.empty()) pages_.back().flags |= kRegenerated | kDrawn | (source << 8);
}

bool TPageList::MarkSource(unsigned source, std::uint64_t line, std::uint64_t offset, int y) {
  if (pages_.empty() || (pages_.back().flags & kHasSource)) return false;
  Page& p = pages_.back();
  if ((p.flags & kRegenerated) && (p.flags >> 8) != source) return false;
  p.flags |= kHasSource | kDrawn | (source << 8);
  p.line = line;
  p.offset = offset;
  p.y = y;
  p.sourceAt = p.opCount;
  return true;
}

bool TPageList::IsCheckpointed(std::size_t index) const {
  return index < pages_.size() && (pages_[index].flags & (kRegenerated | kHasSource));
}

TPageList::Checkpoint TPageList::CheckpointOf(std::size_t index) const {
  Checkpoint c;
  if (index >= pages_.size()) return c;
  const Page& p = pages_[index];
  c.regenerated = p.flags & kRegenerated;
  c.hasSource = p.flags & kHasSource;
  c.source = p.flags >> 8;
  c.line = p.line;
  c.offset = p.offset;
  c.y = p.y;
  c.sourceAt = p.sourceAt;
  c.opCount = p.opCount;
  return c;
}

void TPageList::CopyOps(const TPageList& from, std::size_t index, std::size_t begin,
                        std::size_t end) {
  if (index >= from.pages_.size() || pages_.empty()) return;
  const Page& p = from.pages_[index];
  end = std::min<std::size_t>(end, p.opCount);
  for (std::size_t i = begin; i < end; ++i) {
    Op op = from.ops_[p.firstOp + i];
    switch (op.d >> 30) {
      case kFont: {
        const Font& f = from.fonts_[op.a];
        currentFont_ = FontIndex(f.fontSpec, f.textHeight);
        Push({currentFont_, 0, 0, std::uint32_t(kFont) << 30});
        break;
      }
      case kText: {
        const std::uint32_t offset = static_cast<std::uint32_t>(op.c);
        const Block& b = from.blocks_[offset / kBlockSize];
        Text(op.a, op.b, std::string_view(b.data.get() + offset % kBlockSize, op.d & kValueMask));
        break;
      }
      default:
        Push(op);
        pages_.back().flags |= kDrawn;
        break;
    }
  }
}

void TPageList::SetFont(const FontSpec& font, int textHeight) {
  if (pages_.empty()) return;
  const int index = FontIndex(font, textHeight);
  if (index == currentFont_) return;
  currentFont_ = index;
  Push({index, 0, 0, std::uint32_t(kFont) << 30});
}

void TPageList::Text(int x, int y, std::string_view text) {
  if (pages_.empty() || text.empty() || muted_) return;
  // A run wider than any page can only be a single giant character run; what is beyond a block
  // could never be seen.
  if (text.size() > kBlockSize) text = text.substr(0, kBlockSize);
  if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < text.size()) {
    if (blocks_.size() >= (std::uint64_t(1) << 32) / kBlockSize) return;  // 4 GB of text: no more
    // Blocks start small, so a short document holds little, and grow to the full size.
    Block b;
    b.capacity = std::max(
        text.size(),
        std::min(kBlockSize, std::size_t(1) << (12 + std::min<std::size_t>(blocks_.size(), 10))));
    b.data = std::make_unique<char[]>(b.capacity);
    blocks_.push_back(std::move(b));
  }
  Block& b = blocks_.back();
  const std::size_t offset = (blocks_.size() - 1) * kBlockSize + b.used;
  std::memcpy(b.data.get() + b.used, text.data(), text.size());
  b.used += text.size();
  Push({x, y, static_cast<std::int32_t>(static_cast<std::uint32_t>(offset)),
        std::uint32_t(kText) << 30 | static_cast<std::uint32_t>(text.size())});
  pages_.back().flags |= kDrawn;
}

void TPageList::Line(int x1, int y1, int x2, int y2, int penWidth) {
  if (pages_.empty() || muted_) return;
  Push({x1, y1, x2, std::uint32_t(kLine) << 30});
  Push({y2, penWidth < 0 ? 0 : penWidth, 0, std::uint32_t(kLineEnd) << 30});
  pages_.back().flags |= kDrawn;
}

bool TPageList::LastPageDrawn() const { return !pages_.empty() && (pages_.back().flags & kDrawn); }

void TPageList::Replay(std::size_t index, Canvas& canvas, int clipWidth) const {
  if (index >= pages_.size()) return;
  const Page& p = pages_[index];
  int height = 0;
  canvas.SetBrushColor(kColorNone);
  const TextFlags flags{false, false};
  for (std::size_t i = p.firstOp; i < p.firstOp + p.opCount; ++i) {
    const Op& op = ops_[i];
    switch (op.d >> 30) {
      case kFont:
        canvas.SetFont(fonts_[op.a].fontSpec);
        height = fonts_[op.a].textHeight;
        break;
      case kText: {
        const std::uint32_t offset = static_cast<std::uint32_t>(op.c);
        const Block& b = blocks_[offset / kBlockSize];
        std::string_view text(b.data.get() + offset % kBlockSize, op.d & kValueMask);
        canvas.DrawText(text, Rect{op.a, op.b, op.a + clipWidth, op.b + height}, flags);
        break;
      }
      case kLine:
        if (i + 1 < p.firstOp + p.opCount) {
          const Op& end = ops_[++i];
          canvas.SetPen(kColorBlack, end.b);
          canvas.MoveTo(op.a, op.b);
          canvas.LineTo(op.c, end.a);
        }
        break;
      default:
        break;
    }
  }
}

std::size_t TPageList::MemoryBytes() const {
  std::size_t bytes =
      ops_.size() * sizeof(Op) + pages_.size() * sizeof(Page) + fonts_.capacity() * sizeof(Font);
  for (const Block& b : blocks_) bytes += b.capacity;
  return bytes;
}

}  // namespace vt9
