#include "common/win/module_path.h"

#include <stdexcept>

namespace vt9::win {
namespace {
// Longest path the system handles at all ("\\?\" paths), in characters plus the NUL.
constexpr std::size_t kLongestPath = 32768;
}  // namespace

std::optional<std::string> ReadWholePath(const std::function<DWORD(char*, DWORD)>& read) {
  std::string path(MAX_PATH + 1, '\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = read(path.data(), size);
    if (length == 0) return std::nullopt;
    // A path that filled the whole buffer may have been cut (older systems do not even end it
    // with a NUL then): read again with more room.
    if (length < size) {
      path.resize(length);
      return path;
    }
    if (path.size() >= kLongestPath) return std::nullopt;
    path.resize(path.size() * 2);
  }
}

std::optional<std::string> ModuleFileName(HMODULE module) {
  return ReadWholePath(
      [module](char* buffer, DWORD size) { return GetModuleFileNameA(module, buffer, size); });
}

std::string OwnFolder() {
  const std::optional<std::string> path = ModuleFileName(nullptr);
  const std::size_t slash = path ? path->find_last_of('\\') : std::string::npos;
  if (slash == std::string::npos) {
    throw std::runtime_error("The program's own location cannot be read.");
  }
  return path->substr(0, slash + 1);
}

}  // namespace vt9::win
