// The default printer as the system profile reports it; Wine keeps that profile section in
// the registry, so the test can set and remove it.
#include "common/win/default_printer.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace vt9 {
namespace {

constexpr const char* kProfileKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

class DefaultPrinter : public ::testing::Test {
 protected:
  void SetUp() override { saved = win::GetDefaultPrinterDevice(); }
  void TearDown() override {
    WriteProfileStringA("Windows", "Device", saved.empty() ? nullptr : saved.c_str());
  }
  std::string saved;
};

TEST_F(DefaultPrinter, ReadsTheDeviceSettingAndIsEmptyWithoutOne) {
  ASSERT_TRUE(WriteProfileStringA("Windows", "Device", "PDF,wineps.drv,CUPS:PDF"));
  EXPECT_EQ(win::GetDefaultPrinterDevice(), "PDF,wineps.drv,CUPS:PDF");
  WriteProfileStringA("Windows", "Device", nullptr);
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kProfileKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, "Device");
    RegCloseKey(key);
  }
  EXPECT_EQ(win::GetDefaultPrinterDevice(), "");
}

TEST_F(DefaultPrinter, LongDeviceTextIsCutToTheBuffer) {
  const std::string longName(400, 'P');
  ASSERT_TRUE(WriteProfileStringA("Windows", "Device", longName.c_str()));
  EXPECT_EQ(win::GetDefaultPrinterDevice(), longName.substr(0, 259));
}

}  // namespace
}  // namespace vt9
