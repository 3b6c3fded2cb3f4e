#pragma once

#include "platform/text_casing.h"

namespace vt9::win {

// Casing and case-blind order of the user's locale and ANSI code page, as the platform's own
// string lists and upper/lower-case conversions of 8-bit text use them.
class WinTextCasing : public TextCasing {
 public:
  std::string Upper(const std::string& text) const override;
  std::string Lower(const std::string& text) const override;
  int CompareIgnoreCase(const std::string& a, const std::string& b) const override;
};

}  // namespace vt9::win
