#include "viewer/win/menu_images.h"

#include <cmath>
#include <cstdint>
#include <functional>

namespace vt9::win {
namespace {

constexpr std::uint32_t kInk = 0xFF336699;    // opaque, the viewer's strip blue
constexpr std::uint32_t kPaper = 0xFFFFFFFF;  // opaque white
constexpr std::uint32_t kGlass = 0xFFD9E8F5;  // opaque pale blue

// A top-down 32-bit bitmap whose pixels (premultiplied BGRA) come from `pixel(x, y)`.
HBITMAP Paint(int size, const std::function<std::uint32_t(int, int)>& pixel) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return bitmap;
  auto* out = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) out[y * size + x] = pixel(x, y);
  return bitmap;
}

// A sheet from (l, t) to (r, b): ink outline, paper inside, a few ink text lines.
std::uint32_t Sheet(int x, int y, int l, int t, int r, int b) {
  if (x < l || x > r || y < t || y > b) return 0;
  if (x == l || x == r || y == t || y == b) return kInk;
  if (y > t + 1 && y < b - 1 && (y - t) % 3 == 0 && x > l + 1 && x < r - 1) return kInk;
  return kPaper;
}

}  // namespace

void MenuImages::Create(int sizePx) {
  const int n = sizePx > 8 ? sizePx : 16;
  const int u = n / 16 > 0 ? n / 16 : 1;  // one unit of the 16-pixel design
  copy_.Reset(Paint(n, [n, u](int x, int y) {
    const std::uint32_t front = Sheet(x, y, 6 * u, 5 * u, n - 2 * u, n - u);
    return front ? front : Sheet(x, y, 1 * u, 1 * u, 10 * u, 11 * u);
  }));
  find_.Reset(Paint(n, [n, u](int x, int y) -> std::uint32_t {
    const double cx = 6.5 * u, cy = 6.5 * u, r = 4.5 * u;
    const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
    if (d <= r - 1.2 * u) return kGlass;
    if (d <= r + 0.3 * u) return kInk;
    // The handle: a thick diagonal from the rim to the corner.
    const int along = x + y, across = x - y;
    if (along >= 20 * u && along <= 2 * n - 3 * u && across >= -u && across <= u) return kInk;
    return 0;
  }));
}

}  // namespace vt9::win
