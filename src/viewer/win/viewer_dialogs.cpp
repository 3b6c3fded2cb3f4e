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

void ViewerMessages::ShowSaveError(const std::string& file) {
  vTaskDialog.Clear();
  vTaskDialog.Title = kMessageTitle;
  vTaskDialog.Icon = tiError;
  vTaskDialog.Instruction = kSaveErrorInstruction;
  vTaskDialog.Content = SaveErrorContent(file);
  vTaskDialog.CommonButtons = {cbOK};
  vTaskDialog.Execute(owner_);
}

void ViewerMessages::ShowOpenError(const std::string& file) {
  vTaskDialog.Clear();
  vTaskDialog.Title = kMessageTitle;
  vTaskDialog.Icon = tiError;
  vTaskDialog.Instruction = kOpenErrorInstruction;
  vTaskDialog.Content = OpenErrorContent(file);
  vTaskDialog.CommonButtons = {cbOK};
  vTaskDialog.Execute(owner_);
}

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
