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

TPageLayout::Style TPageLayout::CurrentStyle() const {
  return Style{
      alignment_, lineSpacing_, tabSize_,    wordWrap_,     unit_,         defaultColWidth_,
      separator_, header_,      footer_,     headerFormat_, footerFormat_, title_,
      font_,      headerFont_,  footerFont_, current_,      pageBorders_,  pageBorderOffset_};
}

void TPageLayout::ApplyStyle(const Style& s) {
  alignment_ = s.alignment;
  lineSpacing_ = s.lineSpacing;
  tabSize_ = s.tabSize;
  wordWrap_ = s.wordWrap;
  unit_ = s.unit;
  defaultColWidth_ = s.defaultColWidth;
  separator_ = s.separator;
  header_ = s.header;
  footer_ = s.footer;
  headerFormat_ = s.headerFormat;
  footerFormat_ = s.footerFormat;
  title_ = s.title;
  font_ = s.font;
  headerFont_ = s.headerFont;
  footerFont_ = s.footerFont;
  pageBorders_ = s.pageBorders;
  pageBorderOffset_ = s.pageBorderOffset;
}

void TPageLayout::ReplayPage(std::size_t index, Canvas& canvas, int clipWidth) {
  if (!pages_.IsCheckpointed(index)) {
    pages_.Replay(index, canvas, clipWidth);
    return;
  }
  // A page of a document still being laid out may not be finished (the preview paints while
  // the layout runs): it is laid out again every time until the document is ended.
  if (!docOpen_)
    for (const CachedPage& c : cache_)
      if (c.index == index) {
        c.page->Replay(0, canvas, clipWidth);
        return;
      }
  auto page = std::make_unique<TPageList>();
  LayOutAgain(index, *page);
  page->Replay(0, canvas, clipWidth);
  if (docOpen_) return;
  if (cache_.size() >= kCachedPages) cache_.erase(cache_.begin());
  cache_.push_back({index, std::move(page)});
}

void TPageLayout::LayOutAgain(std::size_t index, TPageList& into) {
  const TPageList::Checkpoint cp = pages_.CheckpointOf(index);
  // Everything layout touches is put back afterwards: the document may still be open, and the
  // page is laid out with the properties of its run, not with today's.
  const int savedX = x_, savedY = y_, savedLine = lineNumber_;
  const unsigned savedPage = pageNumber_;
  const bool savedFull = pageFull_, savedOpen = docOpen_, savedHf = headerFooterMode_;
  const bool savedGrid = tableGrid_;
  const int savedSource = sourceIndex_;
  const std::uint64_t savedSourceLine = sourceLine_, savedPieceAt = pieceAt_;
  const Style savedStyle = CurrentStyle();
  ScopeExit restore([&] {
    relayout_ = relayoutStop_ = false;
    pieceFromSource_ = false;
    rec_ = &pages_;
    ApplyStyle(savedStyle);
    docOpen_ = false;  // the font comes back without being recorded
    UseFont(savedStyle.lineFont);
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
    pieceAt_ = savedPieceAt;
  });
  const SourceRun* run = (cp.hasSource || cp.regenerated) && cp.source < sources_.size()
                             ? &sources_[cp.source]
                             : nullptr;
  docOpen_ = false;
  if (run) ApplyStyle(run->style);
  UseFont(run ? run->style.lineFont : font_);
  into.AddPage();
  rec_ = &into;
  relayout_ = true;
  relayoutStop_ = false;
  docOpen_ = true;
  headerFooterMode_ = false;
  pageFull_ = false;
  tableGrid_ = false;
  pageNumber_ = static_cast<unsigned>(index + 1);
  if (cp.regenerated) {
    into.SetFont(ToFontSpec(current_, PixelsPerInchY()), textHeight_);
    DecoratePage();
  }
  into.CopyOps(pages_, index, 0, cp.sourceAt);
  if (run && cp.hasSource) {
    sourceIndex_ = static_cast<int>(cp.source);
    y_ = cp.y;
    x_ = 0;
    std::uint64_t at = cp.offset;
    // The lines laid out, however many the source has now.
    for (std::uint64_t i = cp.line; i < run->lineCount && !relayoutStop_; ++i) {
      WriteSourceLine(i, at);
      at = 0;
    }
  }
  into.CopyOps(pages_, index, cp.sourceAt, cp.opCount);
}

}  // namespace vt9
