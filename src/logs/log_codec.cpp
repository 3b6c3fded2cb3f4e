#include "logs/log_codec.h"

namespace vt9::logs {

TextCodec::TextCodec(TextEncoding encoding, const CodePage& codePage)
    : encoding_(encoding), cp_(codePage) {
  singleByte_ = encoding == TextEncoding::Ansi;
  for (int b = 0; b < 256; ++b) {
    if (encoding == TextEncoding::Ansi && cp_.leadByte[b]) singleByte_ = false;
    char16_t unit = char16_t(b);
    if (b >= 128) {
      unit = u'?';
      if (cp_.toUtf16) {
        const char byte = char(b);
        const std::u16string u = cp_.toUtf16(std::string_view(&byte, 1));
        if (u.size() == 1) unit = u[0];
      }
    }
    byteUnit_[b] = IsControl(char16_t(b)) ? kPlaceholder16 : unit;
  }
}

std::int64_t TextCodec::Count(const std::uint8_t* p, std::size_t n, bool final,
                              std::size_t& consumed) const {
  if (singleByte_) {
    consumed = n;
    return std::int64_t(n);
  }
  if (encoding_ == TextEncoding::Utf16LE) {
    consumed = final ? n : n & ~std::size_t(1);
    return std::int64_t((n + (final ? 1 : 0)) / 2);
  }
  std::int64_t chars = 0;
  if (encoding_ == TextEncoding::Utf8) {
    // ASCII runs are counted without decoding.
    std::size_t i = 0;
    while (i < n) {
      std::size_t j = i;
      while (j < n && p[j] < 0x80) ++j;
      chars += std::int64_t(j - i);
      i = j;
      if (i == n) break;
      std::size_t k = i;
      while (k < n && p[k] >= 0x80) ++k;
      // Decode the run of non-ASCII bytes; a sequence never contains an ASCII byte.
      const bool last = k == n;
      const std::size_t used = Decode(p + i, k - i, last ? final : true, INT64_MAX,
                                      [&](char16_t, char16_t, std::size_t) { ++chars; });
      const bool unfinished = used < k - i;
      i += used;
      if (unfinished) break;  // an unfinished sequence at the end
    }
    consumed = i;
    return chars;
  }
  // Double-byte text: counted by its lead bytes alone, as Decode pairs them, without converting
  // a single character (a conversion a character would dominate indexing).
  std::size_t i = 0;
  while (i < n) {
    if (cp_.leadByte[p[i]]) {
      if (i + 1 < n) {
        if (p[i + 1] != '\r' && p[i + 1] != '\n') {
          i += 2;
          ++chars;
          continue;
        }
      } else if (!final) {
        break;  // the trail byte comes with the next block
      }
    }
    ++i;
    ++chars;
  }
  consumed = i;
  return chars;
}

char16_t TextCodec::PairUnit(std::uint8_t lead, std::uint8_t trail) const {
  if (!cp_.toUtf16) return u'?';
  const char bytes[2] = {char(lead), char(trail)};
  const std::u16string u = cp_.toUtf16(std::string_view(bytes, 2));
  return u.size() == 1 ? u[0] : u'?';
}

char16_t TextCodec::Display(char16_t value) const {
  if (encoding_ != TextEncoding::Ansi) return IsControl(value) ? kPlaceholder16 : value;
  if (value < 256) return byteUnit_[value];
  return PairUnit(std::uint8_t(value >> 8), std::uint8_t(value));
}

void TextCodec::AppendAnsi(char16_t value, std::string& out) const {
  if (IsControl(value)) {
    out += '?';
    return;
  }
  if (encoding_ == TextEncoding::Ansi) {
    if (value >= 256) out += char(value >> 8);
    out += char(value);
    return;
  }
  if (value < 128) {
    out += char(value);
    return;
  }
  out += cp_.fromUtf16 ? cp_.fromUtf16(std::u16string_view(&value, 1)) : std::string("?");
}

std::u16string TextCodec::ValuesFromAnsi(std::string_view text) const {
  std::u16string values;
  if (encoding_ != TextEncoding::Ansi) {
    return ValuesFromUtf16(cp_.toUtf16 ? cp_.toUtf16(text)
                                       : std::u16string(text.begin(), text.end()));
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::uint8_t b = std::uint8_t(text[i]);
    if (b == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      values += kBreakValue;
    } else if (b == '\n') {
      values += kBreakValue;
    } else if (cp_.leadByte[b] && i + 1 < text.size() && text[i + 1] != '\r' &&
               text[i + 1] != '\n') {
      values += char16_t(b << 8 | std::uint8_t(text[i + 1]));
      ++i;
    } else {
      values += char16_t(b);
    }
  }
  return values;
}

std::u16string TextCodec::ValuesFromUtf16(std::u16string_view text) const {
  if (encoding_ == TextEncoding::Ansi) {
    std::string bytes;
    if (cp_.fromUtf16) {
      bytes = cp_.fromUtf16(text);
    } else {
      for (char16_t u : text) bytes += u < 256 ? char(u) : '?';
    }
    return ValuesFromAnsi(bytes);
  }
  std::u16string values;
  values.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      values += kBreakValue;
    } else if (text[i] == u'\n') {
      values += kBreakValue;
    } else {
      values += text[i];
    }
  }
  return values;
}

const char16_t* TextCodec::FoldTable16() const {
  std::call_once(fold16Once_, [this] {
    fold16Table_.resize(65536);
    for (std::uint32_t u = 0; u < 65536; ++u) {
      char16_t f = char16_t(u);
      if (cp_.upper16) {
        f = cp_.upper16(char16_t(u));
      } else if (u >= 'a' && u <= 'z') {
        f = char16_t(u - 32);
      }
      fold16Table_[u] = f;
    }
  });
  return fold16Table_.data();
}

char16_t TextCodec::Fold(char16_t value) const {
  if (encoding_ == TextEncoding::Ansi) return value < 256 ? char16_t(cp_.upper[value]) : value;
  return FoldTable16()[value];
}

bool TextCodec::IsWordChar(char16_t value) const {
  if (encoding_ == TextEncoding::Ansi && value < 256) return cp_.wordChar[value];
  const char16_t unit = encoding_ == TextEncoding::Ansi ? Display(value) : value;
  if (cp_.isWordChar16) return cp_.isWordChar16(unit);
  return (unit >= '0' && unit <= '9') || (unit >= 'A' && unit <= 'Z') ||
         (unit >= 'a' && unit <= 'z');
}

}  // namespace vt9::logs
