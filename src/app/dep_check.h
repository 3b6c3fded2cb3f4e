// The guard against a DEP policy that stops the main backup program from running.
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/system.h"

namespace vt9 {

inline constexpr const char* kDepPolicyKey =
    "BCD00000000\\Objects\\{65bf5d7e-b16b-11db-86f8-931848736478}\\Elements\\25000020";
inline constexpr const char* kCompatLayersKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";

bool IsWindowsVersion6(OsInfo& os);

// Bytes as upper-case hex pairs joined by ",": {0, 0xAB} gives "00,AB".
std::string BytesToHexText(const std::vector<unsigned char>& bytes);

// True when DEP is enforced (anything but eight zero bytes in the boot policy element) and the
// main program is not exempted by exactly the single compatibility layer "DisableNXShowUI".
// A policy element stored as text throws RegistryTypeError.
bool IsDEPConflict(Registry& reg, OsInfo& os, const std::string& mainProgramPath);

}  // namespace vt9
