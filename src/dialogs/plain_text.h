// Plain (non-markup) text in a width: broken into lines at its own line breaks and, between
// words, where the next word would not fit, as DrawText with DT_WORDBREAK does. A word wider than
// a whole line is cut into
// pieces that fit. Tabs are expanded and "&" is shown as is.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace vt9 {

// Which bytes of the text's (ANSI) code page lead a double-byte character; a line is never cut
// between such a byte and its trail byte. None on a single-byte code page.
using LeadBytes = std::array<bool, 256>;

// The lines of `text` in the canvas's current font; an empty text has no lines.
std::vector<std::string> WrapPlainText(Canvas& canvas, std::string_view text, int width,
                                       const LeadBytes* lead = nullptr);
// Width of the widest line and the height of all lines; 0 x 0 for an empty text.
Size MeasurePlainText(Canvas& canvas, std::string_view text, int width,
                      const LeadBytes* lead = nullptr);
// The lines of `text` split only at its own line breaks (CR LF, LF or CR).
std::vector<std::string> SplitLines(std::string_view text);
// Height of one line of text in the canvas's current font.
int PlainLineHeight(Canvas& canvas);

}  // namespace vt9
