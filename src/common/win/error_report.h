// The standard report of an error nobody caught: a message box with the error's text,
// captioned with the application title. At start-up the program then ends with
// kUnhandledErrorExitCode; inside a window only the running event handler is abandoned.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>

namespace vt9::win {

inline constexpr int kUnhandledErrorExitCode = 3;

void SetApplicationTitle(const std::string& title);
const std::string& ApplicationTitle();

// Shows the report (task-modal, error icon, OK) and returns when it is dismissed.
void ReportUnhandledError(const std::exception& error);

// Runs a window's event handler; an exception escaping it is reported, never propagated
// through the window procedure.
template <typename Handler>
void RunHandler(Handler&& handler) noexcept {
  try {
    handler();
  } catch (const std::exception& e) {
    ReportUnhandledError(e);
  } catch (...) {
    ReportUnhandledError(std::runtime_error("Unexpected error."));
  }
}

// Runs the program's entry: an error nobody caught, of whatever kind, gets the report and the
// run ends with kUnhandledErrorExitCode; otherwise the exit code is 0.
template <typename Body>
int RunEntry(Body&& body) noexcept {
  try {
    body();
    return 0;
  } catch (const std::exception& e) {
    ReportUnhandledError(e);
  } catch (...) {
    ReportUnhandledError(std::runtime_error("Unexpected error."));
  }
  return kUnhandledErrorExitCode;
}

}  // namespace vt9::win
