// An in-memory file system holding folders and job definition files, for the native tests of
// the job catalogue. Folder paths are stored with a trailing "\"; listing keeps the order in
// which entries were added, as the platform's listing is not sorted.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/filesystem.h"

namespace vt9::test {

class FakeJobFileSystem : public FileSystem {
 public:
  using Section = std::map<std::string, std::string>;  // upper-cased key -> value
  using Profile = std::map<std::string, Section>;      // upper-cased section -> keys

  void AddFolder(std::string path) {
    path = WithBackslash(path);
    folders_.push_back(Upper(path));
    // A folder is an entry of its parent folder as well.
    const std::string trimmed = path.substr(0, path.size() - 1);
    const auto cut = trimmed.find_last_of('\\');
    if (cut != std::string::npos)
      entries_.push_back(
          {Upper(trimmed.substr(0, cut + 1)), {trimmed.substr(cut + 1), kAttrDirectory}});
  }
  // Adds a file to an existing folder (folder given with its trailing "\").
  void AddFile(const std::string& folder, const std::string& name, Profile profile = {}) {
    entries_.push_back({Upper(WithBackslash(folder)), {name, 0x20}});
    profiles_[Upper(WithBackslash(folder) + name)] = std::move(profile);
  }
  static Profile Parms(const std::string& backupFolder, const std::string& lastBackupName = "") {
    Profile p;
    if (!backupFolder.empty()) p["PARMS"]["BACKUPFOLDER"] = backupFolder;
    if (!lastBackupName.empty()) p["PARMS"]["LASTBACKUPNAME"] = lastBackupName;
    return p;
  }

  std::optional<std::uint32_t> Attributes(const std::string& path) override {
    if (std::find(folders_.begin(), folders_.end(), Upper(WithBackslash(path))) != folders_.end())
      return kAttrDirectory;
    if (profiles_.count(Upper(path))) return 0x20;
    return std::nullopt;
  }
  std::vector<DirEntry> List(const std::string& pattern) override {
    const auto cut = pattern.find_last_of('\\');
    const std::string folder = Upper(pattern.substr(0, cut + 1));
    const std::string mask = Upper(pattern.substr(cut + 1));
    std::vector<DirEntry> out;
    if (std::find(folders_.begin(), folders_.end(), folder) == folders_.end()) return out;
    out.push_back({".", kAttrDirectory});
    out.push_back({"..", kAttrDirectory});
    for (const auto& [parent, entry] : entries_)
      if (parent == folder && Matches(mask, Upper(entry.name))) out.push_back(entry);
    return out;
  }
  bool HasEntryOtherThanDots(const std::string& pattern) override {
    return List(pattern).size() > 2;
  }
  std::string ReadProfileString(const std::string& file, const std::string& section,
                                const std::string& key, const std::string& defaultText,
                                std::size_t bufferChars) override {
    profileReads.push_back(file + "|" + section + "|" + key);
    bufferSizes.push_back(bufferChars);
    std::string value = defaultText;
    auto p = profiles_.find(Upper(file));
    if (p != profiles_.end()) {
      auto s = p->second.find(Upper(section));
      if (s != p->second.end()) {
        auto k = s->second.find(Upper(key));
        if (k != s->second.end()) value = k->second;
      }
    }
    // GetPrivateProfileStringA stores at most bufferChars - 1 characters and the NUL.
    return value.substr(0, bufferChars == 0 ? 0 : bufferChars - 1);
  }

  std::vector<std::string> profileReads;
  std::vector<std::size_t> bufferSizes;

 private:
  static std::string Upper(std::string s) {
    for (char& c : s) c = (c >= 'a' && c <= 'z') ? char(c - 32) : c;
    return s;
  }
  static std::string WithBackslash(std::string s) {
    if (!s.empty() && s.back() != '\\') s += '\\';
    return s;
  }
  static bool Matches(const std::string& mask, const std::string& name) {
    if (mask.empty()) return name.empty();
    if (mask[0] == '*') {
      for (std::size_t i = 0; i <= name.size(); ++i)
        if (Matches(mask.substr(1), name.substr(i))) return true;
      return false;
    }
    return !name.empty() && (mask[0] == '?' || mask[0] == name[0]) &&
           Matches(mask.substr(1), name.substr(1));
  }

  std::vector<std::string> folders_;
  std::vector<std::pair<std::string, DirEntry>> entries_;
  std::map<std::string, Profile> profiles_;
};

}  // namespace vt9::test
