// Column formats of table, header and footer rows: "<1|>1.5|^2" is a left column 1 unit wide,
// a right one 1.5 wide and a centred one 2 wide; a negative width means the same width without
// grid lines. Also the friendly header and footer codes ("&c" + caption) and the splitting of
// rows into cells.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "printing/page_types.h"

namespace vt9 {

struct ColumnLayout {
  TAlignment alignment = taLeftJustify;
  double width = 0;  // as written: negative means no grid for this column
};

// Cuts at every separator: one more field than separators, so "" gives one empty field.
std::vector<std::string> SplitTokens(std::string_view text, char separator);

// The shortest decimal text that reads back as the same number ("8", "1.5", "-0.25").
std::string ShortestNumber(double value);

// One column of a format; an empty or missing width, or one that is not a number, is
// `defaultWidth`.
ColumnLayout ParseColumn(std::string_view column, double defaultWidth);

// Every column as its alignment character and its width in shortest form, joined by
// the separator; "" stays "".
std::string NormaliseFormat(std::string_view format, char separator, double defaultWidth);

// Every width multiplied by `factor`, keeping alignment and sign (a change of unit).
std::string ScaleFormat(std::string_view format, char separator, double factor,
                        double defaultWidth);

// A friendly header or footer translated into a row text and its column markers ('<', '^',
// '>'). `textCode` gives the replacement of a text code character ('D', 'd', 'T', 't', 'F',
// 'f'); '&', 'i', 'p' and unknown codes are handled here.
struct FriendlyRow {
  std::string row;
  std::vector<char> markers;
};
FriendlyRow TranslateFriendly(std::string_view friendly, char separator,
                              const std::function<std::string(char)>& textCode);
// The format of a translated row: every marker with the same width (two decimals before
// normalising), joined by the separator.
std::string FriendlyFormat(const FriendlyRow& row, double totalWidth, char separator);

// Replaces each occurrence of `macro` in `text` by `value`.
void ReplaceAll(std::string& text, std::string_view macro, std::string_view value);

}  // namespace vt9
