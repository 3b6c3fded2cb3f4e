// The stand-in main program records what it was started with; every launcher and window
// test relies on that record, so it is checked first.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/win/paths.h"

namespace vt9 {
namespace {

TEST(StandIn, RecordsItsCommandLineAndChosenExitCode) {
  const std::string folder = test::MakeTempFolder("standin");
  ASSERT_TRUE(
      CopyFileA((test::BinFolder() + "vt9.exe").c_str(), (folder + "vt9.exe").c_str(), FALSE));
  test::WriteFile(folder + "vt9-exit.txt", "5");
  std::string cmd = folder + "vt9.exe \\J=\"My Job\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(
      CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  EXPECT_EQ(code, 5u);
  EXPECT_EQ(test::ReadFile(folder + "vt9-calls.log"), folder + "vt9.exe \\J=\"My Job\"\t5\r\n");
}

}  // namespace
}  // namespace vt9
