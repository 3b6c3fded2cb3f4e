// Folder helpers and profile reading against the real file system of the Wine prefix.
#include "common/paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "common/win/win_filesystem.h"
#include "support/win/paths.h"

namespace vt9 {
namespace {

using Names = std::vector<std::string>;

void Touch(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  test::WriteFile(path, "x");
  if (attributes != FILE_ATTRIBUTE_NORMAL) SetFileAttributesA(path.c_str(), attributes);
}

// The files of a folder as FindFirstFileA/FindNextFileA return them, sub-folders left out.
Names RawListing(const std::string& pattern) {
  Names names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

TEST(ListFolderFiles, JobMaskSkipsOtherFilesAndSubFolders) {
  win::WinFileSystem fs;
  const std::string folder = test::MakeTempFolder("jdf");
  Touch(folder + "a.jdf");
  Touch(folder + "b.txt");
  ASSERT_TRUE(CreateDirectoryA((folder + "c.jdf").c_str(), nullptr));
  EXPECT_EQ(ListFolderFiles(fs, folder, "*.jdf"), Names{"a.jdf"});
  // Without the trailing backslash, and with the mask left empty ("*").
  Names all = ListFolderFiles(fs, folder.substr(0, folder.size() - 1), "");
  std::sort(all.begin(), all.end());
  EXPECT_EQ(all, (Names{"a.jdf", "b.txt"}));
}

TEST(ListFolderFiles, KeepsThePlatformOrderAndEveryAttributeKind) {
  win::WinFileSystem fs;
  const std::string folder = test::MakeTempFolder("order");
  for (const char* name :
       {"Weekly.jdf", "daily.jdf", "Zeta.jdf", "alpha.jdf", "M.jdf", "_x.jdf", "10.jdf", "9.jdf"})
    Touch(folder + name);
  Touch(folder + "Hidden.jdf", FILE_ATTRIBUTE_HIDDEN);
  Touch(folder + "System.jdf", FILE_ATTRIBUTE_SYSTEM);
  Touch(folder + "ReadOnly.jdf", FILE_ATTRIBUTE_READONLY);
  const Names listed = ListFolderFiles(fs, folder, "*.jdf");
  EXPECT_EQ(listed, RawListing(folder + "*.jdf"));
  EXPECT_EQ(listed.size(), 11u);
  for (const char* name : {"Hidden.jdf", "System.jdf", "ReadOnly.jdf"})
    EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end()) << name;
  SetFileAttributesA((folder + "ReadOnly.jdf").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ListFolderFiles, EmptyMissingOrUnnamedFolderGivesNothing) {
  win::WinFileSystem fs;
  const std::string empty = test::MakeTempFolder("empty");
  EXPECT_TRUE(ListFolderFiles(fs, empty, "*.jdf").empty());
  EXPECT_TRUE(ListFolderFiles(fs, empty + "missing\\", "*.jdf").empty());
  EXPECT_TRUE(ListFolderFiles(fs, "", "*.jdf").empty());
  EXPECT_TRUE(ListFolderFiles(fs, "Q:\\no such drive\\", "*").empty());
}

TEST(FolderHelpers, ExistenceAndEntries) {
  win::WinFileSystem fs;
  const std::string folder = test::MakeTempFolder("exists");
  EXPECT_TRUE(FolderExists(fs, folder));
  EXPECT_TRUE(FolderExists(fs, folder.substr(0, folder.size() - 1)));
  EXPECT_TRUE(FolderExists(fs, "C:\\"));
  EXPECT_TRUE(FolderHasEntries(fs, folder, false));
  EXPECT_FALSE(FolderHasEntries(fs, folder, true));
  ASSERT_TRUE(CreateDirectoryA((folder + "sub").c_str(), nullptr));
  EXPECT_TRUE(FolderHasEntries(fs, folder, true));
  Touch(folder + "file.txt");
  EXPECT_FALSE(FolderExists(fs, folder + "file.txt"));
  EXPECT_FALSE(FolderExists(fs, folder + "missing"));
  EXPECT_FALSE(FolderHasEntries(fs, folder + "missing", false));
  EXPECT_FALSE(FolderExists(fs, ""));
}

// A path of 259 characters is the longest the ANSI calls accept; the job folder formed from
// such a data path is longer still. Neither may crash; what is too long lists nothing.
TEST(FolderHelpers, PathsAtTheLengthLimit) {
  win::WinFileSystem fs;
  const std::string base = test::MakeTempFolder("long");
  std::string path = base + std::string(259 - base.size(), 'L');
  ASSERT_EQ(path.size(), 259u);
  const std::wstring wide = L"\\\\?\\" + std::wstring(path.begin(), path.end());
  ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
  EXPECT_TRUE(FolderExists(fs, path));
  const std::wstring file = wide + L"\\a.jdf";
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  const Names listed = ListFolderFiles(fs, path, "*.jdf");
  // The folder exists, but its listing pattern is longer than the ANSI calls take.
  EXPECT_TRUE(listed.empty());
  EXPECT_TRUE(ListFolderFiles(fs, path + "\\SysData\\", "*.jdf").empty());
  EXPECT_FALSE(FolderExists(fs, path + "\\SysData\\"));
  EXPECT_FALSE(FolderExists(fs, path + std::string(400, 'x')));
  DeleteFileW(file.c_str());
  RemoveDirectoryW(wide.c_str());
}

TEST(ReadProfileString, ReadsJobFilesLikeTheMainProgramWritesThem) {
  win::WinFileSystem fs;
  const std::string folder = test::MakeTempFolder("ini");
  const std::string job = folder + "Daily.jdf";
  const std::string longValue(5000, 'v');
  test::WriteFile(job,
                  "[General]\r\nBackupFolder=wrong\r\n[Parms]\r\nBackupFolder=E:\\Save\\\r\n"
                  "LastBackupName=E:\\Save\\Daily.zip\r\nLong=" +
                      longValue + "\r\nEmpty=\r\n");
  EXPECT_EQ(fs.ReadProfileString(job, "Parms", "BackupFolder", "", 2048), "E:\\Save\\");
  EXPECT_EQ(fs.ReadProfileString(job, "PARMS", "lastbackupname", "", 2048), "E:\\Save\\Daily.zip");
  EXPECT_EQ(fs.ReadProfileString(job, "Parms", "Missing", "dflt", 2048), "dflt");
  EXPECT_EQ(fs.ReadProfileString(job, "Parms", "Empty", "dflt", 2048), "");
  EXPECT_EQ(fs.ReadProfileString(job, "Parms", "Long", "", 2048), longValue.substr(0, 2047));
  EXPECT_EQ(fs.ReadProfileString(job, "Parms", "BackupFolder", "", 1), "");
  EXPECT_EQ(fs.ReadProfileString(job, "Parms", "BackupFolder", "", 0), "");
  EXPECT_EQ(fs.ReadProfileString(folder + "Vanished.jdf", "Parms", "BackupFolder", "", 2048), "");
}

}  // namespace
}  // namespace vt9
