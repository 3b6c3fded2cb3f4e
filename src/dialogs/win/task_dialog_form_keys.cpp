#include "dialogs/win/task_dialog_form.h"

// Keyboard and focus of our own task dialog window: Enter, Esc and Ctrl+C before the dialog
// manager sees them, Tab through the tab stops (the radio group as one), the arrows within the
// radio group, and scrolling the focused control into view.

#include <algorithm>

#include "dialogs/win/task_dialog_button.h"
#include "dialogs/win/task_dialog_form_parts.h"
#include "widgets/win/control_support.h"

namespace vt9::win {

using namespace task_dialog_form;

int TTaskDialogForm::PushIndexOf(HWND control) const {
  for (const PushButton& p : pushButtons_)
    if (p.hwnd == control) return static_cast<int>(p.index);
  return -1;
}

bool TTaskDialogForm::PreviewKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  switch (msg.wParam) {
    case VK_RETURN: {
      HWND focus = GetFocus();
      if (int i = PushIndexOf(focus); i >= 0) {
        RunHandler([&] { PushButtonClicked(static_cast<std::size_t>(i)); });
        return true;
      }
      for (std::size_t i = 0; i < commandLinks_.size(); ++i) {
        if (commandLinks_[i]->hwnd() == focus) {
          RunHandler([&] { CommandLinkClicked(i); });
          return true;
        }
      }
      if (expandButton_ && expandButton_->hwnd() == focus) {
        RunHandler([&] { ToggleExpanded(); });
        return true;
      }
      if (int d = layout_.DefaultButtonIndex(); d >= 0)
        RunHandler([&] { PushButtonClicked(static_cast<std::size_t>(d)); });
      else if (int l = layout_.DefaultCommandLinkIndex(); l >= 0)
        RunHandler([&] { CommandLinkClicked(static_cast<std::size_t>(l)); });
      return true;
    }
    case VK_TAB:
      if (ctrl || alt) return false;
      MoveFocus(shift);
      return true;
    case VK_UP:
    case VK_LEFT:
      return !alt && MoveInRadioGroup(-1);
    case VK_DOWN:
    case VK_RIGHT:
      return !alt && MoveInRadioGroup(1);
    case VK_ESCAPE:
      // Only a button with the Esc role reacts; without one Esc does nothing.
      if (int c = layout_.CancelButtonIndex(); c >= 0)
        RunHandler([&] { PushButtonClicked(static_cast<std::size_t>(c)); });
      return true;
    case 'C':
      if (ctrl && !shift && !alt) {
        MessageBeep(MB_OK);
        RunHandler([&] { CopyToClipboard(); });
        return true;
      }
      return false;
    default:
      return false;
  }
}

int TTaskDialogForm::RadioIndexOf(HWND control) const {
  for (std::size_t i = 0; i < radios_.size(); ++i)
    if (radios_[i] == control) return static_cast<int>(i);
  return -1;
}

Rect TTaskDialogForm::ScrolledRectOf(HWND control) const {
  if (const int r = RadioIndexOf(control); r >= 0)
    return layout_.radios[static_cast<std::size_t>(r)].rect;
  for (std::size_t i = 0; i < commandLinks_.size(); ++i)
    if (commandLinks_[i]->hwnd() == control) return layout_.commandLinks[i].rect;
  return {};
}

void TTaskDialogForm::EnsureShown(HWND control) {
  if (layout_.scrollRange == 0) return;
  const Rect r = ScrolledRectOf(control);
  if (r.Height() <= 0) return;
  if (r.top < 0)
    ScrollTo(layout_.scrollPos + r.top);
  else if (r.bottom > layout_.viewBottom)
    ScrollTo(layout_.scrollPos + r.bottom - layout_.viewBottom);
}

void TTaskDialogForm::MoveFocus(bool backwards) {
  // The tab stops in tab order; the radio group is one stop, at its checked radio; the radios
  // and command links of a scrolled part count also while they are scrolled out of view.
  const std::size_t groupStop =
      checkedRadio_ >= 0 ? static_cast<std::size_t>(checkedRadio_) : std::size_t{0};
  std::vector<HWND> stops;
  for (HWND w = GetWindow(hwnd_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    const int radio = RadioIndexOf(w);
    if (radio >= 0) {
      if (radio == 0) stops.push_back(radios_[groupStop]);
      continue;
    }
    const bool scrolledOut = layout_.scrollRange > 0 && ScrolledRectOf(w).Height() > 0;
    if ((GetWindowLongA(w, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(w) &&
        (IsWindowVisible(w) || scrolledOut))
      stops.push_back(w);
  }
  if (stops.empty()) return;
  HWND focus = GetFocus();
  if (RadioIndexOf(focus) >= 0) focus = radios_[groupStop];
  const auto at = std::find(stops.begin(), stops.end(), focus);
  std::size_t i = at == stops.end() ? (backwards ? 0 : stops.size() - 1)
                                    : static_cast<std::size_t>(at - stops.begin());
  i = backwards ? (i + stops.size() - 1) % stops.size() : (i + 1) % stops.size();
  EnsureShown(stops[i]);
  SetFocus(stops[i]);
}

bool TTaskDialogForm::MoveInRadioGroup(int step) {
  const int at = RadioIndexOf(GetFocus());
  if (at < 0 || radios_.size() < 2) return false;
  const int n = static_cast<int>(radios_.size());
  HWND next = radios_[static_cast<std::size_t>((at + step + n) % n)];
  EnsureShown(next);
  SetFocus(next);
  // Moving within the group chooses, as it does in any dialog.
  SendMessageA(next, BM_CLICK, 0, 0);
  return true;
}

}  // namespace vt9::win
