// The launcher against real processes: the stand-in main program records how it was started.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/win/system_services.h"
#include "support/win/paths.h"

namespace vt9 {
namespace {

class Launcher : public ::testing::Test {
 protected:
  void SetUp() override { folder = test::MakeTempFolder("launcher"); }
  std::string Install(const std::string& subfolder = "") {
    const std::string target = folder + subfolder;
    CreateDirectoryA(target.c_str(), nullptr);
    const std::string exe = target + "vt9.exe";
    EXPECT_TRUE(CopyFileA((test::BinFolder() + "vt9.exe").c_str(), exe.c_str(), FALSE));
    return exe;
  }
  std::string folder;
  win::WinLauncher launcher;
};

TEST_F(Launcher, ResultIsWhetherTheExitCodeWasNonZero) {
  const std::string exe = Install();
  EXPECT_FALSE(launcher.RunAndWait(exe + " \\LIU", 1));
  test::WriteFile(folder + "vt9-exit.txt", "3");
  EXPECT_TRUE(launcher.RunAndWait(exe + " \\LIU", 1));
  EXPECT_EQ(test::ReadFile(folder + "vt9-calls.log"),
            exe + " \\LIU\t0\r\n" + exe + " \\LIU\t3\r\n");
}

TEST_F(Launcher, WaitsUntilTheProgramHasEnded) {
  const std::string exe = Install();
  SetEnvironmentVariableA("VT9_STANDIN_SLEEP_MS", "700");
  const DWORD start = GetTickCount();
  launcher.RunAndWait(exe + " \\LIU", 1);
  const DWORD elapsed = GetTickCount() - start;
  SetEnvironmentVariableA("VT9_STANDIN_SLEEP_MS", nullptr);
  EXPECT_GE(elapsed, 650u);
  EXPECT_FALSE(test::ReadFile(folder + "vt9-calls.log").empty());
}

TEST_F(Launcher, MissingProgramIsFalseAtOnce) {
  const DWORD start = GetTickCount();
  EXPECT_FALSE(launcher.RunAndWait(folder + "nowhere\\vt9.exe \\LIU", 1));
  EXPECT_LT(GetTickCount() - start, 2000u);
}

TEST_F(Launcher, UnquotedPathWithBlanksIsStillFound) {
  const std::string exe = Install("Vantory 9 Suite\\");
  test::WriteFile(folder + "Vantory 9 Suite\\vt9-exit.txt", "4");
  EXPECT_TRUE(launcher.RunAndWait(exe + " \\LIU", 1));
  EXPECT_NE(test::ReadFile(folder + "Vantory 9 Suite\\vt9-calls.log").find("\\LIU\t4"),
            std::string::npos);
}

TEST_F(Launcher, CommandLineLongerThanItsBufferIsRefusedNotCut) {
  const std::string exe = Install();
  const std::string args(win::WinLauncher::kCommandLineChars - exe.size(), 'a');
  test::WriteFile(folder + "vt9-exit.txt", "1");
  EXPECT_TRUE(launcher.RunAndWait(exe + args.substr(1).insert(0, " "), 1));  // exactly 512
  EXPECT_FALSE(launcher.RunAndWait(exe + " " + args, 1));                    // 513
  const std::string log = test::ReadFile(folder + "vt9-calls.log");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
}

}  // namespace
}  // namespace vt9
