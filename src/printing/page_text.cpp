// Writing text into the page layout: fitting and wrapping lines, Write, WriteLn, line sources,
// new lines and new pages, and print-to-file output.
#include <algorithm>
#include <cstdio>
#include <utility>

#include "printing/page_layout.h"
#include "printing/page_layout_internal.h"

namespace vt9 {

using page_detail::IsBreakChar;
using page_detail::ScopeExit;

// --- Text fitting ---------------------------------------------------------------------------

std::string TPageLayout::ExpandTabs(std::string_view text) const {
  const std::size_t tab = tabSize_ ? tabSize_ : 1;  // a tab size of 0 counts as 1
  std::string out;
  out.reserve(text.size() + 16);
  for (char ch : text) {
    if (ch == '\t')
      out.append(tab - out.size() % tab, ' ');
    else
      out += ch;
  }
  return out;
}

std::size_t TPageLayout::FitPrefix(std::string_view text, int width, int* fitWidth) {
  const std::size_t n = text.size();
  Canvas& c = device_.MeasureCanvas();
  int w = 0;
  if (n <= 1) {
    if (fitWidth) *fitWidth = n ? c.TextWidth(text) : 0;
    return n;
  }
  // The canvas fits a line in one pass over what it is given. A window that grows fourfold
  // keeps that pass about as long as the line that fits, however long the text, so fitting
  // every line of a text costs time in proportion to the text.
  std::size_t window = std::min<std::size_t>(n, 256);
  for (;;) {
    std::size_t fit = c.FitText(text.substr(0, window), width, w);
    if (fit < window || window == n) {
      if (fit == 0) {  // at least one character goes on a line, or nothing would ever progress
        fit = 1;
        w = c.TextWidth(text.substr(0, 1));
      }
      if (fitWidth) *fitWidth = w;
      return fit;
    }
    window = n - window < 3 * window ? n : 4 * window;
  }
}

std::pair<std::size_t, std::size_t> TPageLayout::SplitForWrap(std::string_view t, int width,
                                                              bool dropBlank) {
  std::size_t p = FitPrefix(t, width);
  if (p >= t.size()) return {t.size(), t.size()};
  if (IsBreakChar(t[p])) return {p, dropBlank ? p + 1 : p};
  for (std::size_t i = p; i-- > 0;)
    if (IsBreakChar(t[i])) return {i + 1, i + 1};
  return {p, p};
}

// --- Writing --------------------------------------------------------------------------------

void TPageLayout::BreakPageIfFull() {
  if (!printToFile_ && !headerFooterMode_ && y_ + lineHeight_ >= geo_.textHeight) NewPage();
}

void TPageLayout::FileWrite(std::string_view text) {
  if (!file_) return;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
    CloseFile(false);
    throw EInOutError("Unable to write to file \"" + fileName_ + "\"");
  }
}

void TPageLayout::CloseFile(bool keep) {
  std::FILE* f = std::exchange(file_, nullptr);
  bool ok = std::fclose(f) == 0;
  if (keep && ok) return;
  std::remove(fileName_.c_str());
  if (keep) throw EInOutError("Unable to write to file \"" + fileName_ + "\"");
}

void TPageLayout::DrawLinePiece(std::string_view piece) {
  // The page break comes first: a new page starts at the left, and the first line of a page
  // keeps its alignment as every other line does.
  BreakPageIfFull();
  if (relayoutStop_) return;
  int w = alignment_ == taLeftJustify ? 0 : device_.MeasureCanvas().TextWidth(piece);
  x_ = alignment_ == taRightJustify ? geo_.textWidth - w
       : alignment_ == taCenter     ? (geo_.textWidth - w) / 2
                                    : 0;
  if (printToFile_) {
    FileWrite(std::string(std::max(0, x_ / BlankWidth()), ' '));
    FileWrite(piece);
  } else if (docOpen_) {
    // Text read from a source is not kept: the page notes where it starts and reads it again.
    const bool checkpoint =
        sourceIndex_ >= 0 && !relayout_ &&
        (pages_.CheckpointOf(pages_.Count() - 1).hasSource
             ? pages_.CheckpointOf(pages_.Count() - 1).source == unsigned(sourceIndex_)
             : pages_.MarkSource(static_cast<unsigned>(sourceIndex_), sourceLine_,
                                 static_cast<std::uint32_t>(pieceOffset_), y_));
    if (!checkpoint) rec_->Text(geo_.left + x_, geo_.top + y_, piece);
  }
  NewLine();
}

void TPageLayout::WriteLn(std::string_view text) { WriteLineFrom(text, 0); }

// Writes a line from byte `from` of its tab-expanded text: 0 for a whole line, more when a page
// is laid out again from a wrapped piece in the middle of a line.
void TPageLayout::WriteLineFrom(std::string_view text, std::size_t from) {
  std::string expanded;
  if (text.find('\t') != std::string_view::npos) {
    expanded = ExpandTabs(text);
    text = expanded;
  }
  pieceOffset_ = 0;
  // A line that fits goes out whole; fitting it measures no further than the page is wide.
  if (from == 0 && (text.size() <= 1 || FitPrefix(text, geo_.textWidth) == text.size())) {
    DrawLinePiece(text);
    return;
  }
  x_ = 0;
  if (!wordWrap_) {
    DrawLinePiece(text.substr(0, FitPrefix(text, geo_.textWidth)));
    return;
  }
  for (std::size_t at = std::min(from, text.size()); at < text.size() && !relayoutStop_;) {
    auto [len, rest] = SplitForWrap(text.substr(at), geo_.textWidth - x_, true);
    pieceOffset_ = at;
    DrawLinePiece(text.substr(at, len));
    at += rest;
  }
}

void TPageLayout::Write(std::string_view text) {
  std::string expanded;
  if (text.find('\t') != std::string_view::npos) {
    expanded = ExpandTabs(text);
    text = expanded;
  }
  Canvas& c = device_.MeasureCanvas();
  while (!text.empty()) {
    std::string_view piece = text;
    std::size_t rest = text.size();
    // Only what fits on the line is measured, so a long text costs its length once.
    int w = 0;
    const std::size_t fit = FitPrefix(text, geo_.textWidth - x_, &w);
    if (text.size() > 1 && fit < text.size()) {
      if (wordWrap_) {
        auto split = SplitForWrap(text, geo_.textWidth - x_, false);
        piece = text.substr(0, split.first);
        rest = split.second;
        w = piece.size() == fit ? w : c.TextWidth(piece);
      } else {
        piece = text.substr(0, fit);
      }
    } else if (text.size() == 1) {
      w = c.TextWidth(text);
    }
    BreakPageIfFull();
    if (printToFile_)
      FileWrite(piece);
    else if (docOpen_)
      rec_->Text(geo_.left + x_, geo_.top + y_, piece);
    x_ += w;
    text.remove_prefix(rest);
    if (!text.empty()) NewLine();
  }
}

void TPageLayout::WriteLines(bool useTable) {
  const bool rows = useTable && !tableFormat_.empty();
  for (const std::string& line : lines_) {
    if (rows)
      WriteRow(line);
    else
      WriteLn(line);
  }
}

void TPageLayout::WriteLines(LineSource& source) {
  if (printToFile_ || !docOpen_) {
    // Nothing is kept then: the lines go out as they are read.
    std::string line;
    for (std::uint64_t i = 0, n = source.LineCount(); i < n; ++i) {
      source.ReadLine(i, line);
      WriteLn(line);
    }
    return;
  }
  sources_.push_back({&source, current_});
  sourceIndex_ = static_cast<int>(sources_.size() - 1);
  ScopeExit done([&] { sourceIndex_ = -1; });
  std::string line;
  for (std::uint64_t i = 0, n = source.LineCount(); i < n; ++i) {
    source.ReadLine(i, line);
    sourceLine_ = i;
    WriteLineFrom(line, 0);
  }
}

void TPageLayout::NewLine() {
  x_ = 0;
  if (pageFull_) NewPage();
  y_ += lineHeight_;
  if (printToFile_ || headerFooterMode_ || y_ + lineHeight_ < geo_.textHeight) {
    ++lineNumber_;
    if (printToFile_) FileWrite("\r\n");
  } else {
    // The page break waits for the next output: a document that exactly fills its last page
    // gets no further page carrying only the header.
    pageFull_ = true;
  }
  if (OnNewLine && !relayout_) OnNewLine();
}

unsigned TPageLayout::NewPage() {
  pageFull_ = false;
  if (relayout_) {
    // A page laid out again ends where its next page begins.
    relayoutStop_ = true;
    return pageNumber_;
  }
  // A page begun inside a line source draws its header, footer and borders again on replay,
  // so they are not kept either.
  const bool regenerated = sourceIndex_ >= 0 && docOpen_ && !printToFile_;
  if (printToFile_) {
    FileWrite("\f\r\n");
  } else if (docOpen_) {
    pages_.AddPage();
    if (regenerated) {
      pages_.MarkRegenerated();
      pages_.SetMuted(true);
    }
    pages_.SetFont(ToFontSpec(current_, PixelsPerInchY()), textHeight_);
  }
  ++pageNumber_;
  {
    ScopeExit unmute([&] { pages_.SetMuted(false); });
    DecoratePage();
  }
  if (!LayoutProgress(pageNumber_)) throw ECancelPrinting("Printing Cancelled");
  return pageNumber_;
}

}  // namespace vt9
