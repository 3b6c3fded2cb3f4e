#include "common/win/win_text_casing.h"

#include <windows.h>

namespace vt9::win {

std::string WinTextCasing::Upper(const std::string& text) const {
  std::string out = text;
  if (!out.empty()) CharUpperBuffA(out.data(), static_cast<DWORD>(out.size()));
  return out;
}

std::string WinTextCasing::Lower(const std::string& text) const {
  std::string out = text;
  if (!out.empty()) CharLowerBuffA(out.data(), static_cast<DWORD>(out.size()));
  return out;
}

int WinTextCasing::CompareIgnoreCase(const std::string& a, const std::string& b) const {
  // CompareStringA answers 1, 2 or 3 for less, equal or greater (0 only on bad arguments).
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) -
         CSTR_EQUAL;
}

}  // namespace vt9::win
