#include "markup/gradient.h"

#include <cmath>
#include <cstdint>

namespace vt9::markup {
namespace {

// Banker's rounding, as the product's arithmetic rounds halves.
long long RoundHalfEven(double v) { return static_cast<long long>(std::nearbyint(v)); }

}  // namespace

void DrawGradient(Canvas& canvas, Color start, Color end, int bands, bool horizontal, const Rect& r,
                  Color border) {
  if (bands <= 0) bands = 1;
  Color from = canvas.ResolveColor(start);
  Color to = canvas.ResolveColor(end);
  if (from == kColorNone) from = 0;
  if (to == kColorNone) to = 0;
  const int fr = from & 0xFF, fg = (from >> 8) & 0xFF, fb = (from >> 16) & 0xFF;
  const int tr = to & 0xFF, tg = (to >> 8) & 0xFF, tb = (to >> 16) & 0xFF;
  const double extent = horizontal ? r.Width() : r.Height();
  const double step = extent / bands;
  const int far = horizontal ? r.right : r.bottom;
  for (int i = 0; i < bands; ++i) {
    auto channel = [&](int a, int b) {
      return static_cast<Color>(a + RoundHalfEven(static_cast<double>(i) * (b - a) / bands)) & 0xFF;
    };
    Color c = channel(fr, tr) | (channel(fg, tg) << 8) | (channel(fb, tb) << 16);
    canvas.SetPen(c, canvas.PenWidth());
    canvas.SetBrushColor(c);
    // The band offset is kept to 16 bits, as the drawing coordinates of the original were.
    int offset = static_cast<std::int16_t>(RoundHalfEven(i * step));
    int startPos = (horizontal ? r.left : r.top) + offset;
    int endPos = startPos + static_cast<int>(step) + 1;
    if (endPos > far) endPos = far;
    Rect band = horizontal ? Rect{startPos, r.top, endPos, r.bottom}
                           : Rect{r.left, startPos, r.right, endPos};
    canvas.FillRect(band);
  }
  if (border != kColorNone) {
    canvas.SetPen(border, canvas.PenWidth());
    canvas.SetBrushColor(kColorNone);
    canvas.Rectangle(r);
  }
}

}  // namespace vt9::markup
