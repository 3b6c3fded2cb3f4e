// Runs the real VT9Now.exe from a prepared folder (with the stand-in vt9.exe beside it) and
// finds, reads and drives its windows, for the end-to-end tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/win/widget_host.h"

namespace vt9::test {

class ToolFolder {
 public:
  // A fresh folder (its name may contain blanks) holding copies of VT9Now.exe and vt9.exe.
  explicit ToolFolder(const std::string& tag, const std::string& subfolder = "");
  ~ToolFolder();
  ToolFolder(const ToolFolder&) = delete;
  ToolFolder& operator=(const ToolFolder&) = delete;

  const std::string& folder() const { return folder_; }
  std::string exe() const { return folder_ + "VT9Now.exe"; }

  // Starts "<exe>" <args> (the exe path quoted); the process handle is kept for Wait.
  void Start(const std::string& args);
  // Waits for the started process; returns its exit code, or STILL_ACTIVE on time-out.
  DWORD Wait(DWORD timeoutMs = 15000);
  DWORD Run(const std::string& args, DWORD timeoutMs = 15000) {
    Start(args);
    return Wait(timeoutMs);
  }
  DWORD processId() const { return pid_; }
  void Kill();

  // What the stand-in recorded: one entry per start, "<command line>\t<exit code>".
  std::vector<std::string> Calls() const;

 private:
  std::string folder_;
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// A visible top-level window of the process with the class (or any, when empty) and exact
// caption (or any, when empty); null after the time-out.
HWND WaitForWindow(DWORD pid, const std::string& className, const std::string& caption,
                   DWORD timeoutMs = 10000);
// A visible top-level window of any process with this class and exact caption; null after the
// time-out.
HWND WaitForAnyWindow(const char* className, const std::string& caption, DWORD timeoutMs);
std::string WindowText(HWND window);
std::string ClassName(HWND window);
// The texts of all child windows, in z-order, joined by "\n".
std::string ChildTexts(HWND window);
// Clicks the child button with this exact text (BM_CLICK); false when there is none.
bool ClickButton(HWND window, const std::string& text);

// Saves a screenshot of the whole virtual display into the artifact folder.
inline void Screenshot(const std::string& name) { SaveScreenshot(name); }

// Settings and Wine's per-program Windows version for VT9Now.exe.
void ResetSettings();
void SetSetting(const std::string& name, const std::string& text);
void SetSettingDword(const std::string& name, DWORD value);
std::string GetSetting(const std::string& name);
void SetReportedWindows(const std::string& wineVersion);  // "winxp", "win7", "win10"
void SetDepPolicy(const std::string& elementBytes);       // empty: remove the policy key
void SetCompatLayers(const std::string& programPath, const std::string& layers);

std::string TodayText();  // yyyy/mm/dd
std::string DateTextDaysAgo(int days);

}  // namespace vt9::test
