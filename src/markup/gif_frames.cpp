#include "markup/gif_frames.h"

#include <vector>

namespace vt9::markup {
namespace {

unsigned Byte(std::string_view b, std::size_t i) { return static_cast<unsigned char>(b[i]); }

int Word(std::string_view b, std::size_t i) {
  if (i + 1 >= b.size()) return 0;
  return static_cast<int>(Byte(b, i) | (Byte(b, i + 1) << 8));
}

// Positions of the graphic control extensions that start a frame.
std::vector<std::size_t> FramePositions(std::string_view b) {
  std::vector<std::size_t> positions;
  if (!IsGif(b)) return positions;
  for (std::size_t i = 0; i + 9 < b.size(); ++i) {
    if (Byte(b, i) == 0x21 && Byte(b, i + 1) == 0xF9 && Byte(b, i + 2) == 0x04 &&
        Byte(b, i + 8) == 0x2C) {
      positions.push_back(i);
    }
  }
  return positions;
}

}  // namespace

bool IsGif(std::string_view bytes) { return bytes.size() >= 5 && bytes.substr(0, 4) == "GIF8"; }

int CountGifFrames(std::string_view bytes) {
  return static_cast<int>(FramePositions(bytes).size());
}

GifFrame SelectGifFrame(std::string_view bytes, int frame) {
  GifFrame result;
  result.bytes = std::string(bytes);
  if (!IsGif(bytes)) return result;
  result.screenWidth = Word(bytes, 6);
  result.screenHeight = Word(bytes, 8);
  std::vector<std::size_t> positions = FramePositions(bytes);
  if (positions.empty() || frame < 1 || frame > static_cast<int>(positions.size())) {
    return result;
  }
  std::size_t first = positions.front();
  std::size_t chosen = positions[static_cast<std::size_t>(frame) - 1];
  // The image descriptor follows the 8-byte extension: 2C, left, top, width, height.
  result.left = Word(bytes, chosen + 9);
  result.top = Word(bytes, chosen + 11);
  result.bytes = std::string(bytes.substr(0, first)) + std::string(bytes.substr(chosen));
  return result;
}

}  // namespace vt9::markup
