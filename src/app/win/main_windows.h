#pragma once

#include "app/startup.h"

namespace vt9::win {

// Creates the chosen main window and runs the message loop until it closes.
class WinMainWindows : public MainWindows {
 public:
  void SetApplicationTitle(const std::string& title) override;
  void RunInformationWindow() override;
  void RunLogViewer(const ProgramState& state) override;
  void RunBackupNow(const ProgramState& state) override;
};

}  // namespace vt9::win
