// What the page layout needs of the printer: its device values, a canvas that measures text as
// the printer will draw it, and the platform's date and time texts. The Windows page printer
// answers from the system's default printer; native tests answer with fixed values.
#pragma once

#include <optional>
#include <string>

#include "platform/canvas.h"
#include "printing/page_types.h"

namespace vt9 {

// Device values of a printer, in its pixels (GetDeviceCaps).
struct DeviceCaps {
  int logPixelsX = 300;
  int logPixelsY = 300;
  int physicalWidth = 2550;
  int physicalHeight = 3300;
  int offsetX = 0;  // unprintable margin at the left (and, by assumption, the right)
  int offsetY = 0;  // unprintable margin at the top (and the bottom)
};

enum class NowText { LongDate, ShortDate, LongTime, ShortTime };

class PrintDevice {
 public:
  virtual ~PrintDevice() = default;
  // The printer's values, or nullopt when there is no printer or it cannot be asked.
  virtual std::optional<DeviceCaps> Caps() = 0;
  // Text measured here has the printer's widths for fonts given in printer pixels.
  virtual Canvas& MeasureCanvas() = 0;
  // The current date or time in the platform's format.
  virtual std::string Now(NowText kind) = 0;
  // Passes the orientation on to the printer; no printer is no error.
  virtual void SetOrientation(TPrinterOrientation orientation) = 0;
  // Whether `byte` starts a double-byte character in the system's ANSI code page, so a line is
  // never cut between the two bytes of one character.
  virtual bool IsLeadByte(unsigned char byte) {
    (void)byte;
    return false;
  }
};

}  // namespace vt9
