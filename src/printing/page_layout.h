// The page printer's portable half: properties, the document model and the layout of lines,
// rows, headers, footers and borders into recorded pages, and the order in which pages go to
// the printer. The Windows page printer (printing/win/page_printer.h) derives from it and adds
// the preview window, the spooler and the progress dialog.
//
// Lengths (margins, border offset, column widths) are in MeasureUnit. Layout positions are
// printer pixels: x and y are relative to the top-left corner of the text area, which itself
// is placed relative to the printable origin (the printer's physical offset).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "printing/column_format.h"
#include "printing/line_source.h"
#include "printing/page_list.h"
#include "printing/page_types.h"
#include "printing/print_device.h"
#include "printing/printer_errors.h"

namespace vt9 {

// The side of the print job the page printer talks to while printing (the spooler on Windows,
// a recorder in tests).
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  // The system printer's own copy count, which printing sets to 1 and gives back afterwards.
  virtual int SystemCopies() = 0;
  virtual void SetSystemCopies(int copies) = 0;
  virtual void StartJob(const std::string& title) = 0;
  virtual void StartPage() = 0;
  virtual Canvas& PageCanvas() = 0;
  virtual void EndPage() = 0;
  virtual void EndJob() = 0;
  virtual void AbortJob() = 0;
  // Lets pending window messages run, so a Cancel button can be pressed.
  virtual void ProcessMessages() = 0;
  // The progress routine: a page is about to print, or "<FINISH>".
  virtual void Progress(const std::string& message, unsigned page, unsigned first,
                        unsigned last) = 0;
};

// Copies and collation over a page range, as a sequence of steps: step i prints PageAt(i).
struct PrintPlan {
  unsigned first = 1;
  unsigned last = 1;
  unsigned copies = 1;
  bool collate = true;
  std::uint64_t Steps() const { return std::uint64_t(copies) * (last - first + 1); }
  unsigned PageAt(std::uint64_t step) const;
};

class TPageLayout {
 public:
  explicit TPageLayout(PrintDevice& device);
  virtual ~TPageLayout();
  TPageLayout(const TPageLayout&) = delete;
  TPageLayout& operator=(const TPageLayout&) = delete;

  // --- Document -------------------------------------------------------------------------
  void BeginDoc();
  void EndDoc();
  void Write(std::string_view text);
  void WriteLn(std::string_view text);
  void WriteRow(std::string_view text);
  void WriteLines(bool useTable);
  // Lays out every line of `source` as WriteLines(false) does for Lines(), without keeping
  // its text: a page begun here records only a checkpoint and is laid out again from the source
  // when it is printed or previewed, with the properties it was laid out with (changing them
  // afterwards changes no page of this document). The source must stay alive and unchanged as
  // long as the pages are printed or previewed (until the next BeginDoc). With OnNewLine set,
  // the lines are kept as Write and WriteLn keep theirs, as that handler's output can fall
  // between any two of them. A line that cannot be read throws EInOutError.
  void WriteLines(LineSource& source);
  void NewLine();
  unsigned NewPage();

  unsigned PageCount() const;
  unsigned PageNumber() const { return pageNumber_; }
  void SetPageNumber(unsigned page);
  int LineNumber() const { return lineNumber_; }
  bool Printing() const;
  unsigned FromPage() const { return fromPage_; }
  void SetFromPage(unsigned page);
  unsigned ToPage() const { return toPage_; }
  void SetToPage(unsigned page);

  // Prints pages FromPage..ToPage through `job`; false when cancelled.
  bool PrintPages(PrintJob& job);
  // Sets the flag Print checks before every page (the progress dialog's Cancel).
  void RequestCancel() { cancelRequested_ = true; }
  // Whether Cancel was pressed since the document was begun or printing started.
  bool CancelRequested() const { return cancelRequested_; }

  // The recorded pages. Pages laid out from a line source hold checkpoints only: draw page n
  // with ReplayPage(n - 1, ...), which lays those out again (and throws EInOutError when the
  // source can no longer be read).
  const TPageList& Pages() const { return pages_; }
  void ReplayPage(std::size_t index, Canvas& canvas, int clipWidth);
  std::vector<std::string>& Lines() { return lines_; }

  // --- Properties -------------------------------------------------------------------------
  TMeasureUnit MeasureUnit() const { return unit_; }
  void SetMeasureUnit(TMeasureUnit unit);
  bool AbortOnCancel() const { return abortOnCancel_; }
  void SetAbortOnCancel(bool v) { abortOnCancel_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; }
  bool AutoHeaderFont() const { return autoHeaderFont_; }
  void SetAutoHeaderFont(bool v);
  bool AutoFooterFont() const { return autoFooterFont_; }
  void SetAutoFooterFont(bool v);
  bool Collate() const { return collate_; }
  void SetCollate(bool v) { collate_ = v; }
  unsigned Copies() const { return copies_; }
  void SetCopies(unsigned v) { copies_ = v == 0 ? 1 : v; }
  double DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(double v) { defaultColWidth_ = v; }
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name);
  const std::string& Header() const { return header_; }
  void SetHeader(const std::string& v) { header_ = v; }
  const std::string& Footer() const { return footer_; }
  void SetFooter(const std::string& v) { footer_ = v; }
  const TPrintFont& Font() const { return font_; }
  void SetFont(const TPrintFont& font);
  const TPrintFont& HeaderFont() const { return headerFont_; }
  void SetHeaderFont(const TPrintFont& f) { headerFont_ = f; }
  const TPrintFont& FooterFont() const { return footerFont_; }
  void SetFooterFont(const TPrintFont& f) { footerFont_ = f; }
  const std::string& HeaderFormat() const { return headerFormat_; }
  void SetHeaderFormat(const std::string& v);
  const std::string& FooterFormat() const { return footerFormat_; }
  void SetFooterFormat(const std::string& v);
  const std::string& TableFormat() const { return tableFormat_; }
  void SetTableFormat(const std::string& v);
  const std::string& FriendlyHeader() const { return friendlyHeader_; }
  void SetFriendlyHeader(const std::string& v);
  const std::string& FriendlyFooter() const { return friendlyFooter_; }
  void SetFriendlyFooter(const std::string& v);
  TLineSpacing LineSpacing() const { return lineSpacing_; }
  void SetLineSpacing(TLineSpacing v);
  double MarginTop() const { return marginTop_; }
  void SetMarginTop(double v);
  double MarginBottom() const { return marginBottom_; }
  void SetMarginBottom(double v);
  double MarginLeft() const { return marginLeft_; }
  void SetMarginLeft(double v);
  double MarginRight() const { return marginRight_; }
  void SetMarginRight(double v);
  std::function<void()> OnNewLine;
  std::function<void()> OnNewPage;
  TPrinterOrientation Orientation() const;
  void SetOrientation(TPrinterOrientation v);
  double PageBorderOffset() const { return pageBorderOffset_; }
  void SetPageBorderOffset(double v);
  TPageBorders PageBorders() const { return pageBorders_; }
  void SetPageBorders(TPageBorders v) { pageBorders_ = v; }
  bool PrintToFile() const { return printToFile_; }
  void SetPrintToFile(bool v);
  const std::string& ProgressMessage() const { return progressMessage_; }
  void SetProgressMessage(const std::string& v) { progressMessage_ = v; }
  bool ShowCancel() const { return showCancel_; }
  void SetShowCancel(bool v) { showCancel_ = v; }
  bool ShowProgress() const { return showProgress_; }
  void SetShowProgress(bool v) { showProgress_ = v; }
  bool TableGrid() const { return tableGrid_; }
  void SetTableGrid(bool v) { tableGrid_ = v; }
  unsigned TabSize() const { return tabSize_; }
  // At most kMaxTabSize: a tab is never wider than a line can be.
  void SetTabSize(unsigned v) { tabSize_ = v > kMaxTabSize ? kMaxTabSize : v; }
  static constexpr unsigned kMaxTabSize = 256;
  // The print job's title; "<Unknown>" while no printer is available.
  std::string Title() const;
  void SetTitle(const std::string& v) { title_ = v; }
  char TokenSeparator() const { return separator_; }
  void SetTokenSeparator(char v) { separator_ = v; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v) { wordWrap_ = v; }

  // --- Geometry (printer pixels), for the preview and tests -----------------------------
  struct Geometry {
    int ppiX, ppiY;
    int left, top;  // text area, from the printable origin
    int textWidth, textHeight;
    int printableWidth, printableHeight;
    int pageWidth, pageHeight;  // physical page
    int offsetX, offsetY;
  };
  Geometry PageGeometry() const;
  // The printer's values in MeasureUnit, with the fallbacks when there is no printer.
  double PageWidthUnits() const;
  double PageHeightUnits() const;
  double OffsetXUnits() const;
  double OffsetYUnits() const;
  int PixelsPerInchX() const;
  int PixelsPerInchY() const;
  int XPixels(double length) const;
  int YPixels(double length) const;
  int LineHeight() const { return lineHeight_; }

 protected:
  // Called when the preview should show something new (a finished document, a page change).
  virtual void PreviewChanged() {}
  // Called while a document is laid out, each time page `page` is begun; false cancels the
  // layout (the writing call throws ECancelPrinting).
  virtual bool LayoutProgress(unsigned page) {
    (void)page;
    return true;
  }

  PrintDevice& device_;

 private:
  class LineCursor;
  // Everything that decides how a page begun inside a line source is laid out, kept with the
  // source's run so the page laid out again is the page that was laid out.
  struct Style {
    TAlignment alignment;
    TLineSpacing lineSpacing;
    unsigned tabSize;
    bool wordWrap;
    TMeasureUnit unit;
    double defaultColWidth;
    char separator;
    std::string header, footer, headerFormat, footerFormat, title;
    TPrintFont font, headerFont, footerFont;
    TPrintFont lineFont;  // the font the lines are laid out in
    TPageBorders pageBorders;
    double pageBorderOffset;
    friend bool operator==(const Style&, const Style&) = default;
  };
  Style CurrentStyle() const;
  void ApplyStyle(const Style& style);
  double ClampMargin(double v, double offset, double page, double oppositeOffset) const;
  void CheckNotPrinting(const char* message) const;
  void PrepareFonts();
  void UseFont(const TPrintFont& font);
  std::string ExpandTabs(std::string_view text) const;
  std::size_t FitPrefix(std::string_view text, int width, int* fitWidth = nullptr);
  // The length of the longest prefix of `text` (at most `fit` bytes) that ends on a character
  // boundary; at least one whole character when `force`.
  std::size_t WholeChars(std::string_view text, std::size_t fit, bool force);
  // Lays out a line from the cursor's position; false when its text could not be read.
  bool WriteLineParts(LineCursor& cursor);
  void WriteSourceLine(std::uint64_t line, std::uint64_t position);
  void LayOutAgain(std::size_t index, TPageList& into);
  // Splits t for word wrap: the piece's length and where the remainder starts.
  std::pair<std::size_t, std::size_t> SplitForWrap(std::string_view t, int width, bool dropBlank);
  static std::pair<std::size_t, std::size_t> SplitAt(std::string_view t, std::size_t fit,
                                                     bool dropBlank);
  void DrawLinePiece(std::string_view piece);
  void BreakPageIfFull();
  void DecoratePage(bool regenerated = false);
  void WriteHeaderFooter();
  void WriteRowWith(std::string_view row, const std::string& format);
  void DrawCellGrid(int x, int w, bool top, bool verticals, bool bottom);
  std::string ReplaceMacros(const std::string& text) const;
  void Translate(const std::string& friendly, bool header);
  void FileWrite(std::string_view text);
  void CloseFile(bool keep);
  int PenY() const { return 2 * (PixelsPerInchY() / 300); }
  int PenX() const { return 2 * (PixelsPerInchX() / 300); }
  int BlankWidth();

  TPageList pages_;
  TPageList* rec_ = &pages_;  // where layout records: the pages, or a page laid out again
  std::vector<std::string> lines_;
  // The runs of line sources of the document: the source, its line count and the style it was
  // laid out with. A source whose style changes while it is laid out (OnNewPage changing a
  // property) continues in a new run.
  struct SourceRun {
    LineSource* source;
    std::uint64_t lineCount;
    Style style;
  };
  std::vector<SourceRun> sources_;
  int sourceIndex_ = -1;          // the run being laid out, or -1
  std::uint64_t sourceLine_ = 0;  // its line being laid out
  std::uint64_t pieceAt_ = 0;     // where the piece being drawn starts in that line (packed)
  bool pieceFromSource_ = false;  // the piece about to be drawn is a source's own text
  // The line last read whole from a source that reads no parts of lines.
  LineSource* wholeSource_ = nullptr;
  std::uint64_t wholeLine_ = 0;
  std::string whole_;
  bool relayout_ = false;         // laying a page out again
  bool relayoutStop_ = false;     // that page has ended
  // Pages laid out again lately, for a preview that paints the same page many times.
  struct CachedPage {
    std::size_t index;
    std::unique_ptr<TPageList> page;
  };
  std::vector<CachedPage> cache_;
  TMeasureUnit unit_ = muInches;
  bool abortOnCancel_ = false;
  TAlignment alignment_ = taLeftJustify;
  bool autoHeaderFont_ = true, autoFooterFont_ = true;
  bool collate_ = true;
  unsigned copies_ = 1;
  double defaultColWidth_ = 0;
  std::string fileName_, header_, footer_, headerFormat_, footerFormat_, tableFormat_;
  std::string friendlyHeader_, friendlyFooter_, progressMessage_, title_;
  TPrintFont font_, headerFont_, footerFont_;
  TLineSpacing lineSpacing_ = lsSingleSpace;
  double marginTop_ = 0, marginBottom_ = 0, marginLeft_ = 0, marginRight_ = 0;
  TPrinterOrientation orientation_ = poPortrait;
  double pageBorderOffset_ = 0;
  TPageBorders pageBorders_;
  bool printToFile_ = false;
  bool showCancel_ = true, showProgress_ = true;
  bool tableGrid_ = false;
  unsigned tabSize_ = 8;
  char separator_ = '|';
  bool wordWrap_ = true;
  unsigned fromPage_ = 0, toPage_ = 0;

  // Layout state.
  int x_ = 0, y_ = 0;
  int lineHeight_ = 0;
  int lineNumber_ = 0;
  unsigned pageNumber_ = 0;
  bool docOpen_ = false;
  bool headerFooterMode_ = false;
  bool cancelRequested_ = false;
  bool pageFull_ = false;  // the last line advance left no room: the next output starts a page
  TPrintFont current_;     // the font being laid out (Font, or the header or footer font)
  int externalLeading_ = 0;
  int textHeight_ = 0;  // cell height of the current font, for replay
  Geometry geo_{};
  std::FILE* file_ = nullptr;
  // The date and time the document was begun, for its {$DATE} and {$TIME}: every page, laid
  // out again or not, shows the same.
  std::string docDate_, docTime_;
};

}  // namespace vt9
