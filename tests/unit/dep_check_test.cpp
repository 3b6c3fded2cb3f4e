#include "app/dep_check.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace vt9 {
namespace {

using test::FakeRegistry;
constexpr RegRoot HKLM = RegRoot::LocalMachine;
const std::string kPath = "C:\\Vantory 9\\vt9.exe";

class DepCheck : public ::testing::Test {
 protected:
  void SetElement(std::string bytes) {
    reg.Set(HKLM, kDepPolicyKey, "Element", std::move(bytes), FakeRegistry::Type::Binary);
  }
  void SetLayers(const std::string& text) { reg.Set(HKLM, kCompatLayersKey, kPath, text); }
  bool Conflict() { return IsDEPConflict(reg, os, kPath); }

  FakeRegistry reg;
  test::FakeOs os;
};

TEST(BytesToHexText, UpperCasePairsJoinedByCommas) {
  EXPECT_EQ(BytesToHexText({}), "");
  EXPECT_EQ(BytesToHexText({0x00, 0xab, 0x3}), "00,AB,03");
}

TEST_F(DepCheck, OnlyVersionSixIsChecked) {
  SetElement(std::string("\x01\0\0\0\0\0\0\0", 8));
  for (unsigned major : {5u, 10u}) {
    os.major = major;
    reg.reads = 0;
    EXPECT_FALSE(Conflict()) << major;
    EXPECT_EQ(reg.reads, 0) << major;
  }
  os.major = std::nullopt;
  EXPECT_FALSE(Conflict());
  os.major = 6;
  EXPECT_TRUE(Conflict());
}

TEST_F(DepCheck, NoPolicyKeyMeansNoConflict) { EXPECT_FALSE(Conflict()); }

TEST_F(DepCheck, EightZeroBytesAreSafe) {
  SetElement(std::string(8, '\0'));
  EXPECT_FALSE(Conflict());
  SetElement(std::string(7, '\0'));
  EXPECT_TRUE(Conflict());
  SetElement(std::string(9, '\0'));
  EXPECT_TRUE(Conflict());
}

TEST_F(DepCheck, EnforcingPolicyIsClearedOnlyByTheSingleLayer) {
  SetElement(std::string("\x03\0\0\0\0\0\0\0", 8));
  EXPECT_TRUE(Conflict());  // no layer value: "SNAFU"
  SetLayers("");
  EXPECT_TRUE(Conflict());
  SetLayers("DisableNXShowUI RUNASADMIN");
  EXPECT_TRUE(Conflict());
  SetLayers("disablenxshowui");
  EXPECT_FALSE(Conflict());
}

TEST_F(DepCheck, AbsentElementInExistingKeyCountsAsEnforcing) {
  reg.keys.insert({HKLM, kDepPolicyKey});
  EXPECT_TRUE(Conflict());
  SetLayers("DisableNXShowUI");
  EXPECT_FALSE(Conflict());
}

TEST_F(DepCheck, PolicyKeyThatCannotBeOpenedCountsAsEnforcing) {
  SetElement(std::string(8, '\0'));  // safe, but the check cannot read it
  reg.unreadableKeys.insert({HKLM, kDepPolicyKey});
  EXPECT_TRUE(Conflict());
  SetLayers("DisableNXShowUI");
  EXPECT_FALSE(Conflict());
}

TEST_F(DepCheck, ElementStoredAsTextIsAnError) {
  reg.Set(HKLM, kDepPolicyKey, "Element", "00,00,00,00,00,00,00,00");
  EXPECT_THROW(Conflict(), RegistryTypeError);
}

}  // namespace
}  // namespace vt9
