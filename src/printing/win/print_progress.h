// The small modeless window that shows printing progress: the job title as caption, a status
// line, "Page n of m", a progress bar over all pages of all copies and a Cancel button. It has
// no logic of its own; the page printer creates, fills and frees it through its progress
// routine (UpdatePrintProgress below).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "common/win/window_base.h"

namespace vt9::win {

class TPrintProgressDlg : public WindowBase<TPrintProgressDlg, FormOwner::Caller> {
 public:
  // Creates the window hidden, centred on the screen. Without `showCancel` there is no Cancel
  // button and the window is cut off below the bar.
  TPrintProgressDlg(bool showCancel, std::function<void()> onCancel);
  ~TPrintProgressDlg();

  HWND lblStatus() const { return lblStatus_; }
  HWND lblPageNumber() const { return lblPageNumber_; }
  HWND ProgBar() const { return progBar_; }
  HWND btnCancel() const { return btnCancel_; }

  void SetCaption(const std::string& caption);
  void SetStatus(const std::string& text);
  void SetPageText(const std::string& text);
  // Sets the bar's maximum (32-bit: copies x pages can exceed 65,535) and steps it once.
  void Step(unsigned long long maximum);
  void ShowAndRepaint();

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void btnCancelClick();

  std::function<void()> onCancel_;
  HFONT font_ = nullptr;
  HWND lblStatus_ = nullptr, lblPageNumber_ = nullptr, progBar_ = nullptr, btnCancel_ = nullptr;
  RECT bevel_{};
};

}  // namespace vt9::win
