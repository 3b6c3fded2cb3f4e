#include "printing/page_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "printing/progress_text.h"

namespace vt9 {

namespace {

constexpr double kMmPerInch = 25.4;
// The largest length in printer pixels: far beyond any paper, and small enough that sums of a
// few such lengths stay within an int.
constexpr double kMaxPixels = 1 << 26;
// Pages laid out again that the preview keeps.
constexpr std::size_t kCachedPages = 4;

int ClampPixels(double v) {
  if (!(v == v)) return 0;  // NaN
  return static_cast<int>(std::lround(std::clamp(v, -kMaxPixels, kMaxPixels)));
}

template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() { f_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
};

bool IsBreakChar(char c) { return static_cast<unsigned char>(c) < 33; }

int SpacedHeight(int h, TLineSpacing spacing) {
  switch (spacing) {
    case lsHalfSpace:
      return h / 2;
    case lsSingleAndAHalf:
      return h + h / 2;
    case lsDoubleSpace:
      return 2 * h;
    default:
      return h;
  }
}

}  // namespace

unsigned PrintPlan::PageAt(std::uint64_t step) const {
  const std::uint64_t pages = last - first + 1;
  return collate ? first + static_cast<unsigned>(step % pages)
                 : first + static_cast<unsigned>(step / (copies ? copies : 1));
}

TPageLayout::TPageLayout(PrintDevice& device) : device_(device) {
  marginTop_ = marginBottom_ = OffsetYUnits();
  marginLeft_ = marginRight_ = OffsetXUnits();
  headerFont_ = footerFont_ = current_ = font_;
  PrepareFonts();
}

TPageLayout::~TPageLayout() {
  // A print-to-file document that was never ended is no finished file.
  if (file_) CloseFile(false);
}

// --- Units and device values ----------------------------------------------------------------

int TPageLayout::PixelsPerInchX() const {
  auto caps = device_.Caps();
  return caps && caps->logPixelsX > 0 ? caps->logPixelsX : 300;
}
int TPageLayout::PixelsPerInchY() const {
  auto caps = device_.Caps();
  return caps && caps->logPixelsY > 0 ? caps->logPixelsY : 300;
}

double TPageLayout::PageWidthUnits() const {
  auto caps = device_.Caps();
  if (!caps || caps->logPixelsX <= 0) return unit_ == muInches ? 8.5 : 210;
  double in = double(caps->physicalWidth) / caps->logPixelsX;
  return unit_ == muInches ? in : in * kMmPerInch;
}
double TPageLayout::PageHeightUnits() const {
  auto caps = device_.Caps();
  if (!caps || caps->logPixelsY <= 0) return unit_ == muInches ? 11 : 297;
  double in = double(caps->physicalHeight) / caps->logPixelsY;
  return unit_ == muInches ? in : in * kMmPerInch;
}
double TPageLayout::OffsetXUnits() const {
  auto caps = device_.Caps();
  if (!caps || caps->logPixelsX <= 0) return unit_ == muInches ? 0.25 : 6;
  double in = double(caps->offsetX) / caps->logPixelsX;
  return unit_ == muInches ? in : in * kMmPerInch;
}
double TPageLayout::OffsetYUnits() const {
  auto caps = device_.Caps();
  if (!caps || caps->logPixelsY <= 0) return unit_ == muInches ? 0.25 : 6;
  double in = double(caps->offsetY) / caps->logPixelsY;
  return unit_ == muInches ? in : in * kMmPerInch;
}

int TPageLayout::XPixels(double length) const {
  double in = unit_ == muInches ? length : length / kMmPerInch;
  return ClampPixels(in * PixelsPerInchX());
}
int TPageLayout::YPixels(double length) const {
  double in = unit_ == muInches ? length : length / kMmPerInch;
  return ClampPixels(in * PixelsPerInchY());
}

TPageLayout::Geometry TPageLayout::PageGeometry() const {
  Geometry g{};
  g.ppiX = PixelsPerInchX();
  g.ppiY = PixelsPerInchY();
  const double ox = OffsetXUnits(), oy = OffsetYUnits();
  g.offsetX = XPixels(ox);
  g.offsetY = YPixels(oy);
  g.pageWidth = XPixels(PageWidthUnits());
  g.pageHeight = YPixels(PageHeightUnits());
  g.printableWidth = XPixels(PageWidthUnits() - 2 * ox);
  g.printableHeight = YPixels(PageHeightUnits() - 2 * oy);
  g.left = XPixels(marginLeft_ - ox);
  g.top = YPixels(marginTop_ - oy);
  int right = XPixels(marginRight_ - ox);
  int bottom = YPixels(marginBottom_ - oy);

  // The header row and the border lines sit in the margins. Margins as narrow as the printer's
  // offsets (zero on many printers) would put the header on top of the first line and the
  // borders outside the printable area, so the margins are widened to hold them.
  const int penY = PenY(), penX = PenX();
  const int gapY = std::max(penY, 1), gapX = std::max(penX, 1);
  const int bx = XPixels(pageBorderOffset_), by = YPixels(pageBorderOffset_);
  auto heightOf = [&](const TPrintFont& f) {
    return SpacedHeight(std::abs(FontHeightFromPoints(f.size, g.ppiY)), lineSpacing_);
  };
  int needTop = (header_.empty() ? 0 : heightOf(headerFont_) + gapY) +
                (pageBorders_.Contains(pbTop) ? by + penY + gapY : 0);
  int needBottom = (footer_.empty() ? 0 : heightOf(footerFont_) + gapY) +
                   (pageBorders_.Contains(pbBottom) ? by + penY + gapY : 0);
  g.top = std::max(g.top, needTop);
  bottom = std::max(bottom, needBottom);
  if (pageBorders_.Contains(pbLeft)) g.left = std::max(g.left, bx + penX + gapX);
  if (pageBorders_.Contains(pbRight)) right = std::max(right, bx + penX + gapX);

  g.textWidth = std::max(0, g.printableWidth - g.left - right);
  g.textHeight = std::max(0, g.printableHeight - g.top - bottom);
  return g;
}

// --- Property setters -----------------------------------------------------------------------

void TPageLayout::CheckNotPrinting(const char* message) const {
  if (Printing()) throw EPagePrinter(message);
}

double TPageLayout::ClampMargin(double v, double offset, double page, double oppositeOffset) const {
  if (!(v >= offset)) v = offset;  // also catches NaN
  if (v > page - oppositeOffset) v = page - oppositeOffset;
  return v;
}

void TPageLayout::SetMarginTop(double v) {
  CheckNotPrinting("Unable to change top margin while printing");
  marginTop_ = ClampMargin(v, OffsetYUnits(), PageHeightUnits(), OffsetYUnits());
  PreviewChanged();
}
void TPageLayout::SetMarginBottom(double v) {
  CheckNotPrinting("Unable to change bottom margin while printing");
  marginBottom_ = ClampMargin(v, OffsetYUnits(), PageHeightUnits(), OffsetYUnits());
  PreviewChanged();
}
void TPageLayout::SetMarginLeft(double v) {
  CheckNotPrinting("Unable to change left margin while printing");
  marginLeft_ = ClampMargin(v, OffsetXUnits(), PageWidthUnits(), OffsetXUnits());
  PreviewChanged();
}
void TPageLayout::SetMarginRight(double v) {
  CheckNotPrinting("Unable to change right margin while printing");
  marginRight_ = ClampMargin(v, OffsetXUnits(), PageWidthUnits(), OffsetXUnits());
  PreviewChanged();
}

void TPageLayout::SetPageBorderOffset(double v) {
  // No border lies beyond the paper, nor inside out.
  const double most = std::max(PageWidthUnits(), PageHeightUnits());
  pageBorderOffset_ = !(v > 0) ? 0 : v > most ? most : v;
}

void TPageLayout::SetMeasureUnit(TMeasureUnit unit) {
  if (unit == unit_) return;
  const double f = unit == muMillimeters ? kMmPerInch : 1 / kMmPerInch;
  unit_ = unit;
  marginTop_ *= f;
  marginBottom_ *= f;
  marginLeft_ *= f;
  marginRight_ *= f;
  pageBorderOffset_ *= f;
  defaultColWidth_ *= f;
  PrepareFonts();
  if (friendlyFooter_.empty())
    footerFormat_ = ScaleFormat(footerFormat_, separator_, f, defaultColWidth_);
  if (friendlyHeader_.empty())
    headerFormat_ = ScaleFormat(headerFormat_, separator_, f, defaultColWidth_);
  tableFormat_ = ScaleFormat(tableFormat_, separator_, f, defaultColWidth_);
  PreviewChanged();
}

void TPageLayout::SetAutoHeaderFont(bool v) {
  autoHeaderFont_ = v;
  if (v) headerFont_ = font_;
}
void TPageLayout::SetAutoFooterFont(bool v) {
  autoFooterFont_ = v;
  if (v) footerFont_ = font_;
}

void TPageLayout::SetFont(const TPrintFont& font) {
  font_ = font;
  if (autoHeaderFont_) headerFont_ = font;
  if (autoFooterFont_) footerFont_ = font;
  PrepareFonts();
}

void TPageLayout::SetLineSpacing(TLineSpacing v) {
  lineSpacing_ = v;
  UseFont(current_);
}

void TPageLayout::SetHeaderFormat(const std::string& v) {
  headerFormat_ = NormaliseFormat(v, separator_, defaultColWidth_);
}
void TPageLayout::SetFooterFormat(const std::string& v) {
  footerFormat_ = NormaliseFormat(v, separator_, defaultColWidth_);
}
void TPageLayout::SetTableFormat(const std::string& v) {
  tableFormat_ = NormaliseFormat(v, separator_, defaultColWidth_);
}
void TPageLayout::SetFriendlyHeader(const std::string& v) {
  friendlyHeader_ = v;
  Translate(v, true);
}
void TPageLayout::SetFriendlyFooter(const std::string& v) {
  friendlyFooter_ = v;
  Translate(v, false);
}

void TPageLayout::SetFileName(const std::string& name) {
  std::size_t b = name.find_first_not_of(" \t\r\n");
  std::size_t e = name.find_last_not_of(" \t\r\n");
  std::string trimmed = b == std::string::npos ? std::string() : name.substr(b, e - b + 1);
  if (trimmed != fileName_ && Printing())
    throw EPagePrinter("Can't change FileName while printing");
  fileName_ = trimmed;
}

void TPageLayout::SetPrintToFile(bool v) {
  if (v != printToFile_ && Printing())
    throw EPagePrinter("Can't change PrintToFile while printing");
  printToFile_ = v;
}

TPrinterOrientation TPageLayout::Orientation() const {
  return device_.Caps() ? orientation_ : poPortrait;
}

void TPageLayout::SetOrientation(TPrinterOrientation v) {
  CheckNotPrinting("Unable to change orientation while printing");
  orientation_ = v;
  device_.SetOrientation(v);
  PreviewChanged();
}

std::string TPageLayout::Title() const { return device_.Caps() ? title_ : "<Unknown>"; }

void TPageLayout::SetPageNumber(unsigned page) {
  if (page >= 1 && page <= PageCount()) {
    pageNumber_ = page;
    PreviewChanged();
  } else if (PageCount() > 0) {
    throw EPagePrinter("PageNumber must be between 1 and " + std::to_string(PageCount()));
  } else {
    pageNumber_ = 0;
  }
}

void TPageLayout::SetFromPage(unsigned page) {
  fromPage_ = page;
  if (fromPage_ > toPage_) toPage_ = fromPage_;
}
void TPageLayout::SetToPage(unsigned page) {
  toPage_ = page;
  if (toPage_ < fromPage_) fromPage_ = toPage_;
}

unsigned TPageLayout::PageCount() const { return static_cast<unsigned>(pages_.Count()); }

bool TPageLayout::Printing() const { return printToFile_ ? file_ != nullptr : docOpen_; }

// --- Fonts ----------------------------------------------------------------------------------

void TPageLayout::PrepareFonts() { UseFont(font_); }

void TPageLayout::UseFont(const TPrintFont& font) {
  current_ = font;
  const int ppi = PixelsPerInchY();
  Canvas& c = device_.MeasureCanvas();
  const FontSpec fontSpec = ToFontSpec(font, ppi);
  c.SetFont(fontSpec);
  lineHeight_ = SpacedHeight(std::abs(fontSpec.height), lineSpacing_);
  textHeight_ = c.TextExtent("").cy;
  externalLeading_ = std::max(0, c.MeasureText("", TextFlags{false, false}).cy - textHeight_);
  if (docOpen_ && !printToFile_) rec_->SetFont(fontSpec, textHeight_);
}

int TPageLayout::BlankWidth() {
  int w = device_.MeasureCanvas().TextWidth(" ");
  return w > 0 ? w : 1;
}

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

void TPageLayout::DecoratePage() {
  x_ = y_ = lineNumber_ = 0;
  if (OnNewPage && !relayout_) OnNewPage();
  WriteHeaderFooter();
  if (OnNewLine && !relayout_) OnNewLine();
  if (printToFile_ || !docOpen_) return;
  const Geometry& g = geo_;
  const int bx = XPixels(pageBorderOffset_), by = YPixels(pageBorderOffset_);
  const int l = g.left - bx, r = g.left + g.textWidth + bx;
  const int t = g.top - by, b = g.top + g.textHeight + by;
  if (pageBorders_.Contains(pbTop)) rec_->Line(l, t, r, t, PenY());
  if (pageBorders_.Contains(pbBottom)) rec_->Line(l, b, r, b, PenY());
  if (pageBorders_.Contains(pbLeft)) rec_->Line(l, t, l, b, PenX());
  if (pageBorders_.Contains(pbRight)) rec_->Line(r, t, r, b, PenX());
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

// --- Document -------------------------------------------------------------------------------

void TPageLayout::BeginDoc() {
  if (!Printing()) {
    PrepareFonts();
    SetMarginTop(marginTop_);
    SetMarginBottom(marginBottom_);
    SetMarginLeft(marginLeft_);
    SetMarginRight(marginRight_);
  }
  if (!friendlyHeader_.empty()) Translate(friendlyHeader_, true);
  if (!friendlyFooter_.empty()) Translate(friendlyFooter_, false);
  geo_ = PageGeometry();
  if (!printToFile_ && (geo_.textWidth <= 0 || geo_.textHeight <= lineHeight_))
    throw EPagePrinter("The margins leave no room for text");
  if (file_) CloseFile(false);
  headerFooterMode_ = false;
  pageFull_ = false;
  cancelRequested_ = false;
  if (printToFile_) {
    file_ = std::fopen(fileName_.c_str(), "wb");
    if (!file_) throw EInOutError("Unable to create file \"" + fileName_ + "\"");
  } else {
    pages_.Clear();
    pages_.AddPage();
  }
  sources_.clear();
  cache_.clear();
  docOpen_ = true;
  UseFont(font_);
  pageNumber_ = 1;
  DecoratePage();
}

void TPageLayout::EndDoc() {
  const bool wasOpen = docOpen_;
  docOpen_ = false;
  pageFull_ = false;
  if (printToFile_) {
    if (file_) CloseFile(true);
    return;
  }
  if (!wasOpen) return;
  pageNumber_ = PageCount() ? 1 : 0;
  PreviewChanged();
}

// --- Printing -------------------------------------------------------------------------------

bool TPageLayout::PrintPages(PrintJob& job) {
  if (Printing() && !printToFile_) EndDoc();
  if (PageCount() == 0) return true;
  PrintPlan plan;
  plan.first = fromPage_ ? std::min(fromPage_, PageCount()) : 1;
  plan.last = toPage_ ? std::min(toPage_, PageCount()) : PageCount();
  if (plan.first > plan.last) plan.first = plan.last;
  plan.copies = copies_;
  plan.collate = collate_;

  const int systemCopies = job.SystemCopies();
  job.SetSystemCopies(1);
  cancelRequested_ = false;
  bool jobOpen = false;
  ScopeExit finish([&] {
    job.Progress(kFinishProgress, 0, plan.first, plan.last);
    job.SetSystemCopies(systemCopies);
  });
  const Geometry g = PageGeometry();
  try {
    job.StartJob(Title());
    jobOpen = true;
    for (std::uint64_t step = 0, steps = plan.Steps(); step < steps; ++step) {
      const unsigned page = plan.PageAt(step);
      if (showProgress_ && showCancel_) job.ProcessMessages();
      if (cancelRequested_) throw ECancelPrinting("Printing Cancelled");
      job.Progress(progressMessage_, page, plan.first, plan.last);
      // A printer page is started only for a page that is about to be drawn, so a cancel
      // never leaves a blank page behind.
      job.StartPage();
      ReplayPage(page - 1, job.PageCanvas(), g.printableWidth);
      job.EndPage();
    }
    jobOpen = false;
    job.EndJob();
  } catch (const ECancelPrinting&) {
    if (jobOpen) {
      if (abortOnCancel_)
        job.AbortJob();
      else
        job.EndJob();
    }
    return false;
  } catch (...) {
    if (jobOpen) job.AbortJob();
    throw;
  }
  return true;
}

}  // namespace vt9

namespace vt9 {

// --- Pages laid out again -------------------------------------------------------------------

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
