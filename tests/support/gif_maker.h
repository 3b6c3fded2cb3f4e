// Builds small, valid GIF files for tests: a two-colour global palette and one image per frame,
// each behind a graphic control extension, with LZW data that restarts the code table before
// every pixel (valid for every decoder, and trivially small for test images).
#pragma once

#include <string>
#include <vector>

namespace vt9::test {

struct GifFrameSpec {
  int left = 0;
  int top = 0;
  int width = 1;
  int height = 1;
  int colorIndex = 1;  // 0 black, 1 white
};

inline void PutWord(std::string& s, int v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

inline std::string MakeGif(int screenWidth, int screenHeight,
                           const std::vector<GifFrameSpec>& frames) {
  std::string g = "GIF89a";
  PutWord(g, screenWidth);
  PutWord(g, screenHeight);
  g += '\x80';  // global colour table of 2 entries
  g += '\0';
  g += '\0';
  g += std::string("\x00\x00\x00\xFF\xFF\xFF", 6);
  for (const GifFrameSpec& f : frames) {
    g += std::string("\x21\xF9\x04\x04\x0A\x00\x00\x00", 8);  // graphic control extension
    g += '\x2C';
    PutWord(g, f.left);
    PutWord(g, f.top);
    PutWord(g, f.width);
    PutWord(g, f.height);
    g += '\0';
    g += '\x02';  // LZW minimum code size
    std::string data;
    unsigned bits = 0;
    int nbits = 0;
    auto emit = [&](unsigned code) {
      bits |= code << nbits;
      nbits += 3;
      while (nbits >= 8) {
        data += static_cast<char>(bits & 0xFF);
        bits >>= 8;
        nbits -= 8;
      }
    };
    for (int i = 0; i < f.width * f.height; ++i) {
      emit(4);  // clear
      emit(static_cast<unsigned>(f.colorIndex));
    }
    emit(5);  // end of information
    if (nbits > 0) data += static_cast<char>(bits & 0xFF);
    for (std::size_t at = 0; at < data.size(); at += 255) {
      std::string block = data.substr(at, 255);
      g += static_cast<char>(block.size());
      g += block;
    }
    g += '\0';
  }
  g += ';';
  return g;
}

}  // namespace vt9::test
