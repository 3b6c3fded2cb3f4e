#include "app/dep_check.h"

#include "common/settings.h"
#include "common/text.h"

namespace vt9 {

bool IsWindowsVersion6(OsInfo& os) {
  const auto major = os.MajorVersion();
  return major && *major == 6;
}

std::string BytesToHexText(const std::vector<unsigned char>& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char b : bytes) {
    if (!text.empty()) text += ',';
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

bool IsDEPConflict(Registry& reg, OsInfo& os, const std::string& mainProgramPath) {
  if (!IsWindowsVersion6(os)) return false;
  const KeyPresence key = reg.FindKey(RegRoot::LocalMachine, kDepPolicyKey);
  if (key == KeyPresence::Absent) return false;

  // An absent element, or one in a key that exists but cannot be opened, renders empty and so
  // counts as enforcing: only a policy known to be off is safe.
  std::optional<std::vector<unsigned char>> element;
  if (key == KeyPresence::Readable)
    element = reg.ReadBytes(RegRoot::LocalMachine, kDepPolicyKey, "Element");
  if (BytesToHexText(element.value_or(std::vector<unsigned char>{})) == "00,00,00,00,00,00,00,00")
    return false;

  const std::string layers =
      ReadRegString(reg, RegRoot::LocalMachine, kCompatLayersKey, mainProgramPath, "SNAFU");
  return !EqualsIgnoreAsciiCase(layers, "DisableNXShowUI");
}

}  // namespace vt9
