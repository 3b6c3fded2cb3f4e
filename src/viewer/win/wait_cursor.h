// The hourglass over a window and all its child windows for as long as the object lives.
// SetCursor alone lasts only until the pointer moves: the next WM_SETCURSOR brings each
// window's own cursor back. While this object lives, every one of those windows answers
// WM_SETCURSOR with the hourglass instead.
#pragma once

#include <windows.h>

#include <vector>

namespace vt9::win {

class WaitCursor {
 public:
  explicit WaitCursor(HWND window);
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  std::vector<HWND> windows_;
  HCURSOR previous_ = nullptr;
};

}  // namespace vt9::win
