#include "widgets/check_box_state.h"

#include <cctype>

#include "widgets/caption_text.h"

namespace vt9 {

bool IsShellTarget(const std::string& target) {
  return target.find("://") != std::string::npos || target.find("mailto:") != std::string::npos;
}

bool CheckBoxState::SetState(CheckState s) {
  if (s == state_) return false;
  state_ = s;
  return true;
}

void CheckBoxState::Toggle() {
  if (readOnly_) return;
  SetChecked(!Checked());
}

CheckBoxEffects CheckBoxState::MouseDown(const std::string& linkUnderPoint) {
  CheckBoxEffects fx;
  pressed_ = false;
  // Only a focused box looks for links: the first click on an unfocused box focuses it
  // and toggles it, whatever lies under the pointer.
  if (focused_ && !linkUnderPoint.empty()) {
    if (IsShellTarget(linkUnderPoint)) {
      fx.openTarget = linkUnderPoint;
    } else {
      fx.anchorClicked = linkUnderPoint;
    }
    return fx;
  }
  if (!focused_) {
    focused_ = true;
    fx.takeFocus = true;
  }
  pressed_ = true;
  down_ = true;
  fx.capture = true;
  fx.repaint = true;
  return fx;
}

CheckBoxEffects CheckBoxState::MouseMove(bool inside, bool captured,
                                         const std::string& linkUnderPoint) {
  CheckBoxEffects fx;
  if (captured && pressed_ && down_ != inside) {
    down_ = inside;
    fx.repaint = true;
  }
  if (focused_ && !linkUnderPoint.empty()) {
    if (!handCursor_ || linkUnderPoint != lastLink_) {
      lastLink_ = linkUnderPoint;
      handCursor_ = true;
      fx.anchorEntered = linkUnderPoint;
    }
  } else if (handCursor_) {
    handCursor_ = false;
    fx.anchorExited = lastLink_;
  }
  return fx;
}

CheckBoxEffects CheckBoxState::MouseUp(bool inside, bool captured) {
  CheckBoxEffects fx;
  // A release without a press of our own (the press hit a link, or came before the
  // capture was lost) must not toggle.
  const bool wasPressed = pressed_ && captured;
  pressed_ = false;
  fx.releaseCapture = captured;
  if (down_) fx.repaint = true;
  down_ = false;
  if (wasPressed && inside && focused_) {
    Toggle();
    fx.clicked = true;
    fx.repaint = true;
  }
  return fx;
}

CheckBoxEffects CheckBoxState::MouseEnter() {
  CheckBoxEffects fx;
  if (!hot_) {
    hot_ = true;
    fx.repaint = true;
  }
  return fx;
}

CheckBoxEffects CheckBoxState::MouseLeave() {
  CheckBoxEffects fx;
  if (hot_) {
    hot_ = false;
    fx.repaint = true;
  }
  if (handCursor_) {
    handCursor_ = false;
    fx.anchorExited = lastLink_;
  }
  return fx;
}

CheckBoxEffects CheckBoxState::SpaceDown() {
  CheckBoxEffects fx;
  fx.handled = true;
  spaceHeld_ = true;
  if (!down_) {
    down_ = true;
    fx.repaint = true;
  }
  return fx;
}

CheckBoxEffects CheckBoxState::SpaceUp() {
  CheckBoxEffects fx;
  fx.handled = true;
  // A space released here that went down elsewhere (say on a button whose dialog then
  // closed and gave us the focus) is not a press of this box.
  if (!spaceHeld_) return fx;
  spaceHeld_ = false;
  down_ = false;
  Toggle();
  fx.clicked = true;
  fx.repaint = true;
  return fx;
}

CheckBoxEffects CheckBoxState::FocusChanged(bool focused) {
  CheckBoxEffects fx;
  if (!focused) {
    // Losing the focus mid-press abandons the press, as a standard button does.
    spaceHeld_ = false;
    if (down_) down_ = false;
  }
  if (focused_ != focused) {
    focused_ = focused;
  }
  fx.repaint = true;
  return fx;
}

CheckBoxEffects CheckBoxState::Accelerator(char ch, const std::string& captionMarkup, bool canFocus,
                                           bool tabStop) {
  CheckBoxEffects fx;
  const char accel = CaptionAccelerator(captionMarkup);
  if (accel == 0 || !canFocus) return fx;
  if (std::tolower(static_cast<unsigned char>(ch)) != accel) return fx;
  Toggle();
  fx.takeFocus = tabStop;
  fx.repaint = true;
  fx.handled = true;
  return fx;
}

}  // namespace vt9
