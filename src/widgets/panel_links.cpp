#include "widgets/panel_links.h"

#include "widgets/check_box_state.h"

namespace vt9 {

PanelLinkEffects PanelLinkTracker::Move(const PanelLinkHit& hit, bool hover) {
  PanelLinkEffects fx;
  if (hit.found) {
    const bool changed =
        !stored_ || hit.target != lastEntered_ || !(hit.rect == rect_) || hit.number != number_;
    if (changed && hover) {
      if (stored_ && number_ != -1) fx.repaint.push_back(rect_.Inflated(1));
      fx.repaint.push_back(hit.rect.Inflated(1));
    }
    // Moving straight from one link to another enters the second without leaving the
    // first: the hand stays up.
    if (!hand_ || hit.target != lastEntered_) {
      fx.showHand = true;
      fx.entered = hit.target;
      hand_ = true;
    }
    stored_ = true;
    lastEntered_ = hit.target;
    rect_ = hit.rect;
    number_ = hit.number;
    return fx;
  }
  if (hand_) {
    hand_ = false;
    fx.restoreCursor = true;
    fx.exited = true;
    fx.exitedTarget = lastEntered_;
    if (hover && number_ != -1) fx.repaint.push_back(rect_.Inflated(1));
    number_ = -1;
    stored_ = false;
  }
  return fx;
}

PanelLinkEffects PanelLinkTracker::Leave(bool hover) {
  PanelLinkEffects fx;
  if (number_ != -1 && hover) fx.repaint.push_back(rect_.Inflated(1));
  number_ = -1;
  stored_ = false;
  // Leaving the panel while on a link also leaves the link, so every enter has its exit.
  if (hand_) {
    hand_ = false;
    fx.restoreCursor = true;
    fx.exited = true;
    fx.exitedTarget = lastEntered_;
  }
  return fx;
}

PanelLinkEffects PanelLinkTracker::Press(const PanelLinkHit& hit) {
  PanelLinkEffects fx;
  if (!hit.found || hit.target.empty()) return fx;
  if (IsShellTarget(hit.target)) {
    fx.openTarget = hit.target;
  } else {
    fx.anchorClicked = hit.target;
  }
  return fx;
}

void PanelLinkTracker::Reset() {
  stored_ = false;
  number_ = -1;
}

}  // namespace vt9
