#include "app/reminder.h"

#include <gtest/gtest.h>

#include "common/settings.h"
#include "support/fakes.h"

namespace vt9 {
namespace {

using test::FakeRegistry;
constexpr RegRoot HKCU = RegRoot::CurrentUser;

class Reminder : public ::testing::Test {
 protected:
  bool Check() {
    ReminderServices s{reg, clock, guard, strings};
    return RunReminderCheck(s, state);
  }
  void Set(const char* name, std::string value) { reg.Set(HKCU, kSettingsKey, name, std::move(value)); }
  std::optional<std::string> Get(const char* name) { return reg.Get(HKCU, kSettingsKey, name); }

  FakeRegistry reg;
  test::FakeClock clock;  // today is 2026/03/07
  test::FakeGuard guard;
  test::FakeStrings strings;
  ProgramState state;
};

TEST_F(Reminder, AbsentSettingsStillRecordToday) {
  EXPECT_FALSE(Check());
  EXPECT_EQ(Get("LastReminderDate"), "2026/03/07");
  EXPECT_EQ(state.reminderText, "");
}

TEST_F(Reminder, RunsAtMostOncePerDay) {
  Set("LastBackupDate", "2026/01/01");
  Set("ReminderDays", "2");
  EXPECT_TRUE(Check());
  state.reminderText.clear();
  reg.writes = 0;
  EXPECT_FALSE(Check());
  EXPECT_EQ(reg.writes, 0);
  EXPECT_EQ(state.reminderText, "");
}

TEST_F(Reminder, DateInTheFutureSuppressesTheCheck) {
  Set("LastReminderDate", "2026/03/08");
  Set("LastBackupDate", "2020/01/01");
  Set("ReminderDays", "1");
  EXPECT_FALSE(Check());
  EXPECT_EQ(Get("LastReminderDate"), "2026/03/08");
}

TEST_F(Reminder, DueFromTheDayLastBackupPlusInterval) {
  Set("ReminderDays", "2");
  Set("LastBackupDate", "2026/03/05");
  EXPECT_TRUE(Check());
  Set("LastReminderDate", "");
  Set("LastBackupDate", "2026/03/06");
  EXPECT_FALSE(Check());
}

TEST_F(Reminder, OneDayUsesTheSingularText) {
  Set("ReminderDays", "1");
  Set("LastBackupDate", "2026/03/06");
  ASSERT_TRUE(Check());
  EXPECT_EQ(state.reminderText,
            "<P align=\"center\"><FONT size=\"10\"><B>You have not done a Backup for more than 1 "
            "day</B></FONT></P>");
}

TEST_F(Reminder, OtherIntervalsReplaceTheFirstPlaceholder) {
  Set("ReminderDays", "7");
  Set("LastBackupDate", "2026/02/01");
  ASSERT_TRUE(Check());
  EXPECT_NE(state.reminderText.find("more than 7 days"), std::string::npos);
}

TEST_F(Reminder, EmptyIntervalMeansTwoDaysAndZeroMeansOff) {
  Set("LastBackupDate", "2026/03/05");
  Set("ReminderDays", "");
  EXPECT_TRUE(Check());
  EXPECT_NE(state.reminderText.find("more than 2 days"), std::string::npos);
  Set("LastReminderDate", "");
  Set("ReminderDays", "0");
  EXPECT_FALSE(Check());
}

TEST_F(Reminder, LenientIntervalTexts) {
  struct Case { const char* days; bool due; };
  // Last backup 10 days ago.
  for (Case c : {Case{"12abc", false}, Case{"9x", true}, Case{"x10", false}, Case{"$A", true},
                 Case{"abc", false}}) {
    Set("LastReminderDate", "");
    Set("LastBackupDate", "2026/02/25");
    Set("ReminderDays", c.days);
    EXPECT_EQ(Check(), c.due) << c.days;
  }
}

TEST_F(Reminder, NegativeIntervalShowsItsSign) {
  Set("ReminderDays", "-3");
  Set("LastBackupDate", "2026/03/10");
  ASSERT_TRUE(Check());
  EXPECT_NE(state.reminderText.find("more than -3 days"), std::string::npos);
  Set("LastReminderDate", "");
  Set("LastBackupDate", "2026/03/11");
  EXPECT_FALSE(Check());
}

TEST_F(Reminder, MalformedLastBackupCountsAsLongAgo) {
  for (const char* bad : {"2026/02/30", "yesterday", "2026/13/01", "2026/03"}) {
    Set("LastReminderDate", "");
    Set("LastBackupDate", bad);
    Set("ReminderDays", "30");
    EXPECT_TRUE(Check()) << bad;
  }
}

TEST_F(Reminder, GuardHeldElsewhereReadsNothing) {
  guard.heldElsewhere = true;
  EXPECT_FALSE(Check());
  EXPECT_EQ(reg.reads + reg.writes, 0);
}

TEST_F(Reminder, UnwritableSettingsStillDecide) {
  Set("LastBackupDate", "2026/01/01");
  Set("ReminderDays", "2");
  reg.readOnly = true;
  EXPECT_TRUE(Check());
}

TEST_F(Reminder, NumberTypedIntervalIsAnError) {
  Set("LastBackupDate", "2026/01/01");
  reg.Set(HKCU, kSettingsKey, "ReminderDays", std::string("\x02\0\0\0", 4), FakeRegistry::Type::Dword);
  EXPECT_THROW(Check(), RegistryTypeError);
}

}  // namespace
}  // namespace vt9
