// The backup jobs the Backup Now window offers, and where each of them backs up to.
// The jobs belong to the main backup program: one profile file "<job>.jdf" per job in the
// "SysData\" folder of its data path. This tool only lists them and reads two values.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/filesystem.h"
#include "platform/registry.h"

namespace vt9 {

inline constexpr const char* kRedoLastBackup = "Redo Last Backup";
inline constexpr const char* kJobFileMask = "*.jdf";
// Profile values are read into a buffer of this many characters, so 2047 are seen at most.
inline constexpr std::size_t kJobValueBufferChars = 2048;

// Everything up to and including the last "\" or ":"; empty when the text has neither.
std::string FolderPart(const std::string& text);

// The job file name less its last four characters (the ".jdf" extension).
std::string JobNameOfFile(const std::string& jobFile);

class JobCatalogue {
 public:
  // Reads "VT9DataPath", "LastBackupName" and "DefaultBackupFolder" from the settings key and
  // lists the job folder. Throws RegistryTypeError for a settings value that is not text.
  static JobCatalogue Build(Registry& registry, FileSystem& files);

  // The entries of the job box, in order: "Redo Last Backup" when a last backup is known,
  // then "<job> Backup" per job file in the order the folder listing returned them.
  const std::vector<std::string>& entries() const { return entries_; }

  // Set when the data path is empty or there is no entry at all: there is nothing to back up.
  bool noBackups() const { return noBackups_; }

  // The data path followed by "SysData\"; empty when the data path is not an existing folder.
  const std::string& jobFolder() const { return jobFolder_; }
  const std::vector<std::string>& jobFiles() const { return jobFiles_; }
  const std::string& lastBackupFolder() const { return lastBackupFolder_; }
  const std::string& defaultBackupFolder() const { return defaultBackupFolder_; }

  // Whether the entry stands for a repeat of the last backup. Told by position (entry 0 when
  // the pseudo entry was added), not by text: a job file "Redo Last.jdf" has the same entry
  // text and must still be its own job.
  bool IsRedoEntry(int entry) const;

  // The job file of an entry; nullopt for the redo entry and for indexes outside the box.
  std::optional<std::string> JobFileOf(int entry) const;

  // The job name the command line passes for an entry; empty when there is no job file.
  std::string JobNameOf(int entry) const;

  // The location the box shows for the entry: the job's "BackupFolder", else the folder of its
  // "LastBackupName", else the default backup folder, else the last backup's folder. nullopt
  // when the entry does not exist (no selection): the box is then left as it is.
  std::optional<std::string> LocationOf(int entry, FileSystem& files) const;

 private:
  std::vector<std::string> entries_;
  std::vector<std::string> jobFiles_;
  std::string dataPath_;
  std::string jobFolder_;
  std::string lastBackupFolder_;
  std::string defaultBackupFolder_;
  bool hasRedoEntry_ = false;
  bool noBackups_ = false;
};

}  // namespace vt9
