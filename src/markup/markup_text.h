// The text-level rules of the markup: preparing a whole text, entities inside a text run,
// lenient numbers, attribute values and colour names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/canvas.h"

namespace vt9::markup {

// Whole-text preparation before layout: the named entities (&amp; becomes "&&", which the
// prefix-processing text output shows as one "&"), the first "<#" escape, and line breaks
// (carriage return becomes <BR>, line feed disappears). Linear in the text length.
std::string PrepareMarkup(std::string_view text);

// True when the text holds " & ": then runs are drawn without mnemonic-prefix processing.
bool PrefixesOff(std::string_view text);

// Inside one cut text run: "&nbsp;" -> blank, "&lt;" -> "<", "&gt;" -> ">" (lower case only).
std::string ReplaceRunEntities(std::string_view run);

struct LenientNumber {
  int value = 0;        // the number read; without its sign when reading stopped early
  bool digits = false;  // at least one digit was read
};
// Leading blanks, an optional sign, then decimal digits or hexadecimal digits after "$", "x"
// or "0x"; reading stops at the first character that does not fit. Saturates at the int range.
LenientNumber ReadLenientNumber(std::string_view text);

// Colour from an attribute value: "" -> kColorNone, "#RRGGBB" (missing or invalid pairs 0), a
// colour name of the table (any letter case), anything else black.
Color ColorFromText(std::string_view value);

// The value of attribute `upperName` in the tag: `upperTag` is the upper-cased tag text, in
// which the name is found by substring search from `from`; the value is between the first
// double quote after the name and the next one (or the tag's end). nullopt when the name is not
// there; "" when no quote follows. `source` (same length as upperTag) gives the value with its
// original letter case when not null.
std::optional<std::string> AttributeValue(std::string_view upperTag, std::string_view upperName,
                                          std::size_t from = 2, std::string_view source = {});

std::string ToUpper(std::string_view s);
std::string ToLower(std::string_view s);

}  // namespace vt9::markup
