// The markup renderer: lays a markup text out line by line in a rectangle of a canvas and draws
// it, only measures it, or only finds out whether a point lies on a link.
//
// The markup is a small HTML-like language: B, I, U, S, FONT face/size/color/bgcolor, P
// align/indent/bgcolor, BR, HR, UL/LI lists, A links, IMG images, BODY backgrounds, SUB/SUP,
// SHADOW, E (error marking), HI (highlight), BL (blink), Z (hidden), IN/OF (indent-to, offset),
// R (rotation) and the entities &amp; &quot; &lt; &gt; &nbsp; &sect; &permil; &reg; &copy; &para;
// &trade; &euro;. It is never rejected: unknown tags are consumed and ignored.
//
// Coordinates are the canvas's pixels. The canvas font at the call is the starting font, its
// brush colour the background used by blinking text; both are restored on return (the pen may
// be left changed).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace vt9 {

class MarkupPictureCache;
class PictureContainer;

struct MarkupParams {
  Rect bounds;                        // text rectangle
  const ImageList* images = nullptr;  // source of "IDX:n" images
  int mouseX = 0;                     // point to hit-test; 0, 0 when not hit-testing
  int mouseY = 0;
  int focusLink = -1;        // link whose focus rectangle is drawn, numbered from 0; -1 none
  int hoverLink = -1;        // link shown hovered, numbered from 1; -1 none
  int shadowOffset = 1;      // pixels right and down of a shadow copy
  bool hitTestOnly = false;  // the second pass measures instead of drawing: nothing is painted
  bool measureOnly = false;  // the second pass is skipped entirely (sizing)
  bool printMode = false;    // image-list images and system icons are scaled by scaleFactor
  bool selected = false;     // colours of the markup are ignored
  bool blinkOn = true;       // blink phase: on shows blinking text, off hides it
  bool hover = false;        // on: only link hoverLink is underlined/hover-coloured; off: all
  bool wordWrap = true;      // off: lines break only at tags; overflowing text gets "..."
  double scaleFactor = 1.0;
  Color urlColor = 0xFF0000;                           // text colour of links (blue)
  Color hoverColor = kColorNone;                       // background of a hovered link
  Color hoverFontColor = kColorNone;                   // text colour of a hovered link
  Color shadowColor = 0x808080;                        // colour of shadow copies
  MarkupPictureCache* pictureCache = nullptr;          // pictures named by address
  const PictureContainer* pictureContainer = nullptr;  // pictures named by name
  int lineSpacing = 0;                                 // extra pixels added to every line's height
};

// One laid-out line, for inspection by tools and tests.
struct MarkupLine {
  int top = 0;     // top of the line
  int height = 0;  // line height including sub/superscript room and line spacing
  int width = 0;   // line width without a trailing blank
  int left = 0;    // left edge after alignment and indent
};

struct MarkupResult {
  bool overLink = false;          // the point lies on the text or an image of a link
  std::string anchorUnderMouse;   // target of the link under the point (use when overLink)
  int measuredWidth = 0;          // widest line + 2
  int measuredHeight = 0;         // total height of the lines + 2
  int mouseLink = -1;             // number (from 1) of the link under the point; -1 none
  std::vector<MarkupLine> lines;  // every line laid out, in order
  // One text for every picture that failed to load during this call ("Could not load image.
  // Invalid format"); those images are left out. A failed picture stays in the picture cache
  // as failed, so a later call neither loads nor reports it again.
  std::vector<std::string> imageErrors;
};

// Lays out, and unless hitTestOnly/measureOnly draws, `text` on `canvas`. A picture that fails
// to decode never escapes as an exception (a paint must not end the program): the image is left
// out and its error text reported in MarkupResult::imageErrors.
MarkupResult RenderMarkup(Canvas& canvas, std::string_view text, const MarkupParams& params);

}  // namespace vt9
