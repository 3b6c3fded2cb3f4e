// The page layout's properties, units and device values, the document and printing. Writing
// text is in page_text.cpp, rows, headers and footers in page_rows.cpp, pages laid out again
// from a line source in page_replay.cpp.
#include "printing/page_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "printing/page_layout_internal.h"
#include "printing/progress_text.h"

namespace vt9 {

using page_detail::ScopeExit;
using page_detail::SpacedHeight;

namespace {

constexpr double kMmPerInch = 25.4;
// The largest length in printer pixels: far beyond any paper, and small enough that sums of a
// few such lengths stay within an int.
constexpr double kMaxPixels = 1 << 26;

int ClampPixels(double v) {
  if (!(v == v)) return 0;  // NaN
  return static_cast<int>(std::lround(std::clamp(v, -kMaxPixels, kMaxPixels)));
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
  cache_.clear();  // the printer's fonts may measure otherwise now
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
  wholeSource_ = nullptr;
  whole_ = std::string();
  docDate_ = device_.Now(NowText::ShortDate);
  docTime_ = device_.Now(NowText::LongTime);
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
  cache_.clear();  // nothing laid out while the document was open is kept
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
