// An in-memory file system for the native unit tests of the folder helpers and their users.
// Paths compare ignoring ASCII case, as on Windows; a listing returns "." and ".." first (except
// for drive roots) and then the entries in the order they were added, which tests can make
// deliberately unsorted to prove that callers keep the platform's order.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/filesystem.h"

namespace vt9::test {

class FakeFileSystem : public FileSystem {
 public:
  static constexpr std::uint32_t kAttrArchive = 0x20;

  void AddFolder(const std::string& path) { Add(path, kAttrDirectory); }
  void AddFile(const std::string& path, std::uint32_t attributes = kAttrArchive) {
    Add(path, attributes);
  }
  void SetProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    profile_[{Fold(file), Fold(section), Fold(key)}] = value;
  }

  std::optional<std::uint32_t> Attributes(const std::string& path) override {
    for (const auto& e : entries_)
      if (e.key == Key(path)) return e.attributes;
    return std::nullopt;
  }

  std::vector<DirEntry> List(const std::string& pattern) override {
    patterns.push_back(pattern);
    std::vector<DirEntry> out;
    const std::size_t cut = pattern.rfind('\\');
    if (cut == std::string::npos) return out;
    const std::string folder = Key(pattern.substr(0, cut + 1));
    const std::string mask = Fold(pattern.substr(cut + 1));
    const auto attributes = Attributes(pattern.substr(0, cut + 1));
    if (!attributes || !(*attributes & kAttrDirectory)) return out;
    if (folder.size() > 3) {
      for (const char* dots : {".", ".."})
        if (Matches(mask, dots)) out.push_back({dots, kAttrDirectory});
    }
    for (const auto& e : entries_)
      if (e.parent == folder && Matches(mask, Fold(e.name))) out.push_back({e.name, e.attributes});
    return out;
  }

  bool HasEntryOtherThanDots(const std::string& pattern) override {
    for (const auto& e : List(pattern))
      if (e.name != "." && e.name != "..") return true;
    return false;
  }

  std::string ReadProfileString(const std::string& file, const std::string& section,
                                const std::string& key, const std::string& defaultText,
                                std::size_t bufferChars) override {
    auto it = profile_.find({Fold(file), Fold(section), Fold(key)});
    std::string value = it == profile_.end() ? defaultText : it->second;
    return value.substr(0, bufferChars ? bufferChars - 1 : 0);
  }

  std::vector<std::string> patterns;  // every pattern listed, in order

 private:
  struct Entry {
    std::string key, parent, name;
    std::uint32_t attributes;
  };

  static std::string Fold(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
  }
  // Case-folded path without a trailing "\", except for a drive root ("c:\").
  static std::string Key(const std::string& path) {
    std::string k = Fold(path);
    if (k.size() > 3 && k.back() == '\\') k.pop_back();
    if (k.size() == 2 && k[1] == ':') k += '\\';
    return k;
  }
  static bool Matches(const std::string& mask, const std::string& name) {
    if (mask == "*" || mask == "*.*") return true;
    return Glob(mask.c_str(), name.c_str());
  }
  static bool Glob(const char* m, const char* n) {
    if (*m == '\0') return *n == '\0';
    if (*m == '*') return Glob(m + 1, n) || (*n && Glob(m, n + 1));
    if (*n && (*m == '?' || *m == *n)) return Glob(m + 1, n + 1);
    return false;
  }
  void Add(const std::string& path, std::uint32_t attributes) {
    const std::string key = Key(path);
    const std::size_t cut = key.rfind('\\', key.size() - 2);
    const std::string trimmed = path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
    entries_.push_back(
        {key, Key(key.substr(0, cut + 1)), trimmed.substr(trimmed.rfind('\\') + 1), attributes});
  }

  std::vector<Entry> entries_;
  std::map<std::tuple<std::string, std::string, std::string>, std::string> profile_;
};

}  // namespace vt9::test
