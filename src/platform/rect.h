// A rectangle in device pixels, shared by every layout of the core (markup, check box, panel,
// task dialog, page printer): x to the right and y downwards, the left/top edge included and the
// right/bottom edge excluded, as a Win32 RECT.
#pragma once

namespace vt9 {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  Rect Inflated(int by) const { return {left - by, top - by, right + by, bottom + by}; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace vt9
