// What the page printer does with the text it is given: a line of megabytes read only as far
// as a page needs it, macros replaced once and captions kept literal, tabs in cells placed
// after the macros, and text written on a full line or in double-byte characters.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "printing/file_lines.h"
#include "support/fake_print_device.h"

namespace vt9 {
namespace {

using test::FakeCanvas;
using test::FakePrintDevice;
using Strings = std::vector<std::string>;

struct Doc {
  FakePrintDevice device;
  TPageLayout pp{device};
  explicit Doc(int width = 200, int height = 100) {
    device.caps = DeviceCaps{72, 72, width, height, 0, 0};
    pp.SetFont(TPrintFont{"Courier New", 20, 0, kColorBlack});
  }
  std::vector<FakeCanvas::DrawnText> Texts(unsigned page) {
    FakeCanvas c(FakeCanvas::HandCountable());
    pp.ReplayPage(page - 1, c, 10000);
    return c.texts;
  }
  Strings Placed(unsigned page) {
    Strings r;
    for (const auto& t : Texts(page))
      r.push_back(std::to_string(t.rect.left) + "," + std::to_string(t.rect.top) + ":" + t.text);
    return r;
  }
};

// One line of `size` bytes with words, blanks and tabs, made up as it is read; it counts what
// it hands out.
class GiantLine : public LineSource {
 public:
  explicit GiantLine(std::size_t size) : size_(size) {}
  std::uint64_t bytesRead = 0;
  std::uint64_t LineCount() override { return 1; }
  bool ReadLine(std::uint64_t index, std::string& line) override {
    return ReadLinePart(index, 0, size_, line);
  }
  bool ReadsParts() const override { return true; }
  bool ReadLinePart(std::uint64_t, std::uint64_t offset, std::size_t max,
                    std::string& part) override {
    part.clear();
    for (std::uint64_t i = offset; i < size_ && part.size() < max; ++i) part += At(i);
    bytesRead += part.size();
    return true;
  }
  static char At(std::uint64_t i) {
    static const char pattern[] = "Copied file\tnumber 12345 to the backup\t\tdisk, ok. ";
    return pattern[i % (sizeof pattern - 1)];
  }
  std::string Whole() const {
    std::string s(size_, ' ');
    for (std::size_t i = 0; i < size_; ++i) s[i] = At(i);
    return s;
  }

 private:
  std::size_t size_;
};

TEST(PagePrinterText, AFourMegabyteLineCostsEachPageOnlyItsOwnText) {
  GiantLine line(4 << 20);
  Doc kept(400, 300), source(400, 300);
  for (Doc* d : {&kept, &source}) {
    d->pp.SetTabSize(7);
    d->pp.BeginDoc();
    d->pp.WriteLn("before");
  }
  kept.pp.WriteLn(line.Whole());
  source.pp.WriteLines(line);
  for (Doc* d : {&kept, &source}) {
    d->pp.WriteLn("after");
    d->pp.EndDoc();
  }
  ASSERT_EQ(source.pp.PageCount(), kept.pp.PageCount());
  ASSERT_GT(kept.pp.PageCount(), 5000u);
  for (unsigned p = 1; p <= kept.pp.PageCount(); p += 37)
    ASSERT_EQ(source.Placed(p), kept.Placed(p)) << "page " << p;
  ASSERT_EQ(source.Placed(kept.pp.PageCount()), kept.Placed(kept.pp.PageCount()));

  // Printing every page reads each page's text and little more.
  struct Job : test::RecordingPrintJob {
    GiantLine* line = nullptr;
    std::uint64_t before = 0, worst = 0;
    std::size_t worstText = 0;
    void StartPage() override {
      canvas.texts.clear();
      canvas.log.clear();
      before = line->bytesRead;
    }
    void EndPage() override {
      std::size_t text = 0;
      for (const auto& t : canvas.texts) text += t.text.size();
      const std::uint64_t read = line->bytesRead - before;
      if (read > worst) {
        worst = read;
        worstText = text;
      }
      EXPECT_LE(read, 4 * text + 1024) << "bytes read for a page of " << text << " bytes";
    }
    void Progress(const std::string&, unsigned, unsigned, unsigned) override {}
  } job;
  job.line = &line;
  EXPECT_TRUE(source.pp.PrintPages(job));
  EXPECT_GT(job.worst, 0u);
}

TEST(PagePrinterText, AFileHandsOutPartsOfItsLinesMixedWithWholeLines) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "vt9-file-line-parts-test.log").string();
  Strings expected;
  {
    std::ofstream out(path, std::ios::binary);
    const char* breaks[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 300; ++i) {
      expected.push_back(i == 100 ? std::string(200000, 'g') + "end"
                                  : "line " + std::to_string(i) + std::string(i * 7 % 500, 'y'));
      out << expected.back() << breaks[i % 3];
    }
  }
  FileLines lines(path);
  ASSERT_EQ(lines.LineCount(), expected.size());
  std::mt19937 rng(7);
  std::string got;
  for (int k = 0; k < 3000; ++k) {
    const std::size_t i = k % 5 == 0 ? 100 : rng() % expected.size();
    const std::string& e = expected[i];
    if (k % 7 == 0) {
      ASSERT_TRUE(lines.ReadLine(i, got));
      ASSERT_EQ(got, e) << i;
      continue;
    }
    // Forward through the line in parts, as a page reads it, from a random place.
    std::size_t at = rng() % (e.size() + 1);
    for (int parts = 0; parts < 4; ++parts) {
      const std::size_t max = 1 + rng() % 70000;
      ASSERT_TRUE(lines.ReadLinePart(i, at, max, got));
      ASSERT_EQ(got, e.substr(std::min(at, e.size()), max)) << "line " << i << " at " << at;
      at += got.size();
    }
  }
  std::filesystem::remove(path);
}

TEST(PagePrinterText, MacrosAreReplacedOnceAndCaptionsAreLiteral) {
  Doc d(300, 200);  // a header of 30 characters a line: the title wraps
  d.pp.SetTitle("{$TITLE} and {$PAGE} of a log named {$TITLE}");
  d.pp.SetFileName("C:\\Logs\\{$PAGE}.log");
  d.pp.SetFriendlyHeader("&l&i");
  d.pp.SetFriendlyFooter("&l&f - {$DATE} &p");
  d.pp.BeginDoc();
  d.pp.WriteLn("text");
  d.pp.EndDoc();
  std::string all;
  for (const auto& t : d.Texts(1)) all += t.text;  // the pieces of wrapped cells joined
  EXPECT_NE(all.find("{$TITLE} and {$PAGE} of a log named {$TITLE}"), std::string::npos) << all;
  EXPECT_NE(all.find("{$TITLE}{$PAGE}.log - {$DATE} 1"), std::string::npos) << all;
  // Macros of a header set as it is (not a friendly one) are replaced.
  Doc h(300, 200);
  h.pp.SetHeader("Page {$PAGE} {$DATE} {$$}x}");
  h.pp.SetHeaderFormat("<" + std::to_string(300.0 / 72));
  h.pp.BeginDoc();
  h.pp.EndDoc();
  EXPECT_EQ(h.Texts(1).at(0).text, "Page 1 08/12/2026 {$x}");
}

TEST(PagePrinterText, ATabInACellIsPlacedAfterTheMacrosAreReplaced) {
  Doc d(400, 300);
  d.pp.SetTabSize(8);
  d.pp.SetTableFormat("<" + std::to_string(300.0 / 72));
  d.pp.BeginDoc();
  d.pp.WriteRow("{$PAGE}\tX");
  d.pp.EndDoc();
  const auto texts = d.Texts(1);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "1       X");
}

TEST(PagePrinterText, WriteNeverDrawsPastTheLineEnd) {
  Doc d(200, 300);  // 20 characters a line
  d.pp.BeginDoc();
  d.pp.Write(std::string(20, 'x'));  // an exact fit
  d.pp.Write("word");
  d.pp.WriteLn("");
  for (int i = 0; i < 25; ++i) d.pp.Write(std::string(1, char('a' + i)));
  d.pp.EndDoc();
  for (const auto& t : d.Texts(1))
    EXPECT_LE(t.rect.left + 10 * static_cast<int>(t.text.size()), 200)
        << "\"" << t.text << "\" at " << t.rect.left;
  const Strings placed = d.Placed(1);
  EXPECT_NE(std::find(placed.begin(), placed.end(), "0,20:word"), placed.end());
  EXPECT_NE(std::find(placed.begin(), placed.end(), "0,60:u"), placed.end())
      << "the 21st one-character write starts the next line";
}

// A printer whose code page has double-byte characters: bytes from 0x81 lead a pair.
struct DoubleByteDevice : FakePrintDevice {
  bool IsLeadByte(unsigned char b) override { return b >= 0x81; }
};

bool SplitsAPair(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x81 && ++i >= text.size()) return true;
  return false;
}

TEST(PagePrinterText, LinesAndCellsNeverCutADoubleByteCharacter) {
  DoubleByteDevice device;
  device.caps = DeviceCaps{72, 72, 200, 300, 0, 0};
  TPageLayout pp(device);
  pp.SetFont(TPrintFont{"MS Gothic", 20, 0, kColorBlack});
  std::string pairs;
  for (int i = 0; i < 30; ++i) pairs += "\x82\xa0";
  pp.SetTableFormat("<0.05");  // narrower than one character
  pp.BeginDoc();
  pp.WriteLn("a" + pairs);  // 20 bytes fit: the last would be a lead byte
  pp.Write("b" + pairs);
  pp.WriteLn("");
  pp.WriteRow(pairs.substr(0, 6));
  pp.EndDoc();
  FakeCanvas c(FakeCanvas::HandCountable());
  pp.ReplayPage(0, c, 10000);
  ASSERT_GT(c.texts.size(), 6u);
  for (const auto& t : c.texts) EXPECT_FALSE(SplitsAPair(t.text)) << t.text.size() << " bytes";
  EXPECT_EQ(c.texts[0].text.size(), 19u);
}

TEST(PagePrinterText, AGiantLineOfASourceOfWholeLinesIsReadOnceForAllItsPages) {
  // The log viewer's sources read whole lines: a page of a giant line must not read it again
  // for every page (200 pages of a 4 MB line read 800 MB).
  class WholeLines : public LineSource {
   public:
    Strings lines;
    int reads = 0;
    std::uint64_t LineCount() override { return lines.size(); }
    bool ReadLine(std::uint64_t index, std::string& line) override {
      ++reads;
      line = lines.at(index);
      return true;
    }
  } source;
  std::string giant;
  while (giant.size() < (1u << 20)) giant += "word\t" + std::to_string(giant.size()) + " ";
  source.lines = {"first", giant, "last"};
  Doc d(400, 300);
  d.pp.BeginDoc();
  d.pp.WriteLines(source);
  d.pp.EndDoc();
  ASSERT_GT(d.pp.PageCount(), 500u);
  source.reads = 0;
  struct Job : test::RecordingPrintJob {
    void EndPage() override { canvas.log.clear(), canvas.texts.clear(); }
    void Progress(const std::string&, unsigned, unsigned, unsigned) override {}
  } job;
  EXPECT_TRUE(d.pp.PrintPages(job));
  EXPECT_LE(source.reads, 4);
}

}  // namespace
}  // namespace vt9
