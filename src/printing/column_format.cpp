#include "printing/column_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vt9 {

std::vector<std::string> SplitTokens(std::string_view text, char separator) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      fields.emplace_back(text.substr(start));
      return fields;
    }
    fields.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
}

std::string ShortestNumber(double value) {
  if (value == 0) return "0";  // also turns -0 into 0
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

namespace {

bool ParseNumber(std::string_view s, double& out) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (s.empty()) return false;
  if (s.front() == '+') s.remove_prefix(1);
  double v = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

char AlignmentChar(TAlignment a) { return a == taRightJustify ? '>' : a == taCenter ? '^' : '<'; }

}  // namespace

ColumnLayout ParseColumn(std::string_view column, double defaultWidth) {
  ColumnLayout c;
  c.width = defaultWidth;
  if (column.empty()) return c;
  if (column.front() == '<' || column.front() == '>' || column.front() == '^') {
    c.alignment = column.front() == '>'   ? taRightJustify
                  : column.front() == '^' ? taCenter
                                          : taLeftJustify;
    column.remove_prefix(1);
  }
  double w = 0;
  if (ParseNumber(column, w)) c.width = w;
  return c;
}

std::string NormaliseFormat(std::string_view format, char separator, double defaultWidth) {
  return ScaleFormat(format, separator, 1.0, defaultWidth);
}

std::string ScaleFormat(std::string_view format, char separator, double factor,
                        double defaultWidth) {
  if (format.empty()) return {};
  std::string out;
  bool first = true;
  for (const std::string& column : SplitTokens(format, separator)) {
    ColumnLayout c = ParseColumn(column, defaultWidth);
    if (!first) out += separator;
    first = false;
    out += AlignmentChar(c.alignment);
    double w = c.width * factor;
    if (factor != 1.0) {
      // 1.5 in is 38.1 mm, not 38.099999999999994: keep the digits a user would write.
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.12g", w);
      w = std::strtod(buf, nullptr);
    }
    out += ShortestNumber(w);
  }
  return out;
}

FriendlyRow TranslateFriendly(std::string_view friendly, char separator,
                              const std::function<std::string(char)>& textCode) {
  FriendlyRow r;
  for (std::size_t i = 0; i < friendly.size(); ++i) {
    char ch = friendly[i];
    if (ch != '&') {
      // Text of a friendly header is literal, a caption holding "{$PAGE}" included.
      if (ch == '{' && i + 1 < friendly.size() && friendly[i + 1] == '$') {
        r.row += "{$$}";
        ++i;
      } else {
        r.row += ch;
      }
      continue;
    }
    if (i + 1 >= friendly.size()) break;  // a trailing ampersand is dropped
    char code = friendly[++i];
    char marker = code == 'l' ? '<' : code == 'c' ? '^' : code == 'r' ? '>' : 0;
    if (marker) {
      if (!r.row.empty()) {
        if (r.markers.empty()) r.markers.push_back('<');
        r.row += separator;
      }
      r.markers.push_back(marker);
      continue;
    }
    std::string text;
    switch (code) {
      case '&':
        text = "&";
        break;
      case 'i':
        text = "{$TITLE}";
        break;
      case 'p':
        text = "{$PAGE}";
        break;
      case 'D':
      case 'd':
      case 'T':
      case 't':
      case 'F':
      case 'f':
        text = textCode ? textCode(code) : std::string();
        ReplaceAll(text, "{$", "{$$}");  // a file name or date is literal too
        break;
      default:
        text = " ";
        break;
    }
    r.row += text.empty() ? std::string(" ") : text;
  }
  if (r.markers.empty()) r.markers.push_back('<');
  return r;
}

std::string FriendlyFormat(const FriendlyRow& row, double totalWidth, char separator) {
  char width[64];
  std::snprintf(width, sizeof width, "%.2f", totalWidth / double(row.markers.size()));
  std::string format;
  for (std::size_t i = 0; i < row.markers.size(); ++i) {
    if (i) format += separator;
    format += row.markers[i];
    format += width;
  }
  return NormaliseFormat(format, separator, 0);
}

void ReplaceAll(std::string& text, std::string_view macro, std::string_view value) {
  std::size_t at = 0;
  while ((at = text.find(macro, at)) != std::string::npos) {
    text.replace(at, macro.size(), value);
    at += value.size();
  }
}

}  // namespace vt9
