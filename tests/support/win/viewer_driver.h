// Drives the real log viewer of VT9Now.exe ("\V file [caption] [folder]") from another process:
// writes logs, starts the viewer, reads its text and selection, works the find dialog, the
// task dialogs and the common file dialogs, and reads the clipboard.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "support/win/tool_process.h"

namespace vt9::test {

// Which of the task dialog's two ways the tool takes for its messages: the system's dialog
// (whose texts are all readable as child windows) or the tool's own window.
enum class MessagePath { Native, OwnWindow };

class ViewerDriver {
 public:
  // A fresh tool folder with an empty "Logs\" folder; the settings key is emptied. The tools
  // started from now on show their messages the given way.
  explicit ViewerDriver(const std::string& tag, MessagePath path = MessagePath::Native);

  ToolFolder& tool() { return tool_; }
  const std::string& logFolder() const { return logFolder_; }
  // Writes the bytes into the log folder and returns the file's path.
  std::string WriteLog(const std::string& name, const std::string& bytes);

  // Starts "\V" with the arguments (each quoted) and waits for the viewer with that caption.
  HWND Open(const std::vector<std::string>& args, const std::string& caption);
  HWND window() const { return window_; }
  HWND Log() const { return GetDlgItem(window_, 100); }
  HWND Button(const std::string& text) const;

  // The text as the control hands it out (paragraphs ended by CR LF), and the selection.
  std::string LogText() const;
  // The log view's progress text in the button bar ("Reading the log… 45 %"), empty when
  // hidden; WaitForIndex waits until it is hidden (false after the time-out).
  std::string Progress() const;
  bool WaitForIndex(DWORD timeoutMs) const;
  std::pair<long, long> Selection() const;
  void Select(long start, long end) const;
  // Replaces the whole text as typing would (the control marks itself modified).
  void ReplaceText(const std::string& text) const;

  // Posts a click, so a modal loop the click opens does not block the driver.
  void Press(const std::string& buttonText) const;
  // A menu item or button of the viewer by its command id (the context menu's items).
  void Command(int id) const;

  // The find dialog, shown by the viewer's "Find" button; null when it does not appear.
  HWND ShowFind();
  // Fills the dialog (markup check boxes by BM_SETCHECK) and presses Enter in the search field.
  void FindNext(const std::string& text, bool matchCase, bool wholeWords) const;
  // Waits until the selection differs from `before`; the new selection.
  std::pair<long, long> WaitForSelectionChange(std::pair<long, long> before,
                                               DWORD timeoutMs = 5000) const;

  // A visible dialog (#32770) of the tool; null after the time-out.
  HWND WaitForDialog(DWORD timeoutMs = 10000) const;
  // A visible task dialog of the tool (the system's or the tool's own); null after the time-out.
  HWND WaitForMessage(DWORD timeoutMs = 10000) const;
  // Waits until no dialog or task dialog of the tool is visible.
  bool WaitForNoDialog(DWORD timeoutMs = 5000) const;
  static bool PressDialogButton(HWND dialog, int id);
  // The first child window of the dialog with exactly this text (any class).
  static HWND DialogChild(HWND dialog, const std::string& text);
  // Types the file name into a common open/save dialog and confirms it.
  static void ChooseFile(HWND dialog, const std::string& path);

  static std::string Clipboard();
  static void Snapshot(const std::string& name) { SaveScreenshot(name); }

  // Asks the viewer to close and waits for the tool to end with exit code 0.
  bool CloseAndEnd(DWORD timeoutMs = 10000);

 private:
  ToolFolder tool_;
  std::string logFolder_;
  HWND window_ = nullptr;
  HWND find_ = nullptr;
};

}  // namespace vt9::test
