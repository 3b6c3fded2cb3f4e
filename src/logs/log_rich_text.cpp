// Save as rich text: a plain header, the text with \ { } escaped, tabs as \tab, a \par for each
// line break, ANSI bytes above 127 as \'hh (a double-byte character as two), and characters of
// a Unicode log as \uN with '?' for readers without Unicode. Control characters are written as
// the placeholder the view shows for them.
#include <cstdio>

#include "logs/log_document_impl.h"

namespace vt9::logs {

namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;

}  // namespace

bool LogDocument::Impl::WriteRichTextLocked(
    const std::function<bool(std::string_view)>& write) const {
  std::string out;
  out.reserve(kPieceBytes + 64);
  out += "{\\rtf1\\ansi";
  if (cp.number != 0) out += "\\ansicpg" + std::to_string(cp.number);
  out += "\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\uc1\\f0 ";
  bool refused = false;
  auto flush = [&] {
    if (!refused && !out.empty() && !write(out)) refused = true;
    out.clear();
  };
  auto hex = [&](unsigned byte) {
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[byte >> 4];
    out += digits[byte & 15];
  };
  auto unicode = [&](char16_t unit) {
    out += "\\u" + std::to_string(int(std::int16_t(unit))) + "?";
  };
  const bool ansi = encoding == TextEncoding::Ansi;
  const bool ok = DReadChars(0, DLength(), [&](char16_t v) {
    if (refused) return;
    if (v == kBreakValue) {
      out += "\\par\r\n";
    } else if (v == 9) {
      out += "\\tab ";
    } else if (IsControl(v)) {
      unicode(kPlaceholder16);
    } else if (v == '\\' || v == '{' || v == '}') {
      out += '\\';
      out += char(v);
    } else if (v < 128) {
      out += char(v);
    } else if (ansi) {
      if (v >= 256) hex(v >> 8);
      hex(v & 0xFF);
    } else {
      unicode(v);
    }
    if (out.size() >= kPieceBytes) flush();
  });
  out += "}";
  flush();
  return ok && !refused;
}

}  // namespace vt9::logs
