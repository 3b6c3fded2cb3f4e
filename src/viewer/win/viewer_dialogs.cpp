#include "viewer/win/viewer_dialogs.h"

#include "viewer/viewer_rules.h"

namespace vt9::win {

SaveWarningResult ViewerMessages::AskSaveWarning(const std::string& title) {
  vTaskDialog.Clear();
  vTaskDialog.Title = title;
  vTaskDialog.Icon = tiInformation;
  vTaskDialog.Instruction = kSaveWarnInstruction;
  vTaskDialog.Content = kSaveWarnContent;
  vTaskDialog.CustomButtons = {kSaveWarnContinue, kSaveWarnCancel};
  vTaskDialog.DefaultButton = kSaveWarnContinueId;
  vTaskDialog.VerificationText = kSaveWarnVerification;
  const int button = vTaskDialog.Execute(owner_);
  return {button, vTaskDialog.VerifyResult};
}

void ViewerMessages::ShowError(const std::string& instruction, const std::string& content) {
  vTaskDialog.Clear();
  vTaskDialog.Title = kMessageTitle;
  vTaskDialog.Icon = tiError;
  vTaskDialog.Instruction = instruction;
  vTaskDialog.Content = content;
  vTaskDialog.CommonButtons = {cbOK};
  vTaskDialog.Execute(owner_);
}

void ViewerMessages::ShowSaveError(const std::string& file) {
  ShowError(kSaveErrorInstruction, SaveErrorContent(file));
}

void ViewerMessages::ShowOpenError(const std::string& file) {
  ShowError(kOpenErrorInstruction, OpenErrorContent(file));
}

void ViewerMessages::ShowReadError(const std::string& file) {
  ShowError(kReadErrorInstruction, ReadErrorContent(file));
}

void ViewerMessages::ShowCopyError() { ShowError(kCopyErrorInstruction, kCopyErrorContent); }

void ViewerMessages::ShowNotFound(const std::string& caption, const std::string& searchText) {
  vTaskDialog.Clear();
  vTaskDialog.Title = caption;
  vTaskDialog.Icon = tiInformation;
  vTaskDialog.Instruction = NotFoundInstruction(searchText);
  vTaskDialog.Content = "";
  vTaskDialog.CommonButtons = {cbOK};
  vTaskDialog.Execute(owner_);
}

void ViewerMessages::ShowNoPrinters() {
  MessageBoxA(owner_, kNoPrintersText, kMessageTitle, MB_OK | MB_ICONERROR);
}

}  // namespace vt9::win
