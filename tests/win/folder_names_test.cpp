// The special-folder lists built from the real shell of the Wine prefix.
#include "common/folder_names.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "common/paths.h"
#include "common/win/shell_folders.h"
#include "common/win/win_filesystem.h"
#include "common/win/win_text_casing.h"

namespace vt9 {
namespace {

std::string RawFolderPath(int csidl) {
  char path[MAX_PATH + 1] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

class SpecialFolders : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { win::BuildSpecialFolderLists(); }
};

TEST_F(SpecialFolders, ListsHoldOnlyTableNamesSortedAndDisjoint) {
  const TSpecialFolderList folders;
  for (const auto& e : folders.List()) std::printf("path    %s\n", e.c_str());
  for (const auto& e : folders.VirtualNames()) std::printf("virtual %s\n", e.c_str());
  ASSERT_GT(folders.Count(), 20);
  std::vector<std::string> names;
  for (const auto* list : {&folders.List(), &folders.VirtualNames()}) {
    for (std::size_t i = 0; i < list->size(); ++i) {
      const std::string& entry = (*list)[i];
      const std::string name = entry.substr(0, entry.find('='));
      ASSERT_NE(entry.find('='), std::string::npos) << entry;
      bool known = name == "%TEMP%";
      for (int n = 0; n < kSpecialFolderCount; ++n) known = known || name == SpecialFolderName(n);
      EXPECT_TRUE(known) << entry;
      EXPECT_EQ(std::count(names.begin(), names.end(), name), 0) << entry;
      names.push_back(name);
      if (i > 0) {
        // CompareStringA answers 3 when the first text sorts after the second.
        EXPECT_NE(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, (*list)[i - 1].c_str(), -1,
                                 entry.c_str(), -1),
                  3)
            << entry;
      }
    }
  }
}

TEST_F(SpecialFolders, PersonalIsTheDocumentsFolderWithCapitalisedWords) {
  char user[256] = {};
  DWORD size = sizeof user;
  ASSERT_TRUE(GetUserNameA(user, &size));
  std::string properUser = user;
  for (std::size_t i = 0; i < properUser.size(); ++i) {
    ASSERT_TRUE(IsCharAlphaNumericA(properUser[i])) << "user name with separators: " << user;
    properUser[i] = i == 0 ? char(toupper(properUser[i])) : char(tolower(properUser[i]));
  }
  const std::string raw = RawFolderPath(CSIDL_PERSONAL);
  ASSERT_FALSE(raw.empty());
  const std::string personal = TSpecialFolderList().ResolvePath("%PERSONAL%");
  std::printf("raw %s -> %s\n", raw.c_str(), personal.c_str());
  EXPECT_EQ(personal, "C:\\Users\\" + properUser + "\\Documents");
  win::WinFileSystem fs;
  EXPECT_TRUE(FolderExists(fs, personal));
  // The log viewer's default save folder.
  EXPECT_EQ(AddTrailingBackslash(personal), personal + "\\");
}

TEST_F(SpecialFolders, TempIsTheNormalisedTemporaryFolder) {
  char temp[MAX_PATH + 1] = {};
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 3u);
  const std::string raw = temp;
  ASSERT_EQ(raw.back(), '\\');
  const TSpecialFolderList folders;
  const std::string resolved = folders.ResolvePath("%TEMP%");
  EXPECT_TRUE(SameIgnoringCase(resolved, raw.substr(0, raw.size() - 1))) << resolved;
  EXPECT_NE(resolved.back(), '\\');
  TSpecialFolderList exact;
  exact.PathCase = TPathCase::pcDontCare;
  EXPECT_EQ(exact.ResolvePath("%temp%"), raw.substr(0, raw.size() - 1));
}

TEST_F(SpecialFolders, TempIsLeftOutWhenStartedInTheTemporaryFolder) {
  char current[MAX_PATH + 1] = {}, temp[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(MAX_PATH + 1, current);
  GetTempPathA(MAX_PATH, temp);
  const int before = TSpecialFolderList().Count();
  ASSERT_TRUE(SetCurrentDirectoryA(temp));
  win::BuildSpecialFolderLists();
  const TSpecialFolderList folders;
  const std::string resolved = folders.ResolvePath("%TEMP%");
  const int count = folders.Count();
  SetCurrentDirectoryA(current);
  win::BuildSpecialFolderLists();
  EXPECT_EQ(resolved, "");
  EXPECT_EQ(count, before - 1);
  EXPECT_NE(TSpecialFolderList().ResolvePath("%TEMP%"), "");
}

TEST_F(SpecialFolders, FolderWithoutPathFallsBackToItsRelative) {
  // Find a folder of the fallback table that this system lacks but whose relative it has.
  const TSpecialFolderList folders;
  int tried = 0;
  for (int n = 0; n < kSpecialFolderCount; ++n) {
    const std::string name = SpecialFolderName(n);
    const char* instead = FallbackFolderName(name);
    if (!instead || !RawFolderPath(n).empty()) continue;
    TSpecialFolderList strict;
    strict.SimulateNotFound = false;
    EXPECT_EQ(strict.ResolvePath(name), "") << name;
    EXPECT_EQ(folders.ResolvePath(name), folders.ResolvePath(instead)) << name;
    std::printf("%s falls back to %s: %s\n", name.c_str(), instead,
                folders.ResolvePath(name).c_str());
    ++tried;
  }
  EXPECT_GT(tried, 0) << "every folder of the fallback table exists here";
}

TEST_F(SpecialFolders, ShellOnlyFoldersGetTheirDisplayNames) {
  const TSpecialFolderList folders;
  bool drives = false;
  for (const auto& entry : folders.VirtualNames()) {
    const std::string name = entry.substr(0, entry.find('='));
    EXPECT_TRUE(IsVirtualFolderName(name)) << entry;
    EXPECT_EQ(folders.ResolvePath(name), "") << entry;
    drives = drives || (name == "%DRIVES%" && entry.size() > name.size() + 1);
  }
  EXPECT_TRUE(drives) << "the computer folder has a display name";
}

TEST(WinTextCasing, UsesTheAnsiCodePage) {
  const win::WinTextCasing casing;
  EXPECT_EQ(casing.CompareIgnoreCase("%personal%", "%PERSONAL%"), 0);
  EXPECT_LT(casing.CompareIgnoreCase("%DESKTOP%=x", "%drives%=y"), 0);
  EXPECT_GT(casing.CompareIgnoreCase("b", "A"), 0);
  if (GetACP() != 1252) GTEST_SKIP() << "code page " << GetACP();
  EXPECT_EQ(casing.Upper("c:\\\xE4rger"), "C:\\\xC4RGER");
  EXPECT_EQ(CapitaliseWords("C:\\USERS\\\xC4RGER\\NOTES.TXT", casing),
            "C:\\Users\\\xC4rger\\Notes.txt");
}

TEST(BuildSpecialFolderListsTiming, StartCostsNothingAndTheFirstReadLittle) {
  using Clock = std::chrono::steady_clock;
  auto start = Clock::now();
  win::BuildSpecialFolderLists();
  const double atStartMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  start = Clock::now();
  const int count = TSpecialFolderList().Count();
  const double firstReadMs =
      std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  std::printf("at start %.3f ms, first read %.1f ms (%d paths)\n", atStartMs, firstReadMs, count);
  EXPECT_GT(count, 20);
  // Generous bounds: a loaded shared machine must not fail them, a regression to shell queries
  // at start (tens of milliseconds) or to seconds does.
  EXPECT_LT(atStartMs, 20);
  EXPECT_LT(firstReadMs, 2000);
}

}  // namespace
}  // namespace vt9
