// Frames of animated GIF data: counting them and cutting the data so that a decoder which only
// reads the first image shows a chosen frame.
#pragma once

#include <string>
#include <string_view>

namespace vt9::markup {

// Data starting with "GIF8" (at least 5 bytes).
bool IsGif(std::string_view bytes);

// Number of graphic control extensions (21 F9 04) whose image descriptor (2C) follows directly,
// 8 bytes on; 0 for data that is not a GIF.
int CountGifFrames(std::string_view bytes);

struct GifFrame {
  std::string bytes;  // data to decode: the selected frame is the first image
  int left = 0;       // the frame's offset inside the logical screen
  int top = 0;
  int screenWidth = 0;  // logical screen size; 0 when not a GIF
  int screenHeight = 0;
};

// The data to decode for `frame` (from 1). Non-GIF data, a GIF without such frames, or a frame
// number out of range give the bytes unchanged (with the screen size when it is a GIF).
GifFrame SelectGifFrame(std::string_view bytes, int frame);

}  // namespace vt9::markup
