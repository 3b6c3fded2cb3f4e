#include "markup/markup_text.h"

#include <array>
#include <climits>
#include <cstring>

namespace vt9::markup {
namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Lower(text[at + i]) != word[i]) return false;
  }
  return true;
}

struct Entity {
  std::string_view name;  // lower case
  char replacement;
};
// "&amp;" is handled apart: it turns into two ampersands.
constexpr std::array<Entity, 8> kEntities = {{{"&quot;", '"'},
                                              {"&sect;", '\xA7'},
                                              {"&permil;", '\x89'},
                                              {"&reg;", '\xAE'},
                                              {"&copy;", '\xA9'},
                                              {"&para;", '\xB6'},
                                              {"&trade;", '\x99'},
                                              {"&euro;", '\x80'}}};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

struct NamedColor {
  std::string_view name;
  Color value;
};
constexpr std::array<NamedColor, 40> kColorNames = {{
    {"clred", 0x0000FF},
    {"clblack", 0x000000},
    {"clblue", 0xFF0000},
    {"clgreen", 0x008000},
    {"claqua", 0xFFFF00},
    {"clyellow", 0x00FFFF},
    {"clfuchsia", 0xFF00FF},
    {"clwhite", 0xFFFFFF},
    {"cllime", 0x00FF00},
    {"clsilver", 0xC0C0C0},
    {"clgray", 0x808080},
    {"clolive", 0x008080},
    {"clnavy", 0x800000},
    {"clpurple", 0x800080},
    {"clteal", 0x808000},
    {"clmaroon", 0x000080},
    {"clbackground", SystemColor(1)},
    {"clactivecaption", SystemColor(2)},
    {"clinactivecaption", SystemColor(3)},
    {"clmenu", SystemColor(4)},
    {"clwindow", SystemColor(5)},
    {"clwindowframe", SystemColor(6)},
    {"clmenutext", SystemColor(7)},
    {"clwindowtext", SystemColor(8)},
    {"clcaptiontext", SystemColor(9)},
    {"clactiveborder", SystemColor(10)},
    {"clinactiveborder", SystemColor(11)},
    {"clappworkspace", SystemColor(12)},
    {"clhighlight", SystemColor(13)},
    {"clhighlighttext", SystemColor(14)},
    {"clbtnface", SystemColor(15)},
    {"clbtnshadow", SystemColor(16)},
    {"clgraytext", SystemColor(17)},
    {"clbtntext", SystemColor(18)},
    {"clinactivecaptiontext", SystemColor(19)},
    {"clbtnhighlight", SystemColor(20)},
    {"cl3ddkshadow", SystemColor(21)},
    {"cl3dlight", SystemColor(22)},
    {"clinfotext", SystemColor(23)},
    {"clinfobk", SystemColor(24)},
}};

}  // namespace

std::string ToUpper(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Upper(c);
  return r;
}

std::string ToLower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Lower(c);
  return r;
}

bool PrefixesOff(std::string_view text) { return text.find(" & ") != std::string_view::npos; }

std::string PrepareMarkup(std::string_view text) {
  // Entities. Replacing the first occurrence of each entity round after round until nothing
  // changes reaches one fixed point: entity matches never overlap, and the only new match a
  // replacement can create starts at the second "&" that "&amp;" produces. One left-to-right
  // pass that re-reads that ampersand gives the same text in linear time.
  std::string src(text);
  std::string out;
  if (src.find('&') != std::string::npos) {
    out.reserve(src.size() + 16);
    std::size_t i = 0;
    while (i < src.size()) {
      if (src[i] != '&') {
        out += src[i++];
        continue;
      }
      if (StartsWithNoCase(src, i, "&amp;")) {
        out += '&';
        i += 4;
        src[i] = '&';  // the second ampersand, read again as the start of a possible entity
        continue;
      }
      bool replaced = false;
      for (const Entity& e : kEntities) {
        if (StartsWithNoCase(src, i, e.name)) {
          out += e.replacement;
          i += e.name.size();
          replaced = true;
          break;
        }
      }
      if (!replaced) out += src[i++];
    }
  } else {
    out = std::move(src);
  }

  // "<#" escapes one "#": its "<" goes, and so does the first ">" after it.
  std::size_t hash = out.find("<#");
  if (hash != std::string::npos) {
    out.erase(hash, 1);
    std::size_t gt = out.find('>', hash);
    if (gt != std::string::npos) out.erase(gt, 1);
  }

  if (out.find_first_of("\r\n") == std::string::npos) return out;
  std::string result;
  result.reserve(out.size());
  for (char c : out) {
    if (c == '\r') {
      result += "<BR>";
    } else if (c != '\n') {
      result += c;
    }
  }
  return result;
}

std::string ReplaceRunEntities(std::string_view run) {
  if (run.find('&') == std::string_view::npos) return std::string(run);
  auto replaceAll = [](std::string s, std::string_view from, char to) {
    std::string r;
    r.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
      if (s.compare(i, from.size(), from) == 0) {
        r += to;
        i += from.size();
      } else {
        r += s[i++];
      }
    }
    return r;
  };
  std::string s = replaceAll(std::string(run), "&nbsp;", ' ');
  s = replaceAll(std::move(s), "&lt;", '<');
  return replaceAll(std::move(s), "&gt;", '>');
}

LenientNumber ReadLenientNumber(std::string_view text) {
  LenientNumber result;
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  long long value = 0;
  for (; i < text.size(); ++i) {
    int d = HexDigit(text[i]);
    if (d < 0 || d >= base) break;
    result.digits = true;
    value = value * base + d;
    if (value > INT_MAX) value = INT_MAX;
  }
  bool complete = i == text.size();
  if (negative && complete) value = -value;
  result.value = static_cast<int>(value);
  return result;
}

Color ColorFromText(std::string_view value) {
  if (value.empty()) return kColorNone;
  if (value[0] == '#') {
    Color channels[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
      std::size_t at = 1 + 2 * static_cast<std::size_t>(k);
      if (at >= value.size()) break;
      std::string_view pair = value.substr(at, 2);
      int v = 0;
      for (char c : pair) {
        int d = HexDigit(c);
        if (d < 0) {
          v = 0;
          break;
        }
        v = v * 16 + d;
      }
      channels[k] = static_cast<Color>(v);
    }
    return channels[0] + channels[1] * 256 + channels[2] * 65536;
  }
  std::string lower = ToLower(value);
  for (const NamedColor& c : kColorNames) {
    if (c.name == lower) return c.value;
  }
  return kColorBlack;
}

std::optional<std::string> AttributeValue(std::string_view upperTag, std::string_view upperName,
                                          std::size_t from, std::string_view source) {
  if (from > upperTag.size()) return std::nullopt;
  std::size_t at = upperTag.find(upperName, from);
  if (at == std::string_view::npos) return std::nullopt;
  std::size_t open = upperTag.find('"', at + upperName.size());
  if (open == std::string_view::npos) return std::string();
  std::size_t close = upperTag.find('"', open + 1);
  if (close == std::string_view::npos) {
    close = upperTag.size();
    if (close > open + 1 && upperTag[close - 1] == '>') --close;
  }
  std::string_view from_text = source.size() == upperTag.size() ? source : upperTag;
  return std::string(from_text.substr(open + 1, close - open - 1));
}

}  // namespace vt9::markup
