// Geometry and colours of the markup panel's painting: the text area, the clip, the border
// shadow and the 64-band background gradient. Client coordinates in device pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "widgets/widget_geometry.h"

namespace vt9 {

using Rgb = std::uint32_t;  // 0x00BBGGRR

struct PanelFrame {
  int borderWidth = 0;
  bool borderShadow = false;
  int indent = 0;
  int topIndent = 0;
};

// The rectangle the text is laid out in: the client area inset by the border width on every
// side, then its left edge moved by Indent and its top by TopIndent. Painting and the link
// query both use it, so a link is hit where it is drawn.
Rect PanelTextArea(int clientW, int clientH, const PanelFrame& frame);

// The clip of the text drawing: the client area, less 2 pixels at the right and 3 at the
// bottom when the border has a shadow.
Rect PanelTextClip(int clientW, int clientH, const PanelFrame& frame);

// Top of a text block of blockHeight placed in area by the vertical alignment; a block
// taller than the area starts at its top.
int AlignedTextTop(const Rect& area, int blockHeight, VertLayout align);

// c1 weighted by percent, the rest c2.
Rgb MixColors(Rgb c1, Rgb c2, int percent);

struct GradientBand {
  Rect rect;
  Rgb color = 0;
};

// The background ramp from `from` to `to` in 64 bands; horizontal runs left to right.
// Bands that would be empty in a small area are left out; the bands cover the area exactly.
std::vector<GradientBand> GradientBands(const Rect& area, Rgb from, Rgb to, bool horizontal);

}  // namespace vt9
