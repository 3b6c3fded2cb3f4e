// Drives the real Backup Now window of VT9Now.exe from another process: prepares the data
// path with job files, starts the tool, reads and changes the window's controls (found by the
// control ids of the window's layout table), presses its buttons, works the folder picker,
// and reads what the stand-in main program was started with.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/win/tool_process.h"

namespace vt9::test {

class BackupNowDriver {
 public:
  // A fresh tool folder; the settings key is emptied. The data path "<folder>Data\" and its
  // job folder exist but are not yet named in the settings (see UseDataPath).
  explicit BackupNowDriver(const std::string& tag);

  ToolFolder& tool() { return tool_; }
  const std::string& dataPath() const { return dataPath_; }
  std::string jobFolder() const { return dataPath_ + "SysData\\"; }
  // Sets "VT9DataPath" to the prepared data path.
  void UseDataPath() { SetSetting("VT9DataPath", dataPath_); }
  // Writes a job definition file with the given bytes.
  void AddJob(const std::string& fileName, const std::string& contents);
  static std::string JobText(const std::string& backupFolder,
                             const std::string& lastBackupName = "");

  // Starts the tool and waits for its window with that caption; null when it does not appear.
  HWND Open(const std::string& args, const std::string& caption);
  HWND window() const { return window_; }
  HWND Control(int id) const;

  // The items of a combo box; its selection is kept, but a typed text is replaced.
  std::vector<std::string> ComboItems(int id) const;
  int ComboSelection(int id) const;
  // Selects like the user: the box changes and its parent hears CBN_SELCHANGE.
  void SelectComboItem(int id, int index);
  // Replaces the text of an editable combo box by typing into it.
  void TypeIntoCombo(int id, const std::string& text);
  std::string Text(int id) const { return WindowText(Control(id)); }
  bool IsEnabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
  bool IsVisible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
  int CheckState(int id) const;
  SIZE ClientSize() const;
  // Posts a click, so a modal loop the click opens does not block the driver.
  void Press(int id) const;

  // A visible dialog (#32770) of the tool; null after the time-out.
  HWND WaitForDialog(DWORD timeoutMs = 10000) const;
  // Presses a button of a dialog by its id; false when it is missing or disabled.
  static bool PressDialogButton(HWND dialog, int id);

  // Waits until the stand-in has recorded `count` starts; returns the parameters of each
  // (the command line after the quoted program path and its separating blank).
  std::vector<std::string> WaitForParameters(std::size_t count, DWORD timeoutMs = 10000);
  // Saves a screenshot as "<name>.png" in the artifact folder and returns only once the
  // picture has been taken, so the window can change right after.
  static void Snapshot(const std::string& name);

  // True when the tool has ended within the time-out, with exit code 0.
  bool EndsNormally(DWORD timeoutMs = 10000) { return tool_.Wait(timeoutMs) == 0; }

 private:
  ToolFolder tool_;
  std::string dataPath_;
  HWND window_ = nullptr;
};

}  // namespace vt9::test
