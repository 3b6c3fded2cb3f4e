// An in-process top-level window for the control tests: it records the WM_COMMAND
// notifications of its children and pumps messages through the dialog manager as the tool's
// windows do; plus real mouse and keyboard input and screenshots.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vt9::test {

class WidgetHost {
 public:
  // A visible 400 x 300 client area at (100, 100) on the screen, in the foreground.
  WidgetHost();
  ~WidgetHost();
  WidgetHost(const WidgetHost&) = delete;
  WidgetHost& operator=(const WidgetHost&) = delete;

  HWND hwnd() const { return hwnd_; }

  struct Command {
    int id;
    int code;
    HWND control;
  };
  // Every WM_COMMAND the host received, in order.
  std::vector<Command> commands;
  int CountCommands(int id, int code) const;

 private:
  HWND hwnd_ = nullptr;
};

// Runs the calling thread's messages (through IsDialogMessage of `dialog` when given) for
// about `ms` milliseconds.
void Pump(int ms, HWND dialog = nullptr);

// Real input through SendInput: the pointer moves to the screen point first.
void MouseMoveTo(POINT screen);
void MouseDown();
void MouseUp();
void ClickAt(POINT screen);
// Key down and up; with alt, the Alt key is held around it.
void PressKey(WORD vk, bool alt = false);
void KeyDown(WORD vk);
void KeyUp(WORD vk);

// A point of a window's client area in screen coordinates.
POINT ClientToScreenPoint(HWND window, int x, int y);

// Saves the whole virtual display as <artifact folder>\<name>.png (ImageMagick's import).
void SaveScreenshot(const std::string& name);

}  // namespace vt9::test
