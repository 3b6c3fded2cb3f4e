// Every message and question of the log viewer, in one place: the optional-save warning, the
// save and open errors, "Not Found" and the no-printers box.
#pragma once

#include <windows.h>

#include <string>

#include "dialogs/win/task_dialog.h"

namespace vt9::win {

struct SaveWarningResult {
  int button;     // 100 "Continue with the Save", 101 "Cancel", else closed otherwise
  bool verified;  // "Do not show this again" was ticked
};

// The viewer's task dialog (vTaskDialog): one per viewer, cleared and filled per message.
class ViewerMessages {
 public:
  explicit ViewerMessages(HWND owner) : owner_(owner) {}
  ViewerMessages(const ViewerMessages&) = delete;
  ViewerMessages& operator=(const ViewerMessages&) = delete;

  SaveWarningResult AskSaveWarning(const std::string& title);
  void ShowSaveError(const std::string& file);
  void ShowOpenError(const std::string& file);
  // The shown log shrank or could not be read on (the text read so far stays).
  void ShowReadError(const std::string& file);
  // The whole log does not fit on the clipboard (nothing was copied).
  void ShowCopyError();
  void ShowNotFound(const std::string& caption, const std::string& searchText);
  void ShowNoPrinters();

 private:
  // An error with the OK button alone.
  void ShowError(const std::string& instruction, const std::string& content);

  HWND owner_;
  TTaskDialog vTaskDialog;
};

}  // namespace vt9::win
