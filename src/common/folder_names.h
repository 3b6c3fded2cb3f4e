// The special-folder resolver: turns names such as "%PERSONAL%" into folder paths.
//
// Two program-wide lists are built once per process from the shell: the path list
// ("%NAME%=C:\folder", normalised) and the virtual-name list ("%NAME%=display name") for
// folders that have no file-system path. Every TSpecialFolderList reads the same lists;
// lookups are plain list searches.
//
// The shell is set up as the lists' source at start, in every mode, but asked only when a
// TSpecialFolderList first reads the lists: the up to 62 shell queries cost more than the
// rest of a reminder check, which runs at every logon and almost never needs a folder. What
// the answer depends on besides the shell's own settings (the temporary and the current
// folder) the source notes at start, so the lists come out as if built then.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/text_casing.h"

namespace vt9 {

constexpr int kSpecialFolderCount = 62;

// The name of special-folder number (CSIDL) 0 to 61 in upper case between "%" signs, or
// "%%" for numbers without a name (and for numbers out of range).
const char* SpecialFolderName(int csidl);

// Whether the name is one of the folders whose shell item has no file-system path.
bool IsVirtualFolderName(const std::string& name);

// The name resolved instead when the named folder has no path, or nullptr when none is.
const char* FallbackFolderName(const std::string& name);

// "C:" gives "C:\", a drive root stays, otherwise one trailing "\" is removed.
std::string NormaliseFolderPath(const std::string& path);

// Upper-cases the first letter of every word of a path and lower-cases the rest, then
// lower-cases the file extension; addresses (text containing ":/") are left as they are.
std::string CapitaliseWords(const std::string& text, const TextCasing& casing);

// ASCII letters only, byte order otherwise: the casing where no locale is at hand.
const TextCasing& AsciiTextCasing();

// What building the lists asks of the shell.
class SpecialFolderShell {
 public:
  virtual ~SpecialFolderShell() = default;
  // Whether the folder-path query is available at all (its library and entry point found).
  virtual bool HasFolderPathQuery() = 0;
  // The file-system path of the folder, or "" when it has none.
  virtual std::string FolderPath(int csidl) = 0;
  // The display name of the folder's shell item, or nullopt when the shell cannot give one.
  virtual std::optional<std::string> DisplayName(int csidl) = 0;
  virtual std::string TempFolder() = 0;
  virtual std::string CurrentFolder() = 0;
};

struct SpecialFolderLists {
  std::vector<std::string> paths;         // "%NAME%=path", sorted ignoring case
  std::vector<std::string> virtualNames;  // "%NAME%=display name", sorted ignoring case
};

SpecialFolderLists BuildSpecialFolderLists(SpecialFolderShell& shell, const TextCasing& casing);

// Makes the shell the source of the program-wide lists, built from it on first use and then
// kept; the shell is released after building. The casing must live until the program ends.
void InstallSpecialFolderSource(std::unique_ptr<SpecialFolderShell> shell,
                                const TextCasing& casing);

// Makes ready-made lists the program-wide ones, in place of any source not yet asked.
void InstallSpecialFolderLists(SpecialFolderLists lists, const TextCasing& casing);

enum class TPathCase { pcDontCare, pcLower, pcUpper, pcUpperName };

class TSpecialFolderList {
 public:
  // Reads the program-wide lists (empty ones before InstallSpecialFolderLists).
  TSpecialFolderList();
  // Reads the given lists instead; both must outlive this object.
  TSpecialFolderList(const SpecialFolderLists& lists, const TextCasing& casing);

  TPathCase PathCase = TPathCase::pcUpperName;
  bool SimulateNotFound = true;

  const std::vector<std::string>& List() const { return Lists().paths; }
  const std::vector<std::string>& VirtualNames() const { return Lists().virtualNames; }
  int Count() const { return static_cast<int>(Lists().paths.size()); }
  std::string Version() const { return "4.00.00.00"; }

  // The folder path of the name, cased by PathCase, or "" when the name has none (after
  // trying the related name of the fallback table when SimulateNotFound is set).
  std::string ResolvePath(const std::string& name) const;

 private:
  const SpecialFolderLists& Lists() const;

  const SpecialFolderLists* lists_;  // nullptr: the program-wide lists
  const TextCasing* casing_;
};

}  // namespace vt9
