#include "widgets/caption_text.h"

#include <array>
#include <cctype>
#include <cstring>
#include <utility>

namespace vt9 {
namespace {

bool StartsWithNoCase(const std::string& text, std::size_t pos, const char* prefix) {
  const std::size_t n = std::strlen(prefix);
  if (text.size() - pos < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[pos + i])) != prefix[i]) return false;
  }
  return true;
}

// The entities the markup knows, with their text in window-text convention.
constexpr std::array<std::pair<const char*, const char*>, 12> kEntities{{
    {"&amp;", "&&"},
    {"&quot;", "\""},
    {"&nbsp;", " "},
    {"&lt;", "<"},
    {"&gt;", ">"},
    {"&sect;", "\xA7"},
    {"&permil;", "\x89"},
    {"&reg;", "\xAE"},
    {"&copy;", "\xA9"},
    {"&para;", "\xB6"},
    {"&trade;", "\x99"},
    {"&euro;", "\x80"},
}};

}  // namespace

std::string MarkupToWindowText(const std::string& markup) {
  // A caption with " & " is drawn without accelerator processing, so each of its ampersands
  // is literal and must be doubled in the window text.
  const bool literalAmpersands = markup.find(" & ") != std::string::npos;
  std::string out;
  out.reserve(markup.size());
  std::size_t i = 0;
  while (i < markup.size()) {
    const char c = markup[i];
    if (c == '<') {
      const std::size_t close = markup.find('>', i);
      if (close == std::string::npos) break;  // an unterminated tag drops the rest
      if (StartsWithNoCase(markup, i, "<br") && !out.empty() && out.back() != ' ') out += ' ';
      i = close + 1;
      continue;
    }
    if (c == '\r' || c == '\n') {
      if (!out.empty() && out.back() != ' ') out += ' ';
      ++i;
      continue;
    }
    if (c == '&') {
      bool replaced = false;
      for (const auto& [entity, text] : kEntities) {
        if (StartsWithNoCase(markup, i, entity)) {
          out += text;
          i += std::strlen(entity);
          replaced = true;
          break;
        }
      }
      if (replaced) continue;
      out += literalAmpersands ? "&&" : "&";
      ++i;
      continue;
    }
    out += c;
    ++i;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

char CaptionAccelerator(const std::string& markup) {
  const std::string text = MarkupToWindowText(markup);
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    if (text[i + 1] == ' ') return 0;
    return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

}  // namespace vt9
