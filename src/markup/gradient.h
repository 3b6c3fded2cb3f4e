// A colour ramp in bands, used by paragraph and page backgrounds of the markup.
#pragma once

#include "platform/canvas.h"

namespace vt9::markup {

// Fills r with `bands` bands (0 counts as 1) from `start` to `end` (system colours resolved),
// left to right when horizontal, top to bottom otherwise; the pen and brush are left in the
// last band's colour. A border colour other than kColorNone outlines r afterwards.
void DrawGradient(Canvas& canvas, Color start, Color end, int bands, bool horizontal, const Rect& r,
                  Color border);

}  // namespace vt9::markup
