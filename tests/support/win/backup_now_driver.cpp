#include "support/win/backup_now_driver.h"

#include "backupnow/win/backup_now_window.h"
#include "support/win/paths.h"

namespace vt9::test {
namespace {

struct ChildRequest {
  int id;
  HWND found;
};

BOOL CALLBACK MatchChildId(HWND child, LPARAM param) {
  auto* request = reinterpret_cast<ChildRequest*>(param);
  if (GetDlgCtrlID(child) == request->id) {
    request->found = child;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

BackupNowDriver::BackupNowDriver(const std::string& tag) : tool_(tag) {
  ResetSettings();
  dataPath_ = tool_.folder() + "Data\\";
  CreateDirectoryA(dataPath_.c_str(), nullptr);
  CreateDirectoryA(jobFolder().c_str(), nullptr);
}

void BackupNowDriver::AddJob(const std::string& fileName, const std::string& contents) {
  WriteFile(jobFolder() + fileName, contents);
}

std::string BackupNowDriver::JobText(const std::string& backupFolder,
                                     const std::string& lastBackupName) {
  return "[Parms]\r\nBackupFolder=" + backupFolder + "\r\nLastBackupName=" + lastBackupName +
         "\r\n";
}

HWND BackupNowDriver::Open(const std::string& args, const std::string& caption) {
  tool_.Start(args);
  window_ = WaitForWindow(tool_.processId(), vt9::win::kBackupNowWindowClass, caption);
  return window_;
}

HWND BackupNowDriver::Control(int id) const {
  // Controls sit on panels; the search covers every level.
  ChildRequest request{id, nullptr};
  EnumChildWindows(window_, MatchChildId, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

std::vector<std::string> BackupNowDriver::ComboItems(int id) const {
  // CB_GETLBTEXT hands a pointer that is not carried across processes; WM_GETTEXT is. So each
  // item is selected in turn (CB_SETCURSEL notifies nobody) and the selection put back.
  HWND box = Control(id);
  std::vector<std::string> items;
  const auto selected = SendMessageA(box, CB_GETCURSEL, 0, 0);
  const auto count = SendMessageA(box, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    items.push_back(WindowText(box));
  }
  SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  return items;
}

int BackupNowDriver::ComboSelection(int id) const {
  return static_cast<int>(SendMessageA(Control(id), CB_GETCURSEL, 0, 0));
}

void BackupNowDriver::SelectComboItem(int id, int index) {
  HWND box = Control(id);
  SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box));
}

void BackupNowDriver::TypeIntoCombo(int id, const std::string& text) {
  HWND edit = FindWindowExA(Control(id), nullptr, "Edit", nullptr);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, WM_CHAR, VK_BACK, 0);
  for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

int BackupNowDriver::CheckState(int id) const {
  return static_cast<int>(SendMessageA(Control(id), BM_GETCHECK, 0, 0));
}

SIZE BackupNowDriver::ClientSize() const {
  RECT r{};
  GetClientRect(window_, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void BackupNowDriver::Press(int id) const { PostMessageA(Control(id), BM_CLICK, 0, 0); }

HWND BackupNowDriver::WaitForDialog(DWORD timeoutMs) const {
  return WaitForWindow(tool_.processId(), "#32770", "", timeoutMs);
}

bool BackupNowDriver::PressDialogButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (!button || !IsWindowEnabled(button)) return false;
  PostMessageA(button, BM_CLICK, 0, 0);
  return true;
}

std::vector<std::string> BackupNowDriver::WaitForParameters(std::size_t count, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  std::vector<std::string> calls = tool_.Calls();
  while (calls.size() < count && GetTickCount() - start < timeoutMs) {
    Sleep(50);
    calls = tool_.Calls();
  }
  std::vector<std::string> parameters;
  for (std::string line : calls) {
    line = line.substr(0, line.rfind('\t'));
    std::size_t pathEnd = line.empty() || line[0] != '"' ? line.find(' ') : line.find('"', 1);
    if (pathEnd == std::string::npos) {
      parameters.push_back("");
      continue;
    }
    if (line[0] == '"') ++pathEnd;
    parameters.push_back(pathEnd < line.size() ? line.substr(pathEnd + 1) : std::string());
  }
  return parameters;
}

void BackupNowDriver::Snapshot(const std::string& name) {
  // Waits until the picture is completely written, so the window is still as the test left it.
  SaveScreenshot(name);
}

}  // namespace vt9::test
