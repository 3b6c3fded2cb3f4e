#include "viewer/win/viewer_print.h"

#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/win/handles.h"
#include "printing/print_range.h"
#include "printing/printer_errors.h"
#include "printing/win/page_printer.h"
#include "printing/win/system_printer.h"
#include "viewer/win/wait_cursor.h"

namespace vt9::win {
namespace {

// The print dialog's answer.
struct PrintChoice {
  unsigned first, last, copies;
  bool collate;
  bool allPages;              // "All" rather than a page range
  std::string printer;        // the chosen printer's name
  std::vector<BYTE> devmode;  // its settings as the dialog left them
};

// The DEVMODE of a print dialog's answer, with the driver's private part; empty if unusable.
std::vector<BYTE> CopyDevMode(HGLOBAL handle) {
  std::vector<BYTE> bytes;
  if (!handle) return bytes;
  const SIZE_T available = GlobalSize(handle);
  if (const auto* mode = static_cast<const DEVMODEA*>(GlobalLock(handle))) {
    const SIZE_T size = SIZE_T{mode->dmSize} + mode->dmDriverExtra;
    if (available >= sizeof(DEVMODEA) - sizeof(DWORD) * 8 && size <= available)
      bytes.assign(reinterpret_cast<const BYTE*>(mode), reinterpret_cast<const BYTE*>(mode) + size);
    GlobalUnlock(handle);
  }
  return bytes;
}

// The device name of a print dialog's answer (DEVNAMES holds offsets in characters).
std::string DeviceName(HGLOBAL handle) {
  std::string name;
  if (!handle) return name;
  const SIZE_T available = GlobalSize(handle);
  if (const auto* names = static_cast<const DEVNAMES*>(GlobalLock(handle))) {
    const char* base = reinterpret_cast<const char*>(names);
    if (available >= sizeof(DEVNAMES) && names->wDeviceOffset < available) {
      const char* device = base + names->wDeviceOffset;
      name.assign(device, strnlen(device, available - names->wDeviceOffset));
    }
    GlobalUnlock(handle);
  }
  return name;
}

bool AskPrintRange(HWND owner, unsigned pageCount, PrintChoice& choice) {
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = owner;
  // Page numbers only: no selection, no print to file.
  pd.Flags = PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE;
  pd.nFromPage = 1;
  // The fields are 16-bit: a longer document shows the largest number they hold, and "All"
  // still prints every page.
  pd.nToPage = static_cast<WORD>(DialogLastPage(pageCount));
  pd.nMinPage = 1;
  pd.nMaxPage = pd.nToPage;
  pd.nCopies = 1;
  const BOOL ok = PrintDlgA(&pd);
  unsigned copies = pd.nCopies;
  bool collate = (pd.Flags & PD_COLLATE) != 0;
  if (pd.hDevMode) {
    if (const auto* mode = static_cast<const DEVMODEA*>(GlobalLock(pd.hDevMode))) {
      // The page printer makes the copies itself; the dialog leaves the count in the DEVMODE.
      if ((mode->dmFields & DM_COPIES) && mode->dmCopies > 0)
        copies = static_cast<unsigned>(mode->dmCopies);
      if (mode->dmFields & DM_COLLATE) collate = mode->dmCollate == DMCOLLATE_TRUE;
      GlobalUnlock(pd.hDevMode);
    }
    if (ok) choice.devmode = CopyDevMode(pd.hDevMode);
    GlobalFree(pd.hDevMode);
  }
  if (pd.hDevNames) {
    if (ok) choice.printer = DeviceName(pd.hDevNames);
    GlobalFree(pd.hDevNames);
  }
  if (!ok) return false;
  choice.copies = copies > 0 ? copies : 1;
  choice.collate = collate;
  choice.allPages = (pd.Flags & PD_PAGENUMS) == 0;
  if (pd.Flags & PD_PAGENUMS) {
    choice.first = pd.nFromPage;
    choice.last = pd.nToPage;
  } else {
    choice.first = pd.nMinPage;
    choice.last = pd.nMaxPage;
  }
  return true;
}

// Whether two DEVMODEs lay out pages alike: copies and collation are the page printer's own
// business and do not count.
bool SameLayoutSettings(std::vector<BYTE> a, std::vector<BYTE> b) {
  for (auto* bytes : {&a, &b}) {
    if (bytes->size() < sizeof(DEVMODEA) - sizeof(DWORD) * 8) continue;
    auto* dm = reinterpret_cast<DEVMODEA*>(bytes->data());
    dm->dmCopies = 1;
    dm->dmCollate = DMCOLLATE_FALSE;
    dm->dmFields &= ~static_cast<DWORD>(DM_COPIES | DM_COLLATE);
  }
  return a == b;
}

// The caption as header text: every '&' doubled, so "R&D.log" prints as it reads rather than
// with a date (&D) or a page number (&p) in it.
std::string LiteralCaption(const std::string& caption) {
  std::string text;
  text.reserve(caption.size() + 4);
  for (char c : caption) {
    text += c;
    if (c == '&') text += '&';
  }
  return text;
}

// The least margin on every side: printers that report no unprintable area (PDF printers)
// would otherwise print from the paper's very edge.
constexpr double kLeastMarginInches = 10 / 25.4;

// Null when the user cancelled the layout.
// `running` names the page printer while it lays out, so the viewer's Cancel reaches it.
std::unique_ptr<TPagePrinter> LayOut(HWND owner, const PrintJob& job, TPagePrinter::Target target,
                                     TPagePrinter*& running) {
  auto printer = std::make_unique<TPagePrinter>(owner, target);
  // The job carries the caption, so the user finds it in the printer's queue.
  printer->SetTitle(job.caption);
  printer->SetFriendlyHeader("&c" + LiteralCaption(job.caption));
  printer->SetPageBorders({pbTop, pbBottom});
  printer->SetPageBorderOffset(0.065);
  if (job.font) printer->SetFont(job.font);
  printer->SetMeasureUnit(muInches);
  // The header is centred in the band above the top border, so that band is 10 mm, the
  // header and 10 mm again; the bottom border keeps 10 mm below it.
  const double lineInches = double(printer->LineHeight()) / printer->PixelsPerInchY();
  const double border = printer->PageBorderOffset();
  printer->SetMarginTop(
      std::max(printer->MarginTop(), 2 * kLeastMarginInches + lineInches + border));
  printer->SetMarginBottom(std::max(printer->MarginBottom(), kLeastMarginInches + border));
  printer->SetMarginLeft(std::max(printer->MarginLeft(), kLeastMarginInches));
  printer->SetMarginRight(std::max(printer->MarginRight(), kLeastMarginInches));
  // The owner stays painted while layout runs, but takes no clicks: a second print or closing
  // the window must wait.
  EnableWindow(owner, FALSE);
  struct Enable {
    HWND owner;
    TPagePrinter*& running;
    ~Enable() {
      running = nullptr;
      EnableWindow(owner, TRUE);
    }
  } enable{owner, running};
  running = printer.get();
  WaitCursor wait(owner);
  if (!printer->Prepare([&] {
        if (job.lines) printer->WriteLines(*job.lines);
      }))
    return nullptr;
  return printer;
}

}  // namespace

bool PrintersAvailable() {
  DWORD needed = 0, count = 0;
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  EnumPrintersA(flags, nullptr, 4, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::string buffer(needed, '\0');
  if (!EnumPrintersA(flags, nullptr, 4, reinterpret_cast<LPBYTE>(buffer.data()), needed, &needed,
                     &count))
    return false;
  return count > 0;
}

void LogPrinter::Print(HWND owner, const PrintJob& job) {
  // Whatever happens, the next print starts from the default printer, as its dialog shows.
  struct BackToDefault {
    ~BackToDefault() { Printer().Refresh(); }
  } backToDefault;
  std::unique_ptr<TPagePrinter> printer =
      LayOut(owner, job, TPagePrinter::Target::DefaultPrinter, running_);
  if (!printer) return;
  const std::string laidOutFor = printer->Device().Name();
  const std::vector<BYTE> laidOutWith = printer->Device().DevMode();

  PrintChoice choice{};
  if (!AskPrintRange(owner, printer->PageCount(), choice)) return;
  PageRange range = ChosenPages(choice.allPages, choice.first, choice.last, printer->PageCount());
  if (!choice.printer.empty() &&
      (choice.printer != laidOutFor || !SameLayoutSettings(choice.devmode, laidOutWith))) {
    // Another printer or other paper: the lines break and the pages end elsewhere.
    if (!Printer().Select(choice.printer, choice.devmode))
      throw EPrinter("The printer \"" + choice.printer + "\" is not available.");
    printer.reset();  // its preview window goes before the new one comes
    printer = LayOut(owner, job, TPagePrinter::Target::SelectedPrinter, running_);
    if (!printer) return;
    // "All" is all pages of the new layout, which may be more; a range keeps within it.
    range = ChosenPages(choice.allPages, choice.first, choice.last, printer->PageCount());
  }
  printer->SetCollate(choice.collate);
  printer->SetCopies(choice.copies);
  // Nothing in the viewer may run while the page printer works through its pages: it lets
  // pending messages run between pages, and a click could otherwise start a second print or
  // close the window under it.
  EnableWindow(owner, FALSE);
  struct Restore {
    LogPrinter* self;
    HWND owner;
    ~Restore() {
      self->running_ = nullptr;
      EnableWindow(owner, TRUE);
    }
  } restore{this, owner};
  // The hourglass stays over the viewer, whatever the pointer passes over, until the last
  // page has gone out.
  WaitCursor wait(owner);
  printer->SetFromPage(range.first);
  printer->SetToPage(range.last);
  running_ = printer.get();
  printer->Print();
}

void LogPrinter::Cancel() {
  if (running_) running_->RequestCancel();
}

}  // namespace vt9::win
