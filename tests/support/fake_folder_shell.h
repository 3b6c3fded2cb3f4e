// A shell of fixed special folders for the native tests of the special-folder lists, and a
// casing that knows one non-ASCII letter pair, to tell locale-aware casing from ASCII casing.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/folder_names.h"

namespace vt9::test {

class FakeSpecialFolderShell : public SpecialFolderShell {
 public:
  ~FakeSpecialFolderShell() override {
    if (destroyed) *destroyed = true;
  }
  bool HasFolderPathQuery() override { return hasQuery; }
  std::string FolderPath(int csidl) override {
    if (queryCount) ++*queryCount;
    pathQueries.push_back(csidl);
    auto it = paths.find(csidl);
    return it == paths.end() ? std::string() : it->second;
  }
  std::optional<std::string> DisplayName(int csidl) override {
    nameQueries.push_back(csidl);
    auto it = displayNames.find(csidl);
    return it == displayNames.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  std::string TempFolder() override { return temp; }
  std::string CurrentFolder() override { return current; }

  bool hasQuery = true;
  std::map<int, std::string> paths;
  std::map<int, std::string> displayNames;
  std::string temp = "C:\\Users\\Owner\\AppData\\Local\\Temp\\";
  std::string current = "C:\\Program Files\\Vantory 9";
  std::vector<int> pathQueries, nameQueries;
  int* queryCount = nullptr;  // counts path queries where the test can still see them
  bool* destroyed = nullptr;
};

// ASCII casing plus the code page 1252 pair "\xE4" (a umlaut) / "\xC4" (A umlaut).
class UmlautCasing : public TextCasing {
 public:
  std::string Upper(const std::string& text) const override {
    std::string out = AsciiTextCasing().Upper(text);
    for (char& c : out)
      if (c == '\xE4') c = '\xC4';
    return out;
  }
  std::string Lower(const std::string& text) const override {
    std::string out = AsciiTextCasing().Lower(text);
    for (char& c : out)
      if (c == '\xC4') c = '\xE4';
    return out;
  }
  int CompareIgnoreCase(const std::string& a, const std::string& b) const override {
    return AsciiTextCasing().CompareIgnoreCase(Upper(a), Upper(b));
  }
};

}  // namespace vt9::test
