#include "viewer/win/viewer_print.h"

#include <commdlg.h>
#include <winspool.h>

#include "common/win/handles.h"
#include "printing/win/page_printer.h"

namespace vt9::win {
namespace {

// The print dialog's answer.
struct PrintChoice {
  unsigned first, last, copies;
  bool collate;
};

// The pages were laid out for the default printer, and the page printer prints to it: the
// dialog shows which printer that is but offers no other, so no job silently goes elsewhere.
UINT_PTR CALLBACK KeepDefaultPrinter(HWND dialog, UINT message, WPARAM, LPARAM) {
  constexpr int kPrinterNameBox = 0x473;  // cmb4 of the print dialog
  if (message == WM_INITDIALOG) EnableWindow(GetDlgItem(dialog, kPrinterNameBox), FALSE);
  return 0;
}

bool AskPrintRange(HWND owner, unsigned pageCount, PrintChoice& choice) {
  PRINTDLGA pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = owner;
  // Page numbers only: no selection, no print to file.
  pd.Flags =
      PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE | PD_ENABLEPRINTHOOK;
  pd.lpfnPrintHook = &KeepDefaultPrinter;
  pd.nFromPage = 1;
  pd.nToPage = static_cast<WORD>(pageCount > 0xFFFF ? 0xFFFF : pageCount);
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
    GlobalFree(pd.hDevMode);
  }
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  if (!ok) return false;
  choice.copies = copies > 0 ? copies : 1;
  choice.collate = collate;
  if (pd.Flags & PD_PAGENUMS) {
    choice.first = pd.nFromPage;
    choice.last = pd.nToPage;
  } else {
    choice.first = pd.nMinPage;
    choice.last = pd.nMaxPage;
  }
  return true;
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
  TPagePrinter printer(owner);
  // The job carries the caption, so the user finds it in the printer's queue.
  printer.SetTitle(job.caption);
  printer.SetFriendlyHeader("&c" + job.caption);
  printer.SetPageBorders({pbTop, pbBottom});
  printer.SetPageBorderOffset(0.065);
  if (job.font) printer.SetFont(job.font);
  printer.BeginDoc();
  printer.Lines() = job.lines;
  printer.WriteLines(false);
  printer.EndDoc();

  PrintChoice choice{};
  if (!AskPrintRange(owner, printer.PageCount(), choice)) return;
  printer.SetCollate(choice.collate);
  printer.SetCopies(choice.copies);
  HCURSOR previous = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  // Nothing in the viewer may run while the page printer works through its pages: it lets
  // pending messages run between pages, and a click could otherwise start a second print or
  // close the window under it.
  EnableWindow(owner, FALSE);
  struct Restore {
    LogPrinter* self;
    HWND owner;
    HCURSOR cursor;
    ~Restore() {
      self->running_ = nullptr;
      EnableWindow(owner, TRUE);
      SetCursor(cursor ? cursor : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    }
  } restore{this, owner, previous};
  printer.SetFromPage(choice.first);
  printer.SetToPage(choice.last);
  running_ = &printer;
  printer.Print();
}

void LogPrinter::Cancel() {
  if (running_) running_->RequestCancel();
}

}  // namespace vt9::win
