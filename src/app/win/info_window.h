// The information window (TfVT9Info): a fixed-size window whose markup panel explains a DEP
// setting conflict and links to the knowledge-base article; "&Close" or Esc ends it.
#pragma once

#include <windows.h>

namespace vt9::win {

inline constexpr char kInfoWindowClass[] = "TfVT9Info";
inline constexpr char kInfoWindowCaption[] = "Vantory 9 Information";
inline constexpr int kInfoPanelId = 100;  // pnlMsg

// Creates the window (hidden) with the creation text; nullptr on failure.
HWND CreateInformationWindow();

// With true: the DEP text on the pale yellow panel. False leaves text and colour as they are.
void SetDEPMode(HWND window, bool depMode);

// Creates TfVT9Info, switches it to the DEP text, shows it centred on the screen and runs the
// message loop until it closes. Returns 0.
int RunInformationWindow();

}  // namespace vt9::win
