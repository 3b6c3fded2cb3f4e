// Where our own task dialog window goes on the screen, and how far it may grow there. The
// screen is the one its owner is on: the owner's monitor's work area (the screen without the
// task bar) bounds its size and its place, also after it grows when the details are expanded.
// Portable, so that the rules can be tried with made-up monitors.
#pragma once

#include "dialogs/task_dialog_layout.h"
#include "platform/canvas.h"

namespace vt9 {

// Fits the layout's limits to a monitor: the room for the client area is the work area less
// the window's frame (`frame`: what the frame adds to the client size); the instruction wraps
// within half of the monitor's width.
void FitTaskDialogToMonitor(TaskDialogEnvironment& env, const Rect& monitor, const Rect& work,
                            const Size& frame);

// A window moved onto the work area as little as it takes; a window larger than the work area
// keeps its top-left corner on it (there its caption and first lines are).
Rect KeepOnWorkArea(const Rect& window, const Rect& work);

// The window's first place: centred over `over` (the owner's window, or the work area when
// the owner is hidden, minimized or absent), then kept on the work area.
Rect PlaceTaskDialog(const Size& window, const Rect& over, const Rect& work);

// Mouse wheel turns add up: a wheel or touch pad that reports small steps scrolls once their
// sum reaches a notch (120), and the rest waits for the next turn.
class WheelSteps {
 public:
  // The whole notches the turns make so far (positive: away from the user), leaving the rest.
  int Add(int delta);

 private:
  int rest_ = 0;
};

}  // namespace vt9
