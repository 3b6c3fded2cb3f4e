#include <gtest/gtest.h>

#include <set>
#include <string>

#include "backupnow/backup_now_layout.h"
#include "backupnow/command_line.h"

namespace vt9 {
namespace {

TEST(BackupNowTable, NamesAndIdsAreUniqueAndParentsComeFirst) {
  std::set<std::string> names;
  std::set<int> ids;
  for (const auto& c : BackupNowControls()) {
    if (c.parent) {
      EXPECT_TRUE(names.count(c.parent)) << c.name << " is created before its parent";
    }
    EXPECT_TRUE(names.insert(c.name).second) << c.name;
    EXPECT_TRUE(ids.insert(c.id).second) << c.name;
  }
  EXPECT_EQ(names.size(), 14u);
}

TEST(BackupNowTable, EveryControlLiesInsideItsParentAndTheClientArea) {
  const BackupNowLayout reminder = ComputeBackupNowLayout(true);
  for (const auto& c : BackupNowControls()) {
    int parentWidth = reminder.clientWidth, parentHeight = reminder.clientHeight;
    if (c.parent) {
      const auto* p = FindBackupNowControl(c.parent);
      ASSERT_NE(p, nullptr) << c.name;
      parentWidth = p->rect.width;
      parentHeight = p->rect.height;
    }
    EXPECT_GE(c.rect.left, 0) << c.name;
    EXPECT_GE(c.rect.top, 0) << c.name;
    EXPECT_GT(c.rect.width, 0) << c.name;
    EXPECT_GT(c.rect.height, 0) << c.name;
    EXPECT_LE(c.rect.left + c.rect.width, parentWidth) << c.name;
    // The buttons panel's designed top is replaced by the layout; the others keep theirs.
    if (std::string(c.name) != "pnlRemindBtns") {
      EXPECT_LE(c.rect.top + c.rect.height, parentHeight) << c.name;
    }
  }
}

TEST(BackupNowTable, CaptionsAndIdsAsUsersAndTheDialogManagerSeeThem) {
  EXPECT_STREQ(FindBackupNowControl("chkNoRemind")->caption, "Do not remind me again");
  EXPECT_STREQ(FindBackupNowControl("Label5")->caption, "When complete...");
  EXPECT_STREQ(FindBackupNowControl("Label1")->caption, "Backup Location:");
  EXPECT_STREQ(FindBackupNowControl("btnBrowse")->caption, "Browse for &Alternate Location");
  EXPECT_STREQ(FindBackupNowControl("btnDoIt")->caption, "&Backup Now!");
  EXPECT_STREQ(FindBackupNowControl("btnCancel")->caption, "&Cancel");
  EXPECT_STREQ(FindBackupNowControl("btnRunMain")->caption, "&Run Vantory");
  EXPECT_EQ(FindBackupNowControl("btnDoIt")->id, 1);    // IDOK: Enter
  EXPECT_EQ(FindBackupNowControl("btnCancel")->id, 2);  // IDCANCEL: Esc
  EXPECT_EQ(FindBackupNowControl("missing"), nullptr);
  EXPECT_STREQ(kEndActionHint, "Only used with \"Backup Now\"");
  EXPECT_STREQ(kEndActions[4].text, "Reboot (Restart Machine)");
}

TEST(BackupNowLayoutTest, BothLayoutsStackThePanels) {
  const BackupNowLayout reminder = ComputeBackupNowLayout(true);
  EXPECT_TRUE(reminder.remindPanelVisible);
  EXPECT_EQ(reminder.locationTop, 73);
  EXPECT_EQ(reminder.buttonsTop, 268);
  EXPECT_EQ(reminder.clientHeight, 342);
  EXPECT_EQ(reminder.clientWidth, 378);
  const BackupNowLayout plain = ComputeBackupNowLayout(false);
  EXPECT_FALSE(plain.remindPanelVisible);
  EXPECT_EQ(plain.locationTop, 0);
  EXPECT_EQ(plain.buttonsTop, 195);
  EXPECT_EQ(plain.clientHeight, 269);
  EXPECT_EQ(plain.clientWidth, 378);
}

TEST(BackupNowLayoutTest, ReminderArgumentIgnoresLetterCaseOnly) {
  EXPECT_TRUE(IsReminderArgument("\\CHECK"));
  EXPECT_TRUE(IsReminderArgument("\\check"));
  EXPECT_TRUE(IsReminderArgument("\\ChEcK"));
  EXPECT_FALSE(IsReminderArgument("\\CHECKS"));
  EXPECT_FALSE(IsReminderArgument("CHECK"));
  EXPECT_FALSE(IsReminderArgument("/CHECK"));
  EXPECT_FALSE(IsReminderArgument(""));
}

}  // namespace
}  // namespace vt9
