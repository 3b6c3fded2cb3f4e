// markup-dump: lays a markup text out on the deterministic canvas and prints the runs placed,
// each line's geometry, the measured size and the hit-test result for a point.
//
//   markup-dump [--rect L,T,R,B] [--nowrap] [--hover N] [--linespacing N] [--mouse X,Y]
//               [--fixed W,H] [file]
//
// The text is read byte for byte from the file, or from standard input without a file.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "markup/render.h"
#include "support/fake_canvas.h"

namespace {

bool ParseInts(const char* text, int* values, int count) {
  std::string s(text);
  std::size_t at = 0;
  for (int i = 0; i < count; ++i) {
    std::size_t used = 0;
    try {
      values[i] = std::stoi(s.substr(at), &used);
    } catch (...) {
      return false;
    }
    at += used;
    if (i + 1 < count) {
      if (at >= s.size() || s[at] != ',') return false;
      ++at;
    }
  }
  return at == s.size();
}

int Usage() {
  std::fputs(
      "usage: markup-dump [--rect L,T,R,B] [--nowrap] [--hover N] [--linespacing N]\n"
      "                   [--mouse X,Y] [--fixed W,H] [file]\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  vt9::MarkupParams params;
  params.bounds = {0, 0, 400, 10000};
  vt9::test::FakeCanvas::Metrics metrics;
  const char* file = nullptr;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    int v[4];
    if (a == "--rect") {
      const char* t = value();
      if (!t || !ParseInts(t, v, 4)) return Usage();
      params.bounds = {v[0], v[1], v[2], v[3]};
    } else if (a == "--nowrap") {
      params.wordWrap = false;
    } else if (a == "--hover") {
      const char* t = value();
      if (!t || !ParseInts(t, v, 1)) return Usage();
      params.hover = true;
      params.hoverLink = v[0];
    } else if (a == "--linespacing") {
      const char* t = value();
      if (!t || !ParseInts(t, v, 1)) return Usage();
      params.lineSpacing = v[0];
    } else if (a == "--mouse") {
      const char* t = value();
      if (!t || !ParseInts(t, v, 2)) return Usage();
      params.mouseX = v[0];
      params.mouseY = v[1];
    } else if (a == "--fixed") {
      const char* t = value();
      if (!t || !ParseInts(t, v, 2)) return Usage();
      metrics.charWidth = v[0];
      metrics.boldExtra = 0;
      metrics.fixedHeight = v[1];
      metrics.externalLeading = 0;
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage();
    } else if (!file) {
      file = argv[i];
    } else {
      return Usage();
    }
  }

  std::string text;
  if (file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "markup-dump: cannot read %s\n", file);
      return 1;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } else {
    std::freopen(nullptr, "rb", stdin);
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }

  vt9::test::FakeCanvas canvas(metrics);
  vt9::MarkupResult drawn = vt9::RenderMarkup(canvas, text, params);

  vt9::test::FakeCanvas hitCanvas(metrics);
  vt9::MarkupParams hitParams = params;
  hitParams.hitTestOnly = true;
  vt9::MarkupResult hit = vt9::RenderMarkup(hitCanvas, text, hitParams);

  std::size_t next = 0;
  for (std::size_t i = 0; i < drawn.lines.size(); ++i) {
    const vt9::MarkupLine& line = drawn.lines[i];
    std::printf("line %zu top=%d height=%d width=%d left=%d\n", i + 1, line.top, line.height,
                line.width, line.left);
    while (next < canvas.texts.size() && canvas.texts[next].rect.top < line.top + line.height) {
      const auto& t = canvas.texts[next++];
      std::printf("  run x=%d y=%d bottom=%d w=%d \"%s\" font=%s color=%s bk=%s\n", t.rect.left,
                  t.rect.bottom - canvas.HeightOf(t.font), t.rect.bottom, t.width, t.text.c_str(),
                  vt9::test::DescribeFont(t.font, canvas.ppi).c_str(),
                  vt9::test::DescribeColor(t.font.color).c_str(),
                  vt9::test::DescribeColor(t.brush).c_str());
    }
  }
  for (; next < canvas.texts.size(); ++next) {
    const auto& t = canvas.texts[next];
    std::printf("  run x=%d bottom=%d w=%d \"%s\"\n", t.rect.left, t.rect.bottom, t.width,
                t.text.c_str());
  }
  for (const std::string& error : drawn.imageErrors) std::printf("ImageError=%s\n", error.c_str());
  std::printf("MeasuredWidth=%d\n", drawn.measuredWidth);
  std::printf("MeasuredHeight=%d\n", drawn.measuredHeight);
  std::printf("MouseLink=%d\n", hit.mouseLink);
  std::printf("Hit=%d\n", hit.overLink ? 1 : 0);
  std::printf("AnchorUnderMouse=%s\n", hit.anchorUnderMouse.c_str());
  return 0;
}
