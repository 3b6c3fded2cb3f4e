#include "widgets/win/check_box_accessible.h"

#include <new>

#include "common/win/window_accessible.h"

namespace vt9::win {
namespace {

// The system's standard client object, answering as a check button would: named by the window
// text (the caption without markup, the accelerator's "&" not spoken), with its checked state,
// its default action toggling it.
class CheckBoxAccessible : public WindowAccessible {
 public:
  explicit CheckBoxAccessible(HWND hwnd) : WindowAccessible(hwnd) {}

  LONG Role() const override { return ROLE_SYSTEM_CHECKBUTTON; }

  HRESULT State(VARIANT* state) override {
    LONG s = 0;
    const LRESULT check = SendMessageA(hwnd_, BM_GETCHECK, 0, 0);
    if (check == BST_CHECKED) s |= STATE_SYSTEM_CHECKED;
    if (check == BST_INDETERMINATE) s |= STATE_SYSTEM_MIXED;
    const LRESULT flags = SendMessageA(hwnd_, BM_GETSTATE, 0, 0);
    if (flags & BST_PUSHED) s |= STATE_SYSTEM_PRESSED;
    if (flags & kButtonStateHot) s |= STATE_SYSTEM_HOTTRACKED;
    s |= WindowStates();
    state->vt = VT_I4;
    state->lVal = s;
    return S_OK;
  }

  std::string DefaultAction() const override {
    return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? "Uncheck" : "Check";
  }

  HRESULT DoDefaultAction() override {
    if (!IsWindowEnabled(hwnd_)) return DISP_E_MEMBERNOTFOUND;
    PostMessageA(hwnd_, BM_CLICK, 0, 0);  // the tool may be in another process: do it async
    return S_OK;
  }
};

}  // namespace

LRESULT AnswerCheckBoxAccessibility(HWND box, WPARAM wp) {
  return AnswerWindowAccessibility(new (std::nothrow) CheckBoxAccessible(box), wp);
}

}  // namespace vt9::win
