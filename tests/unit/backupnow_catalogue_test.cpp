#include <gtest/gtest.h>

#include "backupnow/job_catalogue.h"
#include "common/settings.h"
#include "support/backupnow_fakes.h"
#include "support/fakes.h"

namespace vt9 {
namespace {

using test::FakeJobFileSystem;
using test::FakeRegistry;

class JobCatalogueTest : public ::testing::Test {
 protected:
  void Setting(const char* name, const std::string& value) {
    reg.Set(RegRoot::CurrentUser, kSettingsKey, name, value);
  }
  // A data path C:\VT9\ whose job folder exists.
  void DataPathWithJobFolder() {
    Setting("VT9DataPath", "C:\\VT9\\");
    files.AddFolder("C:\\VT9\\");
    files.AddFolder("C:\\VT9\\SysData\\");
  }
  void Job(const std::string& name, FakeJobFileSystem::Profile profile = {}) {
    files.AddFile("C:\\VT9\\SysData\\", name, std::move(profile));
  }
  JobCatalogue Build() { return JobCatalogue::Build(reg, files); }

  FakeRegistry reg;
  FakeJobFileSystem files;
};

TEST_F(JobCatalogueTest, RedoEntryComesFirstAndJobsKeepListingOrder) {
  Setting("LastBackupName", "E:\\Last\\Full.zip");
  DataPathWithJobFolder();
  Job("B.jdf", FakeJobFileSystem::Parms("F:\\Bee\\"));
  Job("A.jdf", FakeJobFileSystem::Parms("F:\\Ay\\"));
  Job("notes.txt");
  const JobCatalogue c = Build();
  EXPECT_EQ(c.entries(), (std::vector<std::string>{"Redo Last Backup", "B Backup", "A Backup"}));
  EXPECT_FALSE(c.noBackups());
  EXPECT_EQ(c.jobFolder(), "C:\\VT9\\SysData\\");
  EXPECT_TRUE(c.IsRedoEntry(0));
  EXPECT_FALSE(c.JobFileOf(0));
  EXPECT_EQ(c.JobFileOf(2), "A.jdf");
  EXPECT_EQ(c.JobNameOf(1), "B");
  EXPECT_EQ(c.LocationOf(0, files), "E:\\Last\\");
  EXPECT_EQ(c.LocationOf(2, files), "F:\\Ay\\");
  EXPECT_EQ(files.profileReads.back(), "C:\\VT9\\SysData\\A.jdf|Parms|BackupFolder");
}

TEST_F(JobCatalogueTest, WithoutLastBackupEntryIndexIsJobIndex) {
  DataPathWithJobFolder();
  Job("A.jdf");
  Job("B.jdf");
  const JobCatalogue c = Build();
  EXPECT_EQ(c.entries(), (std::vector<std::string>{"A Backup", "B Backup"}));
  EXPECT_FALSE(c.IsRedoEntry(0));
  EXPECT_EQ(c.JobFileOf(0), "A.jdf");
  EXPECT_EQ(c.JobFileOf(1), "B.jdf");
  EXPECT_FALSE(c.JobFileOf(2));
  EXPECT_FALSE(c.JobFileOf(-1));
}

TEST_F(JobCatalogueTest, LastBackupWithoutDataPathIsOnlyRedoAndNoBackups) {
  Setting("LastBackupName", "E:\\Last\\Full.zip");
  const JobCatalogue c = Build();
  EXPECT_EQ(c.entries(), std::vector<std::string>{"Redo Last Backup"});
  EXPECT_TRUE(c.noBackups());
  EXPECT_EQ(c.jobFolder(), "");
}

TEST_F(JobCatalogueTest, DataPathThatIsNoFolderGivesNoJobsButNotNoBackups) {
  Setting("LastBackupName", "E:\\Last\\Full.zip");
  Setting("VT9DataPath", "C:\\Missing\\");
  const JobCatalogue c = Build();
  EXPECT_EQ(c.entries(), std::vector<std::string>{"Redo Last Backup"});
  EXPECT_FALSE(c.noBackups());
  EXPECT_EQ(c.jobFolder(), "");
}

TEST_F(JobCatalogueTest, NothingToOfferIsNoBackupsWithoutLocation) {
  DataPathWithJobFolder();
  const JobCatalogue c = Build();
  EXPECT_TRUE(c.entries().empty());
  EXPECT_TRUE(c.noBackups());
  EXPECT_FALSE(c.LocationOf(0, files));
  EXPECT_FALSE(c.LocationOf(-1, files));
}

TEST_F(JobCatalogueTest, DataPathWithoutBackslashIsJoinedAsItIs) {
  Setting("VT9DataPath", "C:\\VT9");
  files.AddFolder("C:\\VT9\\");
  files.AddFolder("C:\\VT9\\SysData\\");
  files.AddFile("C:\\VT9\\SysData\\", "A.jdf");
  const JobCatalogue c = Build();
  EXPECT_EQ(c.jobFolder(), "C:\\VT9SysData\\");
  EXPECT_TRUE(c.entries().empty());
  EXPECT_TRUE(c.noBackups());
}

TEST_F(JobCatalogueTest, LocationFallsBackInOrder) {
  Setting("LastBackupName", "E:\\Last\\Full.zip");
  DataPathWithJobFolder();
  Job("Folder.jdf", FakeJobFileSystem::Parms("E:\\Save\\", "X:\\Other\\a.zip"));
  Job("NoSlash.jdf", FakeJobFileSystem::Parms("D:\\Backups"));
  Job("LastOnly.jdf", FakeJobFileSystem::Parms("", "E:\\Save\\Daily.zip"));
  Job("Neither.jdf");
  Job("Bare.jdf", FakeJobFileSystem::Parms("backups"));
  const JobCatalogue withoutDefault = Build();
  EXPECT_EQ(withoutDefault.LocationOf(1, files), "E:\\Save\\");
  EXPECT_EQ(withoutDefault.LocationOf(2, files), "D:\\");
  EXPECT_EQ(withoutDefault.LocationOf(3, files), "E:\\Save\\");
  EXPECT_EQ(withoutDefault.LocationOf(4, files), "E:\\Last\\");
  // A value without any folder part is not replaced by the default folder, only by the last one.
  EXPECT_EQ(withoutDefault.LocationOf(5, files), "E:\\Last\\");

  Setting("DefaultBackupFolder", "G:\\Default\\");
  const JobCatalogue withDefault = Build();
  EXPECT_EQ(withDefault.LocationOf(4, files), "G:\\Default\\");
  EXPECT_EQ(withDefault.LocationOf(5, files), "E:\\Last\\");
}

TEST_F(JobCatalogueTest, EverythingEmptyGivesEmptyLocation) {
  Setting("LastBackupName", "Full.zip");  // neither "\" nor ":"
  DataPathWithJobFolder();
  Job("Empty.jdf");
  const JobCatalogue c = Build();
  EXPECT_EQ(c.lastBackupFolder(), "");
  EXPECT_EQ(c.LocationOf(0, files), "");
  EXPECT_EQ(c.LocationOf(1, files), "");
}

TEST_F(JobCatalogueTest, ValuesAreReadThroughA2048CharacterBuffer) {
  DataPathWithJobFolder();
  Job("Long.jdf", FakeJobFileSystem::Parms(std::string(5000, 'x') + "\\"));
  const JobCatalogue c = Build();
  const auto location = c.LocationOf(0, files);
  ASSERT_TRUE(location);
  EXPECT_EQ(*location, "");  // the backslash lies beyond what the buffer holds
  EXPECT_EQ(files.bufferSizes, std::vector<std::size_t>{2048});
}

TEST_F(JobCatalogueTest, JobNamedLikeThePseudoEntryKeepsItsOwnFile) {
  DataPathWithJobFolder();
  Job("Redo Last.jdf", FakeJobFileSystem::Parms("R:\\"));
  Job("Daily.jdf", FakeJobFileSystem::Parms("D:\\"));
  const JobCatalogue c = Build();
  ASSERT_EQ(c.entries()[0], "Redo Last Backup");
  EXPECT_FALSE(c.IsRedoEntry(0));
  EXPECT_EQ(c.JobNameOf(0), "Redo Last");
  EXPECT_EQ(c.JobNameOf(1), "Daily");
  EXPECT_EQ(c.LocationOf(1, files), "D:\\");
}

TEST_F(JobCatalogueTest, OddJobFileNames) {
  DataPathWithJobFolder();
  Job(".jdf");
  Job("My. Daily Job.JDF");
  Job("Daily.jdfold");  // found through its short name on Windows, but no job file
  const JobCatalogue c = Build();
  EXPECT_EQ(c.entries(), (std::vector<std::string>{" Backup", "My. Daily Job Backup"}));
  EXPECT_EQ(c.JobNameOf(0), "");
  EXPECT_EQ(c.JobNameOf(1), "My. Daily Job");
}

TEST_F(JobCatalogueTest, HundredsOfJobsMapToTheirFiles) {
  Setting("LastBackupName", "E:\\x.zip");
  DataPathWithJobFolder();
  for (int i = 499; i >= 0; --i)
    Job("J" + std::to_string(i) + ".jdf",
        FakeJobFileSystem::Parms("E:\\" + std::to_string(i) + "\\"));
  const JobCatalogue c = Build();
  ASSERT_EQ(c.entries().size(), 501u);
  EXPECT_EQ(c.entries()[500], "J0 Backup");
  EXPECT_EQ(c.LocationOf(500, files), "E:\\0\\");
  EXPECT_EQ(c.LocationOf(1, files), "E:\\499\\");
}

TEST_F(JobCatalogueTest, SettingOfWrongTypeIsNotSwallowed) {
  reg.Set(RegRoot::CurrentUser, kSettingsKey, "VT9DataPath", std::string("\x01\0\0\0", 4),
          FakeRegistry::Type::Dword);
  EXPECT_THROW(Build(), RegistryTypeError);
}

TEST(FolderPart, UpToLastBackslashOrColon) {
  EXPECT_EQ(FolderPart("C:\\a\\b.zip"), "C:\\a\\");
  EXPECT_EQ(FolderPart("C:\\a\\"), "C:\\a\\");
  EXPECT_EQ(FolderPart("C:b.zip"), "C:");
  EXPECT_EQ(FolderPart("a:b\\c"), "a:b\\");
  EXPECT_EQ(FolderPart("name.zip"), "");
  EXPECT_EQ(FolderPart(""), "");
}

}  // namespace
}  // namespace vt9
