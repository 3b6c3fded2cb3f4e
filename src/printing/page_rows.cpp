// Table rows, headers and footers of the page layout: cells in columns, page macros, grid
// lines and the translation of friendly headers and footers.
#include <cmath>

#include "printing/page_layout.h"

namespace vt9 {

namespace {

std::string BaseName(const std::string& path) {
  std::size_t at = path.find_last_of("\\/:");
  return at == std::string::npos ? path : path.substr(at + 1);
}

}  // namespace

void TPageLayout::WriteRow(std::string_view text) { WriteRowWith(text, tableFormat_); }

std::string TPageLayout::ReplaceMacros(const std::string& text) const {
  std::string s = text;
  ReplaceAll(s, "{$LINE}", std::to_string(lineNumber_));
  ReplaceAll(s, "{$PAGE}", std::to_string(pageNumber_));
  if (s.find("{$DATE}") != std::string::npos)
    ReplaceAll(s, "{$DATE}", device_.Now(NowText::ShortDate));
  if (s.find("{$TIME}") != std::string::npos)
    ReplaceAll(s, "{$TIME}", device_.Now(NowText::LongTime));
  ReplaceAll(s, "{$TITLE}", Title());
  return s;
}

void TPageLayout::DrawCellGrid(int x, int w, bool top, bool verticals, bool bottom) {
  if (printToFile_ || !docOpen_) return;
  int adjust = lineSpacing_ == lsHalfSpace ? externalLeading_ / 2
               : lineSpacing_ == lsSingleAndAHalf
                   ? static_cast<int>(std::lround(1.5 * externalLeading_))
               : lineSpacing_ == lsDoubleSpace ? 2 * externalLeading_
                                               : externalLeading_;
  const int c = geo_.top + y_ - adjust;
  if (top) pages_.Line(x, c, x + w, c, PenY());
  if (bottom) pages_.Line(x, c + lineHeight_, x + w, c + lineHeight_, PenY());
  if (verticals) {
    pages_.Line(x, c, x, c + lineHeight_, PenX());
    pages_.Line(x + w, c, x + w, c + lineHeight_, PenX());
  }
}

void TPageLayout::WriteRowWith(std::string_view row, const std::string& format) {
  const std::vector<std::string> columnTexts = SplitTokens(format, separator_);
  std::vector<std::string> cells = SplitTokens(row, separator_);
  cells.resize(columnTexts.size());
  std::vector<ColumnLayout> columns;
  for (const std::string& s : columnTexts) columns.push_back(ParseColumn(s, defaultColWidth_));
  Canvas& c = device_.MeasureCanvas();
  const int padding = 6 * (PixelsPerInchX() / 300);
  bool firstLine = true;
  for (;;) {
    BreakPageIfFull();
    int x = geo_.left;
    bool more = false;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const ColumnLayout& col = columns[i];
      const int w = XPixels(std::fabs(col.width));
      std::string cell =
          cells[i].find("{$") != std::string::npos ? ReplaceMacros(cells[i]) : cells[i];
      std::string piece;
      if (wordWrap_) {
        auto [len, rest] = SplitForWrap(cell, w, false);
        piece = cell.substr(0, len);
        std::string remainder = cell.substr(rest);
        std::size_t lf = piece.find('\n');
        if (lf != std::string::npos) {
          std::string after = piece.substr(lf + 1);
          if (!remainder.empty()) after += " " + remainder;
          remainder = std::move(after);
          piece.resize(lf);
        }
        cells[i] = std::move(remainder);
        if (!cells[i].empty()) more = true;
      } else {
        piece = cell.substr(0, FitPrefix(cell, w));
        cells[i].clear();
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
        FileWrite(std::string(std::max(0, d / blank), ' ') + piece +
                  std::string(std::max(0, (w - d - pw) / blank), ' '));
      } else if (docOpen_ && !piece.empty()) {
        pages_.Text(x + d, geo_.top + y_, piece);
      }
      if (tableGrid_ && col.width >= 0) DrawCellGrid(x, w, firstLine, true, false);
      x += w;
    }
    firstLine = false;
    if (!more) break;
    NewLine();
  }
  if (tableGrid_) {
    int x = geo_.left;
    for (const ColumnLayout& col : columns) {
      const int w = XPixels(std::fabs(col.width));
      if (col.width >= 0) DrawCellGrid(x, w, false, true, true);
      x += w;
    }
  }
  if (!headerFooterMode_ || printToFile_) NewLine();
}

void TPageLayout::Translate(const std::string& friendly, bool header) {
  if (friendly.empty()) return;
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

}  // namespace vt9
