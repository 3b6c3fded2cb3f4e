// The 64-bit build binds its calls through the toolchain's delay-load helper, which announces
// each library before loading it: for advapi32 it is handed kernelbase, where the registry
// functions are found without loading advapi32 (see registry_home.h).
#include <windows.h>
// The delay-load declarations build on <windows.h>.
#include <delayimp.h>

#include "app/win/lazy/registry_home.h"

namespace {

FARPROC WINAPI BeforeLoading(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary || !info->dlp.fImportByName) return nullptr;
  // The whole library's slot takes the module returned here, so kernelbase stands in only
  // when it has the function asked for; every advapi32 function the product binds is one of
  // its registry functions.
  if (!vt9::win::RegistryFunctionOfBase(info->szDll, info->dlp.szProcName)) return nullptr;
  return reinterpret_cast<FARPROC>(GetModuleHandleA("kernelbase.dll"));
}

}  // namespace

// Declared by <delayimp.h>; the helper reads it before each library it loads.
PfnDliHook __pfnDliNotifyHook2 = BeforeLoading;
