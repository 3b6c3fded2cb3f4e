#include "common/win/win_filesystem.h"

#include <windows.h>

#include "common/win/handles.h"

namespace vt9::win {
namespace {

bool IsDots(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

std::optional<std::uint32_t> WinFileSystem::Attributes(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

std::vector<DirEntry> WinFileSystem::List(const std::string& pattern) {
  std::vector<DirEntry> entries;
  WIN32_FIND_DATAA data;
  // FindFirstFileA reports entries of every attribute kind; no filter is applied here.
  FindHandle find(FindFirstFileA(pattern.c_str(), &data));
  if (!find) return entries;
  do {
    entries.push_back({data.cFileName, data.dwFileAttributes});
  } while (FindNextFileA(find.get(), &data));
  return entries;
}

bool WinFileSystem::HasEntryOtherThanDots(const std::string& pattern) {
  WIN32_FIND_DATAA data;
  FindHandle find(FindFirstFileA(pattern.c_str(), &data));
  if (!find) return false;
  do {
    if (!IsDots(data.cFileName)) return true;
  } while (FindNextFileA(find.get(), &data));
  return false;
}

std::string WinFileSystem::ReadProfileString(const std::string& file, const std::string& section,
                                             const std::string& key, const std::string& defaultText,
                                             std::size_t bufferChars) {
  if (bufferChars == 0) return std::string();
  std::string buffer(bufferChars, '\0');
  const DWORD length =
      GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(), buffer.data(),
                               static_cast<DWORD>(bufferChars), file.c_str());
  buffer.resize(length < bufferChars ? length : bufferChars - 1);
  return buffer;
}

}  // namespace vt9::win
