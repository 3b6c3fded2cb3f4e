// Start-up modes of the real VT9Now.exe under Wine: what it starts, what it records, and how
// it ends, for the launcher, the DEP guard and the reminder check.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/win/paths.h"
#include "support/win/tool_process.h"

namespace vt9 {
namespace {

using test::ToolFolder;
const std::string kEnforcing("\x01\0\0\0\0\0\0\0", 8);

class StartupModes : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ResetSettings();
    test::SetDepPolicy("");
    test::SetReportedWindows("win7");
  }
  void TearDown() override {
    test::SetDepPolicy("");
    test::SetReportedWindows("win7");
  }
};

TEST_F(StartupModes, LiuStartsTheMainProgramAndWaitsForIt) {
  ToolFolder tool("liu");
  test::SetDepPolicy(std::string(8, '\0'));
  SetEnvironmentVariableA("VT9_STANDIN_SLEEP_MS", "800");
  const DWORD start = GetTickCount();
  EXPECT_EQ(tool.Run("\\LIU"), 0u);
  const DWORD elapsed = GetTickCount() - start;
  SetEnvironmentVariableA("VT9_STANDIN_SLEEP_MS", nullptr);
  EXPECT_EQ(tool.Calls(), std::vector<std::string>{tool.folder() + "vt9.exe \\LIU\t0"});
  EXPECT_GE(elapsed, 750u);
}

TEST_F(StartupModes, LiuFromAFolderWithBlanksStillFindsTheMainProgram) {
  ToolFolder tool("liu-blanks", "Vantory 9 Suite\\");
  test::WriteFile(tool.folder() + "vt9-exit.txt", "2");
  EXPECT_EQ(tool.Run("\\LIU"), 0u);  // the main program's exit code is not passed on
  const auto calls = tool.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_NE(calls[0].find("Vantory 9 Suite\\vt9.exe"), std::string::npos);
  EXPECT_NE(calls[0].find(" \\LIU\t2"), std::string::npos);
}

TEST_F(StartupModes, LiuWithoutMainProgramEndsQuietly) {
  ToolFolder tool("liu-missing");
  ASSERT_TRUE(DeleteFileA((tool.folder() + "vt9.exe").c_str()));
  EXPECT_EQ(tool.Run("\\LIU", 5000), 0u);
  EXPECT_TRUE(tool.Calls().empty());
}

TEST_F(StartupModes, OnlyVersionSixLooksAtTheDepPolicy) {
  test::SetDepPolicy(kEnforcing);
  for (const char* version : {"winxp", "win10"}) {
    ToolFolder tool(version);
    test::SetReportedWindows(version);
    EXPECT_EQ(tool.Run("\\LIU"), 0u) << version;
    EXPECT_EQ(tool.Calls().size(), 1u) << version;
  }
}

TEST_F(StartupModes, ExemptedMainProgramHasNoConflict) {
  ToolFolder tool("exempt");
  test::SetDepPolicy(kEnforcing);
  test::SetCompatLayers(tool.folder() + "vt9.exe", "disableNXshowUI");
  EXPECT_EQ(tool.Run("\\LIU"), 0u);
  EXPECT_EQ(tool.Calls().size(), 1u);
  test::SetCompatLayers(tool.folder() + "vt9.exe", "DisableNXShowUI RUNASADMIN");
  tool.Start("\\LIU");
  HWND info = test::WaitForWindow(tool.processId(), "", "Vantory 9 Information", 5000);
  if (info) PostMessageA(info, WM_CLOSE, 0, 0);
  EXPECT_EQ(tool.Wait(), 0u);
  EXPECT_EQ(tool.Calls().size(), 1u) << "a second layer must not exempt the main program";
}

TEST_F(StartupModes, ReminderNotDueRecordsTodayAndShowsNothing) {
  ToolFolder tool("check");
  test::SetSetting("LastBackupDate", test::DateTextDaysAgo(1));
  test::SetSetting("ReminderDays", "7");
  EXPECT_EQ(tool.Run("\\CHECK"), 0u);
  EXPECT_EQ(test::GetSetting("LastReminderDate"), test::TodayText());
  EXPECT_TRUE(tool.Calls().empty());
}

TEST_F(StartupModes, ReminderCheckWaitsForNoOneWhileAnotherHoldsTheGuard) {
  ToolFolder tool("guard");
  HANDLE mutex = CreateMutexA(nullptr, TRUE, "VT9Backup-Check");
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(tool.Run("\\check", 5000), 0u);
  EXPECT_EQ(test::GetSetting("LastReminderDate"), "<absent>");
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  EXPECT_EQ(tool.Run("\\check", 5000), 0u);
  EXPECT_EQ(test::GetSetting("LastReminderDate"), test::TodayText());
}

TEST_F(StartupModes, OfTwoSimultaneousReminderChecksExactlyOneGoesOn) {
  ToolFolder first("check-a");
  ToolFolder second("check-b");
  test::SetSetting("LastBackupDate", test::DateTextDaysAgo(30));
  test::SetSetting("ReminderDays", "7");
  test::SetSetting("LastBackupName", "C:\\Backups\\Daily.zip");  // something to back up
  test::SetSetting("VT9DataPath", first.folder());
  first.Start("\\CHECK");
  second.Start("\\CHECK");
  HWND a = test::WaitForWindow(first.processId(), "", "Vantory 9 - Backup Reminder", 8000);
  HWND b = test::WaitForWindow(second.processId(), "", "Vantory 9 - Backup Reminder", a ? 1500 : 8000);
  EXPECT_TRUE((a == nullptr) != (b == nullptr)) << "exactly one reminder window";
  ToolFolder& loser = a ? second : first;
  EXPECT_EQ(loser.Wait(5000), 0u) << "the other check ends at once";
  if (a) PostMessageA(a, WM_CLOSE, 0, 0);
  if (b) PostMessageA(b, WM_CLOSE, 0, 0);
  EXPECT_EQ((a ? first : second).Wait(), 0u);
}

TEST_F(StartupModes, WrongTypedSettingEndsWithAReportNamingIt) {
  ToolFolder tool("wrongtype");
  test::SetSetting("LastBackupDate", "2020/01/01");
  test::SetSettingDword("ReminderDays", 5);
  tool.Start("\\CHECK");
  HWND report = test::WaitForWindow(tool.processId(), "#32770", "");
  ASSERT_NE(report, nullptr);
  EXPECT_NE(test::ChildTexts(report).find("\"ReminderDays\""), std::string::npos);
  test::Screenshot("startup-wrong-type-report");
  ASSERT_TRUE(test::ClickButton(report, "OK"));
  EXPECT_EQ(tool.Wait(), 3u);
}

}  // namespace
}  // namespace vt9
