// The file system as the folder helpers and the job catalogue see it.
// Paths are ANSI Windows paths with "\" separators.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vt9 {

constexpr std::uint32_t kAttrDirectory = 0x10;

struct DirEntry {
  std::string name;
  std::uint32_t attributes = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // GetFileAttributesA: nullopt when the call fails.
  virtual std::optional<std::uint32_t> Attributes(const std::string& path) = 0;

  // Every entry matching the pattern (folder + mask, e.g. "C:\Data\*.jdf"), "." and ".."
  // included, over all attribute kinds, in the order the platform's listing returns them.
  virtual std::vector<DirEntry> List(const std::string& pattern) = 0;

  // Whether the listing of the pattern yields at least one entry other than "." and "..";
  // stops at the first such entry so huge folders cost nothing.
  virtual bool HasEntryOtherThanDots(const std::string& pattern) = 0;

  // GetPrivateProfileStringA into a buffer of bufferChars characters.
  virtual std::string ReadProfileString(const std::string& file, const std::string& section,
                                        const std::string& key, const std::string& defaultText,
                                        std::size_t bufferChars) = 0;
};

}  // namespace vt9
