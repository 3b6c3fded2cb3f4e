#pragma once

#include <string>

namespace vt9::win {

// The system profile setting "Device" of section "Windows" (the default printer), at most 259
// characters; empty when there is no default printer.
std::string GetDefaultPrinterDevice();

}  // namespace vt9::win
