#include "common/folder_names.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/fake_folder_shell.h"

namespace vt9 {
namespace {

using test::FakeSpecialFolderShell;
using Entries = std::vector<std::string>;

constexpr int kPersonal = 5, kDrives = 17, kBitBucket = 10, kFonts = 20, kMyMusic = 13;
constexpr int kCommonDocuments = 46, kProgramFiles = 38, kResourcesLocalized = 57;

TEST(SpecialFolderName, CoversNumbers0To61WithGaps) {
  EXPECT_STREQ(SpecialFolderName(0), "%DESKTOP%");
  EXPECT_STREQ(SpecialFolderName(kPersonal), "%PERSONAL%");
  EXPECT_STREQ(SpecialFolderName(14), "%MYVIDEO%");
  EXPECT_STREQ(SpecialFolderName(16), "%DESKTOPDIRECTORY%");
  EXPECT_STREQ(SpecialFolderName(49), "%CONNECTIONS%");
  EXPECT_STREQ(SpecialFolderName(53), "%COMMON_MUSIC%");
  EXPECT_STREQ(SpecialFolderName(59), "%CDBURN_AREA%");
  EXPECT_STREQ(SpecialFolderName(61), "%COMPUTERSNEARME%");
  for (int gap : {15, 50, 51, 52, 60, -1, 62}) EXPECT_STREQ(SpecialFolderName(gap), "%%") << gap;
  int named = 0;
  for (int n = 0; n < kSpecialFolderCount; ++n) named += std::string(SpecialFolderName(n)) != "%%";
  EXPECT_EQ(named, 57);
}

TEST(IsVirtualFolderName, KnowsTheTwelveShellOnlyFolders) {
  for (const char* name : {"%DESKTOP%", "%DRIVES%", "%FONTS%", "%COMPUTERSNEARME%"})
    EXPECT_TRUE(IsVirtualFolderName(name)) << name;
  for (const char* name : {"%PERSONAL%", "%DESKTOPDIRECTORY%", "%TEMP%", ""})
    EXPECT_FALSE(IsVirtualFolderName(name)) << name;
}

TEST(NormaliseFolderPath, DropsTheTrailingBackslashExceptAtADriveRoot) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {"C:", "C:\\"},
      {"C:\\", "C:\\"},
      {"C:\\Data\\", "C:\\Data"},
      {"C:\\Data", "C:\\Data"},
      {"C:\\Data\\\\", "C:\\Data\\"},
      {"\\\\server\\share", "\\\\server\\share\\"},
      {"\\\\server\\share\\", "\\\\server\\share\\"},
      {"\\\\server\\share\\logs\\", "\\\\server\\share\\logs"},
      {"Temp\\", "Temp"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(NormaliseFolderPath(in), out) << in;
}

TEST(CapitaliseWords, CapitalisesEachWordAndLowersTheExtension) {
  const auto& ascii = AsciiTextCasing();
  EXPECT_EQ(CapitaliseWords("C:\\USERS\\owner\\documents", ascii), "C:\\Users\\Owner\\Documents");
  EXPECT_EQ(CapitaliseWords("D:\\DATA\\REPORT.TXT", ascii), "D:\\Data\\Report.txt");
  EXPECT_EQ(CapitaliseWords("c:\\program files (x86)\\my-app_v2\\a+b", ascii),
            "C:\\Program Files (X86)\\My-App_V2\\A+B");
  EXPECT_EQ(CapitaliseWords("C:\\SOME.DIR\\SUB", ascii), "C:\\Some.Dir\\Sub");
  EXPECT_EQ(CapitaliseWords("http://EXAMPLE.com/A", ascii), "http://EXAMPLE.com/A");
  EXPECT_EQ(CapitaliseWords("", ascii), "");
}

TEST(CapitaliseWords, UsesTheLocalesLetterPairs) {
  const test::UmlautCasing casing;
  EXPECT_EQ(CapitaliseWords("C:\\\xE4RGER\\B\xC4R", casing), "C:\\\xC4rger\\B\xE4r");
  EXPECT_EQ(CapitaliseWords("C:\\\xE4RGER\\B\xC4R", AsciiTextCasing()), "C:\\\xE4rger\\B\xC4r");
}

TEST(BuildSpecialFolderLists, NormalisesPathsAndNamesShellOnlyFolders) {
  FakeSpecialFolderShell shell;
  shell.paths = {{kPersonal, "C:\\users\\owner\\Documents\\"},
                 {kFonts, "C:\\windows\\Fonts"},
                 {kProgramFiles, "C:\\Program Files"}};
  shell.displayNames = {{kDrives, "My Computer"},
                        {kBitBucket, std::string(300, 'R')},
                        {kMyMusic, "not asked: not a shell-only folder"}};
  const SpecialFolderLists lists = BuildSpecialFolderLists(shell, AsciiTextCasing());
  EXPECT_EQ(lists.paths,
            (Entries{"%FONTS%=C:\\windows\\Fonts", "%PERSONAL%=C:\\users\\owner\\Documents",
                     "%PROGRAM_FILES%=C:\\Program Files",
                     "%TEMP%=C:\\Users\\Owner\\AppData\\Local\\Temp"}));
  EXPECT_EQ(lists.virtualNames,
            (Entries{"%BITBUCKET%=" + std::string(260, 'R'), "%DRIVES%=My Computer"}));
  // Every named number is asked for its path once; display names only for shell-only folders
  // without a path (%FONTS% has one).
  EXPECT_EQ(shell.pathQueries.size(), 57u);
  EXPECT_EQ(std::count(shell.pathQueries.begin(), shell.pathQueries.end(), 15), 0);
  EXPECT_EQ(shell.nameQueries, (std::vector<int>{0, 1, 3, 4, 10, 12, 17, 18, 27, 49, 61}));
}

TEST(BuildSpecialFolderLists, WithoutTheFolderQueryOnlyTempResolves) {
  FakeSpecialFolderShell shell;
  shell.hasQuery = false;
  shell.paths = {{kPersonal, "C:\\Docs"}};
  const SpecialFolderLists lists = BuildSpecialFolderLists(shell, AsciiTextCasing());
  EXPECT_EQ(lists.paths, (Entries{"%TEMP%=C:\\Users\\Owner\\AppData\\Local\\Temp"}));
  EXPECT_TRUE(lists.virtualNames.empty());
  EXPECT_TRUE(shell.pathQueries.empty());
}

TEST(BuildSpecialFolderLists, TempIsLeftOutWhenItIsTheCurrentFolderOrUnknown) {
  FakeSpecialFolderShell shell;
  shell.temp = "C:\\Work\\";
  shell.current = "C:\\Work";
  EXPECT_TRUE(BuildSpecialFolderLists(shell, AsciiTextCasing()).paths.empty());
  shell.current = "C:\\work";  // compared exactly: a difference in case is a different folder
  EXPECT_EQ(BuildSpecialFolderLists(shell, AsciiTextCasing()).paths, (Entries{"%TEMP%=C:\\Work"}));
  shell.temp = "";
  EXPECT_TRUE(BuildSpecialFolderLists(shell, AsciiTextCasing()).paths.empty());
}

TEST(BuildSpecialFolderLists, SortsIgnoringCase) {
  FakeSpecialFolderShell shell;
  shell.paths = {{kPersonal, "x"}, {0, "x"}, {kFonts, "x"}};
  shell.temp = "C:\\tmp";
  const test::UmlautCasing casing;
  EXPECT_EQ(BuildSpecialFolderLists(shell, casing).paths,
            (Entries{"%DESKTOP%=x", "%FONTS%=x", "%PERSONAL%=x", "%TEMP%=C:\\tmp"}));
}

class ResolvePathTest : public ::testing::Test {
 protected:
  ResolvePathTest() {
    lists.paths = {"%PERSONAL%=C:\\USERS\\owner\\DOCUMENTS", "%PROGRAM_FILES%=c:\\program files",
                   "%TEMP%=C:\\Temp\\Report.LOG"};
  }
  SpecialFolderLists lists;
  test::UmlautCasing casing;
};

TEST_F(ResolvePathTest, DefaultsCapitaliseWordsAndFallBack) {
  TSpecialFolderList folders(lists, casing);
  EXPECT_EQ(folders.PathCase, TPathCase::pcUpperName);
  EXPECT_TRUE(folders.SimulateNotFound);
  EXPECT_EQ(folders.ResolvePath("%PERSONAL%"), "C:\\Users\\Owner\\Documents");
  EXPECT_EQ(folders.ResolvePath("%personal%"), "C:\\Users\\Owner\\Documents");
  EXPECT_EQ(folders.ResolvePath("%TEMP%"), "C:\\Temp\\Report.log");
  EXPECT_EQ(folders.ResolvePath("%COMMON_DOCUMENTS%"), "C:\\Users\\Owner\\Documents");
  // Two steps: %COMMON_MUSIC% tries %MYMUSIC%, which tries %PERSONAL%.
  EXPECT_EQ(folders.ResolvePath("%COMMON_MUSIC%"), "C:\\Users\\Owner\\Documents");
  EXPECT_EQ(folders.ResolvePath("%PROGRAM_FILES_COMMON%"), "C:\\Program Files");
  // The fallback table is consulted by the exact name only.
  EXPECT_EQ(folders.ResolvePath("%common_documents%"), "");
  EXPECT_EQ(folders.ResolvePath("%APPDATA%"), "");
  EXPECT_EQ(folders.ResolvePath("PERSONAL"), "");
  EXPECT_EQ(folders.ResolvePath(""), "");
}

TEST_F(ResolvePathTest, PathCaseAndNoFallback) {
  TSpecialFolderList folders(lists, casing);
  folders.PathCase = TPathCase::pcDontCare;
  EXPECT_EQ(folders.ResolvePath("%PERSONAL%"), "C:\\USERS\\owner\\DOCUMENTS");
  folders.PathCase = TPathCase::pcLower;
  EXPECT_EQ(folders.ResolvePath("%PERSONAL%"), "c:\\users\\owner\\documents");
  folders.PathCase = TPathCase::pcUpper;
  EXPECT_EQ(folders.ResolvePath("%COMMON_DOCUMENTS%"), "C:\\USERS\\OWNER\\DOCUMENTS");
  folders.SimulateNotFound = false;
  EXPECT_EQ(folders.ResolvePath("%COMMON_DOCUMENTS%"), "");
  EXPECT_EQ(folders.ResolvePath("%PERSONAL%"), "C:\\USERS\\OWNER\\DOCUMENTS");
}

TEST_F(ResolvePathTest, LooksUpNamesWithTheLocalesCasing) {
  lists.paths.push_back("%\xE4X%=C:\\\xE4");
  TSpecialFolderList folders(lists, casing);
  EXPECT_EQ(folders.ResolvePath("%\xE4x%"), "C:\\\xC4");
}

TEST(TSpecialFolderList, EveryInstanceSharesTheProgramWideLists) {
  SpecialFolderLists lists;
  lists.paths = {"%PERSONAL%=C:\\Docs", "%TEMP%=C:\\Tmp"};
  lists.virtualNames = {"%DRIVES%=My Computer"};
  static const test::UmlautCasing casing;
  InstallSpecialFolderLists(lists, casing);
  const TSpecialFolderList a, b;
  EXPECT_EQ(a.Count(), 2);
  EXPECT_EQ(&a.List(), &b.List());
  EXPECT_EQ(b.VirtualNames(), lists.virtualNames);
  EXPECT_EQ(a.Version(), "4.00.00.00");
  EXPECT_EQ(a.ResolvePath("%PERSONAL%"), "C:\\Docs");
  EXPECT_EQ(a.ResolvePath("%DRIVES%"), "");  // a display name is not a path
  InstallSpecialFolderLists({}, AsciiTextCasing());
  EXPECT_EQ(a.Count(), 0);
}

TEST(TSpecialFolderList, AsksTheShellOnlyWhenTheListsAreFirstRead) {
  auto shell = std::make_unique<FakeSpecialFolderShell>();
  int queries = 0;
  bool released = false;
  shell->queryCount = &queries;
  shell->destroyed = &released;
  shell->paths = {{kPersonal, "C:\\Docs\\"}};
  InstallSpecialFolderSource(std::move(shell), AsciiTextCasing());
  const TSpecialFolderList folders;
  EXPECT_EQ(queries, 0);
  EXPECT_EQ(folders.ResolvePath("%PERSONAL%"), "C:\\Docs");
  EXPECT_EQ(queries, 57);
  EXPECT_TRUE(released);
  EXPECT_EQ(folders.Count(), 2);  // built once: %PERSONAL% and %TEMP%
  EXPECT_EQ(TSpecialFolderList().List().front(), "%PERSONAL%=C:\\Docs");
  EXPECT_EQ(queries, 57);
  InstallSpecialFolderLists({}, AsciiTextCasing());
}

}  // namespace
}  // namespace vt9
