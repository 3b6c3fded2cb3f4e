// What the markup check box and the markup panel share about the markup they show: its
// pictures (image list, picture container and the control's own picture cache, with pictures
// that fail to load reported once each through the standard error report), the hit test of a
// link at a point, and the link reactions (leave tracking, hand cursor, enter/exit/click
// events, opening targets through the shell).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "markup/picture.h"
#include "markup/render.h"
#include "markup/win/gdi_canvas.h"

namespace vt9::win {

struct MarkupLinkEvents {
  std::function<void(const std::string& anchor)> onAnchorClick;
  std::function<void(const std::string& anchor)> onAnchorEnter;
  std::function<void(const std::string& anchor)> onAnchorExit;
};

// The control posts this to itself to report pictures that failed while painting or hit
// testing: a message box must not open in the middle of a paint.
inline constexpr UINT kReportPictureErrorsMessage = WM_USER + 0x0100;

class MarkupPictures {
 public:
  MarkupPictures() : cache_(&loader_) {}
  MarkupPictures(const MarkupPictures&) = delete;
  MarkupPictures& operator=(const MarkupPictures&) = delete;

  const ImageList* images = nullptr;            // "IDX:n" images; not owned
  const PictureContainer* container = nullptr;  // pictures by name; not owned

  // Points the parameters at the control's image sources and cache.
  void Fill(MarkupParams& params);
  // Keeps the picture errors of one renderer call and asks `owner` to report them later.
  void Collect(HWND owner, const MarkupResult& result);
  // Shows every kept error once (on kReportPictureErrorsMessage).
  void ReportPending();

 private:
  OlePictureLoader loader_;
  MarkupPictureCache cache_;
  std::vector<std::string> pending_;
  bool posted_ = false;
};

// Runs `use` with a canvas on the window's screen DC (for measuring and hit testing).
void WithWindowCanvas(HWND hwnd, const std::function<void(Canvas&)>& use);

// The link reactions of a control with a markup text.
class MarkupLinkReactions {
 public:
  // On WM_MOUSEMOVE: asks for WM_MOUSELEAVE; true when the mouse has just come in.
  bool TrackLeave(HWND hwnd);
  // On WM_MOUSELEAVE.
  void LeaveSeen() { tracking_ = false; }
  // On WM_SETCURSOR: the hand over a link of this control's client area; true when set.
  static bool SetHandCursor(HWND hwnd, WPARAM wp, LPARAM lp, bool overLink);

  // The mouse came onto a link: hand cursor and OnAnchorEnter.
  static void Entered(const MarkupLinkEvents& events, const std::string& target);
  // The mouse left the links: arrow cursor and OnAnchorExit.
  static void Exited(const MarkupLinkEvents& events, const std::string& target);
  // A click on a link: the shell opens `openTarget`, OnAnchorClick gets `clickedTarget`.
  static void Clicked(HWND hwnd, const MarkupLinkEvents& events, const std::string& openTarget,
                      const std::string& clickedTarget);

 private:
  bool tracking_ = false;
};

}  // namespace vt9::win
