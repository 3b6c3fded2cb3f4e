// Pixel geometry shared by the check box and the panel: client coordinates, y downwards,
// right and bottom exclusive as in Win32 RECTs.
#pragma once

namespace vt9 {

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  PixelRect Inflated(int by) const { return {left - by, top - by, right + by, bottom + by}; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

enum class VertLayout { Top, Center, Bottom };

// A length given at 96 pixels per inch, at the device's dpi (rounded as MulDiv does).
int ScaleFrom96(int px96, int dpi);

}  // namespace vt9
