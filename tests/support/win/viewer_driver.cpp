#include "support/win/viewer_driver.h"

#include "support/win/paths.h"
#include "support/win/widget_host.h"
#include "viewer/win/find_dialog.h"
#include "viewer/win/viewer_window.h"

namespace vt9::test {
namespace {

struct TextRequest {
  std::string text;
  HWND found;
};

BOOL CALLBACK MatchChildText(HWND child, LPARAM param) {
  auto* request = reinterpret_cast<TextRequest*>(param);
  if (WindowText(child) == request->text) {
    request->found = child;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

constexpr const char* kOwnTaskDialogClass = "TTaskDialogForm";

ViewerDriver::ViewerDriver(const std::string& tag, MessagePath path) : tool_(tag) {
  ResetSettings();
  SetEnvironmentVariableA("VT9_TASKDIALOG_OWN_WINDOW", path == MessagePath::Native ? "0" : "1");
  logFolder_ = tool_.folder() + "Logs\\";
  CreateDirectoryA(logFolder_.c_str(), nullptr);
}

std::string ViewerDriver::WriteLog(const std::string& name, const std::string& bytes) {
  const std::string path = logFolder_ + name;
  WriteFile(path, bytes);
  return path;
}

HWND ViewerDriver::Open(const std::vector<std::string>& args, const std::string& caption) {
  std::string line = "\\V";
  for (const std::string& a : args) line += " \"" + a + "\"";
  tool_.Start(line);
  window_ = WaitForWindow(tool_.processId(), vt9::win::kViewerWindowClass, caption);
  if (window_) Sleep(300);  // the first paint of a fresh process
  return window_;
}

HWND ViewerDriver::Button(const std::string& text) const {
  TextRequest request{text, nullptr};
  EnumChildWindows(window_, MatchChildText, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

std::string ViewerDriver::LogText() const {
  const LRESULT length = SendMessageA(Log(), WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  const LRESULT copied =
      SendMessageA(Log(), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

std::string ViewerDriver::Progress() const {
  HWND label = GetDlgItem(window_, vt9::win::viewer_id::lblProgress);
  return label && IsWindowVisible(label) ? WindowText(label) : std::string();
}

bool ViewerDriver::WaitForIndex(DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  while (!Progress().empty()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

std::pair<long, long> ViewerDriver::Selection() const {
  // EM_GETSEL without pointers packs both positions into the result (enough for test logs).
  const LRESULT packed = SendMessageA(Log(), EM_GETSEL, 0, 0);
  return {static_cast<long>(LOWORD(packed)), static_cast<long>(HIWORD(packed))};
}

void ViewerDriver::Select(long start, long end) const {
  SendMessageA(Log(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void ViewerDriver::ReplaceText(const std::string& text) const {
  Select(0, -1);
  SendMessageA(Log(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void ViewerDriver::Press(const std::string& buttonText) const {
  PostMessageA(Button(buttonText), BM_CLICK, 0, 0);
}

void ViewerDriver::Command(int id) const { PostMessageA(window_, WM_COMMAND, id, 0); }

HWND ViewerDriver::ShowFind() {
  Press("Find");
  find_ = WaitForWindow(tool_.processId(), vt9::win::kFindWindowClass, "Find...", 5000);
  return find_;
}

void ViewerDriver::FindNext(const std::string& text, bool matchCase, bool wholeWords) const {
  namespace id = vt9::win::find_id;
  HWND edit = GetDlgItem(find_, id::txtFindWhat);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(GetDlgItem(find_, id::chkCase), BM_SETCHECK, matchCase ? BST_CHECKED : 0, 0);
  SendMessageA(GetDlgItem(find_, id::chkWhole), BM_SETCHECK, wholeWords ? BST_CHECKED : 0, 0);
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC01C0001);
}

std::pair<long, long> ViewerDriver::WaitForSelectionChange(std::pair<long, long> before,
                                                           DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  std::pair<long, long> now = Selection();
  while (now == before && GetTickCount() - start < timeoutMs) {
    Sleep(30);
    now = Selection();
  }
  return now;
}

HWND ViewerDriver::WaitForDialog(DWORD timeoutMs) const {
  return WaitForWindow(tool_.processId(), "#32770", "", timeoutMs);
}

HWND ViewerDriver::WaitForMessage(DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  do {
    if (HWND own = WaitForWindow(tool_.processId(), kOwnTaskDialogClass, "", 0)) return own;
    if (HWND native = WaitForWindow(tool_.processId(), "#32770", "", 0)) return native;
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

bool ViewerDriver::WaitForNoDialog(DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  while (WaitForWindow(tool_.processId(), "#32770", "", 0) ||
         WaitForWindow(tool_.processId(), kOwnTaskDialogClass, "", 0)) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

bool ViewerDriver::PressDialogButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (!button || !IsWindowEnabled(button)) return false;
  PostMessageA(button, BM_CLICK, 0, 0);
  return true;
}

HWND ViewerDriver::DialogChild(HWND dialog, const std::string& text) {
  TextRequest request{text, nullptr};
  EnumChildWindows(dialog, MatchChildText, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

void ViewerDriver::ChooseFile(HWND dialog, const std::string& path) {
  // The file name box: the combo box cmb13 (0x47c) of the explorer-style dialog, or edt1.
  HWND name = GetDlgItem(dialog, 0x47c);
  if (!name) name = GetDlgItem(dialog, 0x480);
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

std::string ViewerDriver::Clipboard() {
  std::string text;
  for (int attempt = 0; attempt < 20 && !OpenClipboard(nullptr); ++attempt) Sleep(50);
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool ViewerDriver::CloseAndEnd(DWORD timeoutMs) {
  if (window_ && IsWindow(window_)) PostMessageA(window_, WM_CLOSE, 0, 0);
  return tool_.Wait(timeoutMs) == 0;
}

}  // namespace vt9::test
