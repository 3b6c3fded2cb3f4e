// Table rows, column formats, friendly headers, the order pages go to the printer and the
// progress texts. Layout runs on the fixed-metric canvas (10 pixels a character) at 72 dpi
// unless a case needs the 300 dpi padding.
#include <gtest/gtest.h>

#include "printing/progress_text.h"
#include "support/fake_print_device.h"

namespace vt9 {
namespace {

using test::FakePrintDevice;
using Strings = std::vector<std::string>;

struct Doc {
  FakePrintDevice device;
  std::unique_ptr<TPageLayout> pp;
  explicit Doc(int ppi = 72, int width = 1000, int height = 1000) {
    device.caps = DeviceCaps{ppi, ppi, width, height, 0, 0};
    pp = std::make_unique<TPageLayout>(device);
    pp->SetFont(TPrintFont{"Courier New", 20 * 72 / ppi, 0, kColorBlack});
  }
  Strings Page(unsigned n, bool lines = false) {
    test::FakeCanvas c(test::FakeCanvas::HandCountable());
    pp->Pages().Replay(n - 1, c, 10000);
    Strings r;
    if (lines) {
      for (const auto& l : c.log)
        if (l.rfind("moveto", 0) == 0 || l.rfind("lineto", 0) == 0)
          r.push_back(l.substr(0, l.find(" pen")));
      return r;
    }
    for (const auto& t : c.texts)
      r.push_back(std::to_string(t.rect.left) + "," + std::to_string(t.rect.top) + ":" + t.text);
    return r;
  }
  Strings Rows(const std::string& format, const Strings& rows) {
    pp->SetTableFormat(format);
    pp->BeginDoc();
    for (const auto& r : rows) pp->WriteRow(r);
    pp->EndDoc();
    return Page(1);
  }
};

TEST(ColumnFormat, NormalisesToAlignmentAndShortestWidth) {
  EXPECT_EQ(NormaliseFormat("1|>1.50|^2.000|x|>|", '|', 2), "<1|>1.5|^2|<2|>2|<2");
  EXPECT_EQ(NormaliseFormat("", '|', 2), "");
  EXPECT_EQ(NormaliseFormat("<-1.5;>abc", ';', 0.5), "<-1.5;>0.5");
  EXPECT_EQ(SplitTokens("a||", '|'), (Strings{"a", "", ""}));
  EXPECT_EQ(SplitTokens("", '|'), (Strings{""}));
}

TEST(TableRows, ColumnsAlignInsideTheirWidthsOneAfterAnother) {
  Doc d;  // 72 dpi: one inch is 72 pixels, no padding
  EXPECT_EQ(d.Rows("<1|>1.5|^2", {"a|b|c"}), (Strings{"0,0:a", "170,0:b", "247,0:c"}));
  Doc two;
  EXPECT_EQ(two.Rows("<1|<1", {"only", "a|b|c"}), (Strings{"0,0:only", "0,20:a", "72,20:b"}));
  Doc lone;
  lone.pp->SetDefaultColWidth(2);
  EXPECT_EQ(lone.Rows(">|x", {"r|l"}), (Strings{"134,0:r", "144,0:l"}));
}

TEST(TableRows, PaddingAtThreeHundredDpiButNotForCentredCells) {
  Doc d(300, 3000, 3000);
  EXPECT_EQ(d.Rows("<1|>1|^1", {"a|b|c"}), (Strings{"6,0:a", "584,0:b", "745,0:c"}));
}

TEST(TableRows, CellsWrapAndALineFeedStartsAPhysicalLine) {
  Doc d;
  EXPECT_EQ(d.Rows("<1|<1", {"one\ntwo|x", "abcdefghij|y"}),
            (Strings{"0,0:one", "72,0:x", "0,20:two", "0,40:abcdefg", "72,40:y", "0,60:hij"}));
  Doc cut;
  cut.pp->SetWordWrap(false);
  EXPECT_EQ(cut.Rows("<0.1", {"abc"}), (Strings{"0,0:a"}));
}

TEST(TableRows, GridSkipsNegativeWidthColumns) {
  Doc d;
  d.pp->SetTableGrid(true);
  d.Rows("<1|<-1.5", {"a|b"});
  // Only the first column has lines: top and verticals, then bottom and verticals.
  EXPECT_EQ(d.Page(1, true), (Strings{"moveto 0,0", "lineto 72,0", "moveto 0,0", "lineto 0,20",
                                      "moveto 72,0", "lineto 72,20", "moveto 0,20", "lineto 72,20",
                                      "moveto 0,0", "lineto 0,20", "moveto 72,0", "lineto 72,20"}));
  EXPECT_EQ(d.Page(1), (Strings{"0,0:a", "72,0:b"}));
}

TEST(FriendlyHeader, CodesBecomeColumnsAndTexts) {
  Doc d(72, 648, 1000);  // 9 inches wide, no offsets
  d.pp->SetFriendlyHeader("&lLeft&cMiddle&rRight");
  EXPECT_EQ(d.pp->Header(), "Left|Middle|Right");
  EXPECT_EQ(d.pp->HeaderFormat(), "<3|^3|>3");
  d.pp->SetFriendlyHeader("Page &p");
  EXPECT_EQ(d.pp->Header(), "Page {$PAGE}");
  EXPECT_EQ(d.pp->HeaderFormat(), "<9");
  d.pp->SetFriendlyFooter("&cLog & Report&&x&");
  EXPECT_EQ(d.pp->Footer(), "Log  Report&x");
  EXPECT_EQ(d.pp->FooterFormat(), "^9");
  d.pp->SetFriendlyFooter("&F|&f|&d");
  EXPECT_EQ(d.pp->Footer(), " | |08/12/2026");
  d.pp->SetFileName("C:\\Logs\\a.txt");
  d.pp->SetFriendlyFooter("&F &f &i");
  EXPECT_EQ(d.pp->Footer(), "C:\\Logs\\a.txt a.txt {$TITLE}");
  d.pp->SetFriendlyHeader("ab&lcd");
  EXPECT_EQ(d.pp->Header(), "ab|cd");
  EXPECT_EQ(d.pp->HeaderFormat(), "<4.5|<4.5");
}

TEST(FriendlyHeader, PageMacroPrintsThePageNumber) {
  Doc d(72, 200, 150);
  d.pp->SetMarginTop(40.0 / 72);
  d.pp->SetFriendlyHeader("Page &p");
  d.pp->BeginDoc();
  d.pp->NewPage();
  d.pp->NewPage();
  d.pp->EndDoc();
  ASSERT_EQ(d.pp->PageCount(), 3u);
  ASSERT_EQ(d.Page(3).size(), 1u);
  EXPECT_EQ(d.Page(3)[0].substr(d.Page(3)[0].find(':')), ":Page 3");
}

struct Printed {
  Doc d{72, 200, 100};
  test::RecordingPrintJob job;
  Printed() {
    d.pp->SetTitle("T");
    d.pp->BeginDoc();
    for (int p = 1; p <= 5; ++p) {
      d.pp->WriteLn("p" + std::to_string(p));
      if (p < 5) d.pp->NewPage();
    }
    d.pp->EndDoc();
  }
  Strings Pages() {
    Strings r;
    for (const auto& c : job.calls)
      if (c.rfind("page", 0) == 0) r.push_back(c.substr(6));
    return r;
  }
};

TEST(PrintOrder, CollatedCopiesRepeatTheRangeAndUncollatedRepeatEachPage) {
  Printed p;
  p.d.pp->SetCopies(2);
  p.d.pp->SetToPage(3);
  EXPECT_TRUE(p.d.pp->PrintPages(p.job));
  EXPECT_EQ(p.Pages(), (Strings{"1", "2", "3", "1", "2", "3"}));
  EXPECT_EQ(p.job.calls.front(), "start T");
  EXPECT_EQ(p.job.calls.back(), "finish");
  EXPECT_EQ(p.job.calls[p.job.calls.size() - 2], "end");
  EXPECT_EQ(p.job.copiesSeen, std::vector<int>{1});
  EXPECT_EQ(p.job.systemCopies, 4);  // given back

  Printed u;
  u.d.pp->SetCopies(2);
  u.d.pp->SetCollate(false);
  u.d.pp->SetToPage(3);
  u.d.pp->PrintPages(u.job);
  EXPECT_EQ(u.Pages(), (Strings{"1", "1", "2", "2", "3", "3"}));
}

TEST(PrintOrder, RangeIsClampedAndKeptOrdered) {
  Printed p;
  p.d.pp->SetFromPage(7);
  EXPECT_EQ(p.d.pp->ToPage(), 7u);
  p.d.pp->PrintPages(p.job);
  EXPECT_EQ(p.Pages(), (Strings{"5"}));
  Printed q;
  q.d.pp->SetToPage(4);
  q.d.pp->SetFromPage(2);
  q.d.pp->SetToPage(1);
  EXPECT_EQ(q.d.pp->FromPage(), 1u);
  q.d.pp->SetToPage(0);
  q.d.pp->SetFromPage(4);
  q.d.pp->SetToPage(0);
  q.d.pp->PrintPages(q.job);  // to page 0 means the last page
  EXPECT_EQ(q.Pages(), (Strings{"1", "2", "3", "4", "5"}));
}

TEST(PrintOrder, CancelBeforeAPageEndsOrAbortsTheJobWithThePagesSent) {
  Printed p;
  int pumped = 0;
  p.job.onProcessMessages = [&] {
    if (++pumped == 2) p.d.pp->RequestCancel();
  };
  EXPECT_FALSE(p.d.pp->PrintPages(p.job));
  EXPECT_EQ(p.Pages(), (Strings{"1"}));
  EXPECT_EQ(p.job.calls[p.job.calls.size() - 2], "end");
  EXPECT_EQ(p.job.systemCopies, 4);

  Printed a;
  a.d.pp->SetAbortOnCancel(true);
  a.job.onProcessMessages = [&] { a.d.pp->RequestCancel(); };
  EXPECT_FALSE(a.d.pp->PrintPages(a.job));
  EXPECT_EQ(a.job.calls, (Strings{"start T", "abort", "finish"}));

  // Without Cancel on offer no messages run, so nothing can cancel.
  Printed n;
  n.d.pp->SetShowCancel(false);
  n.job.onProcessMessages = [&] { n.d.pp->RequestCancel(); };
  EXPECT_TRUE(n.d.pp->PrintPages(n.job));
}

TEST(PrintOrder, AnErrorAbortsTheJobRestoresCopiesAndReachesTheCaller) {
  Printed p;
  p.job.onProcessMessages = [] { throw EPrinter("Printer error"); };
  EXPECT_THROW(p.d.pp->PrintPages(p.job), EPrinter);
  EXPECT_EQ(p.job.calls, (Strings{"start T", "abort", "finish"}));
  EXPECT_EQ(p.job.systemCopies, 4);
}

TEST(ProgressText, LabelShowsCountsOnlyForRangesFromPageOne) {
  EXPECT_EQ(ProgressPageLabel(1, 1, 5, 1), "Page 1 of 5");
  EXPECT_EQ(ProgressPageLabel(2, 1, 5, 3), "Page 2 of 5 x 3 Copies");
  EXPECT_EQ(ProgressPageLabel(4, 3, 5, 3), "Page 4");
  EXPECT_EQ(ProgressMaximum(1, 5, 3), 15u);
  EXPECT_EQ(ProgressMaximum(1, 20000, 10), 200000u);
  EXPECT_EQ(ProgressStatus(""), "Sending Pages To Printer");
  EXPECT_EQ(ProgressStatus("x"), "x");
}

}  // namespace
}  // namespace vt9
