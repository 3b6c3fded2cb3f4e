// Where the product's registry functions come from.
//
// advapi32 is the registry's documented home, but on current systems (and under Wine) its
// registry functions are kernelbase's own, advapi32 forwarding them there. kernelbase is in
// every process from its start, so taking them from it spares a start that only reads its
// settings (the reminder check at logon) the loading of advapi32 and the libraries it brings
// (a tenth of that start under Wine). Older systems have them in advapi32 alone.
#pragma once

#include <windows.h>

namespace vt9::win {

// `function` of `library` from kernelbase when `library` is advapi32 and kernelbase has it;
// otherwise nullptr (the caller loads `library`).
inline FARPROC RegistryFunctionOfBase(const char* library, const char* function) {
  if (lstrcmpiA(library, "advapi32.dll") != 0) return nullptr;
  HMODULE base = GetModuleHandleA("kernelbase.dll");
  return base ? GetProcAddress(base, function) : nullptr;
}

}  // namespace vt9::win
