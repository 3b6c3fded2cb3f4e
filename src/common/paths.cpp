#include "common/paths.h"

namespace vt9 {
namespace {

bool IsDots(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

std::string AddTrailingBackslash(const std::string& path) {
  if (path.empty() || path.back() == '\\') return path;
  return path + '\\';
}

bool FolderExists(FileSystem& fs, const std::string& path) {
  const auto attributes = fs.Attributes(path);
  return attributes && (*attributes & kAttrDirectory) != 0;
}

bool FolderHasEntries(FileSystem& fs, const std::string& folder, bool requireEntry) {
  if (!FolderExists(fs, folder)) return false;
  if (!requireEntry) return true;
  return fs.HasEntryOtherThanDots(AddTrailingBackslash(folder) + "*.*");
}

std::vector<std::string> ListFolderFiles(FileSystem& fs, const std::string& folder,
                                         const std::string& mask) {
  std::vector<std::string> files;
  if (folder.empty()) return files;
  const std::string base = AddTrailingBackslash(folder);
  if (!FolderHasEntries(fs, base, true)) return files;
  for (DirEntry& entry : fs.List(base + (mask.empty() ? "*" : mask)))
    if (!IsDots(entry.name) && (entry.attributes & kAttrDirectory) == 0)
      files.push_back(std::move(entry.name));
  return files;
}

}  // namespace vt9
