// Fuzz target: a document laid out twice from the same bytes, once with its lines kept and once
// from a line source, must draw the same pages, also after properties change once it ended.
// Every input byte is one step: its low bits pick a write or a property change, its high bits
// the value; a run of steps after a 0xFF byte is the text of the next line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "support/fake_print_device.h"

namespace {

using vt9::TPageLayout;

class Lines : public vt9::LineSource {
 public:
  std::vector<std::string> lines;
  std::uint64_t LineCount() override { return lines.size(); }
  bool ReadLine(std::uint64_t index, std::string& line) override {
    line = index < lines.size() ? lines[index] : std::string();
    return index < lines.size();
  }
};

void Change(TPageLayout& p, unsigned what, unsigned v) {
  switch (what) {
    case 0:
      p.SetAlignment(v % 3 == 0   ? vt9::taLeftJustify
                     : v % 3 == 1 ? vt9::taCenter
                                  : vt9::taRightJustify);
      break;
    case 1:
      p.SetLineSpacing(static_cast<vt9::TLineSpacing>(v % 4));
      break;
    case 2:
      p.SetTabSize(v % 10);
      break;
    case 3:
      p.SetWordWrap(v % 2);
      break;
    case 4:
      p.SetFriendlyHeader(v % 3 == 0 ? "" : v % 3 == 1 ? "&lLog&rPage &p" : "&c&i");
      break;
    case 5:
      p.SetFont(vt9::TPrintFont{"Courier New", static_cast<int>(8 + v % 40), 0, vt9::kColorBlack});
      break;
    default:
      p.SetPageBorders(v % 2 ? vt9::TPageBorders{vt9::pbTop, vt9::pbLeft} : vt9::TPageBorders{});
      break;
  }
}

std::vector<std::string> Drawing(TPageLayout& pp, unsigned page) {
  vt9::test::FakeCanvas c(vt9::test::FakeCanvas::HandCountable());
  pp.ReplayPage(page - 1, c, 10000);
  std::sort(c.log.begin(), c.log.end());
  return c.log;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 2048) return 0;
  vt9::test::FakePrintDevice da, db;
  da.caps = db.caps = vt9::DeviceCaps{72, 72, 300, 200, 0, 0};
  TPageLayout kept(da), source(db);
  std::vector<std::unique_ptr<Lines>> sources;
  auto both = [&](auto f) {
    f(kept);
    f(source);
  };
  both([](TPageLayout& p) {
    p.SetFont(vt9::TPrintFont{"Courier New", 20, 0, vt9::kColorBlack});
    p.SetTitle("{$TITLE}\t{$PAGE}");
    p.BeginDoc();
  });
  static const char* words[] = {"a",
                                "\t",
                                " ",
                                "backup",
                                "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
                                "{$PAGE}",
                                "C:\\Users\\Owner",
                                "\t\t"};
  std::size_t i = 0;
  auto text = [&] {
    std::string t;
    while (i < size && data[i] != 0xFF) t += words[data[i++] % 8];
    ++i;
    return t;
  };
  while (i < size) {
    const unsigned b = data[i++];
    switch (b & 3) {
      case 0: {
        const std::string t = text();
        both([&](TPageLayout& p) { p.WriteLn(t); });
        break;
      }
      case 1: {
        const std::string t = text();
        both([&](TPageLayout& p) { p.Write(t); });
        break;
      }
      case 2:
        both([&](TPageLayout& p) { Change(p, (b >> 2) % 7, b >> 5); });
        break;
      default: {
        sources.push_back(std::make_unique<Lines>());
        for (unsigned n = b >> 2; n > 0 && i < size; --n) sources.back()->lines.push_back(text());
        kept.Lines() = sources.back()->lines;
        kept.WriteLines(false);
        source.WriteLines(*sources.back());
      }
    }
  }
  both([](TPageLayout& p) {
    p.EndDoc();
    p.SetAlignment(vt9::taRightJustify);
    p.SetLineSpacing(vt9::lsDoubleSpace);
    p.SetFriendlyHeader("&cchanged");
  });
  if (kept.PageCount() != source.PageCount()) std::abort();
  for (unsigned p = kept.PageCount(); p >= 1; --p)
    if (Drawing(kept, p) != Drawing(source, p)) std::abort();
  return 0;
}
