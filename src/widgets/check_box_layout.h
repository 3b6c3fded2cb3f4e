// Where the markup check box draws its mark and caption, and which picture of the mark it
// shows, for each of its six styles. Lengths are given at 96 dpi and scaled by `dpi`.
#pragma once

#include <string>

#include "widgets/check_box_state.h"
#include "widgets/widget_geometry.h"

namespace vt9 {

enum class CheckAlignment { LeftJustify, RightJustify };
enum class CheckButtonType { Classic, Raised, Flat, Bitmap, WinXP, Theme };

// How the mark is actually drawn once the platform's abilities are known.
enum class MarkLook { Frame, FlatFrame, Raised, Bitmap, Themed, XpBitmap };

struct PlatformLook {
  bool xpOrLater = true;     // major version above 5, or 5 with a non-zero minor version
  bool themeActive = false;  // IsThemeActive of the theme library, false when it is missing
  int comctlMajor = 6;       // major version of the common-controls library
};

MarkLook EffectiveLook(CheckButtonType type, const PlatformLook& platform);

// Indent of the caption beside the mark: 5, or 10 for the bitmap looks; the caption starts
// indent + 12 pixels in from the mark's side.
int CaptionIndent(MarkLook look);

// The mark's rectangle in a client area of clientW x clientH. bitmapW/H: size of the bitmap
// as drawn (used by the bitmap looks only).
Rect MarkRect(MarkLook look, CheckAlignment align, VertLayout vert, int clientW, int clientH,
              int bitmapW, int bitmapH, int dpi);

// The caption's rectangle, also used for the caption's link query so that what is hit is
// exactly what was drawn.
Rect CaptionRect(MarkLook look, CheckAlignment align, int clientW, int clientH, int dpi);

// The strip repainted when only the check state changes.
Rect MarkStrip(CheckAlignment align, int clientW, int clientH, int dpi);

// Theme state of part 3 (check box) of theme class "button": 1..4 unchecked normal, hot,
// pressed, disabled; 5..8 the same checked. A grayed box draws as unchecked.
int ThemeCheckState(CheckState state, bool enabled, bool down, bool hot);

// Resource name of the bitmap for the bitmap looks ("CHKBMP01".."CHKBMP08"). A grayed box
// shows the checked picture of the disabled kind, so it reads as "neither".
std::string MarkBitmapName(MarkLook look, CheckState state, bool enabled);

}  // namespace vt9
