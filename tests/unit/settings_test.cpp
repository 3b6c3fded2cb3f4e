#include "common/settings.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace vt9 {
namespace {

using test::FakeRegistry;
constexpr RegRoot HKCU = RegRoot::CurrentUser;

TEST(ReadRegString, FallsBackToDefaultOnlyWhenKeyOrValueIsAbsent) {
  FakeRegistry reg;
  EXPECT_EQ(ReadRegString(reg, HKCU, kSettingsKey, "ReminderDays", "0"), "0");
  reg.Set(HKCU, kSettingsKey, "Other", "x");
  EXPECT_EQ(ReadRegString(reg, HKCU, kSettingsKey, "ReminderDays", "0"), "0");
  reg.Set(HKCU, kSettingsKey, "ReminderDays", "");
  EXPECT_EQ(ReadRegString(reg, HKCU, kSettingsKey, "ReminderDays", "0"), "");
}

TEST(ReadRegString, NumberValueIsAnErrorNotADefault) {
  FakeRegistry reg;
  reg.Set(HKCU, kSettingsKey, "ReminderDays", std::string("\x07\0\0\0", 4), FakeRegistry::Type::Dword);
  EXPECT_THROW(ReadRegString(reg, HKCU, kSettingsKey, "ReminderDays", "0"), RegistryTypeError);
}

TEST(ReadRegFlag, AcceptsOnlyYesOrOneInAnyCase) {
  FakeRegistry reg;
  for (const char* set : {"yes", "Yes", "YES", "1"}) {
    reg.Set(HKCU, kSettingsKey, "NoJobPass", set);
    EXPECT_TRUE(ReadRegFlag(reg, HKCU, kSettingsKey, "NoJobPass", false)) << set;
  }
  for (const char* unset : {"NO", "0", "", "true", " YES", "YES ", "11"}) {
    reg.Set(HKCU, kSettingsKey, "NoJobPass", unset);
    EXPECT_FALSE(ReadRegFlag(reg, HKCU, kSettingsKey, "NoJobPass", true)) << unset;
  }
}

TEST(ReadRegFlag, AbsentFlagReadsAsCallersDefault) {
  FakeRegistry reg;
  EXPECT_TRUE(ReadRegFlag(reg, HKCU, kSettingsKey, "WarnSaveAs", true));
  EXPECT_FALSE(ReadRegFlag(reg, HKCU, kSettingsKey, "WarnSaveAs", false));
}

TEST(WriteRegFlag, StoresExactlyYesOrNo) {
  FakeRegistry reg;
  WriteRegFlag(reg, HKCU, kSettingsKey, "WarnSaveAs", true);
  EXPECT_EQ(reg.Get(HKCU, kSettingsKey, "WarnSaveAs"), "YES");
  WriteRegFlag(reg, HKCU, kSettingsKey, "WarnSaveAs", false);
  EXPECT_EQ(reg.Get(HKCU, kSettingsKey, "WarnSaveAs"), "NO");
}

TEST(WriteRegString, FailureIsSilent) {
  FakeRegistry reg;
  reg.readOnly = true;
  EXPECT_NO_THROW(WriteRegString(reg, HKCU, kSettingsKey, "LastReminderDate", "2026/03/07"));
  EXPECT_FALSE(reg.Get(HKCU, kSettingsKey, "LastReminderDate"));
}

}  // namespace
}  // namespace vt9
