// The settings store against Wine's real registry: every value type a user's machine may hold.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

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
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
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
  EXPECT_EQ(reg.FindKey(HKCU, path), KeyPresence::Readable);
  EXPECT_EQ(reg.FindKey(HKCU, path + "\\Nope"), KeyPresence::Absent);
  EXPECT_EQ(reg.FindKey(HKCU, path + "\\Nope\\Deeper"), KeyPresence::Absent);
}

// A key whose access list refuses reading is still there: it must not pass for absent.
TEST_F(RealRegistry, KeyThatRefusesReadingIsPresentButUnreadable) {
  const std::string locked = path + "\\Locked";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, locked.c_str(), 0, nullptr, 0,
                            KEY_WRITE | READ_CONTROL | WRITE_DAC, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Element", 0, REG_BINARY, reinterpret_cast<const BYTE*>("\0\0\0\0\0\0\0"), 8);
  // An access list with no entries grants nothing to anybody.
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  ACL acl;
  InitializeAcl(&acl, sizeof acl, ACL_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE);
  ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd), ERROR_SUCCESS);
  RegCloseKey(key);
  HKEY probe = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, locked.c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
    RegCloseKey(probe);
    GTEST_SKIP() << "this registry does not enforce key access lists";
  }
  EXPECT_EQ(reg.FindKey(HKCU, locked), KeyPresence::Unreadable);
  EXPECT_EQ(reg.ReadBytes(HKCU, locked, "Element"), std::nullopt);
  // Give the key back to its owner so the clean-up can delete it.
  HKEY owner = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, locked.c_str(), 0, WRITE_DAC, &owner) == ERROR_SUCCESS) {
    SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE);
    RegSetKeySecurity(owner, DACL_SECURITY_INFORMATION, &sd);
    RegCloseKey(owner);
  }
}

TEST_F(RealRegistry, LongValuesAreReadWhole) {
  const std::string longText(5000, 'x');
  WriteRegString(reg, HKCU, path, "VT9DataPath", longText);
  EXPECT_EQ(ReadRegString(reg, HKCU, path, "VT9DataPath", ""), longText);
}

}  // namespace
}  // namespace vt9

namespace vt9 {
namespace {

void SetMachineText(REGSAM view, const std::string& path, const char* text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE | view,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Layer", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 DWORD(strlen(text) + 1));
  RegCloseKey(key);
}

// The shipped tool is 32-bit: a 64-bit build must read the same machine-wide values, not those
// of the 64-bit view. Where there is only one view (a 32-bit prefix), the second write simply
// replaces the first.
TEST(MachineWideKeys, AreReadInTheViewOfTheShipped32BitTool) {
  const std::string path = "Software\\VT9Tests\\View" + std::to_string(GetCurrentProcessId());
  SetMachineText(KEY_WOW64_64KEY, path, "seen by 64-bit programs");
  SetMachineText(KEY_WOW64_32KEY, path, "seen by 32-bit programs");
  win::WinRegistry reg;
  EXPECT_EQ(reg.ReadText(RegRoot::LocalMachine, path, "Layer"), "seen by 32-bit programs");
  ASSERT_TRUE(reg.WriteText(RegRoot::LocalMachine, path, "Layer", "written by the tool"));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key),
            ERROR_SUCCESS);
  char text[64] = {};
  DWORD size = sizeof text - 1;
  EXPECT_EQ(RegQueryValueExA(key, "Layer", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_STREQ(text, "written by the tool");
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
}

}  // namespace
}  // namespace vt9
