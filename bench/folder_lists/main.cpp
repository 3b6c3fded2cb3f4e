// Times the special-folder lists as a start of the tool meets them (in a fresh process), and
// the shell queries one by one, so the expensive ones stand out.
//   wine bench_folder_lists.exe            cost at start, at first read, of a warm rebuild
//   wine bench_folder_lists.exe detail     every query with its time
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "common/win/shell_folders.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "detail") == 0) {
    auto start = Clock::now();
    vt9::win::WinSpecialFolderShell shell;
    std::printf("%8.2f ms  load SHFolder.dll\n", MsSince(start));
    for (int csidl = 0; csidl < vt9::kSpecialFolderCount; ++csidl) {
      const std::string name = vt9::SpecialFolderName(csidl);
      if (name == "%%") continue;
      start = Clock::now();
      const std::string path = shell.FolderPath(csidl);
      std::printf("%8.2f ms  path %s %s\n", MsSince(start), name.c_str(), path.c_str());
      if (path.empty() && vt9::IsVirtualFolderName(name)) {
        start = Clock::now();
        const auto display = shell.DisplayName(csidl);
        std::printf("%8.2f ms  display name %s %s\n", MsSince(start), name.c_str(),
                    display ? display->c_str() : "(none)");
      }
    }
    start = Clock::now();
    shell.TempFolder();
    shell.CurrentFolder();
    std::printf("%8.2f ms  temporary and current folder\n", MsSince(start));
    return 0;
  }
  // What every start pays, then what the first reader of the lists pays, then a rebuild in a
  // process that has everything loaded already.
  auto start = Clock::now();
  vt9::win::BuildSpecialFolderLists();
  const double atStart = MsSince(start);
  start = Clock::now();
  const int count = vt9::TSpecialFolderList().Count();
  const double firstUse = MsSince(start);
  double best = 1e9;
  for (int i = 0; i < 10; ++i) {
    vt9::win::BuildSpecialFolderLists();
    start = Clock::now();
    vt9::TSpecialFolderList().Count();
    const double ms = MsSince(start);
    if (ms < best) best = ms;
  }
  std::printf(
      "at start %.3f ms; first read of the lists (%d paths) %.2f ms; "
      "best later rebuild %.2f ms\n",
      atStart, count, firstUse, best);
  return 0;
}
