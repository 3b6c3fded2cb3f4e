// Plain-text views of a markup caption: what screen readers and window-text readers see,
// and the accelerator character the caption offers.
#pragma once

#include <string>

namespace vt9 {

// Tags removed, the character entities decoded; a decoded "&" is doubled so the result
// keeps the Windows window-text convention where a single "&" marks the accelerator.
std::string MarkupToWindowText(const std::string& markup);

// The character after a single "&" outside tags and entities, lower-cased; 0 when none.
char CaptionAccelerator(const std::string& markup);

}  // namespace vt9
