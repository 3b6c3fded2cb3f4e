// Fuzz target: the text-level readers of the markup (preparation, run entities, lenient
// numbers, colours, attribute values).
#include <cstddef>
#include <cstdint>
#include <string>

#include "markup/markup_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string prepared = vt9::markup::PrepareMarkup(text);
  // Preparation never lengthens a text except by turning line breaks into <BR>.
  std::size_t breaks = 0;
  for (char c : text) breaks += c == '\r';
  if (prepared.size() > text.size() + 3 * breaks) __builtin_trap();
  vt9::markup::ReplaceRunEntities(text);
  vt9::markup::ReadLenientNumber(text);
  vt9::markup::ColorFromText(text);
  const std::string upper = vt9::markup::ToUpper(text);
  for (const char* name : {"SRC", " COLOR", "SIZE", "ALIGN", "BGCOLORTO"}) {
    vt9::markup::AttributeValue(upper, name, 2, text);
  }
  return 0;
}
