// How the markup panel reacts to the links of its text under the mouse: hover repaints,
// the hand cursor, the enter/exit/click events and which targets the shell opens.
#pragma once

#include <string>
#include <vector>

#include "widgets/widget_geometry.h"

namespace vt9 {

// The link query's answer at a point.
struct PanelLinkHit {
  bool found = false;
  std::string target;
  Rect rect;        // where the link lies (used for hover repaints)
  int number = -1;  // numbered from 1 in text order
};

struct PanelLinkEffects {
  std::vector<Rect> repaint;  // only filled with Hover on
  bool showHand = false;
  bool restoreCursor = false;
  std::string entered;  // OnAnchorEnter with this target
  bool exited = false;  // OnAnchorExit
  std::string exitedTarget;
  std::string openTarget;     // open with the shell's "open" operation
  std::string anchorClicked;  // OnAnchorClick
};

class PanelLinkTracker {
 public:
  // The link number to draw in hover style, -1 for none.
  int HoverLink() const { return number_; }
  bool HandCursor() const { return hand_; }

  PanelLinkEffects Move(const PanelLinkHit& hit, bool hover);
  PanelLinkEffects Leave(bool hover);
  static PanelLinkEffects Press(const PanelLinkHit& hit);
  // The text changed: the stored link may no longer exist.
  void Reset();

 private:
  bool hand_ = false;
  bool stored_ = false;
  std::string lastEntered_;
  Rect rect_;
  int number_ = -1;
};

}  // namespace vt9
