// A plain container panel for the Backup Now window: a filled area, optionally framed by a
// one-pixel line, that carries child controls. It hands its children's notifications
// (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM) to its own parent, so the
// form sees every control's events however deep it sits, and it lets dialog navigation reach
// its children (WS_EX_CONTROLPARENT).
#pragma once

#include <windows.h>

namespace vt9::win {

inline constexpr char kPlainPanelClass[] = "TVT9Panel";
inline constexpr COLORREF kNoBorder = CLR_INVALID;

// rect in the parent's client pixels. The panel is visible.
HWND CreatePlainPanel(HWND parent, int id, const RECT& rect, COLORREF background,
                      COLORREF border = kNoBorder);

}  // namespace vt9::win
