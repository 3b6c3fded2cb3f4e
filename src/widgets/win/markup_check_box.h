// The markup check box ("TMarkupCheckBox"): a custom-drawn check box whose caption is markup.
//
// It behaves as a standard auto check box towards its parent and towards assistive tools:
// BM_GETCHECK / BM_SETCHECK (BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE for grayed; setting
// never notifies), BM_GETSTATE, BM_CLICK (a click: toggles and notifies), and WM_COMMAND with
// BN_CLICKED to the parent exactly when the box is clicked with the mouse or the space bar.
// The accelerator of the caption ("&x"), typed with Alt, toggles it without a notification;
// this includes the BM_CLICK a dialog manager sends for such an Alt mnemonic. WM_SETTEXT sets
// the markup caption; WM_GETTEXT answers the caption as plain text (tags removed), which is
// what screen readers read. The parent may colour it through WM_CTLCOLORSTATIC as it would a
// standard check box. Geometry is in client pixels of the running dpi.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/canvas.h"
#include "widgets/check_box_layout.h"
#include "widgets/win/markup_widget_support.h"

namespace vt9::win {

inline constexpr char kMarkupCheckBoxClass[] = "TMarkupCheckBox";

struct MarkupCheckBoxStyle {
  CheckButtonType buttonType = CheckButtonType::WinXP;
  CheckAlignment alignment = CheckAlignment::LeftJustify;
  VertLayout buttonVertAlign = VertLayout::Top;
  bool ellipsis = false;
  bool readOnly = false;
  bool returnIsTab = false;
  bool transparent = false;
  Color color = kColorNone;      // background; none: the parent's (WM_CTLCOLORSTATIC)
  Color fontColor = kColorNone;  // caption text; none: the parent's, else the button text colour
  Color checkColor = 0x000000;   // tick of btRaised
  Color urlColor = 0xFF0000;
  Color shadowColor = 0x808080;
  int shadowOffset = 1;
};

using MarkupCheckBoxEvents = MarkupLinkEvents;

// Registers the window class once per process; false only when registration fails.
bool RegisterMarkupCheckBox();

// A visible, tab-stopping check box. rect96dpiScaled: the control's rectangle in the parent's
// client pixels (already scaled from 96 dpi by the caller). Takes the parent's font.
HWND CreateMarkupCheckBox(HWND parent, int id, const RECT& rect96dpiScaled,
                          const std::string& caption);

void SetMarkupCheckBoxStyle(HWND box, const MarkupCheckBoxStyle& style);
MarkupCheckBoxStyle GetMarkupCheckBoxStyle(HWND box);
void SetMarkupCheckBoxEvents(HWND box, MarkupCheckBoxEvents events);

// Sources of the caption's "IDX:n" images and named pictures (Images, PictureContainer); not
// owned, nullptr for none. They must live as long as the check box shows them.
void SetMarkupCheckBoxImages(HWND box, const ImageList* images);
void SetMarkupCheckBoxPictureContainer(HWND box, const PictureContainer* container);

// The markup caption as set (WM_GETTEXT gives its plain text).
std::string GetMarkupCheckBoxCaption(HWND box);
void SetMarkupCheckBoxCaption(HWND box, const std::string& caption);

// Checked / State from the program: repaint only, never a notification.
void SetMarkupCheckBoxState(HWND box, CheckState state);
CheckState GetMarkupCheckBoxState(HWND box);
inline bool IsMarkupCheckBoxChecked(HWND box) {
  return GetMarkupCheckBoxState(box) == CheckState::Checked;
}
inline void SetMarkupCheckBoxChecked(HWND box, bool checked) {
  SetMarkupCheckBoxState(box, checked ? CheckState::Checked : CheckState::Unchecked);
}

}  // namespace vt9::win
