// The two images of the viewer's context menu (ImageList1): 0 "Copy", two sheets of paper;
// 1 "Find", a magnifying glass. Drawn at the small-icon size as 32-bit bitmaps with alpha, so
// the menu's own background shows round them in every theme.
#pragma once

#include <windows.h>

#include "common/win/handles.h"

namespace vt9::win {

class MenuImages {
 public:
  void Create(int sizePx);
  // The image, owned by this object; nullptr when it could not be made.
  HBITMAP Image(int index) const {
    return static_cast<HBITMAP>(index == 0 ? copy_.get() : index == 1 ? find_.get() : nullptr);
  }

 private:
  GdiObject copy_;
  GdiObject find_;
};

}  // namespace vt9::win
