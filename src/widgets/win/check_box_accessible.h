// What assistive tools see of the markup check box: a check button named by its plain
// caption, with its checked state, whose default action toggles it.
#pragma once

#include <windows.h>

namespace vt9::win {

// BM_GETSTATE's hot flag (BST_HOT), missing from older headers.
inline constexpr LRESULT kButtonStateHot = 0x0200;

// The answer to WM_GETOBJECT for OBJID_CLIENT (0 when accessibility support is missing, so
// the caller falls back to the default answer).
LRESULT AnswerCheckBoxAccessibility(HWND box, WPARAM wp);

}  // namespace vt9::win
