// The page printer on Windows: the portable layout (printing/page_layout.h) plus a scrollable
// preview window that draws one recorded page scaled by ZoomPercent, printing through the
// system spooler with copies, collation and a page range, and the progress dialog with Cancel.
//
// Typical use (the log viewer):
//   TPagePrinter pp(parentWindow);
//   pp.SetFriendlyHeader("&c" + caption);
//   pp.SetPageBorders({pbTop, pbBottom});
//   pp.SetPageBorderOffset(0.065);
//   pp.SetFont(editFont);
//   pp.Prepare([&] { pp.WriteLines(lineSource); });  // "Preparing page N", Cancel
//   (or pp.BeginDoc(); pp.Lines() = lines; pp.WriteLines(false); pp.EndDoc();)
//   ... pp.PageCount() for the print dialog ...
//   pp.SetCollate(c); pp.SetCopies(n); pp.SetFromPage(a); pp.SetToPage(b); pp.Print();
//
// Errors: EPagePrinter (printing/printer_errors.h) for misuse, EPrinter when the spooler fails
// while printing; both reach the caller. Print returns false after a cancel.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "printing/page_layout.h"

namespace vt9::win {

class SystemPrinter;
class TPrintProgressDlg;

// The printer a page printer lays out for and prints to: its own copy of the system printer's
// settings, so a second page printer (or the next print dialog) cannot change them under it.
struct OwnPrinter {
  explicit OwnPrinter(bool selected);
  ~OwnPrinter();
  std::unique_ptr<SystemPrinter> printer;
};

class TPagePrinter : private OwnPrinter, public TPageLayout {
 public:
  // Which printer a new page printer lays out for: the current default printer (read again), or
  // the one a print dialog chose for the job in hand (SystemPrinter::Select).
  enum class Target { DefaultPrinter, SelectedPrinter };

  // Creates the preview window (the scroll box) as a child of `parent`, hidden and 89 x 115;
  // with no parent there is no preview window, only layout and printing.
  explicit TPagePrinter(HWND parent, Target target = Target::DefaultPrinter);
  ~TPagePrinter() override;

  // The preview window (nullptr without a parent). Place and show it as any child window.
  HWND Handle() const { return hwnd_; }

  // Sends pages FromPage..ToPage to the system printer, Copies times, collated or not; false
  // when the user cancelled.
  bool Print();
  // Lays a document out: BeginDoc, `write`, EndDoc, while the progress dialog shows
  // "Preparing page N" and offers Cancel (pending messages run, so the owner stays painted).
  // False when the user cancelled; the pages laid out so far are kept.
  bool Prepare(const std::function<void()>& write);
  // The printer this page printer lays out for and prints to.
  SystemPrinter& Device() const { return *printer; }

  using TPageLayout::SetFont;
  // A copy of a window's font (as the log viewer hands over its edit control's font).
  void SetFont(HFONT font);

  // Preview. The zoom stays within kMinZoom..kMaxZoom percent.
  static constexpr unsigned kMinZoom = 1, kMaxZoom = 1000;
  unsigned ZoomPercent() const { return zoomPercent_; }
  void SetZoomPercent(unsigned percent);
  TZoomLocation ZoomLocation() const { return zoomLocation_; }
  void SetZoomLocation(TZoomLocation location);
  Color ShadowColor() const { return shadowColor_; }
  void SetShadowColor(Color c);
  unsigned ShadowOffset() const { return shadowOffset_; }
  void SetShadowOffset(unsigned offset);
  bool ShowMargins() const { return showMargins_; }
  void SetShowMargins(bool v);
  bool GradientBackground() const { return gradientBackground_; }
  void SetGradientBackground(bool v);
  // Background colour of the preview (the gradient runs from black to it).
  Color BackColor() const { return color_; }
  void SetColor(Color c);
  // The page rectangle of the preview in client pixels of the preview window.
  RECT PreviewPageRect() const;
  // The progress dialog while printing, else nullptr.
  TPrintProgressDlg* ProgressDialog() const { return progress_.get(); }

  // Orientation is passed through to the system printer.
  void SetOrientation(TPrinterOrientation v);

 protected:
  void PreviewChanged() override;
  bool LayoutProgress(unsigned page) override;

 private:
  class Preview;
  class SpoolJob;
  friend class Preview;
  friend class SpoolJob;
  void UpdateScrollRanges();
  void ScrollToZoomLocation();
  void Paint(HDC dc, const RECT& client);
  void ShowProgressStep(const std::string& message, unsigned page, unsigned first, unsigned last);
  void PumpMessages();

  HWND hwnd_ = nullptr;
  unsigned zoomPercent_ = 25;
  TZoomLocation zoomLocation_ = zlTopLeft;
  Color shadowColor_ = SystemColor(COLOR_BTNSHADOW);
  unsigned shadowOffset_ = 5;
  bool showMargins_ = true;
  bool gradientBackground_ = true;
  Color color_ = SystemColor(COLOR_BTNFACE);
  std::unique_ptr<TPrintProgressDlg> progress_;
  bool updatingScroll_ = false;
  bool preparing_ = false;
  unsigned long lastPrepareTick_ = 0;
};

}  // namespace vt9::win
