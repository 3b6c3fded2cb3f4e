// Fuzz target: GIF frame counting and selection, and a picture switching frames over bytes
// that may be corrupt or truncated.
#include <cstddef>
#include <cstdint>
#include <string>

#include "markup/gif_frames.h"
#include "markup/picture.h"
#include "support/fake_canvas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const int frames = vt9::markup::CountGifFrames(bytes);
  for (int f = 0; f <= frames + 1 && f < 64; ++f) {
    vt9::markup::GifFrame g = vt9::markup::SelectGifFrame(bytes, f);
    if (g.bytes.size() > bytes.size()) __builtin_trap();
  }
  vt9::test::FakePictureLoader loader;
  vt9::MarkupPicture picture(&loader);
  try {
    picture.LoadFromBytes(std::string(bytes));
  } catch (const vt9::PictureError&) {
  }
  for (int f = 1; f <= 3; ++f) {
    try {
      picture.SetFrame(f);
    } catch (const vt9::PictureError&) {
    }
    picture.FrameWidth();
    picture.FrameCount();
  }
  return 0;
}
