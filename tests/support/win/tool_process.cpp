#include "support/win/tool_process.h"

#include <cstdio>
#include <sstream>

#include "app/dep_check.h"
#include "support/win/paths.h"

namespace vt9::test {
namespace {
constexpr const char* kSettings = "Software\\Corvane\\VT9";

// Machine-wide values go where the shipped 32-bit tool reads them: the 32-bit view.
REGSAM ViewOf(HKEY root) { return root == HKEY_LOCAL_MACHINE ? KEY_WOW64_32KEY : 0; }

void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE | ViewOf(root), nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

std::string DateText(const SYSTEMTIME& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%04u/%02u/%02u", t.wYear, t.wMonth, t.wDay);
  return text;
}
}  // namespace

ToolFolder::ToolFolder(const std::string& tag, const std::string& subfolder) {
  folder_ = MakeTempFolder(tag) + subfolder;
  CreateDirectoryA(folder_.c_str(), nullptr);
  CopyFileA((BinFolder() + "VT9Now.exe").c_str(), (folder_ + "VT9Now.exe").c_str(), FALSE);
  CopyFileA((BinFolder() + "vt9.exe").c_str(), (folder_ + "vt9.exe").c_str(), FALSE);
}

ToolFolder::~ToolFolder() { Kill(); }

void ToolFolder::Start(const std::string& args) {
  Kill();
  std::string cmd = "\"" + exe() + "\"" + (args.empty() ? "" : " " + args);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &si,
                     &pi)) {
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
  }
}

DWORD ToolFolder::Wait(DWORD timeoutMs) {
  if (!process_) return DWORD(-1);
  if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  CloseHandle(process_);
  process_ = nullptr;
  return code;
}

void ToolFolder::Kill() {
  if (!process_) return;
  TerminateProcess(process_, 99);
  WaitForSingleObject(process_, 5000);
  CloseHandle(process_);
  process_ = nullptr;
}

std::vector<std::string> ToolFolder::Calls() const {
  std::vector<std::string> calls;
  std::istringstream in(ReadFile(folder_ + "vt9-calls.log"));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    calls.push_back(line);
  }
  return calls;
}

namespace {
struct FindRequest {
  DWORD pid;
  const std::string* className;
  const std::string* caption;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* req = reinterpret_cast<FindRequest*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != req->pid || !IsWindowVisible(window)) return TRUE;
  if (!req->className->empty() && ClassName(window) != *req->className) return TRUE;
  if (!req->caption->empty() && WindowText(window) != *req->caption) return TRUE;
  req->found = window;
  return FALSE;
}
}  // namespace

HWND WaitForAnyWindow(const char* className, const std::string& caption, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    if (HWND w = FindWindowA(className, caption.c_str()); w && IsWindowVisible(w)) return w;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

HWND WaitForWindow(DWORD pid, const std::string& className, const std::string& caption,
                   DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    FindRequest req{pid, &className, &caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&req));
    if (req.found) return req.found;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

std::string WindowText(HWND window) {
  char text[4096] = {};
  // WM_GETTEXT reads controls of other processes too; GetWindowText would not.
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

std::string ClassName(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

namespace {
BOOL CALLBACK CollectText(HWND child, LPARAM param) {
  auto* out = reinterpret_cast<std::string*>(param);
  *out += WindowText(child) + "\n";
  return TRUE;
}
struct ButtonRequest {
  const std::string* text;
  HWND found;
};
BOOL CALLBACK MatchButton(HWND child, LPARAM param) {
  auto* req = reinterpret_cast<ButtonRequest*>(param);
  if (WindowText(child) == *req->text) {
    req->found = child;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

std::string ChildTexts(HWND window) {
  std::string texts;
  EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

bool ClickButton(HWND window, const std::string& text) {
  ButtonRequest req{&text, nullptr};
  EnumChildWindows(window, MatchButton, reinterpret_cast<LPARAM>(&req));
  if (!req.found) return false;
  PostMessageA(req.found, BM_CLICK, 0, 0);
  return true;
}

void ResetSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, kSettings); }

void SetSetting(const std::string& name, const std::string& text) {
  SetValue(HKEY_CURRENT_USER, kSettings, name, REG_SZ, text.c_str(), DWORD(text.size() + 1));
}

void SetSettingDword(const std::string& name, DWORD value) {
  SetValue(HKEY_CURRENT_USER, kSettings, name, REG_DWORD, &value, sizeof value);
}

std::string GetSetting(const std::string& name) {
  char text[2048] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_CURRENT_USER, kSettings, name.c_str(), RRF_RT_REG_SZ, nullptr, text,
                   &size) != ERROR_SUCCESS)
    return "<absent>";
  return text;
}

void SetReportedWindows(const std::string& wineVersion) {
  SetValue(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\VT9Now.exe", "Version", REG_SZ,
           wineVersion.c_str(), DWORD(wineVersion.size() + 1));
}

void SetDepPolicy(const std::string& elementBytes) {
  HKEY bcd = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "BCD00000000", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &bcd) ==
      ERROR_SUCCESS) {
    RegDeleteTreeA(bcd, nullptr);
    RegCloseKey(bcd);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "BCD00000000", KEY_WOW64_32KEY, 0);
  }
  if (elementBytes.empty()) return;
  SetValue(HKEY_LOCAL_MACHINE, kDepPolicyKey, "Element", REG_BINARY, elementBytes.data(),
           DWORD(elementBytes.size()));
}

void SetCompatLayers(const std::string& programPath, const std::string& layers) {
  SetValue(HKEY_LOCAL_MACHINE, kCompatLayersKey, programPath, REG_SZ, layers.c_str(),
           DWORD(layers.size() + 1));
}

std::string TodayText() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return DateText(now);
}

std::string DateTextDaysAgo(int days) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  FILETIME ft{};
  SystemTimeToFileTime(&now, &ft);
  ULARGE_INTEGER v{};
  v.LowPart = ft.dwLowDateTime;
  v.HighPart = ft.dwHighDateTime;
  v.QuadPart -= ULONGLONG(days) * 24ull * 3600ull * 10000000ull;
  ft.dwLowDateTime = v.LowPart;
  ft.dwHighDateTime = v.HighPart;
  SYSTEMTIME then{};
  FileTimeToSystemTime(&ft, &then);
  return DateText(then);
}

}  // namespace vt9::test
