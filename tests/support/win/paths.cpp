#include "support/win/paths.h"

#include <windows.h>

#include <fstream>
#include <sstream>

namespace vt9::test {

std::string BinFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.find_last_of('\\') + 1);
}

std::string MakeTempFolder(const std::string& tag) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  static unsigned counter = 0;
  std::string folder = std::string(temp) + "vt9test-" + tag + "-" +
                       std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\";
}

std::string ArtifactFolder() {
  char unixPath[MAX_PATH] = {};
  std::string folder;
  if (GetEnvironmentVariableA("VT9_ARTIFACTS", unixPath, MAX_PATH) > 0) {
    // Wine maps the Unix root to drive Z:.
    folder = std::string("Z:") + unixPath;
    for (char& c : folder) if (c == '/') c = '\\';
  } else {
    folder = BinFolder() + "artifacts";
  }
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\";
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string FileNames(const std::string& folder) {
  std::string names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      names += std::string(data.cFileName) + ";";
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

}  // namespace vt9::test
