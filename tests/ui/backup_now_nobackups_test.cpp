// Without anything to back up the tool says so once, starts the main backup program without
// parameters and ends.
#include <gtest/gtest.h>

#include "backupnow/backup_now_layout.h"
#include "support/win/backup_now_driver.h"

namespace vt9 {
namespace {

namespace id = backup_now_id;
using test::BackupNowDriver;

// Runs the tool with the prepared settings and checks the whole no-backups flow.
void ExpectNoBackupsFlow(BackupNowDriver& d, const std::string& screenshot = "") {
  d.tool().Start("\\v");
  HWND box = d.WaitForDialog();
  ASSERT_TRUE(box);
  EXPECT_EQ(test::WindowText(box), "Vantory 9 - Backup Now!");
  EXPECT_NE(test::ChildTexts(box).find(
                "You must make at least one backup before using the \"Backup Now\" function."),
            std::string::npos)
      << test::ChildTexts(box);
  if (!screenshot.empty()) BackupNowDriver::Snapshot(screenshot);
  EXPECT_TRUE(d.tool().Calls().empty());  // nothing starts before the box is dismissed
  EXPECT_TRUE(BackupNowDriver::PressDialogButton(box, IDOK));
  EXPECT_EQ(d.WaitForParameters(1), std::vector<std::string>{""});
  EXPECT_TRUE(d.EndsNormally());
}

TEST(BackupNowNoBackups, NoSettingsAtAll) {
  BackupNowDriver d("nothing");
  ExpectNoBackupsFlow(d, "backup_now_no_backups");
}

TEST(BackupNowNoBackups, LastBackupWithoutDataPath) {
  BackupNowDriver d("nodatapath");
  test::SetSetting("LastBackupName", "E:\\Last\\Full.zip");
  ExpectNoBackupsFlow(d);
}

TEST(BackupNowNoBackups, DataPathWithoutTrailingBackslashFindsNoJobs) {
  BackupNowDriver d("noslash");
  std::string path = d.dataPath();
  path.pop_back();
  test::SetSetting("VT9DataPath", path);
  d.AddJob("Daily.jdf", BackupNowDriver::JobText("E:\\Save\\"));
  ExpectNoBackupsFlow(d);
}

TEST(BackupNowNoBackups, DataPathWithoutJobFiles) {
  BackupNowDriver d("nojobs");
  d.UseDataPath();
  d.AddJob("Daily.txt", "");
  ExpectNoBackupsFlow(d);
}

TEST(BackupNowNoBackups, DataPathOfWrongTypeIsReportedAndTheWindowSurvives) {
  BackupNowDriver d("wrongpath");
  test::SetSettingDword("VT9DataPath", 7);
  d.tool().Start("\\v");
  HWND report = d.WaitForDialog();
  ASSERT_TRUE(report);
  EXPECT_NE(test::ChildTexts(report).find("VT9DataPath"), std::string::npos)
      << test::ChildTexts(report);
  EXPECT_TRUE(BackupNowDriver::PressDialogButton(report, IDOK));
  HWND window = test::WaitForWindow(d.tool().processId(), "TfVT9Now", "Vantory 9 - Backup Now!");
  ASSERT_TRUE(window);
  // Without a job list nothing can be backed up.
  HWND doIt = GetDlgItem(GetDlgItem(window, id::pnlRemindBtns), id::btnDoIt);
  EXPECT_FALSE(IsWindowEnabled(doIt));
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(d.EndsNormally());
  EXPECT_TRUE(d.tool().Calls().empty());
}

}  // namespace
}  // namespace vt9
