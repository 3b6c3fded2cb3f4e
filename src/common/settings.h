// Every access to the shared settings key goes through these four operations. Each opens
// the registry afresh, so a value the main backup program changed a moment ago is seen.
#pragma once

#include <string>

#include "platform/registry.h"

namespace vt9 {

inline constexpr const char* kSettingsKey = "Software\\Corvane\\VT9";

// The value's text, or defaultText when the key or value is absent or the key can't be
// opened. Throws RegistryTypeError for a value of a non-text type.
std::string ReadRegString(Registry& reg, RegRoot root, const std::string& path,
                          const std::string& name, const std::string& defaultText);

// Stores the text, creating the key path; failures are dropped.
void WriteRegString(Registry& reg, RegRoot root, const std::string& path, const std::string& name,
                    const std::string& text);

// "YES" or "1" (any letter case, nothing trimmed) reads as set.
bool ReadRegFlag(Registry& reg, RegRoot root, const std::string& path, const std::string& name,
                 bool defaultFlag);

void WriteRegFlag(Registry& reg, RegRoot root, const std::string& path, const std::string& name,
                  bool flag);

}  // namespace vt9
