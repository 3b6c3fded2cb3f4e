#include "common/win/error_report.h"

#include <windows.h>

#include <stdexcept>

namespace vt9::win {
namespace {
std::string& Title() {
  static std::string title = "VT9Now";  // before a mode sets its own
  return title;
}
}  // namespace

void SetApplicationTitle(const std::string& title) { Title() = title; }
const std::string& ApplicationTitle() { return Title(); }

void ReportUnhandledError(const std::exception& error) {
  MessageBoxA(nullptr, error.what(), ApplicationTitle().c_str(),
              MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace vt9::win
