// Opens a topic of the compiled help file by its context number through HTML Help
// ("hhctrl.ocx", looked up at run time). A missing help file or viewer is told to the user
// in a message box; nothing else happens.
#pragma once

#include <windows.h>

#include <string>

namespace vt9::win {

void ShowHelpTopic(HWND owner, const std::string& helpFile, unsigned context);

}  // namespace vt9::win
