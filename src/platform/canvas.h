// The drawing surface the markup renderer, the emulated task dialog and the page printer are
// written against. The Windows implementation draws with GDI into a device context
// (markup/win/gdi_canvas.h); the native unit tests use a deterministic fake
// (tests/support/fake_canvas.h) whose glyphs all have fixed widths.
//
// Coordinates are device pixels with the origin at the top-left of the surface, x to the right
// and y downwards; a Rect includes its left/top edge and excludes its right/bottom edge, as a
// Win32 RECT does. Text is 8-bit ANSI (Windows-1252).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/rect.h"

namespace vt9 {

// 0x00BBGGRR for a plain colour; 0x800000nn for the Windows system colour with index nn
// (resolved only when painting, through Canvas::ResolveColor); kColorNone for "no colour",
// which as a brush colour means a transparent brush.
using Color = std::uint32_t;
inline constexpr Color kColorNone = 0x1FFFFFFF;
inline constexpr Color kColorBlack = 0x000000;
inline constexpr Color kColorWhite = 0xFFFFFF;
inline constexpr Color SystemColor(int index) { return 0x80000000u + static_cast<Color>(index); }
inline constexpr bool IsSystemColor(Color c) { return (c & 0xFF000000u) == 0x80000000u; }

struct Size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

enum FontStyle : unsigned {
  kFontBold = 1,
  kFontItalic = 2,
  kFontUnderline = 4,
  kFontStrikeOut = 8,
};

// A font by description; the canvas turns it into a real font and caches it, so the core never
// holds a platform handle. `height` follows the Win32 LOGFONT rule: negative is the character
// (em) height in pixels, positive the cell height. Sizes in points convert through the surface's
// pixels per inch with the helpers below.
struct FontSpec {
  std::string name = "Tahoma";
  int height = -11;
  Color color = kColorBlack;
  unsigned style = 0;  // FontStyle bits
  int escapement = 0;  // rotation in tenths of a degree, counter-clockwise
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// Win32 MulDiv: a * b / c rounded half away from zero, computed in 64 bits; 0 when c is 0
// (Win32 returns -1) and clamped to the int range.
inline int MulDivRound(int a, int b, int c) {
  if (c == 0) return 0;
  long long n = static_cast<long long>(a) * b;
  long long d = c;
  if (d < 0) {
    n = -n;
    d = -d;
  }
  long long q = n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d);
  if (q > 2147483647LL) return 2147483647;
  if (q < -2147483647LL) return -2147483647;
  return static_cast<int>(q);
}
// The font height (negative: character height) for a size in points, and back, as a form's
// font converts them.
inline int FontHeightFromPoints(int points, int pixelsPerInch) {
  return -MulDivRound(points, pixelsPerInch, 72);
}
inline int FontPointsFromHeight(int height, int pixelsPerInch) {
  return -MulDivRound(height, 72, pixelsPerInch);
}

// Options of single-line text output and measuring.
struct TextFlags {
  // "&x" marks x as a mnemonic (drawn underlined) and "&&" draws one "&"; off draws "&" as is.
  bool prefix = true;
  // Text that overflows the rectangle is cut and ends with "..." (drawing only).
  bool endEllipsis = false;
};

// A decoded picture (bitmap, JPEG, GIF frame, icon, metafile), drawn by the canvas that made
// the decoder. Sizes are HIMETRIC (hundredths of a millimetre), as OLE pictures report them.
class Picture {
 public:
  virtual ~Picture() = default;
  virtual int WidthHimetric() const = 0;
  virtual int HeightHimetric() const = 0;
};

// Decoding failed; what() is the text shown to the user ("Could not load image. Invalid format").
class PictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where picture bytes come from and how they are decoded.
class PictureLoader {
 public:
  virtual ~PictureLoader() = default;
  // Decodes encoded bytes; throws PictureError with the failure's text.
  virtual std::unique_ptr<Picture> Decode(std::string_view bytes) = 0;
  // The program's RCDATA resource of that name, or nullopt when there is none.
  virtual std::optional<std::string> ReadResource(const std::string& name) = 0;
  // The whole file, or nullopt when it cannot be read.
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
};

// A list of equally sized images (a Win32 image list behind the GDI canvas).
class ImageList {
 public:
  virtual ~ImageList() = default;
  virtual int Count() const = 0;
  virtual int ImageWidth() const = 0;  // pixels at 96 dpi
  virtual int ImageHeight() const = 0;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual int PixelsPerInch() const = 0;
  // A plain 0x00BBGGRR colour; system colours are looked up, kColorNone stays kColorNone.
  virtual Color ResolveColor(Color c) const = 0;

  // The current font, used by every text operation and for the text colour.
  virtual const FontSpec& Font() const = 0;
  virtual void SetFont(const FontSpec& font) = 0;

  // Brush: fills rectangles and, when not kColorNone, the background behind drawn text.
  virtual Color BrushColor() const = 0;
  virtual void SetBrushColor(Color c) = 0;
  // Pen: outlines of Rectangle, and lines.
  virtual Color PenColor() const = 0;
  virtual int PenWidth() const = 0;
  virtual void SetPen(Color c, int width) = 0;

  // Size of the text as one line, no prefix processing, no tabs expanded, no external leading
  // (GetTextExtentPoint32).
  virtual Size TextExtent(std::string_view text) = 0;
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }
  // How many leading characters of `text` fit in `maxWidth` as TextExtent measures them, with
  // their width in `width` (GetTextExtentExPoint). This default bisects with TextExtent; a
  // canvas that can fit in one pass over the text does so.
  virtual std::size_t FitText(std::string_view text, int maxWidth, int& width) {
    std::size_t fits = 0, tooLong = text.size() + 1;
    width = 0;
    while (tooLong - fits > 1) {
      const std::size_t mid = fits + (tooLong - fits) / 2;
      const int w = TextExtent(text.substr(0, mid)).cx;
      if (w <= maxWidth) {
        fits = mid;
        width = w;
      } else {
        tooLong = mid;
      }
    }
    return fits;
  }
  // Size of the text as DrawText would place it on one line: tabs expanded, prefixes per
  // flags, the font's external leading included in the height.
  virtual Size MeasureText(std::string_view text, const TextFlags& flags) = 0;
  // Draws one line of text with its bottom on r.bottom, starting at r.left, clipped to r (cut
  // with "..." when flags.endEllipsis), tabs expanded, in the font colour; opaque on the brush
  // colour when the brush is not kColorNone, otherwise transparent.
  virtual void DrawText(std::string_view text, const Rect& r, const TextFlags& flags) = 0;

  // Fills r with the brush (nothing for a transparent brush).
  virtual void FillRect(const Rect& r) = 0;
  // Outline in the pen, filled with the brush unless it is transparent (Win32 Rectangle).
  virtual void Rectangle(const Rect& r) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // Line in the pen from the current position up to, not including, (x, y).
  virtual void LineTo(int x, int y) = 0;
  // The dotted keyboard focus rectangle (XOR, Win32 DrawFocusRect).
  virtual void DrawFocusRect(const Rect& r) = 0;

  // Restricts drawing to the intersection of the current clip and r, until the matching PopClip.
  virtual void PushClip(const Rect& r) = 0;
  virtual void PopClip() = 0;

  // A picture from a decoder of this platform, rendered into dest (stretched to its size).
  virtual void DrawPicture(const Picture& picture, const Rect& dest) = 0;
  // Image `index` of the list into dest: at its natural size and enabled when dest has the
  // list's image size, otherwise stretched.
  virtual void DrawListImage(const ImageList& list, int index, const Rect& dest) = 0;
  // Icon size of the system image list (small or large), in pixels at 96 dpi.
  virtual Size SystemIconSize(bool large) = 0;
  // A system icon into dest, drawn transparently. `source` is an index into the system image
  // list when it is a number, otherwise a path: the icon of that file or folder when it exists,
  // else the icon the system associates with its extension.
  virtual void DrawSystemIcon(const std::string& source, bool large, const Rect& dest) = 0;
};

// Saves the canvas font and restores it when the scope ends.
class FontRestorer {
 public:
  explicit FontRestorer(Canvas& c) : canvas_(c), saved_(c.Font()) {}
  ~FontRestorer() { canvas_.SetFont(saved_); }
  FontRestorer(const FontRestorer&) = delete;
  FontRestorer& operator=(const FontRestorer&) = delete;

 private:
  Canvas& canvas_;
  FontSpec saved_;
};

}  // namespace vt9
