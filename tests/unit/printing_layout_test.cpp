// Page layout on the fixed-metric canvas: every character 10 pixels wide, every text 20 high.
// The fake printer has 72 pixels per inch, so a 20-point font makes lines 20 pixels apart and
// pens and cell padding are 0 (both scale with resolution div 300).
#include <gtest/gtest.h>

#include "support/fake_print_device.h"

namespace vt9 {
namespace {

using test::FakePrintDevice;
using Strings = std::vector<std::string>;

struct Doc {
  FakePrintDevice device;
  std::unique_ptr<TPageLayout> pp;
  // A text area of `width` x `height` pixels at 72 dpi, without offsets.
  explicit Doc(int width = 200, int height = 100, int ppi = 72) {
    device.caps = DeviceCaps{ppi, ppi, width, height, 0, 0};
    pp = std::make_unique<TPageLayout>(device);
    pp->SetFont(TPrintFont{"Courier New", 20 * 72 / ppi, 0, kColorBlack});
  }
  // Every text run of page `n` as "x,y:text".
  Strings Page(unsigned n) {
    test::FakeCanvas c(test::FakeCanvas::HandCountable());
    pp->Pages().Replay(n - 1, c, 10000);
    Strings r;
    for (const auto& t : c.texts)
      r.push_back(std::to_string(t.rect.left) + "," + std::to_string(t.rect.top) + ":" + t.text);
    return r;
  }
  Strings Lines(unsigned n) {
    test::FakeCanvas c(test::FakeCanvas::HandCountable());
    pp->Pages().Replay(n - 1, c, 10000);
    Strings r;
    for (const auto& l : c.log)
      if (l.rfind("line", 0) == 0 || l.rfind("moveto", 0) == 0 || l.rfind("lineto", 0) == 0)
        r.push_back(l);
    return r;
  }
  void Write(const Strings& lines) {
    pp->BeginDoc();
    for (const auto& l : lines) pp->WriteLn(l);
    pp->EndDoc();
  }
};

TEST(PageLayoutBreaks, FifthLineOfAHundredPixelPageGoesToTheNextPage) {
  Doc d(200, 100);
  d.Write({"1", "2", "3", "4", "5"});
  ASSERT_EQ(d.pp->PageCount(), 2u);
  EXPECT_EQ(d.Page(1), (Strings{"0,0:1", "0,20:2", "0,40:3", "0,60:4"}));
  EXPECT_EQ(d.Page(2), (Strings{"0,0:5"}));
}

TEST(PageLayoutBreaks, ExactlyFullPageLeavesNoTrailingPageAndEmptyDocumentHasOne) {
  Doc d(200, 100);
  d.pp->SetFriendlyHeader("&cTitle");
  d.pp->SetMarginTop(40.0 / 72);
  d.Write({"1", "2"});  // text height 60: a third line would reach its bottom
  EXPECT_EQ(d.pp->PageCount(), 1u);
  d.Write({});
  ASSERT_EQ(d.pp->PageCount(), 1u);
  EXPECT_EQ(d.Page(1).size(), 1u);  // the header alone
}

TEST(PageLayoutBreaks, MarginsWithoutRoomForALineRaiseInsteadOfAPagePerLine) {
  Doc d(200, 100);
  d.pp->SetMarginTop(90.0 / 72);
  EXPECT_THROW(d.pp->BeginDoc(), EPagePrinter);
  EXPECT_FALSE(d.pp->Printing());
}

TEST(PageLayoutWrap, BreaksAfterTheLastBlankAndDropsTheBlankAtTheBreak) {
  Doc d(100, 1000);  // 10 characters per line
  d.Write({"aaaa bbbb cccc", "abcdefghijklmno", "abcde fghij"});
  // The prefix that fits ends in a blank: it stays; a word that does not fit starts the next
  // line; a blank just after the prefix is dropped.
  EXPECT_EQ(d.Page(1), (Strings{"0,0:aaaa bbbb ", "0,20:cccc", "0,40:abcdefghij", "0,60:klmno",
                                "0,80:abcde ", "0,100:fghij"}));
  Doc e(100, 1000);
  e.Write({"abcdefghi jk"});
  EXPECT_EQ(e.Page(1), (Strings{"0,0:abcdefghi ", "0,20:jk"}));
  Doc f(100, 1000);
  f.Write({"abcdefghij kl"});
  EXPECT_EQ(f.Page(1), (Strings{"0,0:abcdefghij", "0,20:kl"}));
}

TEST(PageLayoutWrap, CutsWithoutWordWrapAndNeverTouchesAOneCharacterLine) {
  Doc d(100, 1000);
  d.pp->SetWordWrap(false);
  d.pp->BeginDoc();
  d.pp->WriteLn("abcdefghijklmno");
  d.pp->EndDoc();
  EXPECT_EQ(d.Page(1), (Strings{"0,0:abcdefghij"}));

  Doc narrow(5, 1000);  // narrower than one character
  narrow.Write({"W", "ab"});
  EXPECT_EQ(narrow.Page(1), (Strings{"0,0:W", "0,20:a", "0,40:b"}));
}

TEST(PageLayoutWrap, AlignsEveryPieceOfAWrappedLine) {
  Doc d(100, 1000);
  d.pp->SetAlignment(taRightJustify);
  d.Write({"aaaa bbb", "aaaa bbbbbbb"});
  EXPECT_EQ(d.Page(1), (Strings{"20,0:aaaa bbb", "50,20:aaaa ", "30,40:bbbbbbb"}));
  Doc c(100, 1000);
  c.pp->SetAlignment(taCenter);
  c.Write({"abc"});
  EXPECT_EQ(c.Page(1), (Strings{"35,0:abc"}));
}

// Counts the characters handed to the canvas for measuring.
class CountingCanvas : public test::FakeCanvas {
 public:
  CountingCanvas() : FakeCanvas(HandCountable()) { record = false; }
  std::size_t measured = 0;
  Size TextExtent(std::string_view text) override {
    measured += text.size();
    return FakeCanvas::TextExtent(text);
  }
};
class CountingDevice : public FakePrintDevice {
 public:
  CountingCanvas counting;
  Canvas& MeasureCanvas() override { return counting; }
};

TEST(PageLayoutWrap, AMegabyteLineCostsMeasurementsProportionalToItsLength) {
  CountingDevice device;
  device.caps = DeviceCaps{72, 72, 800, 1000000, 0, 0};  // 80 characters a line
  TPageLayout pp(device);
  pp.SetFont(TPrintFont{"Courier New", 20, 0, kColorBlack});
  std::string big;
  while (big.size() < 1000000) big += "word" + std::to_string(big.size() % 97) + " ";
  pp.BeginDoc();
  device.counting.measured = 0;
  pp.WriteLn(big);
  pp.EndDoc();
  // Measuring the remainder (or the whole line) for each of the 12,500 pieces would be
  // billions of characters; fitting each piece measures a few times its own length.
  EXPECT_LT(device.counting.measured, 20 * big.size());
  std::size_t total = 0;
  test::FakeCanvas c(test::FakeCanvas::HandCountable());
  for (unsigned p = 0; p < pp.PageCount(); ++p) pp.Pages().Replay(p, c, 10000);
  for (const auto& t : c.texts) {
    EXPECT_LE(t.text.size(), 80u);
    total += t.text.size();
  }
  EXPECT_GT(total, 990000u);
}

TEST(PageLayoutWrap, ControlCharactersAreBreakPointsAndNeverStallTheLayout) {
  Doc d(100, 1000000);
  d.pp->BeginDoc();
  d.pp->WriteLn(std::string(200, '\x01'));
  d.pp->WriteLn(std::string("\r\n\f\x7f", 4));
  d.pp->EndDoc();
  // 10 characters fit and the one after each piece, a break character, is dropped: 18 pieces
  // of 11 characters, one of the last 2, and the short second line.
  EXPECT_EQ(d.Page(1).size(), 18u + 1u + 1u);
}

TEST(PageLayoutTabs, ExpandToTheNextMultipleOfTheTabSize) {
  Doc d(1000, 1000);
  d.Write({"a\tb", "abcdefgh\tc"});
  EXPECT_EQ(d.Page(1), (Strings{"0,0:a       b", "0,20:abcdefgh        c"}));
  Doc z(1000, 1000);
  z.pp->SetTabSize(0);  // counts as 1
  z.Write({"a\t\tb"});
  EXPECT_EQ(z.Page(1), (Strings{"0,0:a  b"}));
}

TEST(PageLayoutWrite, ContinuesTheLineAndWrapsAtTheRightEdge) {
  Doc d(100, 1000);
  d.pp->BeginDoc();
  d.pp->Write("abc");
  d.pp->Write("def");
  d.pp->Write("ghi jklmno");
  d.pp->NewLine();
  d.pp->Write("x");
  d.pp->EndDoc();
  EXPECT_EQ(d.Page(1), (Strings{"0,0:abc", "30,0:def", "60,0:ghi ", "0,20:jklmno", "0,40:x"}));
}

TEST(PageLayoutBorders, LinesAtTheOffsetOutsideTheTextAreaWithResolutionPens) {
  Doc d(2550, 3300, 300);
  d.pp->SetMarginTop(1);
  d.pp->SetMarginBottom(1);
  d.pp->SetMarginLeft(1);
  d.pp->SetMarginRight(1);
  d.pp->SetPageBorderOffset(0.1);
  d.pp->SetPageBorders({pbTop, pbBottom, pbLeft, pbRight});
  d.Write({"x"});
  EXPECT_EQ(d.Lines(1), (Strings{"moveto 270,270", "lineto 2280,270 pen=#000000", "moveto 270,3030",
                                 "lineto 2280,3030 pen=#000000", "moveto 270,270",
                                 "lineto 270,3030 pen=#000000", "moveto 2280,270",
                                 "lineto 2280,3030 pen=#000000"}));
  test::FakeCanvas c(test::FakeCanvas::HandCountable());
  d.pp->Pages().Replay(0, c, 10000);
  EXPECT_EQ(c.PenWidth(), 2);
}

TEST(PageLayoutHeader, HeaderAndBordersGetRoomAtZeroPrinterOffsets) {
  Doc d(2479, 3508, 300);  // A4 at 300 dpi, as the PDF printer reports it
  d.pp->SetFont(TPrintFont{"Courier New", 10, 0, kColorBlack});  // 42 pixels
  d.pp->SetFriendlyHeader("&cLog");
  d.pp->SetPageBorders({pbTop, pbBottom});
  d.pp->SetPageBorderOffset(0.065);  // 20 pixels
  d.Write({"first"});
  Strings texts = d.Page(1);
  ASSERT_EQ(texts.size(), 2u);
  const int headerY = std::stoi(texts[0].substr(texts[0].find(',') + 1));
  const int textY = std::stoi(texts[1].substr(texts[1].find(',') + 1));
  const int borderY = std::stoi(d.Lines(1)[0].substr(d.Lines(1)[0].find(',') + 1));
  EXPECT_GE(headerY, 0);
  EXPECT_LE(headerY + 42, borderY - 1);  // header above the top border (pen 2)
  EXPECT_EQ(textY - borderY, 20);
  const int bottomBorderY = std::stoi(d.Lines(1)[2].substr(d.Lines(1)[2].find(',') + 1));
  EXPECT_LE(bottomBorderY + 1, 3508);
  EXPECT_EQ(texts[0].substr(texts[0].find(':') + 1), "Log");
  // Centred in a column as wide as the page between the margins.
  EXPECT_EQ(std::stoi(texts[0]), (2479 - 30) / 2);
}

TEST(PageLayoutEvents, NewPageOncePerPageAndNewLineAfterEveryAdvanceAndDecoration) {
  Doc d(200, 100);
  int pages = 0, lines = 0;
  d.pp->OnNewPage = [&] { ++pages; };
  d.pp->OnNewLine = [&] { ++lines; };
  d.Write({"1", "2", "3", "4", "5"});
  EXPECT_EQ(pages, 2);
  EXPECT_EQ(lines, 5 + 2);  // five line advances, and one after each page's decoration
  EXPECT_EQ(d.pp->LineNumber(), 1);
}

TEST(PageLayoutHeader, FooterWithPageMacroOnEveryPage) {
  Doc d(200, 200);
  d.pp->SetMarginBottom(40.0 / 72);
  d.pp->SetFriendlyFooter("Page &p");
  d.Write({"1", "2", "3", "4", "5", "6", "7", "8", "9"});
  ASSERT_EQ(d.pp->PageCount(), 2u);
  EXPECT_EQ(d.Page(2).front(), "0,170:Page 2");  // text height 160, footer centred below
}

TEST(PageLayoutMacros, ReplacedInCellsEveryOccurrenceCaseSensitive) {
  Doc d(1000, 1000);
  d.device.caps->logPixelsX = 72;
  d.pp->SetTitle("Job");
  d.pp->SetTableFormat("<10");
  d.pp->BeginDoc();
  d.pp->WriteRow("{$PAGE}/{$PAGE} {$LINE} {$DATE} {$TIME} {$TITLE} {$page}");
  d.pp->WriteRow("{$LINE}");
  d.pp->EndDoc();
  EXPECT_EQ(d.Page(1), (Strings{"0,0:1/1 0 08/12/2026 07:15:30 Job {$page}", "0,20:1"}));
  d.device.caps.reset();
  EXPECT_EQ(d.pp->Title(), "<Unknown>");
}

TEST(PageLayoutProperties, MisuseWhilePrintingRaisesWithTheExactTexts) {
  Doc d;
  d.pp->BeginDoc();
  auto message = [](auto f) {
    try {
      f();
    } catch (const EPagePrinter& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([&] { d.pp->SetMarginTop(1); }), "Unable to change top margin while printing");
  EXPECT_EQ(message([&] { d.pp->SetMarginBottom(1); }),
            "Unable to change bottom margin while printing");
  EXPECT_EQ(message([&] { d.pp->SetMarginLeft(1); }),
            "Unable to change left margin while printing");
  EXPECT_EQ(message([&] { d.pp->SetMarginRight(1); }),
            "Unable to change right margin while printing");
  EXPECT_EQ(message([&] { d.pp->SetOrientation(poLandscape); }),
            "Unable to change orientation while printing");
  EXPECT_EQ(message([&] { d.pp->SetPrintToFile(true); }),
            "Can't change PrintToFile while printing");
  EXPECT_EQ(message([&] { d.pp->SetFileName("x.txt"); }), "Can't change FileName while printing");
  d.pp->EndDoc();
  EXPECT_EQ(message([&] { d.pp->SetPageNumber(2); }), "PageNumber must be between 1 and 1");
  EXPECT_EQ(message([&] { d.pp->SetPageNumber(0); }), "PageNumber must be between 1 and 1");
}

TEST(PageLayoutProperties, MarginsClampToOffsetsAndUnitsConvert) {
  FakePrintDevice device;
  device.caps = DeviceCaps{300, 300, 2550, 3300, 75, 60};
  TPageLayout pp(device);
  EXPECT_DOUBLE_EQ(pp.MarginLeft(), 0.25);
  EXPECT_DOUBLE_EQ(pp.MarginTop(), 0.2);
  pp.SetMarginTop(0.1);
  EXPECT_DOUBLE_EQ(pp.MarginTop(), 0.2);
  pp.SetMarginLeft(20);
  EXPECT_DOUBLE_EQ(pp.MarginLeft(), 8.25);
  pp.SetMarginLeft(1);
  pp.SetTableFormat("<1|>-1.5|x");
  pp.SetDefaultColWidth(2);
  pp.SetMeasureUnit(muMillimeters);
  EXPECT_DOUBLE_EQ(pp.MarginLeft(), 25.4);
  EXPECT_DOUBLE_EQ(pp.DefaultColWidth(), 50.8);
  EXPECT_EQ(pp.TableFormat(), "<25.4|>-38.1|<0");
  EXPECT_EQ(pp.XPixels(25.4), 300);

  FakePrintDevice none;
  none.caps.reset();
  TPageLayout fallback(none);
  EXPECT_DOUBLE_EQ(fallback.MarginTop(), 0.25);
  EXPECT_EQ(fallback.PageGeometry().textWidth, 2400);
  fallback.SetMeasureUnit(muMillimeters);
  EXPECT_DOUBLE_EQ(fallback.PageWidthUnits(), 210);
  EXPECT_DOUBLE_EQ(fallback.MarginTop(), 6.35);
  EXPECT_EQ(fallback.Orientation(), poPortrait);
  pp.SetCopies(0);
  EXPECT_EQ(pp.Copies(), 1u);
}

TEST(PageLayoutPrintToFile, WritesPlainTextAndLeavesNothingWhenTheFileCannotBeCreated) {
  Doc d(100, 1000);
  const std::string path = ::testing::TempDir() + "pp_file.txt";
  d.pp->SetFileName("  " + path + " ");
  d.pp->SetPrintToFile(true);
  d.pp->BeginDoc();
  EXPECT_TRUE(d.pp->Printing());
  d.pp->WriteLn("one");
  d.pp->NewPage();
  d.pp->WriteLn("two");
  d.pp->EndDoc();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char buf[100] = {};
  std::size_t n = std::fread(buf, 1, sizeof buf, f);
  std::fclose(f);
  EXPECT_EQ(std::string(buf, n), "one\r\n\f\r\ntwo\r\n");
  std::remove(path.c_str());

  d.pp->SetFileName(::testing::TempDir() + "no/such/dir/out.txt");
  EXPECT_THROW(d.pp->BeginDoc(), EInOutError);
  EXPECT_FALSE(d.pp->Printing());
}

}  // namespace
}  // namespace vt9
