#include "viewer/filter_text.h"

#include <algorithm>
#include <cstdio>

namespace vt9 {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::vector<TypedTerm> ParseFilterTerms(std::string_view typed) {
  std::vector<TypedTerm> terms;
  std::size_t i = 0;
  const std::size_t n = typed.size();
  while (i < n) {
    while (i < n && IsBlank(typed[i])) ++i;
    if (i >= n) break;
    TypedTerm term;
    if (typed[i] == '-') {
      term.exclude = true;
      ++i;
    }
    if (i < n && typed[i] == '"') {
      const std::size_t close = typed.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? n : close;
      term.text.assign(typed.substr(i + 1, end - i - 1));
      i = close == std::string_view::npos ? n : close + 1;
    } else {
      const std::size_t start = i;
      while (i < n && !IsBlank(typed[i])) ++i;
      term.text.assign(typed.substr(start, i - start));
    }
    if (!term.text.empty()) terms.push_back(std::move(term));
  }
  return terms;
}

std::string GroupedNumber(std::int64_t value) {
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  const std::string digits = std::to_string(magnitude);
  std::string out;
  const std::size_t n = digits.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

std::string FilterCountText(std::int64_t matches, std::int64_t lines) {
  return GroupedNumber(matches) + " of " + GroupedNumber(lines) + (lines == 1 ? " line" : " lines");
}

std::int64_t ParseLineNumber(std::string_view typed, std::int64_t lineCount) {
  std::int64_t value = 0;
  bool any = false;
  for (const char c : typed) {
    if (c >= '0' && c <= '9') {
      any = true;
      if (value < INT64_MAX / 10 - 10) value = value * 10 + (c - '0');
    } else if (!(IsBlank(c) || c == ',' || c == '.' || c == '\'')) {
      return 0;  // "12a" is no line number
    }
  }
  if (!any || lineCount <= 0) return 0;
  return std::clamp<std::int64_t>(value, 1, lineCount);
}

bool WriteLinesAsText(std::int64_t count, const LineReader& read, const PieceWriter& write) {
  std::string line;
  for (std::int64_t i = 0; i < count; ++i) {
    if (!read(i, line)) return false;
    line += "\r\n";
    if (!write(line)) return false;
  }
  return true;
}

bool WriteLinesAsRichText(std::int64_t count, const LineReader& read, const PieceWriter& write,
                          unsigned codePage) {
  std::string head = "{\\rtf1\\ansi";
  if (codePage != 0) head += "\\ansicpg" + std::to_string(codePage);
  head += "\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs20\r\n";
  if (!write(head)) return false;
  std::string line, out;
  for (std::int64_t i = 0; i < count; ++i) {
    if (!read(i, line)) return false;
    out.clear();
    for (const char c : line) {
      const auto byte = static_cast<unsigned char>(c);
      if (c == '\\' || c == '{' || c == '}') {
        out += '\\';
        out += c;
      } else if (c == '\t') {
        out += "\\tab ";
      } else if (byte > 127 || byte < 32) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\'%02x", byte);
        out += hex;
      } else {
        out += c;
      }
    }
    out += "\\par\r\n";
    if (!write(out)) return false;
  }
  return write("}");
}

}  // namespace vt9
