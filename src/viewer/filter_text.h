// What the filter bar shows and reads, without any window: the terms as the user types them,
// the count, a line number typed into "Go to line", and the listed lines written out as plain or
// rich text.
//
// The terms' syntax, meant to be guessed without a manual:
//   error disk           lines with "error" or with "disk" (any one of the words)
//   "access denied"      a phrase, blanks and all
//   -retry  -"in use"    a leading minus hides the lines with that word or phrase
// An include term is optional when there is none: `-Copied` alone lists every line without
// "Copied". A lone "-" or "" is no term. A quote that is never closed runs to the end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vt9 {

struct TypedTerm {
  std::string text;
  bool exclude = false;
  bool operator==(const TypedTerm&) const = default;
};

std::vector<TypedTerm> ParseFilterTerms(std::string_view typed);

// "1,234 of 13,433,508 lines"; "1 of 1 line".
std::string FilterCountText(std::int64_t matches, std::int64_t lines);
// 13433508 -> "13,433,508".
std::string GroupedNumber(std::int64_t value);

// The line number typed into "Go to line" (1-based, blanks and thousands separators allowed),
// clamped to [1, lineCount]; 0 when the text holds no number.
std::int64_t ParseLineNumber(std::string_view typed, std::int64_t lineCount);

// Reads line `index` (ANSI text without its break); false when it cannot be read.
using LineReader = std::function<bool(std::int64_t index, std::string& line)>;
using PieceWriter = std::function<bool(std::string_view piece)>;

// The lines as plain text, each ended by CR LF. False when a line could not be read or the
// writer refused a piece.
bool WriteLinesAsText(std::int64_t count, const LineReader& read, const PieceWriter& write);
// The lines as a rich-text document in a fixed-pitch font (\par per line; \ { } escaped; bytes
// above 127 as \'hh, in code page `codePage` when not 0).
bool WriteLinesAsRichText(std::int64_t count, const LineReader& read, const PieceWriter& write,
                          unsigned codePage);

}  // namespace vt9
