// The system printer as the page printer sees it: the default printer with its own settings
// (a DEVMODE holding copies and orientation), an information context on which text measures as
// it will print, and the device values. One per process, as the printer settings of a print
// dialog are one per process; without any printer every query answers "no printer" and text
// is measured on the screen.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "markup/win/gdi_canvas.h"
#include "printing/print_device.h"

namespace vt9::win {

class SystemPrinter : public PrintDevice {
 public:
  SystemPrinter();
  ~SystemPrinter() override;
  // Another information context on the same printer with the same settings, which then go
  // their own way.
  SystemPrinter(const SystemPrinter& other);
  SystemPrinter& operator=(const SystemPrinter&) = delete;

  std::optional<DeviceCaps> Caps() override;
  Canvas& MeasureCanvas() override;
  std::string Now(NowText kind) override;
  void SetOrientation(TPrinterOrientation orientation) override;
  bool IsLeadByte(unsigned char byte) override;

  // Reads the default printer again (after printers were added or removed), and so also
  // returns from a printer chosen with Select.
  void Refresh();
  // Makes `name` the printer with the settings `devmode` (a DEVMODEA with its driver part, as a
  // print dialog returns it; empty for the printer's own settings): caps, the measuring canvas
  // and CreatePrinterDC use it until the next Refresh. Without such a printer (or with a
  // DEVMODE it rejects) the default printer is opened instead; false then.
  bool Select(const std::string& name, const std::vector<BYTE>& devmode);
  // The settings the printer is used with (empty without a printer).
  const std::vector<BYTE>& DevMode() const { return devmode_; }
  // The printer's name, empty without a printer.
  const std::string& Name() const { return name_; }
  // The printer's own copy count (its DEVMODE), 1 without a printer.
  int Copies() const;
  void SetCopies(int copies);
  // A device context for a print job with the printer's settings; throws EPrinter when the
  // printer cannot be reached any more.
  HDC CreatePrinterDC() const;

 private:
  void Open();
  bool OpenNamed(const std::string& name, const std::vector<BYTE>& devmode);
  void Close();

  std::string name_;
  std::vector<BYTE> devmode_;  // DEVMODEA plus the driver's private part
  HDC ic_ = nullptr;           // information context of the printer, or a screen memory DC
  std::unique_ptr<GdiCanvas> canvas_;
  std::optional<DeviceCaps> caps_;
};

// The process's system printer, created on first use.
SystemPrinter& Printer();

}  // namespace vt9::win
