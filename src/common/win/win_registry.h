#pragma once

#include "platform/registry.h"

namespace vt9::win {

// The real registry. Every call opens the key afresh and closes it before returning.
class WinRegistry : public Registry {
 public:
  KeyPresence FindKey(RegRoot root, const std::string& path) override;
  std::optional<std::string> ReadText(RegRoot root, const std::string& path,
                                      const std::string& name) override;
  std::optional<std::vector<unsigned char>> ReadBytes(RegRoot root, const std::string& path,
                                                      const std::string& name) override;
  bool WriteText(RegRoot root, const std::string& path, const std::string& name,
                 const std::string& text) override;
};

}  // namespace vt9::win
