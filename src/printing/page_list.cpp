#include "printing/page_list.h"

namespace vt9 {

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
  fonts_.clear();
  text_.clear();
  text_.shrink_to_fit();
  currentFont_ = -1;
}

void TPageList::SetFont(const FontSpec& font, int textHeight) {
  if (pages_.empty()) return;
  int index = -1;
  for (std::size_t i = 0; i < fonts_.size(); ++i)
    if (fonts_[i].spec == font && fonts_[i].textHeight == textHeight) index = static_cast<int>(i);
  if (index < 0) {
    fonts_.push_back({font, textHeight});
    index = static_cast<int>(fonts_.size() - 1);
  }
  if (index == currentFont_) return;
  currentFont_ = index;
  ops_.push_back({kFont, 0, index, 0, 0, 0});
  ++pages_.back().opCount;
}

void TPageList::Text(int x, int y, std::string_view text) {
  if (pages_.empty() || text.empty()) return;
  ops_.push_back({kText, 0, x, y, static_cast<std::int32_t>(text_.size()),
                  static_cast<std::int32_t>(text.size())});
  text_.append(text);
  ++pages_.back().opCount;
  pages_.back().drawn = true;
}

void TPageList::Line(int x1, int y1, int x2, int y2, int penWidth) {
  if (pages_.empty()) return;
  ops_.push_back({kLine, static_cast<std::uint16_t>(penWidth < 0 ? 0 : penWidth), x1, y1, x2, y2});
  ++pages_.back().opCount;
  pages_.back().drawn = true;
}

bool TPageList::LastPageDrawn() const { return !pages_.empty() && pages_.back().drawn; }

void TPageList::Replay(std::size_t index, Canvas& canvas, int clipWidth) const {
  if (index >= pages_.size()) return;
  const Page& p = pages_[index];
  int height = 0;
  canvas.SetBrushColor(kColorNone);
  const TextFlags flags{false, false};
  for (std::size_t i = p.firstOp; i < p.firstOp + p.opCount; ++i) {
    const Op& op = ops_[i];
    switch (op.kind) {
      case kFont:
        canvas.SetFont(fonts_[op.a].spec);
        height = fonts_[op.a].textHeight;
        break;
      case kText: {
        std::string_view text(text_.data() + static_cast<std::uint32_t>(op.c),
                              static_cast<std::uint32_t>(op.d));
        canvas.DrawText(text, Rect{op.a, op.b, op.a + clipWidth, op.b + height}, flags);
        break;
      }
      case kLine:
        canvas.SetPen(kColorBlack, op.pen);
        canvas.MoveTo(op.a, op.b);
        canvas.LineTo(op.c, op.d);
        break;
    }
  }
}

std::size_t TPageList::MemoryBytes() const {
  return ops_.capacity() * sizeof(Op) + pages_.capacity() * sizeof(Page) + text_.capacity() +
         fonts_.capacity() * sizeof(Font);
}

}  // namespace vt9
