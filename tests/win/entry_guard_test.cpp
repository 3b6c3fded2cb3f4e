// The program's entry guard and its own path: whatever escapes the entry ends in the standard
// error report and exit code 3, and the program's path is read whole.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

#include "common/win/error_report.h"
#include "common/win/module_path.h"

namespace vt9 {
namespace {

// Waits for the report box of this process, keeps its text and presses OK.
class ReportWatcher {
 public:
  ReportWatcher() : thread_([this] { Watch(); }) {}
  ~ReportWatcher() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::string Text() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return text_;
  }

 private:
  static BOOL CALLBACK Match(HWND window, LPARAM param) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(window) || std::string(cls) != "#32770")
      return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  void Watch() {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 10000) {
      HWND box = nullptr;
      EnumWindows(Match, reinterpret_cast<LPARAM>(&box));
      if (box) {
        char caption[256] = {};
        GetWindowTextA(box, caption, sizeof caption);
        text_ = caption;
        text_ += "|";
        // The message is the box's static text (id 0xFFFF).
        char message[1024] = {};
        GetDlgItemTextA(box, 0xFFFF, message, sizeof message);
        text_ += message;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      if (stop_) return;
      Sleep(30);
    }
  }
  std::atomic<bool> stop_{false};
  std::string text_;
  std::thread thread_;
};

TEST(EntryGuard, ErrorsOfAnyKindAreReportedAndEndWithCodeThree) {
  win::SetApplicationTitle("Entry test");
  {
    ReportWatcher watcher;
    EXPECT_EQ(win::RunEntry([] { throw std::runtime_error("Disk on fire."); }), 3);
    EXPECT_EQ(watcher.Text(), "Entry test|Disk on fire.");
  }
  {
    ReportWatcher watcher;
    EXPECT_EQ(win::RunEntry([] { throw 42; }), 3);
    EXPECT_EQ(watcher.Text(), "Entry test|Unexpected error.");
  }
  {
    ReportWatcher watcher;
    bool ran = false;
    EXPECT_EQ(win::RunEntry([&] { ran = true; }), 0);
    EXPECT_TRUE(ran);
    EXPECT_EQ(watcher.Text(), "");  // no report
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
