// The Backup Now window in its reminder layout, reached through a due reminder check, and the
// keyboard: Esc, F1.
#include <gtest/gtest.h>

#include "backupnow/backup_now_layout.h"
#include "support/win/backup_now_driver.h"
#include "vt9_texts.h"

namespace vt9 {
namespace {

namespace id = backup_now_id;
using test::BackupNowDriver;

constexpr const char* kReminderCaption = "Vantory 9 - Backup Reminder";

// A reminder interval of 3 days and a last backup 10 days ago: the check is due today.
void PrepareDueReminder(BackupNowDriver& d) {
  test::SetSetting("ReminderDays", "3");
  test::SetSetting("LastBackupDate", test::DateTextDaysAgo(10));
  test::SetSetting("LastBackupName", "E:\\Last\\Full.zip");
  d.UseDataPath();
  d.AddJob("Daily.jdf", BackupNowDriver::JobText("E:\\Save\\"));
}

std::string ExpectedReminder() {
  std::string text = STR_REMINDER_DAYS;
  return text.replace(text.find("xxx"), 3, "3");
}

TEST(BackupNowReminder, LowerCaseCheckShowsTheReminderAndNoRemindSticksOnCancel) {
  BackupNowDriver d("remind");
  PrepareDueReminder(d);
  ASSERT_TRUE(d.Open("\\check", kReminderCaption));
  const SIZE client = d.ClientSize();
  EXPECT_EQ(client.cx, 378);
  EXPECT_EQ(client.cy, 342);
  EXPECT_TRUE(d.IsVisible(id::pnlRemind));
  EXPECT_EQ(d.Text(id::pnlRemind), ExpectedReminder());
  EXPECT_EQ(d.Text(id::chkNoRemind), "Do not remind me again");
  EXPECT_EQ(d.CheckState(id::chkNoRemind), BST_UNCHECKED);
  EXPECT_EQ(d.ComboItems(id::lstJobs),
            (std::vector<std::string>{"Redo Last Backup", "Daily Backup"}));
  BackupNowDriver::Snapshot("backup_now_reminder");

  d.Press(id::chkNoRemind);
  Sleep(200);
  EXPECT_EQ(d.CheckState(id::chkNoRemind), BST_CHECKED);
  d.Press(id::btnCancel);
  EXPECT_TRUE(d.EndsNormally());
  EXPECT_EQ(test::GetSetting("ReminderDays"), "0");
  EXPECT_TRUE(d.tool().Calls().empty());
}

TEST(BackupNowReminder, EscapeClosesWithoutSwitchingRemindersOff) {
  BackupNowDriver d("remindesc");
  PrepareDueReminder(d);
  ASSERT_TRUE(d.Open("\\CHECK", kReminderCaption));
  PostMessageA(d.Control(id::lstJobs), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(d.EndsNormally());
  EXPECT_EQ(test::GetSetting("ReminderDays"), "3");
  EXPECT_TRUE(d.tool().Calls().empty());
}

TEST(BackupNowReminder, EnterStartsTheBackupOfTheSelectedJob) {
  BackupNowDriver d("remindenter");
  PrepareDueReminder(d);
  ASSERT_TRUE(d.Open("\\CHECK", kReminderCaption));
  d.SelectComboItem(id::lstJobs, 1);
  PostMessageA(d.Control(id::lstJobs), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(d.WaitForParameters(1),
            std::vector<std::string>{"\\Q \\BN \\J=\"Daily\" \\D=\"E:\\Save\\\""});
  EXPECT_TRUE(d.EndsNormally());
}

TEST(BackupNowReminder, F1WithoutHelpFileExplainsAndKeepsTheWindow) {
  BackupNowDriver d("help");
  PrepareDueReminder(d);
  ASSERT_TRUE(d.Open("\\CHECK", kReminderCaption));
  PostMessageA(d.Control(id::lstJobs), WM_KEYDOWN, VK_F1, 0);
  HWND box = d.WaitForDialog();
  ASSERT_TRUE(box);
  EXPECT_NE(test::ChildTexts(box).find("VT9.chm"), std::string::npos) << test::ChildTexts(box);
  EXPECT_TRUE(BackupNowDriver::PressDialogButton(box, IDOK));
  Sleep(300);
  ASSERT_TRUE(IsWindowVisible(d.window()));
  d.Press(id::btnCancel);
  EXPECT_TRUE(d.EndsNormally());
}

}  // namespace
}  // namespace vt9
