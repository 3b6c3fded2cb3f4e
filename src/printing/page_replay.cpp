// Pages laid out from a line source: drawn by laying them out again from their checkpoint.
#include <memory>

#include "printing/page_layout.h"
#include "printing/page_layout_internal.h"

namespace vt9 {

using page_detail::ScopeExit;

namespace {

// Pages laid out again that the preview keeps.
constexpr std::size_t kCachedPages = 4;

}  // namespace

void TPageLayout::ReplayPage(std::size_t index, Canvas& canvas, int clipWidth) {
  if (!pages_.IsCheckpointed(index)) {
    pages_.Replay(index, canvas, clipWidth);
    return;
  }
  for (const CachedPage& c : cache_)
    if (c.index == index) {
      c.page->Replay(0, canvas, clipWidth);
      return;
    }
  auto page = std::make_unique<TPageList>();
  LayOutAgain(index, *page);
  page->Replay(0, canvas, clipWidth);
  if (cache_.size() >= kCachedPages) cache_.erase(cache_.begin());
  cache_.push_back({index, std::move(page)});
}

void TPageLayout::LayOutAgain(std::size_t index, TPageList& into) {
  const TPageList::Checkpoint cp = pages_.CheckpointOf(index);
  // Everything layout touches is put back afterwards: the document may still be open.
  const int savedX = x_, savedY = y_, savedLine = lineNumber_;
  const unsigned savedPage = pageNumber_;
  const bool savedFull = pageFull_, savedOpen = docOpen_, savedHf = headerFooterMode_;
  const bool savedGrid = tableGrid_;
  const int savedSource = sourceIndex_;
  const std::uint64_t savedSourceLine = sourceLine_;
  const std::size_t savedOffset = pieceOffset_;
  const TPrintFont savedFont = current_;
  ScopeExit restore([&] {
    relayout_ = relayoutStop_ = false;
    rec_ = &pages_;
    docOpen_ = false;  // the font comes back without being recorded
    UseFont(savedFont);
    x_ = savedX;
    y_ = savedY;
    lineNumber_ = savedLine;
    pageNumber_ = savedPage;
    pageFull_ = savedFull;
    docOpen_ = savedOpen;
    headerFooterMode_ = savedHf;
    tableGrid_ = savedGrid;
    sourceIndex_ = savedSource;
    sourceLine_ = savedSourceLine;
    pieceOffset_ = savedOffset;
  });
  const SourceRun* run =
      cp.hasSource && cp.source < sources_.size() ? &sources_[cp.source] : nullptr;
  docOpen_ = false;
  UseFont(run ? run->font : font_);
  into.AddPage();
  rec_ = &into;
  relayout_ = true;
  relayoutStop_ = false;
  docOpen_ = true;
  headerFooterMode_ = false;
  pageFull_ = false;
  pageNumber_ = static_cast<unsigned>(index + 1);
  if (cp.regenerated) {
    into.SetFont(ToFontSpec(current_, PixelsPerInchY()), textHeight_);
    DecoratePage();
  }
  into.CopyOps(pages_, index, 0, cp.sourceAt);
  if (run) {
    sourceIndex_ = static_cast<int>(cp.source);
    y_ = cp.y;
    x_ = 0;
    std::string line;
    std::size_t from = cp.offset;
    for (std::uint64_t i = cp.line, n = run->source->LineCount(); i < n && !relayoutStop_; ++i) {
      run->source->ReadLine(i, line);
      sourceLine_ = i;
      WriteLineFrom(line, from);
      from = 0;
    }
  }
  into.CopyOps(pages_, index, cp.sourceAt, cp.opCount);
}

}  // namespace vt9
