// Table rows, headers and footers of the page layout: cells in columns, page macros, grid
// lines, the translation of friendly headers and footers, and the decoration of a new page.
#include <algorithm>
#include <cmath>

#include "printing/page_layout.h"
#include "printing/page_layout_internal.h"

namespace vt9 {

using page_detail::ScopeExit;

namespace {

std::string BaseName(const std::string& path) {
  std::size_t at = path.find_last_of("\\/:");
  return at == std::string::npos ? path : path.substr(at + 1);
}

}  // namespace

void TPageLayout::WriteRow(std::string_view text) { WriteRowWith(text, tableFormat_); }

std::string TPageLayout::ReplaceMacros(const std::string& text) const {
  // One pass from left to right: what a macro is replaced by is never read again, so a title
  // or a date holding "{$PAGE}" or "{$TITLE}" is printed as it is. "{$$}" stands for "{$".
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0;;) {
    const std::size_t open = text.find("{$", at);
    if (open == std::string::npos) {
      out.append(text, at);
      return out;
    }
    out.append(text, at, open - at);
    const std::size_t close = text.find('}', open + 2);
    const std::string_view name = close == std::string::npos
                                      ? std::string_view()
                                      : std::string_view(text).substr(open + 2, close - open - 2);
    if (name == "LINE")
      out += std::to_string(lineNumber_);
    else if (name == "PAGE")
      out += std::to_string(pageNumber_);
    else if (name == "DATE")
      out += docDate_.empty() ? device_.Now(NowText::ShortDate) : docDate_;
    else if (name == "TIME")
      out += docTime_.empty() ? device_.Now(NowText::LongTime) : docTime_;
    else if (name == "TITLE")
      out += Title();
    else if (name == "$")
      out += "{$";
    else {
      out += "{$";  // no macro: kept as written
      at = open + 2;
      continue;
    }
    at = close + 1;
  }
}

void TPageLayout::DrawCellGrid(int x, int w, bool top, bool verticals, bool bottom) {
  if (printToFile_ || !docOpen_) return;
  int adjust = lineSpacing_ == lsHalfSpace ? externalLeading_ / 2
               : lineSpacing_ == lsSingleAndAHalf
                   ? static_cast<int>(std::lround(1.5 * externalLeading_))
               : lineSpacing_ == lsDoubleSpace ? 2 * externalLeading_
                                               : externalLeading_;
  const int c = geo_.top + y_ - adjust;
  if (top) rec_->Line(x, c, x + w, c, PenY());
  if (bottom) rec_->Line(x, c + lineHeight_, x + w, c + lineHeight_, PenY());
  if (verticals) {
    rec_->Line(x, c, x, c + lineHeight_, PenX());
    rec_->Line(x + w, c, x + w, c + lineHeight_, PenX());
  }
}

void TPageLayout::WriteRowWith(std::string_view row, const std::string& format) {
  const std::vector<std::string> columnTexts = SplitTokens(format, separator_);
  std::vector<std::string> cells = SplitTokens(row, separator_);
  cells.resize(columnTexts.size());
  std::vector<ColumnLayout> columns;
  std::vector<int> widths;
  for (const std::string& s : columnTexts) {
    columns.push_back(ParseColumn(s, defaultColWidth_));
    widths.push_back(XPixels(std::fabs(columns.back().width)));
  }
  // Macros are replaced once, before the cell is cut into lines (a title may hold anything,
  // and a cell that grew on every line would never end); then a tab is measured as it is drawn,
  // expanded to its stop within the cell with the macros' texts in place.
  for (std::string& cell : cells) {
    if (cell.find("{$") != std::string::npos) cell = ReplaceMacros(cell);
    if (cell.find('\t') != std::string::npos) cell = ExpandTabs(cell);
  }
  // How far each cell has been written; the rest of a cell is never copied, so a long cell
  // costs its length once.
  std::vector<std::size_t> done(cells.size(), 0);
  Canvas& c = device_.MeasureCanvas();
  const int padding = 6 * (PixelsPerInchX() / 300);
  auto advance = [](long long x, int w) {
    return static_cast<int>(std::clamp<long long>(x + w, -(1LL << 30), 1LL << 30));
  };
  bool firstLine = true;
  for (;;) {
    BreakPageIfFull();
    if (relayoutStop_) return;
    int x = geo_.left;
    bool more = false;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const ColumnLayout& col = columns[i];
      const int w = widths[i];
      std::string_view cell = std::string_view(cells[i]).substr(done[i]);
      std::string_view piece;
      if (wordWrap_) {
        auto [len, rest] = SplitForWrap(cell, w, false);
        piece = cell.substr(0, len);
        std::size_t lf = piece.find('\n');
        if (lf != std::string_view::npos) {
          // A line feed ends the piece; what follows it joins the rest of the cell with a
          // blank. Rare enough that the cell is copied for it.
          std::string after(piece.substr(lf + 1));
          const std::string_view remainder = cell.substr(rest);
          if (!remainder.empty()) {
            after += ' ';
            after += remainder;
          }
          std::string shown(piece.substr(0, lf));
          cells[i] = std::move(after);
          done[i] = 0;
          cells[i].insert(0, shown);
          piece = std::string_view(cells[i]).substr(0, shown.size());
          done[i] = shown.size();
          // what remains starts after the piece
          if (done[i] < cells[i].size()) more = true;
        } else {
          done[i] += rest;
          if (done[i] < cells[i].size()) more = true;
        }
      } else {
        piece = cell.substr(0, FitPrefix(cell, w));
        done[i] = cells[i].size();
      }
      const int pw = piece.empty() ? 0 : c.TextWidth(piece);
      int d = col.alignment == taRightJustify ? w - pw
              : col.alignment == taCenter     ? (w - pw) / 2
                                              : 0;
      if (pw < w - padding) {
        if (col.alignment == taRightJustify) d -= padding;
        if (col.alignment == taLeftJustify) d += padding;
      }
      if (printToFile_) {
        const int blank = BlankWidth();
        FileWrite(std::string(std::max(0, d / blank), ' '));
        FileWrite(piece);
        FileWrite(std::string(std::max(0, (w - d - pw) / blank), ' '));
      } else if (docOpen_ && !piece.empty()) {
        rec_->Text(advance(x, d), geo_.top + y_, piece);
      }
      if (tableGrid_ && col.width >= 0) DrawCellGrid(x, w, firstLine, true, false);
      x = advance(x, w);
    }
    firstLine = false;
    if (!more) break;
    NewLine();
  }
  if (tableGrid_) {
    int x = geo_.left;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].width >= 0) DrawCellGrid(x, widths[i], false, true, true);
      x = advance(x, widths[i]);
    }
  }
  if (!headerFooterMode_ || printToFile_) NewLine();
}

void TPageLayout::Translate(const std::string& friendly, bool header) {
  if (friendly.empty()) {
    // An empty friendly header clears the header it made.
    (header ? header_ : footer_).clear();
    (header ? headerFormat_ : footerFormat_).clear();
    return;
  }
  FriendlyRow row = TranslateFriendly(friendly, separator_, [this](char code) -> std::string {
    switch (code) {
      case 'D':
        return device_.Now(NowText::LongDate);
      case 'd':
        return device_.Now(NowText::ShortDate);
      case 'T':
        return device_.Now(NowText::LongTime);
      case 't':
        return device_.Now(NowText::ShortTime);
      case 'F':
        return fileName_;
      default:
        return BaseName(fileName_);
    }
  });
  std::string format =
      FriendlyFormat(row, PageWidthUnits() - marginLeft_ - marginRight_, separator_);
  if (header) {
    header_ = row.row;
    headerFormat_ = format;
  } else {
    footer_ = row.row;
    footerFormat_ = format;
  }
}

// --- Page decoration ---------------------------------------------------------------------

void TPageLayout::DecoratePage(bool regenerated) {
  x_ = y_ = lineNumber_ = 0;
  // What OnNewPage writes is kept as any written text is; it runs only when the page is laid
  // out the first time.
  if (OnNewPage && !relayout_) OnNewPage();
  // The header, footer and borders of a page begun inside a line source are drawn again on
  // replay, as the properties of the source's run decide (OnNewPage may have changed them, so
  // the run is chosen after it).
  const bool mute = regenerated && !relayout_ && docOpen_ && !printToFile_;
  if (mute) {
    const Style now = CurrentStyle();
    if (!(sources_[static_cast<std::size_t>(sourceIndex_)].style == now)) {
      sources_.push_back({sources_[static_cast<std::size_t>(sourceIndex_)].source,
                          sources_[static_cast<std::size_t>(sourceIndex_)].lineCount, now});
      sourceIndex_ = static_cast<int>(sources_.size() - 1);
    }
    pages_.MarkRegenerated(static_cast<unsigned>(sourceIndex_));
  }
  auto muted = [&](auto draw) {
    pages_.SetMuted(mute);
    ScopeExit unmute([&] { pages_.SetMuted(false); });
    draw();
  };
  muted([&] { WriteHeaderFooter(); });
  if (OnNewLine && !relayout_) OnNewLine();
  if (printToFile_ || !docOpen_) return;
  muted([&] {
    const Geometry& g = geo_;
    const int bx = XPixels(pageBorderOffset_), by = YPixels(pageBorderOffset_);
    const int l = g.left - bx, r = g.left + g.textWidth + bx;
    const int t = g.top - by, b = g.top + g.textHeight + by;
    if (pageBorders_.Contains(pbTop)) rec_->Line(l, t, r, t, PenY());
    if (pageBorders_.Contains(pbBottom)) rec_->Line(l, b, r, b, PenY());
    if (pageBorders_.Contains(pbLeft)) rec_->Line(l, t, l, b, PenX());
    if (pageBorders_.Contains(pbRight)) rec_->Line(r, t, r, b, PenX());
  });
}

void TPageLayout::WriteHeaderFooter() {
  if (header_.empty() && footer_.empty()) return;
  const int savedX = x_, savedY = y_, savedLine = lineNumber_;
  const bool savedGrid = tableGrid_;
  const TPrintFont savedFont = current_;
  ScopeExit restore([&] {
    x_ = savedX;
    y_ = savedY;
    lineNumber_ = savedLine;
    tableGrid_ = savedGrid;
    headerFooterMode_ = false;
    UseFont(savedFont);
  });
  headerFooterMode_ = true;
  tableGrid_ = false;
  const Geometry& g = geo_;
  const int by = YPixels(pageBorderOffset_);
  if (!header_.empty()) {
    UseFont(headerFont_);
    const int marginTopPx = g.top + g.offsetY;
    const int band = pageBorders_.Contains(pbTop) ? marginTopPx - by : marginTopPx;
    y_ = (band - lineHeight_) / 2 - marginTopPx;
    if (g.top + y_ < 0) y_ = -g.top;
    x_ = 0;
    WriteRowWith(header_, headerFormat_);
  }
  if (!footer_.empty()) {
    UseFont(footerFont_);
    const int marginBottomPx = g.printableHeight - g.top - g.textHeight + g.offsetY;
    if (pageBorders_.Contains(pbBottom))
      y_ = by + g.textHeight + (marginBottomPx - by - lineHeight_) / 2;
    else
      y_ = g.textHeight + (marginBottomPx - lineHeight_) / 2;
    if (g.top + y_ + lineHeight_ > g.printableHeight) y_ = g.printableHeight - g.top - lineHeight_;
    x_ = 0;
    WriteRowWith(footer_, footerFormat_);
  }
}

}  // namespace vt9
