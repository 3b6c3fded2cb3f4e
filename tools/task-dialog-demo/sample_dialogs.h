// The task dialogs the log viewer shows (save warning, save error, not found) and one dialog
// that uses every feature; shared by task-dialog-demo.exe and the task dialog's window tests.
#pragma once

#include <string>

#include "dialogs/win/task_dialog.h"

namespace vt9::samples {

inline void SaveWarning(win::TTaskDialog& d) {
  d.Clear();
  d.Title = "Vantory 9 - Viewer";
  d.Icon = tiInformation;
  d.Instruction = "Save of Logs is Optional";
  d.Content =
      "Note: The Vantory \"Logs\" are saved automatically.\r\n"
      "\"Backup Logs\" are saved until purged. \r\n"
      "You may still save the log elsewhere if you wish.";
  d.CustomButtons = {"Continue with the Save", "Cancel"};
  d.DefaultButton = 100;
  d.VerificationText = "Do not show this again";
}

inline void SaveError(win::TTaskDialog& d, const std::string& file) {
  d.Clear();
  d.Title = "  Vantory 9";
  d.Icon = tiError;
  d.Instruction = "Error saving file!";
  d.Content = "Unable to Create/Save file: " + file;
  d.CommonButtons = {cbOK};
}

inline void NotFound(win::TTaskDialog& d, const std::string& caption, const std::string& text) {
  d.Clear();
  d.Title = caption;
  d.Icon = tiInformation;
  d.Instruction = "\"" + text + "\" Not Found";
  d.Content.clear();
  d.CommonButtons = {cbOK};
}

// Every part at once: icon, instruction, markup content, command links, radio buttons, common
// buttons, details, verification box, progress bar and a footer with an icon and a link.
inline void Everything(win::TTaskDialog& d) {
  d.Clear();
  d.Title = "Vantory 9 - Task dialog features";
  d.Icon = tiWarning;
  d.Instruction = "Choose how to continue";
  d.Content =
      "The backup of <B>Documents</B> finished with <FONT color=\"#C00000\">3 warnings"
      "</FONT>. See <A href=\"http://www.example.com/help\">the help page</A>.";
  d.CustomButtons = {"Show the log\\nOpens the log of the last backup in the viewer",
                     "Run the backup again"};
  d.RadioButtons = {"Keep the warnings", "Clear the warnings"};
  d.DefaultRadioButton = 200;
  d.CommonButtons = {cbYes, cbNo, cbCancel};
  d.ExpandedText = "Warning 1: file in use\r\nWarning 2: file in use\r\nWarning 3: path too long";
  d.ExpandControlText = "Hide details";
  d.CollapsControlText = "Show details";
  d.VerificationText = "Do not show this again";
  d.Footer = "Need help? <A href=\"mailto:support@example.com\">Write to support</A>";
  d.FooterIcon = tfiQuestion;
  d.Options = {doHyperlinks, doCommandLinks, doExpandedDefault, doProgressBar};
}

}  // namespace vt9::samples
