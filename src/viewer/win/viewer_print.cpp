#include "viewer/win/viewer_print.h"

#include <winspool.h>

#include "common/win/handles.h"

namespace vt9::win {

bool PrintersAvailable() {
  // The spooler's library is loaded only when the user prints.
  Module spooler(LoadLibraryA("winspool.drv"));
  if (!spooler) return false;
  using EnumPrintersFn = BOOL(WINAPI*)(DWORD, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);
  auto enumPrinters = reinterpret_cast<EnumPrintersFn>(
      reinterpret_cast<void*>(GetProcAddress(spooler.get(), "EnumPrintersA")));
  if (!enumPrinters) return false;
  DWORD needed = 0, count = 0;
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  enumPrinters(flags, nullptr, 4, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::string buffer(needed, '\0');
  if (!enumPrinters(flags, nullptr, 4, reinterpret_cast<LPBYTE>(buffer.data()), needed, &needed,
                    &count))
    return false;
  return count > 0;
}

void PrintLog(HWND, const PrintJob&, const bool&) {}

}  // namespace vt9::win
