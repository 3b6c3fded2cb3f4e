// Letter casing of 8-bit ANSI text as the user's locale defines it: on Windows "ä" and "Ä"
// are a pair in code page 1252, which plain ASCII casing would miss. Both conversions keep
// the byte length of the text.
#pragma once

#include <string>

namespace vt9 {

class TextCasing {
 public:
  virtual ~TextCasing() = default;
  virtual std::string Upper(const std::string& text) const = 0;
  virtual std::string Lower(const std::string& text) const = 0;
  // Below, equal or above zero as a sorts before, with or after b ignoring letter case, in the
  // order the platform's sorted string lists use.
  virtual int CompareIgnoreCase(const std::string& a, const std::string& b) const = 0;
};

}  // namespace vt9
