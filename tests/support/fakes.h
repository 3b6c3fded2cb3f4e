// In-memory stand-ins for the platform interfaces, for the native unit tests.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/registry.h"
#include "platform/system.h"
#include "vt9_texts.h"

namespace vt9::test {

// A registry of typed values. Keys exist when created explicitly or by a write.
class FakeRegistry : public Registry {
 public:
  enum class Type { Text, ExpandText, Dword, Binary };
  struct Value {
    Type type = Type::Text;
    std::string data;  // text, or raw bytes
  };

  KeyPresence FindKey(RegRoot root, const std::string& path) override {
    if (keys.count({root, path}) == 0) return KeyPresence::Absent;
    return unreadableKeys.count({root, path}) ? KeyPresence::Unreadable : KeyPresence::Readable;
  }
  std::optional<std::string> ReadText(RegRoot root, const std::string& path,
                                      const std::string& name) override {
    ++reads;
    const Value* v = Find(root, path, name);
    if (!v) return std::nullopt;
    if (v->data.empty()) return std::string();
    if (v->type != Type::Text && v->type != Type::ExpandText) throw RegistryTypeError(name);
    return v->data.substr(0, v->data.find('\0'));
  }
  std::optional<std::vector<unsigned char>> ReadBytes(RegRoot root, const std::string& path,
                                                      const std::string& name) override {
    ++reads;
    const Value* v = Find(root, path, name);
    if (!v) return std::nullopt;
    if (v->type == Type::Text || v->type == Type::ExpandText) throw RegistryTypeError(name);
    return std::vector<unsigned char>(v->data.begin(), v->data.end());
  }
  bool WriteText(RegRoot root, const std::string& path, const std::string& name,
                 const std::string& text) override {
    ++writes;
    if (readOnly) return false;
    Set(root, path, name, text);
    return true;
  }

  void Set(RegRoot root, const std::string& path, const std::string& name, std::string data,
           Type type = Type::Text) {
    keys.insert({root, path});
    values[{root, path, name}] = Value{type, std::move(data)};
  }
  std::optional<std::string> Get(RegRoot root, const std::string& path, const std::string& name) {
    const Value* v = Find(root, path, name);
    return v ? std::optional<std::string>(v->data) : std::nullopt;
  }

  std::set<std::pair<RegRoot, std::string>> keys;
  // Keys that exist but refuse to be opened for reading: their values read as absent.
  std::set<std::pair<RegRoot, std::string>> unreadableKeys;
  std::map<std::tuple<RegRoot, std::string, std::string>, Value> values;
  bool readOnly = false;
  int reads = 0;
  int writes = 0;

 private:
  const Value* Find(RegRoot root, const std::string& path, const std::string& name) const {
    if (unreadableKeys.count({root, path})) return nullptr;
    auto it = values.find({root, path, name});
    return it == values.end() ? nullptr : &it->second;
  }
};

class FakeClock : public Clock {
 public:
  CivilDate Today() override { return today; }
  CivilDate today{2026, 3, 7};
};

class FakeGuard : public InstanceGuard {
 public:
  bool TryAcquire(const std::string& name) override {
    names.push_back(name);
    return !heldElsewhere;
  }
  bool heldElsewhere = false;
  std::vector<std::string> names;
};

class FakeOs : public OsInfo {
 public:
  std::optional<unsigned> MajorVersion() override { return major; }
  std::optional<unsigned> major = 6;
};

class FakeLauncher : public ProgramLauncher {
 public:
  bool RunAndWait(const std::string& commandLine, unsigned short showMode) override {
    calls.push_back(commandLine);
    lastShowMode = showMode;
    return false;
  }
  std::vector<std::string> calls;
  unsigned short lastShowMode = 0;
};

// The texts of the tool's string table, as the resource holds them.
class FakeStrings : public StringTable {
 public:
  std::string Load(unsigned id) override {
    switch (id) {
      case IDS_REMINDER_ONE_DAY:
        return STR_REMINDER_ONE_DAY;
      case IDS_REMINDER_DAYS:
        return STR_REMINDER_DAYS;
      case IDS_TITLE_REMINDER:
        return STR_TITLE_REMINDER;
      case IDS_TITLE_BACKUP_NOW:
        return STR_TITLE_BACKUP_NOW;
      case IDS_NO_BACKUPS:
        return STR_NO_BACKUPS;
    }
    return {};
  }
};

}  // namespace vt9::test
