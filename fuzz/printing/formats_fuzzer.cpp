// Fuzz target: column formats, friendly headers and footers and table rows through the whole
// page layout (fixed-metric canvas), and the format helpers on their own. The input is four
// texts separated by NUL bytes: table format, friendly header, friendly footer, row; the first
// byte picks options (measure unit, word wrap, grid, tab size, default column width).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "printing/column_format.h"
#include "support/fake_print_device.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 8192) return 0;
  const unsigned options = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<std::string> parts;
  while (parts.size() < 3) {
    const std::size_t nul = rest.find('\0');
    if (nul == std::string_view::npos) break;
    parts.emplace_back(rest.substr(0, nul));
    rest.remove_prefix(nul + 1);
  }
  parts.emplace_back(rest);
  parts.resize(4);
  const std::string& format = parts[0];
  const std::string& header = parts[1];
  const std::string& footer = parts[2];
  const std::string& row = parts[3];

  const char separator = (options & 64) ? ';' : '|';
  vt9::NormaliseFormat(format, separator, (options & 3) * 0.75);
  vt9::ScaleFormat(format, separator, 25.4, 1);
  vt9::TranslateFriendly(header, separator, [](char c) { return std::string(3, c); });

  vt9::test::FakePrintDevice device;
  device.caps = vt9::DeviceCaps{72, 72, 600, 800, options & 8 ? 10 : 0, 0};
  vt9::TPageLayout pp(device);
  pp.SetTokenSeparator(separator);
  if (options & 4) pp.SetMeasureUnit(vt9::muMillimeters);
  pp.SetDefaultColWidth((options & 3) * 0.75);
  pp.SetWordWrap(!(options & 16));
  pp.SetTableGrid(options & 32);
  pp.SetTabSize(options & 128 ? 0xFFFFFFFFu : 4);
  pp.SetPageBorders({vt9::pbTop, vt9::pbLeft});
  pp.SetTableFormat(format);
  try {
    pp.SetFriendlyHeader(header);
    pp.SetFriendlyFooter(footer);
    pp.SetHeaderFormat(format);
    pp.BeginDoc();
  } catch (const vt9::EPagePrinter&) {
    return 0;  // margins or header that leave no room for text: a reported error
  }
  pp.WriteRow(row);
  pp.WriteLn(row);
  pp.Write(row);
  pp.EndDoc();
  vt9::test::FakeCanvas canvas;
  canvas.record = false;
  for (std::size_t p = 0; p < pp.PageCount() && p < 64; ++p) pp.ReplayPage(p, canvas, 600);
  return 0;
}
