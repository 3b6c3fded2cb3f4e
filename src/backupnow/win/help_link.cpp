#include "backupnow/win/help_link.h"

namespace vt9::win {
namespace {

constexpr UINT kHelpContextCommand = 0x000F;  // HH_HELP_CONTEXT
using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// The viewer stays loaded for the rest of the process: its help window may outlive the call.
HtmlHelpFn HtmlHelpEntry() {
  static const HtmlHelpFn entry = []() -> HtmlHelpFn {
    HMODULE library = LoadLibraryA("hhctrl.ocx");
    if (!library) return nullptr;
    return reinterpret_cast<HtmlHelpFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpA")));
  }();
  return entry;
}

}  // namespace

void ShowHelpTopic(HWND owner, const std::string& helpFile, unsigned context) {
  const DWORD attributes = GetFileAttributesA(helpFile.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    MessageBoxA(owner, ("The help file \"" + helpFile + "\" was not found.").c_str(), "Help",
                MB_OK | MB_ICONINFORMATION);
    return;
  }
  HtmlHelpFn htmlHelp = HtmlHelpEntry();
  if (!htmlHelp) {
    MessageBoxA(owner, "Help cannot be shown: the HTML Help viewer is not installed.", "Help",
                MB_OK | MB_ICONINFORMATION);
    return;
  }
  htmlHelp(owner, helpFile.c_str(), kHelpContextCommand, context);
}

}  // namespace vt9::win
