#include "common/win/win_registry.h"

#include <windows.h>

#include "common/win/handles.h"

namespace vt9::win {
namespace {

HKEY RootKey(RegRoot root) {
  return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// The shipped tool is a 32-bit program and so sees the 32-bit view of the machine-wide keys;
// any build of it (the 64-bit test build too) reads and writes that same view. The per-user
// settings key is not redirected, so it needs no flag.
REGSAM Access(RegRoot root, REGSAM access) {
  return root == RegRoot::LocalMachine ? access | KEY_WOW64_32KEY : access;
}

RegKey OpenForReading(RegRoot root, const std::string& path) {
  RegKey key;
  // On failure the out-parameter is not a handle to close: drop it without closing.
  if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, Access(root, KEY_READ), key.out()) !=
      ERROR_SUCCESS)
    key.release();
  return key;
}

struct RawValue {
  DWORD type = REG_NONE;
  std::string data;
};

// Reads type and data in two steps (size, then bytes), retrying if the value grew between
// them, since the main backup program may write the same key at the same moment.
std::optional<RawValue> QueryValue(HKEY key, const std::string& name) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    RawValue v;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &v.type, nullptr, &size) != ERROR_SUCCESS)
      return std::nullopt;
    v.data.resize(size);
    const LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &v.type,
                                     reinterpret_cast<BYTE*>(v.data.data()), &size);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) return std::nullopt;
    v.data.resize(size);
    return v;
  }
  return std::nullopt;
}

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

}  // namespace

KeyPresence WinRegistry::FindKey(RegRoot root, const std::string& path) {
  if (OpenForReading(root, path)) return KeyPresence::Readable;
  // Only "not found" means the key is not there; any other refusal leaves it present.
  HKEY probe = nullptr;
  const LONG rc =
      RegOpenKeyExA(RootKey(root), path.c_str(), 0, Access(root, KEY_QUERY_VALUE), &probe);
  if (rc == ERROR_SUCCESS) {
    RegCloseKey(probe);
    return KeyPresence::Unreadable;
  }
  return rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND ? KeyPresence::Absent
                                                                  : KeyPresence::Unreadable;
}

std::optional<std::string> WinRegistry::ReadText(RegRoot root, const std::string& path,
                                                 const std::string& name) {
  RegKey key = OpenForReading(root, path);
  if (!key) return std::nullopt;
  auto value = QueryValue(key.get(), name);
  if (!value) return std::nullopt;
  if (value->data.empty()) return std::string();
  if (!IsTextType(value->type)) throw RegistryTypeError(name);
  return value->data.substr(0, value->data.find('\0'));
}

std::optional<std::vector<unsigned char>> WinRegistry::ReadBytes(RegRoot root,
                                                                 const std::string& path,
                                                                 const std::string& name) {
  RegKey key = OpenForReading(root, path);
  if (!key) return std::nullopt;
  auto value = QueryValue(key.get(), name);
  if (!value) return std::nullopt;
  if (IsTextType(value->type)) throw RegistryTypeError(name);
  return std::vector<unsigned char>(value->data.begin(), value->data.end());
}

bool WinRegistry::WriteText(RegRoot root, const std::string& path, const std::string& name,
                            const std::string& text) {
  RegKey key;
  if (RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      Access(root, KEY_WRITE), nullptr, key.out(), nullptr) != ERROR_SUCCESS) {
    key.release();
    return false;
  }
  return RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace vt9::win
