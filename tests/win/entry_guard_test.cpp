// The program's entry guard and its own path: whatever escapes the entry ends in the standard
// error report and exit code 3, and the program's path is read whole.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/win/error_report.h"
#include "common/win/module_path.h"
#include "support/win/report_watcher.h"

namespace vt9 {
namespace {

using test::ReportWatcher;
using Reports = std::vector<std::string>;

TEST(EntryGuard, ErrorsOfAnyKindAreReportedAndEndWithCodeThree) {
  win::SetApplicationTitle("Entry test");
  {
    ReportWatcher watcher;
    EXPECT_EQ(win::RunEntry([] { throw std::runtime_error("Disk on fire."); }), 3);
    EXPECT_EQ(watcher.Seen(), Reports{"Entry test|Disk on fire."});
  }
  {
    ReportWatcher watcher;
    EXPECT_EQ(win::RunEntry([] { throw 42; }), 3);
    EXPECT_EQ(watcher.Seen(), Reports{"Entry test|Unexpected error."});
  }
  {
    ReportWatcher watcher;
    bool ran = false;
    EXPECT_EQ(win::RunEntry([&] { ran = true; }), 0);
    EXPECT_TRUE(ran);
    Sleep(200);
    EXPECT_TRUE(watcher.Seen().empty());  // no report
  }
}

// Behaves as GetModuleFileNameA for a path of the given length: a buffer too small is filled
// to the brim without a NUL and its size returned.
DWORD FakeModuleFileName(const std::string& path, char* buffer, DWORD size) {
  const DWORD n = static_cast<DWORD>(path.size()) < size ? static_cast<DWORD>(path.size()) : size;
  path.copy(buffer, n);
  if (n < size) buffer[n] = '\0';
  return n;
}

TEST(OwnPath, PathsPastMaxPathAreReadWholeNeverCut) {
  for (std::size_t length : {std::size_t{10}, std::size_t{MAX_PATH}, std::size_t{MAX_PATH + 1},
                             std::size_t{700}, std::size_t{32000}}) {
    const std::string path = "C:\\" + std::string(length - 3, 'p');
    const auto read = win::ReadWholePath(
        [&](char* buffer, DWORD size) { return FakeModuleFileName(path, buffer, size); });
    ASSERT_TRUE(read.has_value()) << length;
    EXPECT_EQ(*read, path) << length;
  }
  // A path the system cannot give complete is refused, not cut.
  const std::string endless(70000, 'x');
  EXPECT_FALSE(win::ReadWholePath(
      [&](char* buffer, DWORD size) { return FakeModuleFileName(endless, buffer, size); }));
  EXPECT_FALSE(win::ReadWholePath([](char*, DWORD) { return DWORD{0}; }));
}

TEST(OwnPath, ProgramPathIsReadWholeAndItsFolderEndsWithABackslash) {
  const auto path = win::ModuleFileName(nullptr);
  ASSERT_TRUE(path.has_value());
  EXPECT_NE(GetFileAttributesA(path->c_str()), INVALID_FILE_ATTRIBUTES);
  const std::string folder = win::OwnFolder();
  EXPECT_EQ(path->substr(0, folder.size()), folder);
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_EQ(path->find('\\', folder.size()), std::string::npos);
  // A module that is not loaded has no path: nothing is made up.
  EXPECT_FALSE(win::ModuleFileName(reinterpret_cast<HMODULE>(static_cast<INT_PTR>(0x10))));
}

}  // namespace
}  // namespace vt9
