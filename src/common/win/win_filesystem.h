#pragma once

#include "platform/filesystem.h"

namespace vt9::win {

// The real file system through the ANSI calls, so paths are limited to MAX_PATH characters
// as the platform limits them: a longer path lists nothing and has no attributes.
class WinFileSystem : public FileSystem {
 public:
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
  std::vector<DirEntry> List(const std::string& pattern) override;
  bool HasEntryOtherThanDots(const std::string& pattern) override;
  std::string ReadProfileString(const std::string& file, const std::string& section,
                                const std::string& key, const std::string& defaultText,
                                std::size_t bufferChars) override;
};

}  // namespace vt9::win
