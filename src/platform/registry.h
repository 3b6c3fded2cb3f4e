// The registry as the settings store and the DEP check see it.
// Paths are key paths below a predefined root, with "\" separators; texts are ANSI.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vt9 {

enum class RegRoot { CurrentUser, LocalMachine };

// A value exists but its type is not the one the caller reads (a number where text is
// expected, text where bytes are expected). Nobody in the tool catches it: it ends a
// start-up mode or aborts the running event handler with the standard error report.
class RegistryTypeError : public std::runtime_error {
 public:
  explicit RegistryTypeError(const std::string& valueName)
      : std::runtime_error("The registry value \"" + valueName +
                           "\" is not stored with the expected data type, so it cannot be read."),
        valueName_(valueName) {}
  const std::string& valueName() const { return valueName_; }

 private:
  std::string valueName_;
};

// Whether a key is there, and whether it can be opened for reading.
enum class KeyPresence { Absent, Readable, Unreadable };

class Registry {
 public:
  virtual ~Registry() = default;

  // Absent only when the key does not exist; a key that exists but refuses to be opened for
  // reading (access denied, for example) is Unreadable.
  virtual KeyPresence FindKey(RegRoot root, const std::string& path) = 0;

  // The value's text, ending at its first NUL; REG_EXPAND_SZ comes back unexpanded and a
  // value of size zero (of any type) as "". nullopt when the key is absent or cannot be
  // opened for reading, or the value is absent. Throws RegistryTypeError for a non-text
  // value of non-zero size. Never creates a key.
  virtual std::optional<std::string> ReadText(RegRoot root, const std::string& path,
                                              const std::string& name) = 0;

  // The value's raw bytes. nullopt when the key cannot be opened or the value is absent.
  // Throws RegistryTypeError for REG_SZ and REG_EXPAND_SZ values.
  virtual std::optional<std::vector<unsigned char>> ReadBytes(RegRoot root, const std::string& path,
                                                              const std::string& name) = 0;

  // Stores a REG_SZ value, creating missing keys. Returns false on any failure.
  virtual bool WriteText(RegRoot root, const std::string& path, const std::string& name,
                         const std::string& text) = 0;
};

}  // namespace vt9
