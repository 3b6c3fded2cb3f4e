#include "widgets/panel_layout.h"

namespace vt9 {

Rect PanelTextArea(int w, int h, const PanelFrame& f) {
  Rect r{f.borderWidth, f.borderWidth, w - f.borderWidth, h - f.borderWidth};
  r.left += f.indent;
  r.top += f.topIndent;
  return r;
}

Rect PanelTextClip(int w, int h, const PanelFrame& f) {
  Rect r{0, 0, w, h};
  if (f.borderShadow) {
    r.right -= 2;
    r.bottom -= 3;
  }
  return r;
}

int AlignedTextTop(const Rect& area, int blockHeight, VertLayout align) {
  if (blockHeight >= area.Height()) return area.top;
  switch (align) {
    case VertLayout::Top:
      return area.top;
    case VertLayout::Center:
      return area.top + (area.Height() - blockHeight) / 2;
    case VertLayout::Bottom:
      return area.bottom - blockHeight;
  }
  return area.top;
}

Rgb MixColors(Rgb c1, Rgb c2, int percent) {
  Rgb out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int a = static_cast<int>((c1 >> shift) & 0xFF);
    const int b = static_cast<int>((c2 >> shift) & 0xFF);
    const int mixed = (a * percent + b * (100 - percent)) / 100;
    out |= static_cast<Rgb>(mixed) << shift;
  }
  return out;
}

std::vector<GradientBand> GradientBands(const Rect& area, Rgb from, Rgb to, bool horizontal) {
  constexpr int kBands = 64;
  std::vector<GradientBand> bands;
  const int extent = horizontal ? area.Width() : area.Height();
  if (extent <= 0 || area.Empty()) return bands;
  for (int i = 0; i < kBands; ++i) {
    const int start = extent * i / kBands;
    const int end = extent * (i + 1) / kBands;
    if (end <= start) continue;
    Rgb color = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int a = static_cast<int>((from >> shift) & 0xFF);
      const int b = static_cast<int>((to >> shift) & 0xFF);
      color |= static_cast<Rgb>(a + (b - a) * i / (kBands - 1)) << shift;
    }
    Rect r = area;
    if (horizontal) {
      r.left = area.left + start;
      r.right = area.left + end;
    } else {
      r.top = area.top + start;
      r.bottom = area.top + end;
    }
    bands.push_back({r, color});
  }
  return bands;
}

}  // namespace vt9
