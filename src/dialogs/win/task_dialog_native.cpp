#include "dialogs/win/task_dialog_native.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "common/win/error_report.h"
#include "common/win/handles.h"

namespace vt9::win {

namespace {

const wchar_t* AddText(NativeTaskDialogConfig& out, const std::string& text) {
  if (text.empty()) return nullptr;
  out.texts.push_back(NativeText(text));
  return out.texts.back().c_str();
}

void AddButtons(NativeTaskDialogConfig& out, const std::vector<std::string>& lines, int firstId,
                std::vector<TASKDIALOG_BUTTON>& into) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    out.texts.push_back(NativeText(lines[i]));
    into.push_back({firstId + static_cast<int>(i), out.texts.back().c_str()});
  }
}

std::string Narrow(const wchar_t* text) {
  if (!text) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, s.data(), n, nullptr, nullptr);
  s.resize(static_cast<std::size_t>(n - 1));
  return s;
}

// The timer's handlers: OnDialogTimer, then the bar's position from OnDialogProgress.
void Tick(NativeTaskDialogState& s, HWND hwnd) {
  TTaskDialog& d = *s.dialog;
  if (d.OnDialogTimer) d.OnDialogTimer(d);
  if (!d.OnDialogProgress) return;
  // Only a dialog with a bar has a position to report and to move, as in our window.
  const bool bar = d.Options.Contains(doProgressBar) || d.Options.Contains(doProgressBarMarquee);
  // The position is the one last set: reading it back would mean moving the bar, and the
  // themed bar animates every rise from wherever it was moved to.
  int pos = bar ? s.progressPos : 0;
  TTaskDialogProgressState state = psNormal;
  d.OnDialogProgress(d, pos, state);
  if (!bar) return;
  if (d.Options.Contains(doProgressBar))
    pos = std::clamp(pos, std::min(d.ProgressBarMin, d.ProgressBarMax),
                     std::max(d.ProgressBarMin, d.ProgressBarMax));
  if (pos != s.progressPos)
    SendMessageA(hwnd, TDM_SET_PROGRESS_BAR_POS, static_cast<WPARAM>(pos), 0);
  s.progressPos = pos;
  SendMessageA(hwnd, TDM_SET_PROGRESS_BAR_STATE, static_cast<WPARAM>(state) + 1, 0);
}

// Runs one notification's handlers.
HRESULT Notify(NativeTaskDialogState& s, HWND hwnd, UINT notification, WPARAM wParam,
               LPARAM lParam) {
  TTaskDialog& d = *s.dialog;
  d.SetDialogWindow(hwnd);
  switch (notification) {
    case TDN_CREATED:
      if (d.OnDialogCreated) d.OnDialogCreated(d);
      if (d.Options.Contains(doProgressBar)) {
        SendMessageA(hwnd, TDM_SET_PROGRESS_BAR_RANGE, 0,
                     MAKELPARAM(d.ProgressBarMin, d.ProgressBarMax));
        // A bar starts at the start of its range.
        s.progressPos = std::clamp(0, std::min(d.ProgressBarMin, d.ProgressBarMax),
                                   std::max(d.ProgressBarMin, d.ProgressBarMax));
      }
      break;
    case TDN_BUTTON_CLICKED:
      if (d.OnDialogButtonClick) d.OnDialogButtonClick(d, static_cast<int>(wParam));
      if (d.OnDialogClose) {
        bool canClose = true;
        d.OnDialogClose(d, canClose);
        if (!canClose) return S_FALSE;  // the dialog stays open
      }
      break;
    case TDN_HYPERLINK_CLICKED:
      if (d.OnDialogHyperlinkClick)
        d.OnDialogHyperlinkClick(d, Narrow(reinterpret_cast<const wchar_t*>(lParam)));
      break;
    case TDN_TIMER:
      if (s.timerFailed) break;
      try {
        Tick(s, hwnd);
      } catch (...) {
        // Reported once by the caller; the ticks that come while the report is up, and after,
        // must not report it again.
        s.timerFailed = true;
        throw;
      }
      break;
    case TDN_RADIO_BUTTON_CLICKED:
      if (d.OnDialogRadioClick) d.OnDialogRadioClick(d, static_cast<int>(wParam));
      break;
    case TDN_VERIFICATION_CLICKED:
      if (d.OnDialogVerifyClick) d.OnDialogVerifyClick(d, wParam != 0);
      break;
    default:
      break;
  }
  return S_OK;
}

// An exception is reported and never crosses comctl32.
HRESULT CALLBACK TaskDialogCallback(HWND hwnd, UINT notification, WPARAM wParam, LPARAM lParam,
                                    LONG_PTR data) noexcept {
  auto* state = reinterpret_cast<NativeTaskDialogState*>(data);
  if (!state || !state->dialog) return S_OK;
  try {
    return Notify(*state, hwnd, notification, wParam, lParam);
  } catch (const std::exception& e) {
    ReportUnhandledError(e);
  } catch (...) {
    ReportUnhandledError(std::runtime_error("Unexpected error."));
  }
  return S_OK;
}

using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

}  // namespace

std::wstring NativeText(const std::string& text) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0)
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), w.data(), n);
  if (w.size() > kNativeTextLimit) w.resize(kNativeTextLimit);
  return w;
}

void BuildNativeConfig(TTaskDialog& d, HWND owner, NativeTaskDialogConfig& out) {
  TASKDIALOGCONFIG& c = out.config;
  c = TASKDIALOGCONFIG{};
  c.cbSize = sizeof(TASKDIALOGCONFIG);
  c.hwndParent = owner;
  c.hInstance = nullptr;

  out.buttons.clear();
  out.radios.clear();
  AddButtons(out, d.CustomButtons, kFirstCustomButtonId, out.buttons);
  AddButtons(out, d.RadioButtons, kFirstRadioButtonId, out.radios);
  c.cButtons = static_cast<UINT>(out.buttons.size());
  c.pButtons = out.buttons.empty() ? nullptr : out.buttons.data();
  c.cRadioButtons = static_cast<UINT>(out.radios.size());
  c.pRadioButtons = out.radios.empty() ? nullptr : out.radios.data();

  c.pszWindowTitle = AddText(out, d.Title);
  c.pszMainInstruction = AddText(out, d.Instruction);
  c.pszContent = AddText(out, d.Content);
  c.pszFooter = AddText(out, d.Footer);
  c.pszExpandedControlText = AddText(out, d.ExpandControlText);
  c.pszCollapsedControlText = AddText(out, d.CollapsControlText);
  c.pszExpandedInformation = AddText(out, d.ExpandedText);
  c.pszVerificationText = AddText(out, d.VerificationText);

  c.dwCommonButtons = NativeCommonButtonFlags(d.CommonButtons);
  c.dwFlags = NativeDialogFlags(d.Options, d.DefaultRadioButton);
  if (int icon = NativeMainIconId(d.Icon)) c.pszMainIcon = MAKEINTRESOURCEW(icon);
  if (int icon = NativeFooterIconId(d.FooterIcon)) c.pszFooterIcon = MAKEINTRESOURCEW(icon);
  c.nDefaultButton = d.DefaultButton;
  c.nDefaultRadioButton = d.DefaultRadioButton;
  out.state = NativeTaskDialogState{&d};
  c.pfCallback = TaskDialogCallback;
  c.lpCallbackData = reinterpret_cast<LONG_PTR>(&out.state);
}

int RunNativeTaskDialog(TTaskDialog& d, HWND owner, const char* library, const char* entry) {
  Module comctl(LoadLibraryA(library));
  if (!comctl) return -1;
  auto indirect = reinterpret_cast<TaskDialogIndirectFn>(
      reinterpret_cast<void*>(GetProcAddress(comctl.get(), entry)));
  if (!indirect) return -1;
  NativeTaskDialogConfig config;
  BuildNativeConfig(d, owner, config);
  int button = 0;
  int radio = 0;
  BOOL verify = FALSE;
  const HRESULT hr = indirect(&config.config, &button, &radio, &verify);
  d.SetDialogWindow(nullptr);
  if (FAILED(hr)) return -1;
  d.RadioResult = radio;
  d.VerifyResult = verify != FALSE;
  return button;
}

}  // namespace vt9::win
