// Pages laid out again from a line source must be the pages that were laid out: whatever the
// properties are changed to afterwards (in the middle of the document or after it ended),
// whatever OnNewPage writes, with a font taller than the page, with a preview painting while
// the layout runs, and with a source that fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "support/fake_print_device.h"

namespace vt9 {
namespace {

using test::FakeCanvas;
using test::FakePrintDevice;
using Strings = std::vector<std::string>;

class VectorSource : public LineSource {
 public:
  explicit VectorSource(Strings l) : lines(std::move(l)) {}
  Strings lines;
  std::uint64_t failFrom = UINT64_MAX;  // lines from here on cannot be read
  std::uint64_t LineCount() override { return lines.size(); }
  bool ReadLine(std::uint64_t index, std::string& line) override {
    line.clear();
    if (index >= lines.size() || index >= failFrom) return false;
    line = lines[index];
    return true;
  }
};

// The drawing of a page, in an order of its own: what a page shows, not the order it was
// drawn in (a header drawn again comes before what OnNewPage wrote).
Strings Drawing(TPageLayout& pp, unsigned page) {
  FakeCanvas c(FakeCanvas::HandCountable());
  pp.ReplayPage(page - 1, c, 10000);
  Strings out;
  for (std::size_t i = 0; i < c.log.size(); ++i) {
    if (c.log[i].rfind("moveto", 0) == 0 && i + 1 < c.log.size()) {
      out.push_back(c.log[i] + " " + c.log[i + 1]);
      ++i;
    } else
      out.push_back(c.log[i]);
  }
  std::sort(out.begin(), out.end());
  return out;
}

bool HasText(TPageLayout& pp, unsigned page, const std::string& text) {
  FakeCanvas c(FakeCanvas::HandCountable());
  pp.ReplayPage(page - 1, c, 10000);
  for (const auto& t : c.texts)
    if (t.text.find(text) != std::string::npos) return true;
  return false;
}

// Two page printers laid out alike, one keeping the source's text (Lines and WriteLines), the
// other checkpoints only (WriteLines of the source).
struct Pair {
  FakePrintDevice deviceA, deviceB;
  TPageLayout kept{deviceA}, source{deviceB};
  explicit Pair(int width = 400, int height = 300) {
    deviceA.caps = deviceB.caps = DeviceCaps{72, 72, width, height, 0, 0};
    Both([](TPageLayout& p) { p.SetFont(TPrintFont{"Courier New", 20, 0, kColorBlack}); });
  }
  template <typename F>
  void Both(F f) {
    f(kept);
    f(source);
  }
  void Lines(VectorSource& lines) {
    kept.Lines() = lines.lines;
    kept.WriteLines(false);
    source.WriteLines(lines);
  }
  void ExpectSamePages(const std::string& what) {
    ASSERT_EQ(source.PageCount(), kept.PageCount()) << what;
    for (unsigned p = 1; p <= kept.PageCount(); ++p)
      ASSERT_EQ(Drawing(source, p), Drawing(kept, p)) << what << ", page " << p;
  }
};

std::string RandomLine(std::mt19937& rng) {
  static const char* words[] = {"Copied",  "C:\\Users\\Owner\\Documents\\report.doc",
                                "\t",      "a",
                                "backup",  "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
                                "{$PAGE}", "error:\tfile in use",
                                " ",       "12:30"};
  std::string line;
  const int n = std::uniform_int_distribution<int>(0, 14)(rng);
  for (int i = 0; i < n; ++i) {
    if (i) line += ' ';
    line += words[std::uniform_int_distribution<int>(0, 9)(rng)];
  }
  return line;
}

// A property change a document may see between writes or after it ended.
void ChangeSomething(Pair& pair, std::mt19937& rng) {
  const int which = std::uniform_int_distribution<int>(0, 10)(rng);
  const int v = std::uniform_int_distribution<int>(0, 3)(rng);
  pair.Both([&](TPageLayout& p) {
    switch (which) {
      case 0:
        p.SetAlignment(v == 0 ? taLeftJustify : v == 1 ? taCenter : taRightJustify);
        break;
      case 1:
        p.SetLineSpacing(v == 0   ? lsSingleSpace
                         : v == 1 ? lsDoubleSpace
                         : v == 2 ? lsSingleAndAHalf
                                  : lsHalfSpace);
        break;
      case 2:
        p.SetTabSize(v == 0 ? 0 : v * 3);
        break;
      case 3:
        p.SetWordWrap(v != 0);
        break;
      case 4:
        p.SetFriendlyHeader(v == 0 ? "" : v == 1 ? "&lLog&rPage &p" : "&c&i");
        break;
      case 5:
        p.SetFriendlyFooter(v == 0 ? "" : "&cPage &p of the log");
        break;
      case 6:
        p.SetFont(TPrintFont{"Courier New", 14 + 4 * v, 0, kColorBlack});
        break;
      case 7:
        p.SetHeaderFont(TPrintFont{"Arial", 10 + 6 * v, 0, kColorBlack});
        break;
      case 8:
        p.SetPageBorders(v == 0 ? TPageBorders{} : TPageBorders{pbTop, pbBottom, pbLeft});
        break;
      case 9:
        p.SetPageBorderOffset(0.02 * v);
        break;
      default:
        p.SetTitle(v == 0 ? "Backup log" : "{$TITLE} {$PAGE}.log");
        break;
    }
  });
}

TEST(PagesLaidOutAgain, RandomWritesAndPropertyChangesGiveTheSamePages) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    std::mt19937 rng(seed);
    Pair pair;
    pair.Both([](TPageLayout& p) {
      p.SetTitle("Backup log");
      p.SetFriendlyHeader("&lLog&rPage &p");
    });
    pair.Both([](TPageLayout& p) { p.BeginDoc(); });
    std::vector<std::unique_ptr<VectorSource>> sources;
    for (int step = 0; step < 12; ++step) {
      switch (std::uniform_int_distribution<int>(0, 4)(rng)) {
        case 0: {
          const std::string line = RandomLine(rng);
          pair.Both([&](TPageLayout& p) { p.WriteLn(line); });
          break;
        }
        case 1: {
          const std::string text = RandomLine(rng);
          pair.Both([&](TPageLayout& p) { p.Write(text); });
          break;
        }
        case 2:
          ChangeSomething(pair, rng);
          break;
        default: {
          Strings lines(std::uniform_int_distribution<int>(0, 40)(rng));
          for (std::string& l : lines) l = RandomLine(rng);
          sources.push_back(std::make_unique<VectorSource>(lines));
          pair.Lines(*sources.back());
        }
      }
    }
    pair.Both([](TPageLayout& p) { p.EndDoc(); });
    pair.ExpectSamePages("seed " + std::to_string(seed));
    if (HasFatalFailure()) return;
    // After the document ended, before it is previewed or printed.
    for (int i = 0; i < 4; ++i) ChangeSomething(pair, rng);
    pair.ExpectSamePages("seed " + std::to_string(seed) + ", changed after EndDoc");
    if (HasFatalFailure()) return;
  }
}

TEST(PagesLaidOutAgain, ChangesAfterTheSourceAndAfterEndDocChangeNoPage) {
  // Each change on its own: double to single spacing used to print lines twice,
  // and word wrap turned off started a line cut by a page again.
  Strings lines;
  for (int i = 0; i < 30; ++i)
    lines.push_back("line " + std::to_string(i) + " long enough to wrap over two lines");
  for (int change = 0; change < 3; ++change) {
    Pair pair;
    VectorSource source(lines);
    pair.Both([](TPageLayout& p) {
      p.SetLineSpacing(lsDoubleSpace);
      p.SetFriendlyHeader("&cThe log");
      p.BeginDoc();
    });
    pair.Lines(source);
    pair.Both([&](TPageLayout& p) {
      if (change == 0) p.SetLineSpacing(lsSingleSpace);
      p.WriteLn("after the log");
      p.EndDoc();
      if (change == 1) p.SetWordWrap(false);
      if (change == 2) {
        p.SetAlignment(taRightJustify);
        p.SetFriendlyHeader("&lAnother header");
        p.SetPageBorders({pbTop, pbLeft});
      }
    });
    pair.ExpectSamePages("change " + std::to_string(change));
  }
}

TEST(PagesLaidOutAgain, WhatOnNewPageWritesOrChangesIsKept) {
  Pair pair;
  pair.Both([](TPageLayout& p) {
    p.SetFriendlyHeader("&cThe log");
    p.OnNewPage = [&p] {
      p.WriteLn("-- page " + std::to_string(p.PageNumber()) + " --");
      p.SetAlignment(p.PageNumber() % 2 ? taLeftJustify : taRightJustify);
      p.SetFriendlyFooter(p.PageNumber() % 3 ? "&cfooter" : "");
    };
    p.BeginDoc();
  });
  Strings lines;
  for (int i = 0; i < 60; ++i) lines.push_back("entry " + std::to_string(i));
  VectorSource source(lines);
  pair.Lines(source);
  pair.Both([](TPageLayout& p) {
    p.OnNewPage = nullptr;
    p.EndDoc();
  });
  ASSERT_GT(pair.kept.PageCount(), 4u);
  pair.ExpectSamePages("OnNewPage");
  EXPECT_TRUE(HasText(pair.source, 3, "-- page 3 --"));
}

TEST(PagesLaidOutAgain, ASourceOnNewPageWritesWhileAnotherIsLaidOutIsKept) {
  Pair pair;
  VectorSource banner({"== continued ==", "(backup log)"});
  pair.Both([&](TPageLayout& p) {
    p.SetFriendlyHeader("&cThe log");
    p.OnNewPage = [&p, &banner, &pair] {
      if (&p == &pair.source) {
        p.WriteLines(banner);
      } else {
        p.Lines() = banner.lines;
        p.WriteLines(false);
      }
    };
    p.BeginDoc();
  });
  Strings lines;
  for (int i = 0; i < 40; ++i) lines.push_back("entry " + std::to_string(i));
  VectorSource source(lines);
  pair.Lines(source);
  pair.Both([](TPageLayout& p) {
    p.OnNewPage = nullptr;
    p.SetFriendlyHeader("&cchanged");
    p.EndDoc();
  });
  ASSERT_GT(pair.kept.PageCount(), 3u);
  pair.ExpectSamePages("a source in OnNewPage");
  EXPECT_TRUE(HasText(pair.source, 3, "== continued =="));
  EXPECT_TRUE(HasText(pair.source, 3, "entry"));
}

TEST(PagesLaidOutAgain, OnNewLineOutputBetweenLinesIsKept) {
  Pair pair;
  int lines = 0;
  pair.Both([&](TPageLayout& p) {
    p.OnNewLine = [&lines, &p] {
      ++lines;
      p.Write("> ");
    };
    p.BeginDoc();
  });
  VectorSource source({"one", "two", "three", "four", "five", "six", "seven", "eight"});
  pair.Lines(source);
  pair.Both([](TPageLayout& p) {
    p.OnNewLine = nullptr;
    p.SetAlignment(taCenter);
    p.EndDoc();
  });
  pair.ExpectSamePages("OnNewLine");
  EXPECT_GT(lines, 16);
  EXPECT_TRUE(HasText(pair.source, 1, "> "));
}

TEST(PagesLaidOutAgain, AnEmptySourceAndAFontTallerThanThePage) {
  Pair pair(200, 100);  // four lines of 20 a page
  VectorSource empty({}), tall({"first", "second", "a line that wraps at a large size", "last"});
  pair.Both([](TPageLayout& p) {
    p.BeginDoc();
    p.WriteLn("before");
  });
  pair.Lines(empty);
  pair.Both([](TPageLayout& p) {
    p.WriteLn("between");
    p.SetFont(TPrintFont{"Courier New", 150, 0, kColorBlack});
  });
  pair.Lines(tall);
  pair.Both([](TPageLayout& p) { p.EndDoc(); });
  pair.ExpectSamePages("tall font");
  for (unsigned p = 2; p <= pair.source.PageCount(); ++p)
    EXPECT_FALSE(Drawing(pair.source, p).empty()) << "page " << p << " is blank";
  EXPECT_TRUE(HasText(pair.source, pair.source.PageCount(), "last"));
}

TEST(PagesLaidOutAgain, APagePaintedWhileItIsLaidOutIsNotKeptHalfMade) {
  // The preview paints the page being laid out; that copy holds the header only.
  struct Painting : TPageLayout {
    using TPageLayout::TPageLayout;
    bool LayoutProgress(unsigned page) override {
      FakeCanvas c(FakeCanvas::HandCountable());
      ReplayPage(page - 1, c, 10000);
      return true;
    }
  };
  FakePrintDevice device;
  device.caps = DeviceCaps{72, 72, 400, 300, 0, 0};
  Painting painting(device);
  Pair pair;
  Strings lines;
  for (int i = 0; i < 50; ++i) lines.push_back("line " + std::to_string(i));
  VectorSource source(lines);
  for (TPageLayout* p : {static_cast<TPageLayout*>(&painting), &pair.kept}) {
    p->SetFont(TPrintFont{"Courier New", 20, 0, kColorBlack});
    p->SetFriendlyHeader("&cHeader");
    p->BeginDoc();
  }
  pair.kept.Lines() = lines;
  pair.kept.WriteLines(false);
  painting.WriteLines(source);
  painting.EndDoc();
  pair.kept.EndDoc();
  ASSERT_EQ(painting.PageCount(), pair.kept.PageCount());
  for (unsigned p = 1; p <= painting.PageCount(); ++p)
    EXPECT_EQ(Drawing(painting, p), Drawing(pair.kept, p)) << "page " << p;
}

TEST(PagesLaidOutAgain, ASourceThatFailsIsAnErrorAndItsLaidOutLinesAreKept) {
  Strings lines;
  for (int i = 0; i < 40; ++i) lines.push_back("line " + std::to_string(i));
  {
    // Failing while laid out: an error, not blank lines.
    FakePrintDevice device;
    device.caps = DeviceCaps{72, 72, 400, 300, 0, 0};
    TPageLayout pp(device);
    VectorSource source(lines);
    source.failFrom = 17;
    pp.BeginDoc();
    EXPECT_THROW(pp.WriteLines(source), EInOutError);
    pp.EndDoc();
  }
  Pair pair;
  VectorSource source(lines);
  pair.Both([](TPageLayout& p) { p.BeginDoc(); });
  pair.Lines(source);
  pair.Both([](TPageLayout& p) { p.EndDoc(); });
  // The source grows after the layout: pages are laid out with the lines they had.
  source.lines.push_back("a line added later");
  pair.ExpectSamePages("grown source");
  // A source that fails when printed ends the job with the error.
  FakePrintDevice device;
  device.caps = DeviceCaps{72, 72, 400, 300, 0, 0};
  TPageLayout printed(device);
  printed.BeginDoc();
  printed.WriteLines(source);
  printed.EndDoc();
  source.failFrom = 30;
  test::RecordingPrintJob job;
  EXPECT_THROW(printed.PrintPages(job), EInOutError);
  ASSERT_FALSE(job.calls.empty());
  EXPECT_EQ(job.calls[job.calls.size() - 2], "abort");
}

}  // namespace
}  // namespace vt9
