// Pixel geometry shared by the check box and the panel: client coordinates at the device's dpi
// (rectangles are platform/rect.h's).
#pragma once

#include "platform/rect.h"

namespace vt9 {

enum class VertLayout { Top, Center, Bottom };

// A length given at 96 pixels per inch, at the device's dpi (rounded as MulDiv does).
int ScaleFrom96(int px96, int dpi);

}  // namespace vt9
