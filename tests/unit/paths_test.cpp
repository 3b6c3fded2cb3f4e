#include "common/paths.h"

#include <gtest/gtest.h>

#include "support/fake_filesystem.h"

namespace vt9 {
namespace {

using test::FakeFileSystem;
using Names = std::vector<std::string>;

TEST(AddTrailingBackslash, AppendsOnlyWhenMissing) {
  EXPECT_EQ(AddTrailingBackslash("C:\\Data"), "C:\\Data\\");
  EXPECT_EQ(AddTrailingBackslash("C:\\Data\\"), "C:\\Data\\");
  EXPECT_EQ(AddTrailingBackslash(""), "");
  EXPECT_EQ(AddTrailingBackslash("C:"), "C:\\");
  EXPECT_EQ(AddTrailingBackslash("D:\\Backups/"), "D:\\Backups/\\");
}

TEST(FolderExists, NeedsTheDirectoryAttribute) {
  FakeFileSystem fs;
  fs.AddFolder("C:\\Data");
  fs.AddFile("C:\\Data\\a.jdf");
  fs.AddFile("C:\\Data\\odd", 0x10 | 0x01);  // a read-only folder
  EXPECT_TRUE(FolderExists(fs, "C:\\Data"));
  EXPECT_TRUE(FolderExists(fs, "C:\\Data\\"));
  EXPECT_TRUE(FolderExists(fs, "C:\\Data\\odd"));
  EXPECT_FALSE(FolderExists(fs, "C:\\Data\\a.jdf"));
  EXPECT_FALSE(FolderExists(fs, "C:\\Missing"));
  EXPECT_FALSE(FolderExists(fs, ""));
}

TEST(FolderHasEntries, ChecksExistenceAndOptionallyContent) {
  FakeFileSystem fs;
  fs.AddFolder("C:\\Empty");
  fs.AddFolder("C:\\Nested");
  fs.AddFolder("C:\\Nested\\Sub");
  EXPECT_FALSE(FolderHasEntries(fs, "C:\\Missing", false));
  EXPECT_FALSE(FolderHasEntries(fs, "C:\\Missing", true));
  EXPECT_TRUE(FolderHasEntries(fs, "C:\\Empty", false));
  EXPECT_FALSE(FolderHasEntries(fs, "C:\\Empty", true));
  EXPECT_TRUE(FolderHasEntries(fs, "C:\\Nested", true));  // a sub-folder is an entry
  EXPECT_EQ(fs.patterns.back(), "C:\\Nested\\*.*");
}

TEST(ListFolderFiles, KeepsOnlyMatchingFilesInListingOrder) {
  FakeFileSystem fs;
  fs.AddFolder("C:\\Data\\SysData");
  fs.AddFile("C:\\Data\\SysData\\Weekly.jdf");
  fs.AddFile("C:\\Data\\SysData\\b.txt");
  fs.AddFolder("C:\\Data\\SysData\\c.jdf");
  fs.AddFile("C:\\Data\\SysData\\Daily.JDF", 0x01 | 0x02 | 0x04);  // read-only, hidden, system
  fs.AddFile("C:\\Data\\SysData\\a.jdf");
  EXPECT_EQ(ListFolderFiles(fs, "C:\\Data\\SysData\\", "*.jdf"),
            (Names{"Weekly.jdf", "Daily.JDF", "a.jdf"}));
  EXPECT_EQ(fs.patterns.back(), "C:\\Data\\SysData\\*.jdf");
  EXPECT_EQ(ListFolderFiles(fs, "C:\\Data\\SysData", ""),
            (Names{"Weekly.jdf", "b.txt", "Daily.JDF", "a.jdf"}));
  EXPECT_EQ(fs.patterns.back(), "C:\\Data\\SysData\\*");
}

TEST(ListFolderFiles, EmptyMissingOrUnnamedFolderGivesEmptyList) {
  FakeFileSystem fs;
  fs.AddFolder("C:\\Empty");
  fs.AddFolder("C:\\OnlyFolders");
  fs.AddFolder("C:\\OnlyFolders\\x.jdf");
  fs.AddFile("C:\\NotAFolder.jdf");
  EXPECT_TRUE(ListFolderFiles(fs, "C:\\Empty", "*.jdf").empty());
  const std::size_t listings = fs.patterns.size();
  EXPECT_TRUE(ListFolderFiles(fs, "C:\\Missing", "*.jdf").empty());
  EXPECT_TRUE(ListFolderFiles(fs, "", "*.jdf").empty());
  EXPECT_EQ(fs.patterns.size(), listings);  // a missing folder is not even listed
  EXPECT_TRUE(ListFolderFiles(fs, "C:\\OnlyFolders", "*.jdf").empty());
  EXPECT_TRUE(ListFolderFiles(fs, "C:\\NotAFolder.jdf", "*").empty());
}

}  // namespace
}  // namespace vt9
