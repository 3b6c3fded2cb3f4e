#include "common/settings.h"

#include <algorithm>

#include "common/text.h"

namespace vt9 {

std::string ReadRegString(Registry& reg, RegRoot root, const std::string& path,
                          const std::string& name, const std::string& defaultText) {
  if (auto text = reg.ReadText(root, path, name)) return *text;
  return defaultText;
}

void WriteRegString(Registry& reg, RegRoot root, const std::string& path, const std::string& name,
                    const std::string& text) {
  reg.WriteText(root, path, name, text);
}

bool ReadRegFlag(Registry& reg, RegRoot root, const std::string& path, const std::string& name,
                 bool defaultFlag) {
  std::string text = ReadRegString(reg, root, path, name, defaultFlag ? "YES" : "NO");
  // Only ASCII letters can upper-case into "YES", so ASCII casing decides exactly as a
  // locale-aware one would.
  std::transform(text.begin(), text.end(), text.begin(), AsciiUpper);
  return text == "YES" || text == "1";
}

void WriteRegFlag(Registry& reg, RegRoot root, const std::string& path, const std::string& name,
                  bool flag) {
  WriteRegString(reg, root, path, name, flag ? "YES" : "NO");
}

}  // namespace vt9
