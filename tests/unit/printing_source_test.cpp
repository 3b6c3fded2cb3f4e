// Pages laid out from a line source: checkpoints instead of text, laid out again when drawn, and
// what the page printer must do with texts of any length, headers that are cleared, tabs in
// cells and values at their extremes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>

#include "printing/file_lines.h"
#include "printing/print_range.h"
#include "support/fake_print_device.h"

namespace vt9 {
namespace {

using test::FakeCanvas;
using test::FakePrintDevice;
using Strings = std::vector<std::string>;

class VectorSource : public LineSource {
 public:
  explicit VectorSource(Strings lines) : lines(std::move(lines)) {}
  Strings lines;
  std::uint64_t reads = 0;
  std::uint64_t LineCount() override { return lines.size(); }
  bool ReadLine(std::uint64_t index, std::string& line) override {
    ++reads;
    line.clear();
    if (index >= lines.size()) return false;
    line = lines[index];
    return true;
  }
};

// A source that makes its lines up: line i is the same text every time it is read.
class GeneratedSource : public LineSource {
 public:
  explicit GeneratedSource(std::uint64_t count) : count_(count) {}
  std::uint64_t LineCount() override { return count_; }
  bool ReadLine(std::uint64_t index, std::string& line) override {
    line = "Line " + std::to_string(index + 1);
    return index < count_;
  }

 private:
  std::uint64_t count_;
};

struct Doc {
  FakePrintDevice device;
  std::unique_ptr<TPageLayout> pp;
  explicit Doc(int width = 200, int height = 100, int ppi = 72) {
    device.caps = DeviceCaps{ppi, ppi, width, height, 0, 0};
    pp = std::make_unique<TPageLayout>(device);
    pp->SetFont(TPrintFont{"Courier New", 20 * 72 / ppi, 0, kColorBlack});
  }
  // Every drawing call of page n (1-based) as the fake canvas logs it.
  std::string Page(unsigned n) {
    FakeCanvas c(FakeCanvas::HandCountable());
    pp->ReplayPage(n - 1, c, 10000);
    return c.Log();
  }
  Strings Texts(unsigned n) {
    FakeCanvas c(FakeCanvas::HandCountable());
    pp->ReplayPage(n - 1, c, 10000);
    Strings r;
    for (const auto& t : c.texts)
      r.push_back(std::to_string(t.rect.left) + "," + std::to_string(t.rect.top) + ":" + t.text);
    return r;
  }
};

// The lines of a backup log with everything layout treats specially: wrapped lines, a word
// longer than the page, tabs, blank lines, lines that exactly fill a page.
Strings AwkwardLog() {
  Strings lines;
  for (int i = 0; i < 120; ++i) {
    switch (i % 7) {
      case 0:
        lines.push_back("");
        break;
      case 1:
        lines.push_back("Copied\tC:\\Users\\Owner\\file" + std::to_string(i) + ".txt");
        break;
      case 2:
        lines.push_back("a long line that wraps over several lines of the page " +
                        std::to_string(i));
        break;
      case 3:
        lines.push_back(std::string(95, 'x') + " " + std::to_string(i));
        break;
      default:
        lines.push_back("Line " + std::to_string(i));
    }
  }
  return lines;
}

void Configure(TPageLayout& pp, int variant) {
  pp.SetFriendlyHeader("&lLog&rPage &p");
  pp.SetFriendlyFooter("&c&f");
  pp.SetPageBorders({pbTop, pbBottom, pbLeft});
  pp.SetPageBorderOffset(0.05);
  if (variant == 1) pp.SetAlignment(taCenter);
  if (variant == 2) pp.SetWordWrap(false);
  if (variant == 3) pp.SetAlignment(taRightJustify);
}

TEST(PagesFromASource, EveryPageDrawsExactlyAsTheRecordedPagesDo) {
  for (int variant = 0; variant < 4; ++variant) {
    Doc recorded(400, 300), checkpointed(400, 300);
    Configure(*recorded.pp, variant);
    Configure(*checkpointed.pp, variant);
    VectorSource source(AwkwardLog());
    recorded.pp->BeginDoc();
    recorded.pp->WriteLn("Before the log");
    recorded.pp->Lines() = source.lines;
    recorded.pp->WriteLines(false);
    recorded.pp->Write("after ");
    recorded.pp->WriteLn("the log");
    recorded.pp->EndDoc();
    checkpointed.pp->BeginDoc();
    checkpointed.pp->WriteLn("Before the log");
    checkpointed.pp->WriteLines(source);
    checkpointed.pp->Write("after ");
    checkpointed.pp->WriteLn("the log");
    checkpointed.pp->EndDoc();
    ASSERT_EQ(checkpointed.pp->PageCount(), recorded.pp->PageCount()) << "variant " << variant;
    ASSERT_GT(recorded.pp->PageCount(), 10u);
    // Backwards, so no page is laid out again from a state the page before left.
    for (unsigned p = recorded.pp->PageCount(); p >= 1; --p)
      ASSERT_EQ(checkpointed.Page(p), recorded.Page(p)) << "variant " << variant << " page " << p;
    EXPECT_NE(recorded.Page(1).find("Before the log"), std::string::npos);
  }
}

TEST(PagePrinterFaults, TheFirstLineOfAPageKeepsItsAlignment) {
  Doc d(200, 100);  // four lines a page
  d.pp->SetAlignment(taCenter);
  d.pp->BeginDoc();
  for (int i = 1; i <= 5; ++i) d.pp->WriteLn("Line " + std::to_string(i));
  d.pp->EndDoc();
  ASSERT_EQ(d.pp->PageCount(), 2u);
  EXPECT_EQ(d.Texts(1).front(), "70,0:Line 1");
  EXPECT_EQ(d.Texts(2), (Strings{"70,0:Line 5"})) << "centred, as on the page before";
}

TEST(PagesFromASource, PagesHoldCheckpointsOnlyAndAreReadAgainWhenDrawn) {
  Doc d(400, 300);
  d.pp->SetFriendlyHeader("&cBackup log");
  d.pp->SetPageBorders({pbTop, pbBottom});
  GeneratedSource source(20000);
  d.pp->BeginDoc();
  d.pp->WriteLines(source);
  d.pp->EndDoc();
  const unsigned pages = d.pp->PageCount();
  ASSERT_GT(pages, 1000u);
  EXPECT_LE(d.pp->Pages().MemoryBytes(), 64u * pages) << "checkpoints of at most 64 bytes";
  const Strings last = d.Texts(pages);
  ASSERT_GE(last.size(), 2u);
  EXPECT_EQ(last.back().substr(last.back().find(':') + 1), "Line 20000");
  EXPECT_NE(last.front().find("Backup log"), std::string::npos);
}

TEST(PagesFromASource, PrintingReplaysTheSameLinesAsTheRecordedDocument) {
  Doc recorded(400, 300), checkpointed(400, 300);
  VectorSource source(AwkwardLog());
  recorded.pp->BeginDoc();
  recorded.pp->Lines() = source.lines;
  recorded.pp->WriteLines(false);
  recorded.pp->EndDoc();
  checkpointed.pp->BeginDoc();
  checkpointed.pp->WriteLines(source);
  checkpointed.pp->EndDoc();
  test::RecordingPrintJob a, b;
  a.canvas.record = b.canvas.record = true;
  checkpointed.pp->SetFromPage(2);
  checkpointed.pp->SetToPage(4);
  recorded.pp->SetFromPage(2);
  recorded.pp->SetToPage(4);
  EXPECT_TRUE(recorded.pp->PrintPages(a));
  EXPECT_TRUE(checkpointed.pp->PrintPages(b));
  EXPECT_EQ(b.calls, a.calls);
  EXPECT_EQ(b.canvas.Log(), a.canvas.Log());
}

TEST(PagesFromASource, AFileHandsOutItsLinesInAnyOrder) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "vt9-file-lines-test.log").string();
  Strings expected;
  {
    std::ofstream out(path, std::ios::binary);
    const char* breaks[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 1000; ++i) {
      expected.push_back(i % 17 == 0 ? ""
                                     : "line " + std::to_string(i) + std::string(i % 300, 'y'));
      out << expected.back() << breaks[i % 3];
    }
    expected.push_back("no break at the end");
    out << expected.back();
  }
  FileLines lines(path);
  ASSERT_TRUE(lines.Ok());
  ASSERT_EQ(lines.LineCount(), expected.size());
  std::string line;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_TRUE(lines.ReadLine(i, line));
    ASSERT_EQ(line, expected[i]) << i;
  }
  for (std::size_t i : {999u, 3u, 64u, 65u, 63u, 128u, 1000u, 0u, 500u}) {
    ASSERT_TRUE(lines.ReadLine(i, line));
    EXPECT_EQ(line, expected[i]) << i;
  }
  EXPECT_FALSE(lines.ReadLine(1001, line));
  std::filesystem::remove(path);
  EXPECT_FALSE(FileLines(path).Ok());
}

TEST(PagePrinterPages, MoreThanSixtyFiveThousandPagesAllPrint) {
  Doc d(200, 100);  // four lines a page
  GeneratedSource source(4 * 70000);
  d.pp->BeginDoc();
  d.pp->WriteLines(source);
  d.pp->EndDoc();
  ASSERT_EQ(d.pp->PageCount(), 70000u);
  struct CountingJob : test::RecordingPrintJob {
    unsigned pages = 0;
    std::string lastText;
    void StartPage() override { canvas.texts.clear(); }
    void EndPage() override {
      ++pages;
      if (!canvas.texts.empty()) lastText = canvas.texts.back().text;
    }
    void Progress(const std::string&, unsigned, unsigned, unsigned) override {}
  } job;
  EXPECT_TRUE(d.pp->PrintPages(job));
  EXPECT_EQ(job.pages, 70000u);
  EXPECT_EQ(job.lastText, "Line 280000");
}

TEST(PagePrinterPages, TheDialogsSixteenBitFieldsNeitherCapAllNorATypedRange) {
  EXPECT_EQ(DialogLastPage(70000), 65535u);
  EXPECT_EQ(DialogLastPage(12), 12u);
  EXPECT_EQ(DialogLastPage(0), 1u);
  // "All" leaves the dialog with its maximum, 65,535: every page prints all the same.
  EXPECT_EQ(ChosenPages(true, 1, 65535, 70000), (PageRange{1, 70000}));
  EXPECT_EQ(ChosenPages(false, 60000, 65535, 70000), (PageRange{60000, 65535}));
  EXPECT_EQ(ChosenPages(false, 3, 9, 5), (PageRange{3, 5}));
  EXPECT_EQ(ChosenPages(false, 9, 12, 5), (PageRange{5, 5}));
}

TEST(PagePrinterPages, LayoutProgressCanCancelTheLayout) {
  struct Cancelling : TPageLayout {
    using TPageLayout::TPageLayout;
    unsigned seen = 0;
    bool LayoutProgress(unsigned page) override {
      seen = page;
      return page < 5;
    }
  };
  FakePrintDevice device;
  device.caps = DeviceCaps{72, 72, 200, 100, 0, 0};
  Cancelling pp(device);
  pp.SetFont(TPrintFont{"Courier New", 20, 0, kColorBlack});
  GeneratedSource source(1000);
  pp.BeginDoc();
  EXPECT_THROW(pp.WriteLines(source), ECancelPrinting);
  EXPECT_EQ(pp.seen, 5u);
  pp.EndDoc();
  EXPECT_EQ(pp.PageCount(), 5u);
}

TEST(PagePrinterMeasuring, WritingAMegabyteMeasuresItAboutOnce) {
  Doc d(2000, 100000);
  std::string text;
  while (text.size() < (1u << 20)) text += "word" + std::to_string(text.size() % 97) + " ";
  d.pp->BeginDoc();
  d.device.canvas.measuredChars = 0;
  d.pp->Write(text);
  const std::uint64_t writeChars = d.device.canvas.measuredChars;
  d.device.canvas.measuredChars = 0;
  d.pp->WriteLn(text);
  const std::uint64_t writeLnChars = d.device.canvas.measuredChars;
  std::string cells = "<20|>20";
  d.pp->SetTableFormat(cells);
  d.device.canvas.measuredChars = 0;
  d.pp->WriteRow(text + "|" + text);
  const std::uint64_t rowChars = d.device.canvas.measuredChars;
  d.pp->EndDoc();
  // Quadratic measuring would be thousands of times the text's length.
  EXPECT_LT(writeChars, 12 * text.size());
  EXPECT_LT(writeLnChars, 12 * text.size());
  EXPECT_LT(rowChars, 24 * text.size());
}

TEST(PagePrinterFaults, AnEmptyFriendlyHeaderOrFooterClearsIt) {
  Doc d(400, 300);
  d.pp->SetFriendlyHeader("&cOld header");
  d.pp->SetFriendlyFooter("&cOld footer");
  EXPECT_EQ(d.pp->Header(), "Old header");
  d.pp->SetFriendlyHeader("");
  d.pp->SetFriendlyFooter("");
  EXPECT_EQ(d.pp->Header(), "");
  EXPECT_EQ(d.pp->Footer(), "");
  d.pp->BeginDoc();
  d.pp->WriteLn("text");
  d.pp->EndDoc();
  EXPECT_EQ(d.Texts(1), (Strings{"0,0:text"}));
}

TEST(PagePrinterFaults, TabsInCellsAndHeadersAreMeasuredAsTheyAreDrawn) {
  Doc d(400, 300);
  d.pp->SetTabSize(8);
  d.pp->SetTableFormat(">" + std::to_string(200.0 / 72) + "|<1");
  d.pp->BeginDoc();
  d.pp->WriteRow("a\tb|next");
  d.pp->EndDoc();
  // "a" and the tab to column 8 and "b": 9 characters, 90 pixels, right-aligned in 200.
  const Strings texts = d.Texts(1);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "110,0:a       b");
  EXPECT_EQ(texts[1], "200,0:next");
}

TEST(PagePrinterFaults, ExtremeValuesAreClampedAndNeverThrowOrOverflow) {
  Doc d(400, 300);
  const double huge = std::numeric_limits<double>::max();
  d.pp->SetTabSize(std::numeric_limits<unsigned>::max());
  EXPECT_LE(d.pp->TabSize(), TPageLayout::kMaxTabSize);
  d.pp->SetPageBorderOffset(huge);
  EXPECT_LE(d.pp->PageBorderOffset(), 400.0 / 72);
  d.pp->SetPageBorderOffset(std::nan(""));
  EXPECT_EQ(d.pp->PageBorderOffset(), 0);
  d.pp->SetPageBorderOffset(-huge);
  EXPECT_EQ(d.pp->PageBorderOffset(), 0);
  EXPECT_GT(d.pp->XPixels(huge), 1 << 24);
  EXPECT_LT(d.pp->XPixels(-huge), -(1 << 24));
  EXPECT_EQ(d.pp->YPixels(std::nan("")), 0);
  d.pp->SetTabSize(std::numeric_limits<unsigned>::max());
  d.pp->SetTableFormat("<1e308|>-1e308|^99999999|<1e-300");
  d.pp->SetMarginLeft(huge);
  d.pp->SetMarginLeft(0);
  d.pp->BeginDoc();
  EXPECT_NO_THROW(d.pp->WriteLn("a\tb\tc"));
  EXPECT_NO_THROW(d.pp->WriteRow("a\tb|c|d|e"));
  EXPECT_NO_THROW(d.pp->Write("\t\t\t"));
  d.pp->EndDoc();
  for (unsigned p = 1; p <= d.pp->PageCount(); ++p)
    for (const auto& t : d.Texts(p)) EXPECT_LT(t.size(), 2000u);
}

}  // namespace
}  // namespace vt9
