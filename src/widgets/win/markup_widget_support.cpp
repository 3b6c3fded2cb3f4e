#include "widgets/win/markup_widget_support.h"

#include <stdexcept>

#include "common/win/error_report.h"
#include "widgets/win/control_support.h"

namespace vt9::win {

void MarkupPictures::Fill(MarkupParams& params) {
  params.images = images;
  params.pictureContainer = container;
  params.pictureCache = &cache_;
}

void MarkupPictures::Collect(HWND owner, const MarkupResult& result) {
  if (result.imageErrors.empty()) return;
  pending_.insert(pending_.end(), result.imageErrors.begin(), result.imageErrors.end());
  if (!posted_ && owner) posted_ = PostMessageA(owner, kReportPictureErrorsMessage, 0, 0) != FALSE;
}

void MarkupPictures::ReportPending() {
  posted_ = false;
  // Taken out first: the report's own message loop may paint again and collect more.
  std::vector<std::string> errors;
  errors.swap(pending_);
  for (const std::string& error : errors) ReportUnhandledError(std::runtime_error(error));
}

void WithWindowCanvas(HWND hwnd, const std::function<void(Canvas&)>& use) {
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  struct Release {
    HWND hwnd;
    HDC dc;
    ~Release() { ReleaseDC(hwnd, dc); }
  } release{hwnd, dc};
  GdiCanvas canvas(dc);
  use(canvas);
}

bool MarkupLinkReactions::TrackLeave(HWND hwnd) {
  if (tracking_) return false;
  TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd, 0};
  tracking_ = TrackMouseEvent(&tme) != FALSE;
  return true;
}

bool MarkupLinkReactions::SetHandCursor(HWND hwnd, WPARAM wp, LPARAM lp, bool overLink) {
  if (reinterpret_cast<HWND>(wp) != hwnd || LOWORD(lp) != HTCLIENT || !overLink) return false;
  SetCursor(LoadCursor(nullptr, IDC_HAND));
  return true;
}

void MarkupLinkReactions::Entered(const MarkupLinkEvents& events, const std::string& target) {
  SetCursor(LoadCursor(nullptr, IDC_HAND));
  if (events.onAnchorEnter) events.onAnchorEnter(target);
}

void MarkupLinkReactions::Exited(const MarkupLinkEvents& events, const std::string& target) {
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if (events.onAnchorExit) events.onAnchorExit(target);
}

void MarkupLinkReactions::Clicked(HWND hwnd, const MarkupLinkEvents& events,
                                  const std::string& openTarget, const std::string& clickedTarget) {
  if (!openTarget.empty()) OpenLinkTarget(hwnd, openTarget);
  if (!clickedTarget.empty() && events.onAnchorClick) events.onAnchorClick(clickedTarget);
}

}  // namespace vt9::win
