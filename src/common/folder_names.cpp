#include "common/folder_names.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vt9 {
namespace {

// Indexed by the shell's special-folder number (CSIDL); "%%" marks numbers without a name.
// clang-format off
constexpr const char* kNames[kSpecialFolderCount] = {
    /*  0 */ "%DESKTOP%", "%INTERNET%", "%PROGRAMS%", "%CONTROLS%", "%PRINTERS%",
    /*  5 */ "%PERSONAL%", "%FAVORITES%", "%STARTUP%", "%RECENT%", "%SENDTO%",
    /* 10 */ "%BITBUCKET%", "%STARTMENU%", "%MYDOCUMENTS%", "%MYMUSIC%", "%MYVIDEO%",
    /* 15 */ "%%", "%DESKTOPDIRECTORY%", "%DRIVES%", "%NETWORK%", "%NETHOOD%",
    /* 20 */ "%FONTS%", "%TEMPLATES%", "%COMMON_STARTMENU%", "%COMMON_PROGRAMS%",
    /* 24 */ "%COMMON_STARTUP%", "%COMMON_DESKTOPDIRECTORY%", "%APPDATA%", "%PRINTHOOD%",
    /* 28 */ "%LOCAL_APPDATA%", "%ALTSTARTUP%", "%COMMON_ALTSTARTUP%", "%COMMON_FAVORITES%",
    /* 32 */ "%INTERNET_CACHE%", "%COOKIES%", "%HISTORY%", "%COMMON_APPDATA%", "%WINDOWS%",
    /* 37 */ "%SYSTEM%", "%PROGRAM_FILES%", "%MYPICTURES%", "%PROFILE%", "%SYSTEMX86%",
    /* 42 */ "%PROGRAM_FILESX86%", "%PROGRAM_FILES_COMMON%", "%PROGRAM_FILES_COMMONX86%",
    /* 45 */ "%COMMON_TEMPLATES%", "%COMMON_DOCUMENTS%", "%COMMON_ADMINTOOLS%", "%ADMINTOOLS%",
    /* 49 */ "%CONNECTIONS%", "%%", "%%", "%%", "%COMMON_MUSIC%",
    /* 54 */ "%COMMON_PICTURES%", "%COMMON_VIDEO%", "%RESOURCES%", "%RESOURCES_LOCALIZED%",
    /* 58 */ "%COMMON_OEM_LINKS%", "%CDBURN_AREA%", "%%", "%COMPUTERSNEARME%",
};
// clang-format on

// A name is virtual when it occurs in this text.
constexpr const char* kVirtualFolders =
    "%DESKTOP%%INTERNET%%CONTROLS%%PRINTERS%%BITBUCKET%%MYDOCUMENTS%%DRIVES%%NETWORK%%FONTS%"
    "%PRINTHOOD%%CONNECTIONS%%COMPUTERSNEARME%";

// Shared, per-user and x86 variants that a machine may lack, and the folder that stands in.
constexpr std::pair<const char*, const char*> kFallbacks[] = {
    {"%MYDOCUMENTS%", "%PERSONAL%"},
    {"%MYMUSIC%", "%PERSONAL%"},
    {"%MYVIDEO%", "%PERSONAL%"},
    {"%MYPICTURES%", "%PERSONAL%"},
    {"%COMMON_DOCUMENTS%", "%PERSONAL%"},
    {"%COMMON_STARTMENU%", "%STARTMENU%"},
    {"%COMMON_PROGRAMS%", "%PROGRAMS%"},
    {"%COMMON_STARTUP%", "%STARTUP%"},
    {"%ALTSTARTUP%", "%STARTUP%"},
    {"%COMMON_DESKTOPDIRECTORY%", "%DESKTOPDIRECTORY%"},
    {"%COMMON_ALTSTARTUP%", "%ALTSTARTUP%"},
    {"%COMMON_FAVORITES%", "%FAVORITES%"},
    {"%COMMON_APPDATA%", "%APPDATA%"},
    {"%PROGRAM_FILES_COMMON%", "%PROGRAM_FILES%"},
    {"%PROGRAM_FILES_COMMONX86%", "%PROGRAM_FILESX86%"},
    {"%COMMON_TEMPLATES%", "%TEMPLATES%"},
    {"%COMMON_ADMINTOOLS%", "%ADMINTOOLS%"},
    {"%COMMON_MUSIC%", "%MYMUSIC%"},
    {"%COMMON_PICTURES%", "%MYPICTURES%"},
    {"%COMMON_VIDEO%", "%MYVIDEO%"},
    {"%RESOURCES_LOCALIZED%", "%RESOURCES%"},
};

constexpr const char* kWordSeparators = " .,;-+*/?=()&!\\<>:_\"{|}[]%";

// The drive part of a path: "C:" of "C:\x", or "\\server\share" of a network path.
std::string DrivePart(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    const std::size_t server = path.find('\\', 2);
    if (server == std::string::npos) return path;
    return path.substr(0, path.find('\\', server + 1));
  }
  return std::string();
}

char AsciiUpperChar(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
char AsciiLowerChar(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

class AsciiCasing : public TextCasing {
 public:
  std::string Upper(const std::string& text) const override {
    std::string out = text;
    std::transform(out.begin(), out.end(), out.begin(), AsciiUpperChar);
    return out;
  }
  std::string Lower(const std::string& text) const override {
    std::string out = text;
    std::transform(out.begin(), out.end(), out.begin(), AsciiLowerChar);
    return out;
  }
  int CompareIgnoreCase(const std::string& a, const std::string& b) const override {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
      const auto x = static_cast<unsigned char>(AsciiUpperChar(a[i]));
      const auto y = static_cast<unsigned char>(AsciiUpperChar(b[i]));
      if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  }
};

struct ProgramFolders {
  SpecialFolderLists lists;
  std::unique_ptr<SpecialFolderShell> source;  // not yet asked
  const TextCasing* casing = nullptr;
};

ProgramFolders& Program() {
  static ProgramFolders program;
  return program;
}

const SpecialFolderLists& ProgramLists() {
  ProgramFolders& program = Program();
  if (program.source) {
    program.lists = BuildSpecialFolderLists(*program.source, *program.casing);
    program.source.reset();
  }
  return program.lists;
}

void SortIgnoringCase(std::vector<std::string>& list, const TextCasing& casing) {
  std::stable_sort(list.begin(), list.end(), [&casing](const std::string& a, const std::string& b) {
    return casing.CompareIgnoreCase(a, b) < 0;
  });
}

}  // namespace

const char* SpecialFolderName(int csidl) {
  return csidl >= 0 && csidl < kSpecialFolderCount ? kNames[csidl] : "%%";
}

bool IsVirtualFolderName(const std::string& name) {
  return !name.empty() && std::strstr(kVirtualFolders, name.c_str()) != nullptr;
}

const char* FallbackFolderName(const std::string& name) {
  for (const auto& [from, to] : kFallbacks)
    if (name == from) return to;
  return nullptr;
}

std::string NormaliseFolderPath(const std::string& path) {
  if (path.empty()) return path;
  const std::string drive = DrivePart(path);
  if (path == drive) return path + '\\';
  if (path.size() == drive.size() + 1 && path.back() == '\\') return path;
  if (path.back() == '\\') return path.substr(0, path.size() - 1);
  return path;
}

std::string CapitaliseWords(const std::string& text, const TextCasing& casing) {
  if (text.find(":/") != std::string::npos) return text;
  const std::string upper = casing.Upper(text);
  std::string out = casing.Lower(text);
  if (upper.size() != text.size() || out.size() != text.size()) return text;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (i == 0 || std::strchr(kWordSeparators, text[i - 1]) != nullptr) out[i] = upper[i];
  const std::size_t dot = out.find_last_of(".\\:");
  if (dot != std::string::npos && out[dot] == '.')
    out.replace(dot, std::string::npos, casing.Lower(out.substr(dot)));
  return out;
}

const TextCasing& AsciiTextCasing() {
  static const AsciiCasing casing;
  return casing;
}

SpecialFolderLists BuildSpecialFolderLists(SpecialFolderShell& shell, const TextCasing& casing) {
  SpecialFolderLists lists;
  if (shell.HasFolderPathQuery()) {
    lists.paths.reserve(kSpecialFolderCount + 1);
    for (int csidl = 0; csidl < kSpecialFolderCount; ++csidl) {
      const std::string name = kNames[csidl];
      if (name == "%%") continue;
      const std::string path = shell.FolderPath(csidl);
      if (!path.empty()) {
        lists.paths.push_back(name + '=' + NormaliseFolderPath(path));
      } else if (IsVirtualFolderName(name)) {
        if (auto display = shell.DisplayName(csidl))
          lists.virtualNames.push_back(name + '=' + display->substr(0, 260));
      }
    }
  }
  // Older platforms answer the temporary-folder query with the current folder when no
  // temporary folder is set up; that answer names no temporary folder.
  const std::string temp = NormaliseFolderPath(shell.TempFolder());
  if (!temp.empty() && temp != NormaliseFolderPath(shell.CurrentFolder()))
    lists.paths.push_back("%TEMP%=" + temp);
  SortIgnoringCase(lists.paths, casing);
  SortIgnoringCase(lists.virtualNames, casing);
  return lists;
}

void InstallSpecialFolderSource(std::unique_ptr<SpecialFolderShell> shell,
                                const TextCasing& casing) {
  ProgramFolders& program = Program();
  program.lists = SpecialFolderLists();
  program.source = std::move(shell);
  program.casing = &casing;
}

void InstallSpecialFolderLists(SpecialFolderLists lists, const TextCasing& casing) {
  ProgramFolders& program = Program();
  program.lists = std::move(lists);
  program.source.reset();
  program.casing = &casing;
}

TSpecialFolderList::TSpecialFolderList() : lists_(nullptr), casing_(nullptr) {}

TSpecialFolderList::TSpecialFolderList(const SpecialFolderLists& lists, const TextCasing& casing)
    : lists_(&lists), casing_(&casing) {}

const SpecialFolderLists& TSpecialFolderList::Lists() const {
  return lists_ ? *lists_ : ProgramLists();
}

std::string TSpecialFolderList::ResolvePath(const std::string& name) const {
  const SpecialFolderLists& lists = Lists();
  const TextCasing* programCasing = Program().casing;
  const TextCasing& casing = casing_         ? *casing_
                             : programCasing ? *programCasing
                                             : AsciiTextCasing();
  const std::string key = casing.Upper(name);
  std::string value;
  for (const std::string& entry : lists.paths) {
    const std::size_t eq = entry.find('=');
    if (casing.CompareIgnoreCase(entry.substr(0, eq), key) == 0) {
      value = entry.substr(eq + 1);
      break;
    }
  }
  switch (PathCase) {
    case TPathCase::pcDontCare:
      break;
    case TPathCase::pcLower:
      value = casing.Lower(value);
      break;
    case TPathCase::pcUpper:
      value = casing.Upper(value);
      break;
    case TPathCase::pcUpperName:
      value = CapitaliseWords(value, casing);
      break;
  }
  if (value.empty() && SimulateNotFound)
    if (const char* instead = FallbackFolderName(name)) value = ResolvePath(instead);
  return value;
}

}  // namespace vt9
