#include "app/win/system_services.h"

#include <cstring>

#include "common/win/handles.h"

namespace vt9::win {

CivilDate WinClock::Today() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return CivilDate{now.wYear, now.wMonth, now.wDay};
}

bool WinInstanceGuard::TryAcquire(const std::string& name) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  // A mutex that cannot be created makes the wait fail, which lets the check go on; only a
  // time-out means another process holds it.
  return WaitForSingleObject(mutex, 0) != WAIT_TIMEOUT;
}

std::optional<unsigned> WinOsInfo::MajorVersion() {
  OSVERSIONINFOA info{};
  static_assert(sizeof info == 148);
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return std::nullopt;
#pragma GCC diagnostic pop
  return info.dwMajorVersion;
}

bool WinLauncher::RunAndWait(const std::string& commandLine, unsigned short showMode) {
  if (commandLine.size() > kCommandLineChars) return false;
  char buffer[kCommandLineChars + 1] = {};
  std::memcpy(buffer, commandLine.data(), commandLine.size());

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showMode;
  PROCESS_INFORMATION info{};
  DWORD exitCode = 0;
  if (CreateProcessA(nullptr, buffer, nullptr, nullptr, FALSE,
                     CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &info)) {
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    if (!GetExitCodeProcess(process.get(), &exitCode)) exitCode = 0;
  }
  return exitCode != 0;
}

std::string WinStringTable::Load(unsigned id) {
  char text[1024] = {};
  const int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return std::string(text, length > 0 ? length : 0);
}

}  // namespace vt9::win
