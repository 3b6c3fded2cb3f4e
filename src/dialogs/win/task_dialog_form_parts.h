// The parts of our own task dialog window that its files share: control ids, the window's
// styles, and small helpers for measuring and moving.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/canvas.h"

namespace vt9::win::task_dialog_form {

constexpr int kPushButtonId = 1000;
constexpr int kCommandLinkId = 2000;
constexpr int kRadioId = 3000;
constexpr int kVerificationId = 4000;
constexpr int kExpandButtonId = 4001;
constexpr int kInstructionId = 4002;
constexpr int kExpandLabelId = 4003;
constexpr int kProgressId = 4004;
constexpr int kContentId = 4005;
constexpr int kFooterId = 4006;
constexpr int kScrollBarId = 4007;
constexpr UINT_PTR kTimerId = 1;
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr COLORREF kPictureKey = RGB(255, 0, 255);

// Wine's static control shows nothing at all for a window text of some ten thousand characters;
// what a control can show of a longer text is cut far earlier anyway.
constexpr std::size_t kControlTextLimit = 4096;
constexpr std::size_t kControlTextLimitForReaders = kControlTextLimit + 1;

// Moves a control (without repainting; the form repaints as a whole).
void Move(HWND control, const Rect& r);

// Lines one below the other, as the layout wrapped them, cut at the rectangle's bottom.
void DrawLines(HDC dc, HFONT font, const std::vector<std::string>& lines, const RECT& r);

// A screen-compatible memory DC for measuring before the window can be drawn on.
class MeasureDc {
 public:
  MeasureDc() {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
  }
  ~MeasureDc() {
    if (dc_) DeleteDC(dc_);
  }
  MeasureDc(const MeasureDc&) = delete;
  MeasureDc& operator=(const MeasureDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_ = nullptr;
};

}  // namespace vt9::win::task_dialog_form
