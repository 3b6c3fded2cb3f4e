// "Print" of the real viewer under Wine, to the CUPS PDF printer (the "pdf_printer" fixture
// makes it the default): the print dialog's page range and copies, the caption as header on
// every page and the edited text, read back from the PDF; and Print disabled without a default
// printer.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/win/host_command.h"
#include "support/win/paths.h"
#include "support/win/viewer_driver.h"

namespace vt9 {
namespace {

using test::ViewerDriver;

constexpr int kAllPages = 0x420;     // rad1
constexpr int kPageRange = 0x422;    // rad3
constexpr int kFromPage = 0x480;     // edt1
constexpr int kToPage = 0x481;       // edt2
constexpr int kCopies = 0x482;       // edt3
constexpr int kCollate = 0x411;      // chx2
constexpr int kPrinterName = 0x473;  // cmb4
std::string Lines(int count, const std::string& word) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "%s %04d of the log\r\n", word.c_str(), i);
    text += line;
  }
  return text;
}

TEST(ViewerPrint, RangeAndCopiesOfTheEditedTextWithTheCaptionOnEveryPage) {
  ViewerDriver viewer("print");
  // The caption names the job, and so the PDF (other tests print to the same queue).
  const std::string caption =
      "Nightly-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  ASSERT_TRUE(
      viewer.Open({viewer.WriteLog("Daily.log", Lines(400, "Original")), caption}, caption));
  ASSERT_TRUE(IsWindowEnabled(viewer.Button("Print"))) << "the fixture's default printer";
  std::string edited = Lines(400, "Edited");
  edited.pop_back();
  viewer.ReplaceText(edited);  // the user's edits are what prints
  viewer.Press("Print");
  HWND dialog = viewer.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  Sleep(500);
  ASSERT_NE(GetDlgItem(dialog, kPageRange), nullptr);
  EXPECT_EQ(test::WindowText(GetDlgItem(dialog, kFromPage)), "1");
  const std::string lastPage = test::WindowText(GetDlgItem(dialog, kToPage));
  ASSERT_GE(std::stoi(lastPage), 3) << "400 lines need several pages";
  ViewerDriver::Snapshot("viewer-print-dialog");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kPrinterName))) << "another may be chosen";
  SendMessageA(GetDlgItem(dialog, kAllPages), BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageA(GetDlgItem(dialog, kPageRange), BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(GetDlgItem(dialog, kFromPage), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("2"));
  SendMessageA(GetDlgItem(dialog, kToPage), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("3"));
  SendMessageA(GetDlgItem(dialog, kCopies), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("2"));
  SendMessageA(GetDlgItem(dialog, kCollate), BM_SETCHECK, BST_CHECKED, 0);
  ViewerDriver::PressDialogButton(dialog, IDOK);
  const std::string pdf = test::WaitForPdf(caption);
  ASSERT_FALSE(pdf.empty()) << "no PDF from the job";
  EXPECT_EQ(test::RunHostScript("pdfinfo '" + pdf + "' | sed -n 's/^Pages:[[:space:]]*//p'"), "4\n")
      << "pages 2 and 3, two copies";
  std::string firstLines;
  for (int page = 1; page <= 4; ++page) {
    const std::string text =
        test::RunHostScript("pdftotext -layout -f " + std::to_string(page) + " -l " +
                            std::to_string(page) + " '" + pdf + "' -");
    EXPECT_NE(text.find(caption), std::string::npos) << "header on page " << page;
    EXPECT_EQ(text.find("Original"), std::string::npos) << "page " << page;
    const std::size_t at = text.find("Edited ");
    ASSERT_NE(at, std::string::npos) << "page " << page;
    firstLines += text.substr(at, 11) + ";";
  }
  // Collated: 2, 3, 2, 3; page 2 starts where page 1 ended, so not with line 1.
  const std::string a = firstLines.substr(0, 12), b = firstLines.substr(12, 12);
  EXPECT_NE(a, "Edited 0001;");
  EXPECT_NE(a, b);
  EXPECT_EQ(firstLines, a + b + a + b);
  EXPECT_TRUE(IsWindowEnabled(viewer.window())) << "enabled again after the job";
  // A picture of the first printed page beside the screenshots.
  char artifacts[MAX_PATH] = {};
  if (GetEnvironmentVariableA("VT9_ARTIFACTS", artifacts, sizeof artifacts) && artifacts[0] == '/')
    test::RunHostScript("pdftoppm -png -r 60 -f 1 -l 1 -singlefile '" + pdf + "' '" + artifacts +
                        "/viewer-printed-page'");
  EXPECT_TRUE(viewer.CloseAndEnd());
}

// One page of `pdftotext -bbox`: its size and the words with their boxes, in points.
struct BoxPage {
  double width = 0, height = 0;
  struct Word {
    std::string text;
    double xMin, yMin, xMax, yMax;
  };
  std::vector<Word> words;
};

double Attribute(const std::string& tag, const std::string& name) {
  const std::size_t at = tag.find(" " + name + "=\"");
  return at == std::string::npos ? -1 : std::atof(tag.c_str() + at + name.size() + 3);
}

std::vector<BoxPage> WordBoxes(const std::string& pdf) {
  std::istringstream in(test::RunHostScript("pdftotext -bbox '" + pdf + "' -"));
  std::vector<BoxPage> pages;
  for (std::string line; std::getline(in, line);) {
    if (line.find("<page ") != std::string::npos) {
      pages.push_back({Attribute(line, "width"), Attribute(line, "height"), {}});
    } else if (const std::size_t open = line.find("<word ");
               open != std::string::npos && !pages.empty()) {
      const std::size_t text = line.find('>', open) + 1;
      pages.back().words.push_back({line.substr(text, line.find("</word>") - text),
                                    Attribute(line, "xMin"), Attribute(line, "yMin"),
                                    Attribute(line, "xMax"), Attribute(line, "yMax")});
    }
  }
  return pages;
}

std::string PageSize(const std::string& pdf) {
  return test::RunHostScript("pdfinfo '" + pdf + "' | sed -n 's/^Page size:[[:space:]]*//p'");
}

// Prints the whole log from the viewer's Print button; `printer` is chosen in the dialog's
// printer box as a user would (empty: the dialog's own choice). The PDF's path, empty if none.
std::string PrintAll(ViewerDriver& viewer, const std::string& caption, const char* printer) {
  viewer.Press("Print");
  HWND dialog = viewer.WaitForDialog();
  if (!dialog) return "";
  Sleep(500);
  HWND box = GetDlgItem(dialog, kPrinterName);
  EXPECT_EQ(test::WindowText(box).rfind("PDF", 0), 0u) << "the dialog starts on the default";
  if (printer) {
    const LRESULT index = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(printer));
    EXPECT_NE(index, CB_ERR) << printer << " is listed";
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kPrinterName, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
    Sleep(300);
    ViewerDriver::Snapshot("viewer-print-dialog-letter");
  }
  ViewerDriver::PressDialogButton(dialog, IDOK);
  return test::WaitForPdf(caption);
}

TEST(ViewerPrint, AnotherPrinterGetsPagesLaidOutForItsPaperAndTheNextPrintIsOnTheDefaultAgain) {
  ViewerDriver viewer("print-letter");
  const std::string caption =
      "Letter-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  // Two A4 pages, but three of Letter: "All" means all pages of the new layout. (With the
  // 10 mm margins an A4 page holds 93 lines, a Letter page 87.)
  constexpr int kLines = 180;
  ASSERT_TRUE(
      viewer.Open({viewer.WriteLog("Daily.log", Lines(kLines, "Entry")), caption}, caption));
  const std::string letter = PrintAll(viewer, caption, "PDFLetter");
  ASSERT_FALSE(letter.empty()) << "no PDF from the Letter printer";
  EXPECT_EQ(PageSize(letter).substr(0, 16), "612 x 792 pts (l");
  // Every page: the header at its top and all its lines on the paper; every line printed once.
  const std::vector<BoxPage> pages = WordBoxes(letter);
  EXPECT_EQ(pages.size(), 3u);
  std::string numbers;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    const BoxPage& page = pages[p];
    EXPECT_NEAR(page.height, 792, 1) << "page " << p + 1;
    ASSERT_FALSE(page.words.empty()) << "page " << p + 1;
    double headerBottom = -1, textTop = page.height;
    for (const BoxPage::Word& w : page.words) {
      EXPECT_TRUE(w.xMin >= 0 && w.yMin >= 0 && w.xMax <= page.width && w.yMax <= page.height)
          << "'" << w.text << "' off page " << p + 1 << " at " << w.xMax << "," << w.yMax;
      if (w.text == caption)
        headerBottom = w.yMax;
      else
        textTop = std::min(textTop, w.yMin);
      if (w.text.size() == 4 && std::isdigit(static_cast<unsigned char>(w.text[0])))
        numbers += w.text + ";";
    }
    EXPECT_GE(headerBottom, 0) << "header on page " << p + 1;
    EXPECT_LE(headerBottom, textTop) << "header above the lines on page " << p + 1;
  }
  std::string expected;
  for (int i = 1; i <= kLines; ++i) {
    char n[8];
    std::snprintf(n, sizeof n, "%04d;", i);
    expected += n;
  }
  EXPECT_EQ(numbers, expected) << "each line once, in order, down to the last";

  // The dialog of the next print offers the default printer again, and the job goes there.
  const std::string caption2 = caption + "-again";
  SetWindowTextA(viewer.window(), caption2.c_str());
  const std::string a4 = PrintAll(viewer, caption2, nullptr);
  ASSERT_FALSE(a4.empty()) << "no PDF from the default printer";
  EXPECT_EQ(PageSize(a4).substr(0, 16), "595 x 842 pts (A");
  EXPECT_EQ(WordBoxes(a4).size(), 2u);
  EXPECT_TRUE(viewer.CloseAndEnd());
}

// Wine keeps the default printer in the "Device" value of the profile section "Windows".
class DefaultPrinterValue {
 public:
  DefaultPrinterValue() {
    char value[260] = {};
    GetProfileStringA("Windows", "Device", "", value, sizeof value);
    saved_ = value;
  }
  ~DefaultPrinterValue() { WriteProfileStringA("Windows", "Device", saved_.c_str()); }

 private:
  std::string saved_;
};

TEST(ViewerPrint, ViewerIsDisabledWhilePrintingAndClosingItCancels) {
  ViewerDriver viewer("print-cancel");
  const std::string caption = "Cancelled-" + std::to_string(GetTickCount());
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Big.log", Lines(9000, "Line")), caption}, caption));
  HWND find = viewer.ShowFind();
  ASSERT_NE(find, nullptr);
  viewer.Press("Print");
  HWND dialog = viewer.WaitForDialog(20000);
  ASSERT_NE(dialog, nullptr);
  const int pages = std::stoi(test::WindowText(GetDlgItem(dialog, kToPage)));
  ViewerDriver::PressDialogButton(dialog, IDOK);
  HWND progress = test::WaitForWindow(viewer.tool().processId(), "TPrintProgressDlg", "", 20000);
  ASSERT_NE(progress, nullptr);
  EXPECT_FALSE(IsWindowEnabled(viewer.window())) << "nothing else may run while pages go out";
  EXPECT_FALSE(IsWindowEnabled(find)) << "nor may the find dialog search";
  Sleep(300);
  ViewerDriver::Snapshot("viewer-printing");
  // As another program closes it: the job is cancelled, and the viewer closes once the page
  // loop has ended.
  PostMessageA(viewer.window(), WM_CLOSE, 0, 0);
  const DWORD exitCode = viewer.tool().Wait(30000);
  EXPECT_EQ(exitCode, 0u);
  const std::string pdf = test::WaitForPdf(caption);
  if (!pdf.empty()) {
    const std::string printed =
        test::RunHostScript("pdfinfo '" + pdf + "' | sed -n 's/^Pages:[[:space:]]*//p'");
    EXPECT_LT(std::atoi(printed.c_str()), pages) << "the job stopped early";
  }
}

TEST(ViewerPrint, ACloseDuringThePrintDialogWaitsForItThenTheViewerCloses) {
  ViewerDriver viewer("print-dialog-close");
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Daily.log", "text\r\n")}, "Vantory 9 - Log Viewer"));
  viewer.Press("Print");
  HWND dialog = viewer.WaitForDialog(20000);
  ASSERT_NE(dialog, nullptr);
  PostMessageA(viewer.window(), WM_CLOSE, 0, 0);
  Sleep(600);
  EXPECT_TRUE(IsWindow(viewer.window())) << "not destroyed under the print dialog";
  EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
  ViewerDriver::PressDialogButton(dialog, IDCANCEL);
  const DWORD exitCode = viewer.tool().Wait(10000);
  EXPECT_EQ(exitCode, 0u) << "closed once the print step has ended";
  if (exitCode == STILL_ACTIVE) viewer.tool().Kill();
}

// A tool that finds no print server makes Wine drop the printers it had copied into the
// prefix, with the default printer; loading the spooler once more copies them back.
class PrintersRestoredAfterwards {
 public:
  ~PrintersRestoredAfterwards() {
    std::string cmd = "\"" + test::BinFolder() + "list-printers.exe\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                       &pi)) {
      WaitForSingleObject(pi.hProcess, 30000);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
  }
};

TEST(ViewerPrint, NoPrintersGiveTheMessageBox) {
  PrintersRestoredAfterwards restore;
  ViewerDriver viewer("print-none");
  const std::string file = viewer.WriteLog("Daily.log", "text\r\n");
  const std::string caption = "NoPrinters-" + std::to_string(GetTickCount());
  // Wine asks CUPS for the printers whenever the spooler library loads; this tool reaches no
  // print server (the variable must be in its Unix environment, so a host shell starts it),
  // while the default printer is still named.
  // Wine keeps WINELOADER out of its programs' environment; the test runner names the loader
  // of this tree's kind again for them.
  char loader[MAX_PATH] = "wine";
  GetEnvironmentVariableA("VT9_WINE_LOADER", loader, sizeof loader);
  test::RunHostScript("CUPS_SERVER=/nonexistent/cups.sock '" + std::string(loader) + "' '" +
                      viewer.tool().exe() + "' '\\V' '" + file + "' '" + caption +
                      "' >/dev/null 2>&1 &");
  HWND window = test::WaitForAnyWindow("TfViewer", caption, 15000);
  ASSERT_NE(window, nullptr);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HWND print = FindWindowExA(window, nullptr, "Button", "Print");
  ASSERT_TRUE(IsWindowEnabled(print)) << "a default printer is still named";
  PostMessageA(print, BM_CLICK, 0, 0);
  HWND box = test::WaitForWindow(pid, "#32770", "", 10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(test::WindowText(box), "  Vantory 9");
  EXPECT_NE(test::ChildTexts(box).find(
                "No Printers are available - or the Printer Service is not running"),
            std::string::npos);
  Sleep(400);
  ViewerDriver::Snapshot("viewer-no-printers");
  ViewerDriver::PressDialogButton(box, IDOK);
  Sleep(500);
  EXPECT_EQ(test::WaitForWindow(pid, "#32770", "", 500), nullptr) << "no print dialog follows";
  PostMessageA(window, WM_CLOSE, 0, 0);
  for (int i = 0; i < 100 && IsWindow(window); ++i) Sleep(50);
  EXPECT_FALSE(IsWindow(window));
  Sleep(500);  // the tool process ends after its window
}

TEST(ViewerPrint, NoDefaultPrinterLeavesPrintDisabled) {
  DefaultPrinterValue keep;
  WriteProfileStringA("Windows", "Device", "");
  ViewerDriver viewer("print-nodefault");
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Daily.log", "text\r\n")}, "Vantory 9 - Log Viewer"));
  EXPECT_FALSE(IsWindowEnabled(viewer.Button("Print")));
  EXPECT_TRUE(IsWindowEnabled(viewer.Button("Save")));
  EXPECT_TRUE(viewer.CloseAndEnd());
}

}  // namespace
}  // namespace vt9
