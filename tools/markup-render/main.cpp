// markup-render: renders a markup text with the GDI canvas into an image file, to look at what
// the renderer draws with real fonts.
//
//   markup-render.exe INPUT OUTPUT.(png|bmp) WIDTH HEIGHT [--font NAME,HEIGHT] [--bg #RRGGBB]
//                     [--nowrap] [--hover N] [--focus N] [--margin N]
//
// INPUT is read byte for byte; HEIGHT of the font follows the LOGFONT rule (-11 = 11 px
// characters). The default is Tahoma -11 on white with word wrap.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "image_file.h"
#include "markup/render.h"
#include "markup/win/gdi_canvas.h"

namespace {

int Usage() {
  std::fputs(
      "usage: markup-render INPUT OUTPUT.(png|bmp) WIDTH HEIGHT [--font NAME,HEIGHT]\n"
      "                     [--bg #RRGGBB] [--nowrap] [--hover N] [--focus N] [--margin N]\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return Usage();
  const std::string input = argv[1];
  const std::string output = argv[2];
  const int width = std::atoi(argv[3]);
  const int height = std::atoi(argv[4]);
  if (width <= 0 || height <= 0 || width > 10000 || height > 10000) return Usage();

  vt9::FontSpec font;
  COLORREF background = RGB(255, 255, 255);
  vt9::MarkupParams params;
  int margin = 0;
  for (int i = 5; i < argc; ++i) {
    std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--nowrap") {
      params.wordWrap = false;
    } else if (a == "--font" && v) {
      std::string s = v;
      std::size_t comma = s.rfind(',');
      if (comma == std::string::npos) return Usage();
      font.name = s.substr(0, comma);
      font.height = std::atoi(s.c_str() + comma + 1);
      ++i;
    } else if (a == "--bg" && v && v[0] == '#' && std::strlen(v) == 7) {
      unsigned long rgb = std::strtoul(v + 1, nullptr, 16);
      background = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
      ++i;
    } else if (a == "--hover" && v) {
      params.hover = true;
      params.hoverLink = std::atoi(v);
      ++i;
    } else if (a == "--focus" && v) {
      params.focusLink = std::atoi(v);
      ++i;
    } else if (a == "--margin" && v) {
      margin = std::atoi(v);
      ++i;
    } else {
      return Usage();
    }
  }

  std::ifstream in(input, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "markup-render: cannot read %s\n", input.c_str());
    return 1;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dc || !bitmap) {
    std::fputs("markup-render: cannot create the drawing surface\n", stderr);
    return 1;
  }
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, width, height};
  HBRUSH bg = CreateSolidBrush(background);
  FillRect(dc, &all, bg);
  DeleteObject(bg);

  vt9::MarkupResult result;
  {
    vt9::win::GdiCanvas canvas(dc);
    canvas.SetFont(font);
    params.bounds = {margin, margin, width - margin, height - margin};
    result = vt9::RenderMarkup(canvas, text, params);
  }
  GdiFlush();

  vt9::tools::RgbImage img;
  img.width = width;
  img.height = height;
  img.rgb.resize(static_cast<std::size_t>(width) * height * 3);
  const auto* px = static_cast<const std::uint8_t*>(bits);
  for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
    img.rgb[i * 3] = px[i * 4 + 2];
    img.rgb[i * 3 + 1] = px[i * 4 + 1];
    img.rgb[i * 3 + 2] = px[i * 4];
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);

  if (!vt9::tools::SaveImage(output, img)) {
    std::fprintf(stderr, "markup-render: cannot write %s\n", output.c_str());
    return 1;
  }
  std::printf("MeasuredWidth=%d\nMeasuredHeight=%d\n", result.measuredWidth, result.measuredHeight);
  for (const std::string& error : result.imageErrors) std::printf("ImageError=%s\n", error.c_str());
  return 0;
}
