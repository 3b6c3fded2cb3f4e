// The settings store against Wine's real registry: every value type a user's machine may hold.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/settings.h"
#include "common/win/win_registry.h"

namespace vt9 {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;

class RealRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    path = "Software\\VT9Tests\\Registry" + std::to_string(GetTickCount());
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()); }

  void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }

  win::WinRegistry reg;
  std::string path;
};

TEST_F(RealRegistry, WriteCreatesTheKeyAndReadSeesIt) {
  EXPECT_EQ(ReadRegString(reg, HKCU, path, "LastReminderDate", "dflt"), "dflt");
  WriteRegString(reg, HKCU, path, "LastReminderDate", "2026/03/07");
  EXPECT_EQ(ReadRegString(reg, HKCU, path, "LastReminderDate", "dflt"), "2026/03/07");
  EXPECT_EQ(ReadRegString(reg, HKCU, path, "Missing", "dflt"), "dflt");
  WriteRegFlag(reg, HKCU, path, "WarnSaveAs", true);
  EXPECT_TRUE(ReadRegFlag(reg, HKCU, path, "WarnSaveAs", false));
}

TEST_F(RealRegistry, EmptyTextIsNotTheDefault) {
  SetRaw("ReminderDays", REG_SZ, "", 1);
  EXPECT_EQ(ReadRegString(reg, HKCU, path, "ReminderDays", "0"), "");
  SetRaw("ZeroSizeNumber", REG_DWORD, nullptr, 0);
  EXPECT_EQ(ReadRegString(reg, HKCU, path, "ZeroSizeNumber", "0"), "");
}

TEST_F(RealRegistry, ExpandableTextComesBackUnexpandedAndEndsAtNul) {
  SetRaw("DefaultBackupFolder", REG_EXPAND_SZ, "%TEMP%\\x", 9);
  EXPECT_EQ(ReadRegString(reg, HKCU, path, "DefaultBackupFolder", ""), "%TEMP%\\x");
  SetRaw("VT9DataPath", REG_SZ, "C:\\Data\0junk", 13);
  EXPECT_EQ(ReadRegString(reg, HKCU, path, "VT9DataPath", ""), "C:\\Data");
}

TEST_F(RealRegistry, NonTextTypesAreErrorsNamingTheValue) {
  const DWORD seven = 7;
  SetRaw("ReminderDays", REG_DWORD, &seven, sizeof seven);
  SetRaw("LastBackupDate", REG_BINARY, "\x01\x02", 2);
  SetRaw("Jobs", REG_MULTI_SZ, "a\0b\0", 5);
  for (const char* name : {"ReminderDays", "LastBackupDate", "Jobs"}) {
    try {
      ReadRegString(reg, HKCU, path, name, "");
      ADD_FAILURE() << name << " was read as text";
    } catch (const RegistryTypeError& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos);
    }
  }
}

TEST_F(RealRegistry, BytesOfAnyNonTextTypeAndErrorsForText) {
  SetRaw("Element", REG_BINARY, "\x01\x00\x00\x00\x00\x00\x00\x00", 8);
  EXPECT_EQ(reg.ReadBytes(HKCU, path, "Element"),
            (std::vector<unsigned char>{1, 0, 0, 0, 0, 0, 0, 0}));
  const DWORD three = 3;
  SetRaw("Number", REG_DWORD, &three, sizeof three);
  EXPECT_EQ(reg.ReadBytes(HKCU, path, "Number"), (std::vector<unsigned char>{3, 0, 0, 0}));
  EXPECT_EQ(reg.ReadBytes(HKCU, path, "Absent"), std::nullopt);
  SetRaw("Text", REG_SZ, "00", 3);
  EXPECT_THROW(reg.ReadBytes(HKCU, path, "Text"), RegistryTypeError);
  EXPECT_TRUE(reg.KeyExists(HKCU, path));
  EXPECT_FALSE(reg.KeyExists(HKCU, path + "\\Nope"));
}

TEST_F(RealRegistry, LongValuesAreReadWhole) {
  const std::string longText(5000, 'x');
  WriteRegString(reg, HKCU, path, "VT9DataPath", longText);
  EXPECT_EQ(ReadRegString(reg, HKCU, path, "VT9DataPath", ""), longText);
}

}  // namespace
}  // namespace vt9
