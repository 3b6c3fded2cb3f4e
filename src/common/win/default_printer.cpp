#include "common/win/default_printer.h"

#include <windows.h>

namespace vt9::win {

std::string GetDefaultPrinterDevice() {
  char device[260] = {};
  const DWORD length = GetProfileStringA("Windows", "Device", "", device, sizeof device);
  return std::string(device, length);
}

}  // namespace vt9::win
