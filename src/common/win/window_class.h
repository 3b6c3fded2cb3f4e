// One way to register the tool's window classes: this module's instance, the arrow cursor,
// and whatever a class sets beyond that.
#pragma once

#include <windows.h>

namespace vt9::win {

struct WindowClassOptions {
  UINT style = 0;
  HICON icon = nullptr;
  HBRUSH background = nullptr;
  int extraBytes = 0;
};

// True when the class is registered, by this call or an earlier one.
bool RegisterWindowClass(const char* name, WNDPROC proc, const WindowClassOptions& options = {});

// A main form of the tool: the application icon and a white background. Registered once; true
// when the class is there.
bool RegisterFormClass(const char* name, WNDPROC proc);

// Where a main form with a client area of `clientWidth` x `clientHeight` pixels and these
// styles goes: its outer rectangle, centred on the work area of the primary screen.
RECT CentredFormRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle);

}  // namespace vt9::win
