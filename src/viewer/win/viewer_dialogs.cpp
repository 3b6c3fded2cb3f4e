#include "viewer/win/viewer_dialogs.h"

#include <commctrl.h>

#include <vector>

#include "viewer/viewer_rules.h"

namespace vt9::win {
namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

struct Message {
  std::string title, instruction, content, verification;
  PCWSTR icon = nullptr;
  std::vector<std::string> customButtons;
  int defaultButton = 0;
  bool okButton = false;
};

using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

SaveWarningResult Show(HWND owner, const Message& m) {
  HMODULE comctl = GetModuleHandleA("comctl32.dll");
  if (!comctl) comctl = LoadLibraryA("comctl32.dll");
  auto taskDialog = comctl ? reinterpret_cast<TaskDialogIndirectFn>(reinterpret_cast<void*>(
                                 GetProcAddress(comctl, "TaskDialogIndirect")))
                           : nullptr;
  if (!taskDialog) return {-1, false};
  const std::wstring title = Wide(m.title), instruction = Wide(m.instruction),
                     content = Wide(m.content), verification = Wide(m.verification);
  std::vector<std::wstring> labels;
  for (const std::string& b : m.customButtons) labels.push_back(Wide(b));
  std::vector<TASKDIALOG_BUTTON> buttons;
  for (std::size_t i = 0; i < labels.size(); ++i)
    buttons.push_back({static_cast<int>(100 + i), labels[i].c_str()});
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.hwndParent = owner;
  config.dwFlags = TDF_POSITION_RELATIVE_TO_WINDOW;
  config.dwCommonButtons = m.okButton ? TDCBF_OK_BUTTON : 0;
  config.pszWindowTitle = title.c_str();
  config.pszMainIcon = m.icon;
  config.pszMainInstruction = instruction.c_str();
  config.pszContent = content.empty() ? nullptr : content.c_str();
  config.cButtons = static_cast<UINT>(buttons.size());
  config.pButtons = buttons.empty() ? nullptr : buttons.data();
  config.nDefaultButton = m.defaultButton;
  config.pszVerificationText = verification.empty() ? nullptr : verification.c_str();
  int button = 0;
  BOOL verified = FALSE;
  if (FAILED(taskDialog(&config, &button, nullptr, &verified))) return {-1, false};
  return {button, verified != FALSE};
}

}  // namespace

SaveWarningResult ViewerMessages::AskSaveWarning(const std::string& title) {
  Message m;
  m.title = title;
  m.icon = TD_INFORMATION_ICON;
  m.instruction = kSaveWarnInstruction;
  m.content = kSaveWarnContent;
  m.customButtons = {kSaveWarnContinue, kSaveWarnCancel};
  m.defaultButton = kSaveWarnContinueId;
  m.verification = kSaveWarnVerification;
  return Show(owner_, m);
}

void ViewerMessages::ShowSaveError(const std::string& file) {
  Message m;
  m.title = kMessageTitle;
  m.icon = TD_ERROR_ICON;
  m.instruction = kSaveErrorInstruction;
  m.content = SaveErrorContent(file);
  m.okButton = true;
  Show(owner_, m);
}

void ViewerMessages::ShowOpenError(const std::string& file) {
  Message m;
  m.title = kMessageTitle;
  m.icon = TD_ERROR_ICON;
  m.instruction = kOpenErrorInstruction;
  m.content = OpenErrorContent(file);
  m.okButton = true;
  Show(owner_, m);
}

void ViewerMessages::ShowNotFound(const std::string& caption, const std::string& searchText) {
  Message m;
  m.title = caption;
  m.icon = TD_INFORMATION_ICON;
  m.instruction = NotFoundInstruction(searchText);
  m.okButton = true;
  Show(owner_, m);
}

void ViewerMessages::ShowNoPrinters() {
  MessageBoxA(owner_, kNoPrintersText, kMessageTitle, MB_OK | MB_ICONERROR);
}

}  // namespace vt9::win
