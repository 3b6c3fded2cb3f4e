// Fuzz target: whole markup texts laid out, drawn and hit-tested on the deterministic canvas,
// with images from every kind of source. The first two bytes choose the options and the width.
#include <cstddef>
#include <cstdint>
#include <string>

#include "markup/picture.h"
#include "markup/render.h"
#include "support/fake_canvas.h"
#include "support/gif_maker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t options = data[0];
  const int width = data[1] * 2 - 40;  // negative widths included
  std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

  static vt9::test::FakePictureLoader* loader = [] {
    auto* l = new vt9::test::FakePictureLoader;
    l->resources["PIC"] = "IMG:12x9";
    l->resources["ANIM"] = vt9::test::MakeGif(30, 20, {{0, 0, 2, 2, 1}, {5, 6, 3, 3, 0}});
    l->resources["BAD"] = "broken";
    l->files["C:\\tile.gif"] = "IMG:3x2";
    return l;
  }();
  vt9::test::FakeCanvas canvas;
  canvas.record = (options & 0x80) != 0;
  vt9::test::FakeImageList images(3, 16, 16);
  vt9::PictureContainer container(loader);
  container.Add("logo").picture.LoadFromBytes("IMG:8x8");
  vt9::MarkupPictureCache cache(loader);

  vt9::MarkupParams p;
  p.bounds = {3, 2, 3 + width, 2 + ((options & 0x40) ? 40 : 4000)};
  p.images = &images;
  p.pictureContainer = &container;
  p.pictureCache = &cache;
  p.wordWrap = (options & 1) != 0;
  p.hover = (options & 2) != 0;
  p.hoverLink = 2;
  p.selected = (options & 4) != 0;
  p.blinkOn = (options & 8) != 0;
  p.focusLink = (options & 0x10) ? 0 : -1;
  p.lineSpacing = (options & 0x20) ? 3 : 0;
  p.hoverColor = 0x00FFFF;
  p.hoverFontColor = 0x0000FF;
  p.mouseX = width / 2;
  p.mouseY = 10;

  vt9::RenderMarkup(canvas, text, p);
  p.hitTestOnly = true;
  vt9::RenderMarkup(canvas, text, p);
  p.hitTestOnly = false;
  p.measureOnly = true;
  vt9::RenderMarkup(canvas, text, p);
  if (canvas.clipDepth != 0) __builtin_trap();
  return 0;
}
