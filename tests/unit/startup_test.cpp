#include "app/startup.h"

#include <gtest/gtest.h>

#include "app/dep_check.h"
#include "common/settings.h"
#include "support/fakes.h"

namespace vt9 {
namespace {

using test::FakeRegistry;

// Records which main window ran and under which application title.
class RecordingWindows : public MainWindows {
 public:
  void SetApplicationTitle(const std::string& title) override { log += "title:" + title + ";"; }
  void RunInformationWindow() override { log += "info;"; }
  void RunLogViewer(const ProgramState&) override { log += "viewer;"; }
  void RunBackupNow(const ProgramState& state) override {
    log += "backupnow;";
    reminder = state.reminderText;
  }
  std::string log;
  std::string reminder;
};

class Startup : public ::testing::Test {
 protected:
  void Run(const std::string& arg) {
    StartupServices s{reg, clock, guard, strings, os, launcher, windows};
    RunStartup(arg, "C:\\Program Files\\Vantory 9\\", s, state);
  }
  void MakeDepConflict() {
    os.major = 6;
    reg.Set(RegRoot::LocalMachine, kDepPolicyKey, "Element", std::string("\x01\0\0\0\0\0\0\0", 8),
            FakeRegistry::Type::Binary);
  }
  void MakeReminderDue() {
    reg.Set(RegRoot::CurrentUser, kSettingsKey, "LastBackupDate", "2026/01/01");
    reg.Set(RegRoot::CurrentUser, kSettingsKey, "ReminderDays", "7");
  }

  FakeRegistry reg;
  test::FakeClock clock;
  test::FakeGuard guard;
  test::FakeStrings strings;
  test::FakeOs os;
  test::FakeLauncher launcher;
  RecordingWindows windows;
  ProgramState state;
};

TEST_F(Startup, NoArgumentWithoutConflictOpensBackupNow) {
  Run("");
  EXPECT_EQ(windows.log, "title:Vantory 9 - Run Now;backupnow;");
  EXPECT_TRUE(launcher.calls.empty());
}

TEST_F(Startup, LiuWithoutConflictStartsMainProgramUnquotedAndShowsNothing) {
  Run("\\LIU");
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0], "C:\\Program Files\\Vantory 9\\vt9.exe \\LIU");
  EXPECT_EQ(launcher.lastShowMode, 1);
  EXPECT_EQ(windows.log, "");
}

TEST_F(Startup, ConflictShowsOnlyTheInformationWindow) {
  MakeDepConflict();
  for (const char* arg : {"", "\\LIU"}) {
    windows.log.clear();
    Run(arg);
    EXPECT_EQ(windows.log, "title:Vantory 9;info;") << arg;
  }
  EXPECT_TRUE(launcher.calls.empty());
}

TEST_F(Startup, LowerCaseLiuAndViewerOpenBackupNowWithoutDepCheck) {
  MakeDepConflict();
  for (const char* arg : {"\\liu", "\\v", "/LIU", "anything"}) {
    windows.log.clear();
    reg.reads = 0;
    Run(arg);
    EXPECT_EQ(windows.log, "title:Vantory 9 - Run Now;backupnow;") << arg;
    EXPECT_EQ(reg.reads, 0) << arg;
  }
  EXPECT_TRUE(guard.names.empty());
}

TEST_F(Startup, ViewerArgumentOpensTheLogViewer) {
  Run("\\V");
  EXPECT_EQ(windows.log, "title:Vantory 9 - Viewer;viewer;");
}

TEST_F(Startup, CheckInAnyCaseRunsTheReminderAndNeverTheDepCheck) {
  MakeDepConflict();
  MakeReminderDue();
  Run("\\check");
  EXPECT_EQ(guard.names, std::vector<std::string>{"VT9Backup-Check"});
  EXPECT_EQ(windows.log, "title:Vantory 9 - Run Now;backupnow;");
  EXPECT_NE(windows.reminder.find("more than 7 days"), std::string::npos);
}

TEST_F(Startup, CheckNotDueEndsWithoutAnyWindow) {
  Run("\\CHECK");
  EXPECT_EQ(windows.log, "");
  EXPECT_TRUE(launcher.calls.empty());
}

TEST_F(Startup, SecondCheckWhileGuardIsHeldTouchesNothing) {
  MakeReminderDue();
  guard.heldElsewhere = true;
  reg.reads = reg.writes = 0;
  Run("\\CHECK");
  EXPECT_EQ(windows.log, "");
  EXPECT_EQ(reg.reads + reg.writes, 0);
}

TEST_F(Startup, WrongTypedSettingEscapesTheReminderCheck) {
  reg.Set(RegRoot::CurrentUser, kSettingsKey, "LastReminderDate", "\x01\x02", FakeRegistry::Type::Binary);
  EXPECT_THROW(Run("\\CHECK"), RegistryTypeError);
  EXPECT_EQ(windows.log, "");
}

}  // namespace
}  // namespace vt9
