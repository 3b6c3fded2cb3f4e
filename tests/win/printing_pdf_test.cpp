// The page printer against a real printer: the CUPS PDF queue (the "pdf_printer" test fixture
// makes it Wine's default printer). Every job's PDF is read back with pdfinfo and pdftotext.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <tuple>

#include "printing/win/page_printer.h"
#include "printing/win/print_progress.h"
#include "printing/win/system_printer.h"
#include "support/win/host_command.h"

namespace vt9 {
namespace {

using win::TPagePrinter;

std::string UniqueTitle(const std::string& what) {
  return "vt9pp-" + what + "-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(GetTickCount());
}

int PdfPages(const std::string& pdf) {
  std::string out =
      test::RunHostScript("pdfinfo '" + pdf + "' | sed -n 's/^Pages:[[:space:]]*//p'");
  return out.empty() ? -1 : std::stoi(out);
}

std::string PdfText(const std::string& pdf, int page) {
  return test::RunHostScript("pdftotext -layout -f " + std::to_string(page) + " -l " +
                             std::to_string(page) + " '" + pdf + "' -");
}

// The first "Line nnnn" of a page's text, or "" when there is none.
std::string FirstLine(const std::string& text) {
  std::size_t at = text.find("Line ");
  return at == std::string::npos ? "" : text.substr(at, 9);
}

using test::PdfWords;
using test::Word;

class PdfPrinting : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(win::Printer().Name().empty())
        << "no default printer: is the pdf_printer fixture set up?";
  }
  // The log viewer's settings: a centred caption as header, top and bottom borders 0.065 in
  // outside the text, the text in a fixed font.
  std::unique_ptr<TPagePrinter> ViewerLayout(const std::string& title, int lines) {
    auto pp = std::make_unique<TPagePrinter>(nullptr);
    pp->SetTitle(title);
    pp->SetFriendlyHeader("&cBackupLog");
    pp->SetPageBorders({pbTop, pbBottom});
    pp->SetPageBorderOffset(0.065);
    pp->SetFont(TPrintFont{"Courier New", 10, 0, kColorBlack});
    pp->BeginDoc();
    for (int i = 1; i <= lines; ++i) {
      char buf[80];
      std::snprintf(buf, sizeof buf, "Line %04d\tcopied C:\\Data\\file%d.txt", i, i);
      pp->Lines().push_back(buf);
    }
    pp->WriteLines(false);
    pp->EndDoc();
    return pp;
  }
};

TEST_F(PdfPrinting, ViewerLogPrintsEveryPageWithTheCentredHeaderAboveTheFirstLine) {
  const std::string title = UniqueTitle("log");
  auto pp = ViewerLayout(title, 200);
  ASSERT_GE(pp->PageCount(), 3u);
  const int before = win::Printer().Copies();
  EXPECT_TRUE(pp->Print());
  EXPECT_EQ(win::Printer().Copies(), before);
  const std::string pdf = test::WaitForPdf(title);
  ASSERT_FALSE(pdf.empty());
  ASSERT_EQ(PdfPages(pdf), static_cast<int>(pp->PageCount()));
  for (int page = 1; page <= PdfPages(pdf); ++page) {
    std::vector<Word> words = PdfWords(pdf, page);
    ASSERT_GE(words.size(), 2u) << "page " << page;
    // pdftotext lists words in its reading order, not by height: find the topmost ones.
    std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) {
      return std::tie(a.yMin, a.xMin) < std::tie(b.yMin, b.xMin);
    });
    const Word& header = words[0];
    EXPECT_EQ(header.text, "BackupLog") << "page " << page;
    // Centred on the A4 page (595 points wide) and inside the paper.
    EXPECT_NEAR((header.xMin + header.xMax) / 2, 595.0 / 2, 4) << "page " << page;
    EXPECT_GE(header.yMin, 0);
    const Word& first = words[1];
    EXPECT_EQ(first.text, "Line");
    // Below the header, with the border line and its offset between them, but close by.
    EXPECT_GT(first.yMin, header.yMax + 0.065 * 72 * 0.9) << "page " << page;
    EXPECT_LT(first.yMin - header.yMax, 36) << "page " << page;
  }
  EXPECT_EQ(FirstLine(PdfText(pdf, 1)), "Line 0001");
}

TEST_F(PdfPrinting, RangeTwoToThreeRepeatsThoseFullPrintPages) {
  auto pp = ViewerLayout(UniqueTitle("all"), 300);
  ASSERT_GE(pp->PageCount(), 4u);
  const std::string allTitle = pp->Title();
  EXPECT_TRUE(pp->Print());
  // The same layout again, only pages 2 to 3: no new layout, the recorded pages replay.
  const std::string title = UniqueTitle("range");
  pp->SetTitle(title);
  pp->SetFromPage(2);
  pp->SetToPage(3);
  EXPECT_TRUE(pp->Print());
  const std::string all = test::WaitForPdf(allTitle), range = test::WaitForPdf(title);
  ASSERT_FALSE(all.empty());
  ASSERT_FALSE(range.empty());
  ASSERT_EQ(PdfPages(range), 2);
  EXPECT_EQ(PdfText(range, 1), PdfText(all, 2));
  EXPECT_EQ(PdfText(range, 2), PdfText(all, 3));
  EXPECT_NE(FirstLine(PdfText(range, 1)), "Line 0001");
}

TEST_F(PdfPrinting, TwoCollatedCopiesGiveTheRangeTwice) {
  const std::string title = UniqueTitle("copies");
  auto pp = ViewerLayout(title, 200);
  ASSERT_EQ(pp->PageCount(), 3u);
  win::Printer().SetCopies(3);
  pp->SetCopies(2);
  EXPECT_TRUE(pp->Print());
  EXPECT_EQ(win::Printer().Copies(), 3);  // the system printer's own count is given back
  win::Printer().SetCopies(1);
  const std::string pdf = test::WaitForPdf(title);
  ASSERT_FALSE(pdf.empty());
  ASSERT_EQ(PdfPages(pdf), 6);
  std::vector<std::string> firsts;
  for (int p = 1; p <= 6; ++p) firsts.push_back(FirstLine(PdfText(pdf, p)));
  EXPECT_EQ(firsts[0], "Line 0001");
  EXPECT_EQ(std::vector<std::string>(firsts.begin(), firsts.begin() + 3),
            std::vector<std::string>(firsts.begin() + 3, firsts.end()));
  EXPECT_NE(firsts[1], firsts[0]);
  EXPECT_NE(firsts[2], firsts[1]);
}

// Presses Cancel of the progress dialog as soon as it shows "Page 1 of 5": the click then
// arrives while messages run before page 2.
HHOOK g_hook = nullptr;
HWND g_clicker = nullptr;
LRESULT CALLBACK WatchLabels(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && msg->message == WM_SETTEXT && msg->lParam &&
      std::string(reinterpret_cast<const char*>(msg->lParam)) == "Page 1 of 5")
    PostMessageA(g_clicker, WM_APP, 0, 0);
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST_F(PdfPrinting, CancelDuringPageTwoOfFiveLeavesThePagesAlreadySent) {
  const std::string title = UniqueTitle("cancel");
  auto pp = ViewerLayout(title, 360);
  ASSERT_EQ(pp->PageCount(), 5u);
  TPagePrinter* printer = pp.get();
  static TPagePrinter* target;
  target = printer;
  g_clicker =
      CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  SetWindowLongPtrA(g_clicker, GWLP_WNDPROC,
                    reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                      if (m == WM_APP && target->ProgressDialog())
                        SendMessageA(target->ProgressDialog()->btnCancel(), BM_CLICK, 0, 0);
                      return DefWindowProcA(h, m, w, l);
                    }));
  g_hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchLabels, nullptr, GetCurrentThreadId());
  const bool printed = pp->Print();
  UnhookWindowsHookEx(g_hook);
  DestroyWindow(g_clicker);
  EXPECT_FALSE(printed);
  EXPECT_EQ(pp->ProgressDialog(), nullptr);
  const std::string pdf = test::WaitForPdf(title);
  ASSERT_FALSE(pdf.empty());
  EXPECT_EQ(PdfPages(pdf), 1);
}

// A backup log's lines (no tabs) go to the printer they were measured on as plain text runs,
// placed once each, not with a position for every character (which made the spool of a page
// half as big again). The print server keeps each job's PostScript beside its PDF; there a
// "moveto" is a placing.
TEST_F(PdfPrinting, PlainLogLinesSpoolWithoutAPositionForEveryCharacter) {
  const std::string title = UniqueTitle("spool");
  TPagePrinter pp(nullptr);
  pp.SetTitle(title);
  pp.SetFriendlyHeader("&cBackupLog");
  pp.SetFont(TPrintFont{"Courier New", 10, 0, kColorBlack});
  pp.BeginDoc();
  std::size_t characters = 0;
  for (int i = 1; i <= 180; ++i) {
    char buf[120];
    std::snprintf(buf, sizeof buf,
                  "2026/12/08 10:%02d:%02d  Copied C:\\Users\\Ann\\Documents\\file%07d.dat", i / 60,
                  i % 60, i);
    pp.Lines().push_back(buf);
    characters += pp.Lines().back().size();
  }
  pp.WriteLines(false);
  pp.EndDoc();
  ASSERT_GE(pp.PageCount(), 3u);
  EXPECT_TRUE(pp.Print());
  const std::string pdf = test::WaitForPdf(title);
  ASSERT_FALSE(pdf.empty());
  EXPECT_EQ(PdfPages(pdf), static_cast<int>(pp.PageCount()));
  const std::string ps = test::ShellQuote(pdf.substr(0, pdf.size() - 4) + ".ps");
  const std::string placings = test::RunHostScript("grep -c moveto " + ps + " || true");
  ASSERT_FALSE(placings.empty()) << ps;
  EXPECT_LT(std::stoul(placings), characters / 10) << characters << " characters";
  // Every line is there in full.
  const std::string text = PdfText(pdf, 2);
  EXPECT_NE(text.find("Copied C:\\Users\\Ann\\Documents\\file0000100.dat"), std::string::npos) << text;
}

TEST_F(PdfPrinting, APrinterThatDisappearedBeforePrintingIsAnErrorForTheCaller) {
  auto pp = ViewerLayout(UniqueTitle("gone"), 10);
  // The layout knows the printer; then the system forgets it (its "Devices" entry, through
  // which a device context for it is found, goes away).
  const std::string name = win::Printer().Name();
  char entry[260] = {};
  GetProfileStringA("Devices", name.c_str(), "", entry, sizeof entry);
  ASSERT_NE(entry[0], 0);
  ASSERT_TRUE(WriteProfileStringA("Devices", name.c_str(), nullptr));
  win::Printer().SetCopies(2);
  EXPECT_THROW(pp->Print(), EPrinter);
  EXPECT_EQ(win::Printer().Copies(), 2);
  EXPECT_EQ(pp->ProgressDialog(), nullptr);
  WriteProfileStringA("Devices", name.c_str(), entry);
  win::Printer().SetCopies(1);
}

}  // namespace
}  // namespace vt9
