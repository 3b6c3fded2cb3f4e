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

std::size_t TPageLayout::WholeChars(std::string_view text, std::size_t fit, bool force) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t next =
        at +
        (device_.IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1);
    if (next > fit) return at == 0 && force ? next : at;
    at = next;
  }
  return at;
}

std::size_t TPageLayout::FitPrefix(std::string_view text, int width, int* fitWidth) {
  const std::size_t n = text.size();
  Canvas& c = device_.MeasureCanvas();
  int w = 0;
  if (n == 0) {
    if (fitWidth) *fitWidth = 0;
    return 0;
  }
  // The canvas fits a line in one pass over what it is given. A window that grows fourfold
  // keeps that pass about as long as the line that fits, however long the text, so fitting
  // every line of a text costs time in proportion to the text.
  std::size_t window = std::min<std::size_t>(n, 256);
  for (;;) {
    std::size_t fit = c.FitText(text.substr(0, window), width, w);
    if (fit < window || window == n) {
      // Never half a double-byte character; at least one character goes on a line, or nothing
      // would ever progress (a caller that continues a line checks the width it gets).
      const std::size_t whole = WholeChars(text, fit, true);
      if (whole != fit) w = c.TextWidth(text.substr(0, whole));
      if (fitWidth) *fitWidth = w;
      return whole;
    }
    window = n - window < 3 * window ? n : 4 * window;
  }
}

std::pair<std::size_t, std::size_t> TPageLayout::SplitAt(std::string_view t, std::size_t p,
                                                         bool dropBlank) {
  if (p >= t.size()) return {t.size(), t.size()};
  if (IsBreakChar(t[p])) return {p, dropBlank ? p + 1 : p};
  for (std::size_t i = p; i-- > 0;)
    if (IsBreakChar(t[i])) return {i + 1, i + 1};
  return {p, p};
}

std::pair<std::size_t, std::size_t> TPageLayout::SplitForWrap(std::string_view t, int width,
                                                              bool dropBlank) {
  return SplitAt(t, FitPrefix(t, width), dropBlank);
}

// --- Writing --------------------------------------------------------------------------------

void TPageLayout::BreakPageIfFull() {
  // A line at the top of a page stays there even when its font is taller than the text area:
  // it would not fit on the next page either, and a page laid out again starts the same way.
  if (!printToFile_ && !headerFooterMode_ && y_ > 0 && y_ + lineHeight_ >= geo_.textHeight)
    NewPage();
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
  // Taken first: what OnNewPage writes when the page breaks here is no text of the source.
  const bool fromSource = std::exchange(pieceFromSource_, false) && sourceIndex_ >= 0;
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
        fromSource && !relayout_ &&
        (pages_.CheckpointOf(pages_.Count() - 1).hasSource
             ? pages_.CheckpointOf(pages_.Count() - 1).source == unsigned(sourceIndex_)
             : pages_.MarkSource(static_cast<unsigned>(sourceIndex_), sourceLine_, pieceAt_, y_));
    if (!checkpoint) rec_->Text(geo_.left + x_, geo_.top + y_, piece);
  }
  NewLine();
}

bool TPageLayout::WriteLineParts(LineCursor& cursor) {
  constexpr std::size_t kFirstPart = 256;
  std::size_t want = kFirstPart;
  bool drawn = false;
  x_ = 0;
  while (!relayoutStop_) {
    if (!cursor.Fill(want)) return false;
    const std::string_view t = cursor.Pending();
    if (t.empty() && cursor.Ended()) {
      if (!drawn) {
        pieceAt_ = cursor.Position().Pack();
        pieceFromSource_ = sourceIndex_ >= 0;
        DrawLinePiece({});
      }
      return true;
    }
    const std::size_t fit = FitPrefix(t, geo_.textWidth);
    if (fit >= t.size() && !cursor.Ended()) {
      // All that was read fits: where the piece ends lies further on.
      want = 2 * t.size() + kFirstPart;
      continue;
    }
    pieceAt_ = cursor.Position().Pack();
    pieceFromSource_ = sourceIndex_ >= 0;
    if (!wordWrap_) {
      DrawLinePiece(t.substr(0, fit));  // the rest of the line is cut off, and not read
      return true;
    }
    const auto [len, rest] = SplitAt(t, fit, true);
    DrawLinePiece(t.substr(0, len));
    drawn = true;
    cursor.Consume(rest);
    want = kFirstPart;
  }
  return true;
}

void TPageLayout::WriteLn(std::string_view text) {
  // Pieces of a line written here and of a line read from a source are cut by the same code,
  // so a page laid out again from a source is the page a written line would give.
  LineCursor cursor(
      [text](std::uint64_t offset, std::size_t max, std::string& part) {
        part.assign(text.substr(std::min<std::uint64_t>(offset, text.size()), max));
        return true;
      },
      tabSize_, {});
  const int savedSource = std::exchange(sourceIndex_, -1);
  ScopeExit restore([&] { sourceIndex_ = savedSource; });
  WriteLineParts(cursor);
}

void TPageLayout::WriteSourceLine(std::uint64_t line, std::uint64_t position) {
  LineSource& source = *sources_[static_cast<std::size_t>(sourceIndex_)].source;
  LineCursor::Reader reader;
  if (source.ReadsParts()) {
    reader = [&source, line](std::uint64_t offset, std::size_t max, std::string& part) {
      return source.ReadLinePart(line, offset, max, part);
    };
  } else {
    // A source that reads whole lines is asked once per line, and the line is kept: the pages
    // of a giant line, printed one after another, read it once.
    reader = [&](std::uint64_t offset, std::size_t max, std::string& part) {
      if (wholeSource_ != &source || wholeLine_ != line) {
        wholeSource_ = nullptr;
        if (!source.ReadLine(line, whole_)) return false;
        wholeSource_ = &source;
        wholeLine_ = line;
      }
      part.assign(
          std::string_view(whole_).substr(std::min<std::uint64_t>(offset, whole_.size()), max));
      return true;
    };
  }
  sourceLine_ = line;
  LineCursor cursor(std::move(reader), tabSize_, page_detail::LinePosition::Unpack(position));
  if (!WriteLineParts(cursor))
    throw EInOutError("Unable to read line " + std::to_string(line + 1) +
                      " of the document to print");
}

void TPageLayout::Write(std::string_view text) {
  std::string expanded;
  if (text.find('\t') != std::string_view::npos) {
    expanded = ExpandTabs(text);
    text = expanded;
  }
  Canvas& c = device_.MeasureCanvas();
  while (!text.empty()) {
    const int room = geo_.textWidth - x_;
    // Only what fits on the line is measured, so a long text costs its length once.
    int w = 0;
    const std::size_t fit = FitPrefix(text, room, &w);
    if (w > room && x_ > 0) {
      // Not one character fits after what the line holds: the text goes on the next line.
      NewLine();
      continue;
    }
    std::string_view piece = text.substr(0, fit);
    std::size_t rest = fit;
    if (fit < text.size() && wordWrap_) {
      const auto split = SplitAt(text, fit, false);
      piece = text.substr(0, split.first);
      rest = split.second;
      if (piece.size() != fit) w = c.TextWidth(piece);
    } else if (fit < text.size()) {
      rest = text.size();  // without word wrap, what does not fit is cut off
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
  const std::uint64_t n = source.LineCount();
  if (printToFile_ || !docOpen_ || OnNewLine || sourceIndex_ >= 0) {
    // The lines are written as WriteLn writes them: nothing of them is kept while no document
    // is recorded, and all of them when OnNewLine may write between any two or when OnNewPage
    // writes them while another source is laid out (a page has one source to read again).
    std::string line;
    for (std::uint64_t i = 0; i < n; ++i) {
      if (!source.ReadLine(i, line))
        throw EInOutError("Unable to read line " + std::to_string(i + 1) +
                          " of the document to print");
      WriteLn(line);
    }
    return;
  }
  if (n == 0) return;
  sources_.push_back({&source, n, CurrentStyle()});
  sourceIndex_ = static_cast<int>(sources_.size() - 1);
  ScopeExit done([&] { sourceIndex_ = -1; });
  for (std::uint64_t i = 0; i < n; ++i) WriteSourceLine(i, 0);
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
    // A page drawn again names its font itself.
    pages_.SetMuted(regenerated);
    pages_.SetFont(ToFontSpec(current_, PixelsPerInchY()), textHeight_);
    pages_.SetMuted(false);
  }
  ++pageNumber_;
  DecoratePage(regenerated);
  if (!LayoutProgress(pageNumber_)) throw ECancelPrinting("Printing Cancelled");
  return pageNumber_;
}
}  // namespace vt9
