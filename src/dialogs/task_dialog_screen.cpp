#include "dialogs/task_dialog_screen.h"

#include <algorithm>

namespace vt9 {

void FitTaskDialogToMonitor(TaskDialogEnvironment& env, const Rect& monitor, const Rect& work,
                            const Size& frame) {
  env.screenWidth = monitor.Width();
  env.maxClientWidth = std::max(1, work.Width() - frame.cx);
  env.maxClientHeight = std::max(1, work.Height() - frame.cy);
}

Rect KeepOnWorkArea(const Rect& window, const Rect& work) {
  const int w = window.Width();
  const int h = window.Height();
  const int x = std::max(work.left, std::min(window.left, work.right - w));
  const int y = std::max(work.top, std::min(window.top, work.bottom - h));
  return {x, y, x + w, y + h};
}

Rect PlaceTaskDialog(const Size& window, const Rect& over, const Rect& work) {
  const int x = over.left + (over.Width() - window.cx) / 2;
  const int y = over.top + (over.Height() - window.cy) / 2;
  return KeepOnWorkArea({x, y, x + window.cx, y + window.cy}, work);
}

int WheelSteps::Add(int delta) {
  // A turn the other way drops what was left of the earlier direction.
  if ((delta > 0 && rest_ < 0) || (delta < 0 && rest_ > 0)) rest_ = 0;
  rest_ += delta;
  const int notches = rest_ / 120;
  rest_ -= notches * 120;
  return notches;
}

}  // namespace vt9
