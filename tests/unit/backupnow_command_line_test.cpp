#include <gtest/gtest.h>

#include "backupnow/command_line.h"

namespace vt9 {
namespace {

BackupRequest DailyToSave() {
  BackupRequest r;
  r.jobName = "Daily";
  r.location = "E:\\Save\\";
  return r;
}

TEST(BackupParameters, EachEndActionPutsItsSwitchBeforeBackupNow) {
  const char* expected[] = {"\\Q", "\\QS", "\\QL", "\\QH", "\\QR"};
  for (int i = 0; i < 5; ++i) {
    BackupRequest r = DailyToSave();
    r.endAction = i;
    EXPECT_EQ(ComposeBackupParameters(r),
              std::string(expected[i]) + " \\BN \\J=\"Daily\" \\D=\"E:\\Save\\\"")
        << kEndActions[static_cast<std::size_t>(i)].text;
  }
}

TEST(BackupParameters, TypedEndActionGivesNoSwitch) {
  BackupRequest r = DailyToSave();
  r.endAction = -1;
  EXPECT_EQ(ComposeBackupParameters(r), " \\BN \\J=\"Daily\" \\D=\"E:\\Save\\\"");
  r.endAction = 5;
  EXPECT_EQ(ComposeBackupParameters(r), " \\BN \\J=\"Daily\" \\D=\"E:\\Save\\\"");
}

TEST(BackupParameters, RedoLastBackupPassesNoJob) {
  BackupRequest r = DailyToSave();
  r.endAction = 1;
  r.redoLastBackup = true;
  EXPECT_EQ(ComposeBackupParameters(r), "\\QS \\BN \\D=\"E:\\Save\\\"");
  r.button = StartButton::RunMain;
  EXPECT_EQ(ComposeBackupParameters(r), " \\D=\"E:\\Save\\\"");
}

TEST(BackupParameters, RunMainHasNoEndActionAndHonoursNoJobPass) {
  BackupRequest r = DailyToSave();
  r.endAction = 1;
  r.button = StartButton::RunMain;
  EXPECT_EQ(ComposeBackupParameters(r), " \\J=\"Daily\" \\D=\"E:\\Save\\\"");
  r.noJobPass = true;
  EXPECT_EQ(ComposeBackupParameters(r), " \\D=\"E:\\Save\\\"");
  r.button = StartButton::BackupNow;
  EXPECT_EQ(ComposeBackupParameters(r), "\\QS \\BN \\J=\"Daily\" \\D=\"E:\\Save\\\"");
}

TEST(BackupParameters, EmptyAndUnusualTextsPassUnchanged) {
  BackupRequest r;
  r.jobName = "";
  r.location = "";
  EXPECT_EQ(ComposeBackupParameters(r), "\\Q \\BN \\J=\"\" \\D=\"\"");
  r.jobName = "My \"odd\" job.v2";
  r.location = "C:\\a \"b\"\\";
  EXPECT_EQ(ComposeBackupParameters(r), "\\Q \\BN \\J=\"My \"odd\" job.v2\" \\D=\"C:\\a \"b\"\\\"");
}

TEST(ShellCommandLine, LengthCountsQuotedPathAndSeparatingBlank) {
  EXPECT_EQ(ShellCommandLineLength("C:\\VT9.exe", ""), 12u);
  EXPECT_EQ(ShellCommandLineLength("C:\\VT9.exe", " \\D=\"\""), 12u + 1 + 6);
}

TEST(ShellCommandLine, LimitIsInclusive) {
  const std::string path = "C:\\P\\VT9.exe";
  const std::size_t room = kMaxShellCommandLineChars - (path.size() + 3);
  EXPECT_TRUE(FitsShellCommandLine(path, std::string(room, 'x')));
  EXPECT_FALSE(FitsShellCommandLine(path, std::string(room + 1, 'x')));
  EXPECT_NE(CommandLineTooLongMessage(2100).find("2100"), std::string::npos);
  EXPECT_NE(CommandLineTooLongMessage(2100).find("2047"), std::string::npos);
}

}  // namespace
}  // namespace vt9
