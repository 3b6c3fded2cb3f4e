#include "widgets/widget_geometry.h"

namespace vt9 {

int ScaleFrom96(int px96, int dpi) {
  if (dpi <= 0 || dpi == 96) return px96;
  const long long scaled = static_cast<long long>(px96) * dpi;
  // Round half away from zero, as MulDiv does.
  return static_cast<int>(scaled >= 0 ? (scaled + 48) / 96 : (scaled - 48) / 96);
}

}  // namespace vt9
