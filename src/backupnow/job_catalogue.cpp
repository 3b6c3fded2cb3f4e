#include "backupnow/job_catalogue.h"

#include "common/paths.h"
#include "common/settings.h"

namespace vt9 {
namespace {

bool HasJobExtension(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext) c = (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
  return ext == ".jdf";
}

std::string ReadSetting(Registry& registry, const char* name) {
  return ReadRegString(registry, RegRoot::CurrentUser, kSettingsKey, name, "");
}

}  // namespace

std::string FolderPart(const std::string& text) {
  const auto pos = text.find_last_of("\\:");
  return pos == std::string::npos ? std::string() : text.substr(0, pos + 1);
}

std::string JobNameOfFile(const std::string& jobFile) {
  return jobFile.size() <= 4 ? std::string() : jobFile.substr(0, jobFile.size() - 4);
}

JobCatalogue JobCatalogue::Build(Registry& registry, FileSystem& files) {
  JobCatalogue c;
  c.dataPath_ = ReadSetting(registry, "VT9DataPath");
  const std::string lastBackupName = ReadSetting(registry, "LastBackupName");
  c.defaultBackupFolder_ = ReadSetting(registry, "DefaultBackupFolder");
  c.lastBackupFolder_ = FolderPart(lastBackupName);

  if (!lastBackupName.empty()) {
    c.entries_.push_back(kRedoLastBackup);
    c.hasRedoEntry_ = true;
  }
  if (!c.dataPath_.empty() && FolderExists(files, c.dataPath_)) {
    // The main backup program writes its data path with the trailing backslash; the job folder
    // is appended as it does, with no separator of our own.
    c.jobFolder_ = c.dataPath_ + "SysData\\";
    for (std::string& name : ListFolderFiles(files, c.jobFolder_, kJobFileMask)) {
      // The mask also matches by 8.3 short name ("Daily.jdfold" is DAILY~1.JDF): such files
      // are not jobs of the main backup program.
      if (!HasJobExtension(name)) continue;
      c.entries_.push_back(JobNameOfFile(name) + " Backup");
      c.jobFiles_.push_back(std::move(name));
    }
  }
  c.noBackups_ = c.dataPath_.empty() || c.entries_.empty();
  return c;
}

bool JobCatalogue::IsRedoEntry(int entry) const { return hasRedoEntry_ && entry == 0; }

std::optional<std::string> JobCatalogue::JobFileOf(int entry) const {
  if (entry < 0 || IsRedoEntry(entry)) return std::nullopt;
  const std::size_t item = static_cast<std::size_t>(entry) - (hasRedoEntry_ ? 1 : 0);
  if (item >= jobFiles_.size()) return std::nullopt;
  return jobFiles_[item];
}

std::string JobCatalogue::JobNameOf(int entry) const {
  const auto file = JobFileOf(entry);
  return file ? JobNameOfFile(*file) : std::string();
}

std::optional<std::string> JobCatalogue::LocationOf(int entry, FileSystem& files) const {
  if (entry < 0 || static_cast<std::size_t>(entry) >= entries_.size()) return std::nullopt;
  if (IsRedoEntry(entry)) return lastBackupFolder_;
  const auto jobFile = JobFileOf(entry);
  if (!jobFile) return std::nullopt;
  const std::string profile = jobFolder_ + *jobFile;
  std::string value =
      files.ReadProfileString(profile, "Parms", "BackupFolder", "", kJobValueBufferChars);
  if (value.empty())
    value = files.ReadProfileString(profile, "Parms", "LastBackupName", "", kJobValueBufferChars);
  std::string location = value.empty() ? defaultBackupFolder_ : FolderPart(value);
  if (location.empty()) location = lastBackupFolder_;
  return location;
}

}  // namespace vt9
