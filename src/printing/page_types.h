// Enumerations and small value types shared by the page layout and the Windows page printer.
#pragma once

#include <initializer_list>
#include <string>

#include "platform/canvas.h"

namespace vt9 {

enum TMeasureUnit { muInches, muMillimeters };
enum TLineSpacing { lsHalfSpace, lsSingleSpace, lsSingleAndAHalf, lsDoubleSpace };
enum TPageBorder { pbTop, pbBottom, pbLeft, pbRight };
enum TZoomLocation { zlTopLeft, zlTopCenter, zlCenter };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TPrinterOrientation { poPortrait, poLandscape };

// A set of TPageBorder values.
class TPageBorders {
 public:
  constexpr TPageBorders() = default;
  constexpr TPageBorders(std::initializer_list<TPageBorder> borders) {
    for (TPageBorder b : borders) bits_ |= 1u << b;
  }
  constexpr bool Contains(TPageBorder b) const { return (bits_ >> b) & 1u; }
  constexpr bool Empty() const { return bits_ == 0; }
  friend constexpr bool operator==(TPageBorders, TPageBorders) = default;

 private:
  unsigned bits_ = 0;
};

// A font as the page printer holds it: by size in points, so it can be realised at the
// printer's resolution (height in printer pixels) and at the screen's.
struct TPrintFont {
  std::string name = "Courier New";
  int size = 10;       // points
  unsigned style = 0;  // FontStyle bits
  Color color = kColorBlack;
  friend bool operator==(const TPrintFont&, const TPrintFont&) = default;
};

// The font description for a canvas of `pixelsPerInch`: the character height in pixels.
inline FontSpec ToFontSpec(const TPrintFont& f, int pixelsPerInch) {
  FontSpec s;
  s.name = f.name;
  s.height = FontHeightFromPoints(f.size, pixelsPerInch);
  s.style = f.style;
  s.color = f.color;
  return s;
}

}  // namespace vt9
