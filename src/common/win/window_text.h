// A window's text as the ANSI functions hand it out: a caption, an edit box's contents.
#pragma once

#include <windows.h>

#include <string>

namespace vt9::win {

// Empty for a window without text or one that is gone.
std::string WindowText(HWND hwnd);

}  // namespace vt9::win
