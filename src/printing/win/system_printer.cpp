#include "printing/win/system_printer.h"

#include <winspool.h>

#include <cstddef>

#include "common/win/default_printer.h"
#include "common/win/handles.h"
#include "printing/printer_errors.h"

namespace vt9::win {

namespace {

DEVMODEA* AsDevMode(std::vector<BYTE>& bytes) {
  return bytes.empty() ? nullptr : reinterpret_cast<DEVMODEA*>(bytes.data());
}

struct PrinterHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { ClosePrinter(h); }
};
using PrinterHandle = UniqueHandle<HANDLE, PrinterHandleTraits>;

// Resolution, paper size and unprintable offsets, in device pixels.
DeviceCaps ReadCaps(HDC ic) {
  DeviceCaps c;
  c.logPixelsX = GetDeviceCaps(ic, LOGPIXELSX);
  c.logPixelsY = GetDeviceCaps(ic, LOGPIXELSY);
  c.physicalWidth = GetDeviceCaps(ic, PHYSICALWIDTH);
  c.physicalHeight = GetDeviceCaps(ic, PHYSICALHEIGHT);
  c.offsetX = GetDeviceCaps(ic, PHYSICALOFFSETX);
  c.offsetY = GetDeviceCaps(ic, PHYSICALOFFSETY);
  return c;
}

}  // namespace

SystemPrinter::SystemPrinter() { Open(); }

SystemPrinter::SystemPrinter(const SystemPrinter& other) : PrintDevice() {
  if (other.name_.empty() || !OpenNamed(other.name_, other.devmode_)) Open();
}

SystemPrinter::~SystemPrinter() { Close(); }

void SystemPrinter::Close() {
  canvas_.reset();
  if (ic_) DeleteDC(ic_);
  ic_ = nullptr;
  caps_.reset();
}

void SystemPrinter::Open() {
  // The profile's "Device" value is "name,driver,port"; the name is all we need.
  const std::string device = GetDefaultPrinterDevice();
  OpenNamed(device.substr(0, device.find(',')), {});
}

bool SystemPrinter::OpenNamed(const std::string& name, const std::vector<BYTE>& devmode) {
  Close();
  name_ = name;
  devmode_.clear();
  if (!name_.empty()) {
    if (!devmode.empty()) {
      devmode_ = devmode;
    } else if (PrinterHandle printer;
               OpenPrinterA(name_.data(), printer.out(), nullptr) && printer) {
      LONG size = DocumentPropertiesA(nullptr, printer.get(), name_.data(), nullptr, nullptr, 0);
      if (size > 0) {
        devmode_.assign(static_cast<std::size_t>(size), 0);
        if (DocumentPropertiesA(nullptr, printer.get(), name_.data(), AsDevMode(devmode_), nullptr,
                                DM_OUT_BUFFER) != IDOK)
          devmode_.clear();
      }
    }
    ic_ = CreateICA(nullptr, name_.c_str(), nullptr, AsDevMode(devmode_));
  }
  if (ic_) {
    const DeviceCaps c = ReadCaps(ic_);
    if (c.logPixelsX > 0 && c.logPixelsY > 0 && c.physicalWidth > 0 && c.physicalHeight > 0)
      caps_ = c;
  } else {
    name_.clear();
    devmode_.clear();
    // No printer: text is measured on the screen, in fonts sized for 300 pixels per inch.
    ic_ = CreateCompatibleDC(nullptr);
  }
  canvas_ = std::make_unique<GdiCanvas>(ic_);
  return !name_.empty();
}

bool SystemPrinter::Select(const std::string& name, const std::vector<BYTE>& devmode) {
  // A DEVMODE shorter than its own header says cannot be handed to the driver.
  bool usable = devmode.empty() || devmode.size() >= offsetof(DEVMODEA, dmFields) + sizeof(DWORD);
  if (usable && !devmode.empty()) {
    const auto* dm = reinterpret_cast<const DEVMODEA*>(devmode.data());
    usable = dm->dmSize >= offsetof(DEVMODEA, dmFields) + sizeof(DWORD) &&
             std::size_t{dm->dmSize} + dm->dmDriverExtra <= devmode.size();
  }
  if (usable && !name.empty() && OpenNamed(name, devmode)) return true;
  Open();
  return false;
}

void SystemPrinter::Refresh() { Open(); }

std::optional<DeviceCaps> SystemPrinter::Caps() { return caps_; }

Canvas& SystemPrinter::MeasureCanvas() { return *canvas_; }

std::string SystemPrinter::Now(NowText kind) {
  char buf[128] = {};
  switch (kind) {
    case NowText::LongDate:
      GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, nullptr, nullptr, buf, sizeof buf);
      break;
    case NowText::ShortDate:
      GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buf, sizeof buf);
      break;
    case NowText::LongTime:
      GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buf, sizeof buf);
      break;
    case NowText::ShortTime:
      GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, buf, sizeof buf);
      break;
  }
  return buf;
}

void SystemPrinter::SetOrientation(TPrinterOrientation orientation) {
  DEVMODEA* dm = AsDevMode(devmode_);
  if (!dm) return;
  dm->dmFields |= DM_ORIENTATION;
  dm->dmOrientation = orientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  // The information context follows, so layout sees the turned page.
  std::vector<BYTE> keep = devmode_;
  std::string name = name_;
  Close();
  ic_ = CreateICA(nullptr, name.c_str(), nullptr, AsDevMode(keep));
  if (!ic_) {
    Open();
    return;
  }
  const DeviceCaps c = ReadCaps(ic_);
  caps_ = c;
  canvas_ = std::make_unique<GdiCanvas>(ic_);
}

int SystemPrinter::Copies() const {
  const auto* dm = reinterpret_cast<const DEVMODEA*>(devmode_.data());
  return devmode_.empty() || !(dm->dmFields & DM_COPIES) ? 1 : dm->dmCopies;
}

void SystemPrinter::SetCopies(int copies) {
  DEVMODEA* dm = AsDevMode(devmode_);
  if (!dm) return;
  dm->dmFields |= DM_COPIES;
  dm->dmCopies = static_cast<short>(copies < 1 ? 1 : copies > 32767 ? 32767 : copies);
}

HDC SystemPrinter::CreatePrinterDC() const {
  if (name_.empty()) throw EPrinter("There is no default printer.");
  std::vector<BYTE> dm = devmode_;
  HDC dc = CreateDCA(nullptr, name_.c_str(), nullptr, AsDevMode(dm));
  if (!dc) throw EPrinter("The printer \"" + name_ + "\" is not available.");
  return dc;
}

SystemPrinter& Printer() {
  static SystemPrinter printer;
  return printer;
}

bool SystemPrinter::IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace vt9::win
