// What the markup check box does with mouse, keyboard and focus input, independent of any
// window system: the check state, the Down/hot/focused flags, when a toggle happens and when
// the click notification is due. The control feeds events in and carries out the effects.
#pragma once

#include <string>

namespace vt9 {

enum class CheckState { Unchecked, Checked, Grayed };

// Work the control must carry out after an event, in the order the fields are listed.
struct CheckBoxEffects {
  bool takeFocus = false;
  bool capture = false;
  bool releaseCapture = false;
  std::string openTarget;     // open with the shell's "open" operation
  std::string anchorClicked;  // OnAnchorClick with this target
  std::string anchorEntered;  // show the hand cursor, OnAnchorEnter
  std::string anchorExited;   // restore the saved cursor, OnAnchorExit (target left)
  bool repaint = false;       // the look changed (Down, hot, focus, check state)
  bool clicked = false;       // OnClick, reported to the parent as BN_CLICKED
  bool handled = false;       // keyboard: the key was consumed
};

// A link target the shell opens itself rather than the program: an address with a scheme
// ("://") or a mail address.
bool IsShellTarget(const std::string& target);

class CheckBoxState {
 public:
  CheckState State() const { return state_; }
  bool Checked() const { return state_ == CheckState::Checked; }
  bool Down() const { return down_; }
  bool Hot() const { return hot_; }
  bool Focused() const { return focused_; }
  bool ReadOnly() const { return readOnly_; }
  bool HandCursor() const { return handCursor_; }

  // Program-side changes: never a click. True when the state changed (repaint the mark).
  bool SetState(CheckState s);
  bool SetChecked(bool checked) {
    return SetState(checked ? CheckState::Checked : CheckState::Unchecked);
  }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

  // Checked becomes its opposite unless ReadOnly; a grayed box becomes checked.
  void Toggle();

  // linkUnderPoint: the caption's link target under the point, empty when none (asked
  // only while focused, as the control passes it).
  CheckBoxEffects MouseDown(const std::string& linkUnderPoint);
  CheckBoxEffects MouseMove(bool inside, bool captured, const std::string& linkUnderPoint);
  CheckBoxEffects MouseUp(bool inside, bool captured);
  CheckBoxEffects MouseEnter();
  CheckBoxEffects MouseLeave();
  CheckBoxEffects SpaceDown();
  CheckBoxEffects SpaceUp();
  CheckBoxEffects FocusChanged(bool focused);
  // Alt + ch: toggles without a click when ch is the caption's accelerator.
  CheckBoxEffects Accelerator(char ch, const std::string& captionMarkup, bool canFocus,
                              bool tabStop);

 private:
  CheckState state_ = CheckState::Unchecked;
  bool readOnly_ = false;
  bool down_ = false;
  bool hot_ = false;
  bool focused_ = false;
  bool spaceHeld_ = false;
  bool pressed_ = false;  // the mouse went down here without hitting a link
  bool handCursor_ = false;
  std::string lastLink_;
};

}  // namespace vt9
