// How the log document reads characters out of its bytes, for each encoding it knows.
//
// Every character has a value in one space per document, so edits, search and the text out work
// alike for every encoding:
//   - ANSI: the byte, or lead byte * 256 + trail byte for a double-byte character;
//   - UTF-8 and UTF-16LE: the UTF-16 code unit (a character beyond the first plane is two).
// A line break is the value 13 whatever its bytes were.
//
// Line breaks never sit inside a character: a lead byte or an unfinished UTF-8 sequence before
// CR or LF stands alone (as one character), so a line's characters depend on its bytes only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "logs/log_document.h"

namespace vt9::logs {

constexpr char16_t kBreakValue = 13;
constexpr char16_t kPlaceholder16 = 0x00B7;  // middle dot, for NUL and other control characters
constexpr char16_t kReplacement16 = 0xFFFD;  // a byte that is no character of the encoding

inline bool IsControl(char16_t value) { return value < 32 && value != 9; }

class TextCodec {
 public:
  TextCodec(TextEncoding encoding, const CodePage& codePage);

  TextEncoding Encoding() const { return encoding_; }
  // Bytes of one code unit of the line-break scan: 2 for UTF-16LE, else 1.
  unsigned UnitBytes() const { return encoding_ == TextEncoding::Utf16LE ? 2 : 1; }
  // One byte is one character: ANSI without lead bytes.
  bool SingleByte() const { return singleByte_; }

  // Decodes characters from `p`, calling sink(value, unit16, byteOffset) for each one, where
  // unit16 is the UTF-16 unit to show (placeholders applied). Stops after `limit` characters or
  // before an unfinished sequence at the end unless `final`. Returns the bytes consumed.
  template <class Sink>
  std::size_t Decode(const std::uint8_t* p, std::size_t n, bool final, std::int64_t limit,
                     Sink&& sink) const;

  // Counts characters as Decode would (without a limit); `consumed` gets the bytes used.
  std::int64_t Count(const std::uint8_t* p, std::size_t n, bool final, std::size_t& consumed) const;

  // The UTF-16 unit shown for a character value (placeholders applied).
  char16_t Display(char16_t value) const;
  // ANSI bytes of a character value (placeholders as '?'), appended to `out`.
  void AppendAnsi(char16_t value, std::string& out) const;
  // ANSI text (as the find record carries it) or UTF-16 text (as typed) as character values,
  // with CR LF, LF and CR as one break each.
  std::u16string ValuesFromAnsi(std::string_view text) const;
  std::u16string ValuesFromUtf16(std::u16string_view text) const;
  // Case fold and word-character test of a character value.
  char16_t Fold(char16_t value) const;
  // The fold of every UTF-16 unit (made on first use), for searching Unicode text fast.
  const char16_t* FoldTable16() const;
  bool IsWordChar(char16_t value) const;

 private:
  char16_t PairUnit(std::uint8_t lead, std::uint8_t trail) const;

  TextEncoding encoding_;
  const CodePage& cp_;
  bool singleByte_ = true;
  char16_t byteUnit_[256] = {};        // an ANSI byte shown as UTF-16 (placeholders applied)
  mutable std::once_flag fold16Once_;  // the UTF-16 fold table is made on the first search
  mutable std::u16string fold16Table_;
};

template <class Sink>
std::size_t TextCodec::Decode(const std::uint8_t* p, std::size_t n, bool final, std::int64_t limit,
                              Sink&& sink) const {
  std::size_t i = 0;
  std::int64_t chars = 0;
  switch (encoding_) {
    case TextEncoding::Ansi:
      if (singleByte_) {
        while (i < n && chars < limit) {
          sink(char16_t(p[i]), byteUnit_[p[i]], i);
          ++i;
          ++chars;
        }
        return i;
      }
      while (i < n && chars < limit) {
        const std::uint8_t b = p[i];
        if (cp_.leadByte[b]) {
          if (i + 1 < n) {
            const std::uint8_t t = p[i + 1];
            if (t != '\r' && t != '\n') {
              sink(char16_t(b << 8 | t), PairUnit(b, t), i);
              i += 2;
              ++chars;
              continue;
            }
          } else if (!final) {
            return i;
          }
        }
        sink(char16_t(b), byteUnit_[b], i);
        ++i;
        ++chars;
      }
      return i;
    case TextEncoding::Utf16LE:
      while (chars < limit) {
        if (i + 1 < n) {
          const char16_t u = char16_t(p[i] | p[i + 1] << 8);
          sink(u, IsControl(u) ? kPlaceholder16 : u, i);
          i += 2;
          ++chars;
        } else {
          if (i < n && final) {  // a lone last byte
            sink(kReplacement16, kReplacement16, i);
            ++i;
          }
          break;
        }
      }
      return i;
    case TextEncoding::Utf8:
      while (i < n && chars < limit) {
        const std::uint8_t b = p[i];
        if (b < 0x80) {
          sink(char16_t(b), IsControl(b) ? kPlaceholder16 : char16_t(b), i);
          ++i;
          ++chars;
          continue;
        }
        // Length and the range of the second byte of a well-formed sequence.
        unsigned len = 0;
        std::uint8_t lo = 0x80, hi = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
          len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
          len = 3;
          if (b == 0xE0) lo = 0xA0;
          if (b == 0xED) hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
          len = 4;
          if (b == 0xF0) lo = 0x90;
          if (b == 0xF4) hi = 0x8F;
        }
        bool good = len != 0;
        unsigned have = 1;
        for (; good && have < len && i + have < n; ++have) {
          const std::uint8_t c = p[i + have];
          if (have == 1 ? (c < lo || c > hi) : (c < 0x80 || c > 0xBF)) good = false;
        }
        if (good && have < len) {
          if (!final) return i;  // the rest is in the next piece
          good = false;
        }
        if (!good) {
          sink(kReplacement16, kReplacement16, i);
          ++i;
          ++chars;
          continue;
        }
        std::uint32_t cp = 0;
        if (len == 2) cp = (b & 0x1F) << 6 | (p[i + 1] & 0x3F);
        if (len == 3) cp = (b & 0x0F) << 12 | (p[i + 1] & 0x3F) << 6 | (p[i + 2] & 0x3F);
        if (len == 4) {
          cp = (b & 0x07) << 18 | (p[i + 1] & 0x3F) << 12 | (p[i + 2] & 0x3F) << 6 |
               (p[i + 3] & 0x3F);
        }
        if (cp >= 0x10000) {
          if (chars + 2 > limit) {
            // Only the first half fits: a column boundary inside a pair.
            const char16_t high = char16_t(0xD800 + ((cp - 0x10000) >> 10));
            sink(high, high, i);
            ++chars;
            return i;  // the sequence is not consumed
          }
          const char16_t high = char16_t(0xD800 + ((cp - 0x10000) >> 10));
          const char16_t low = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
          sink(high, high, i);
          sink(low, low, i);
          chars += 2;
        } else {
          sink(char16_t(cp), char16_t(cp), i);
          ++chars;
        }
        i += len;
      }
      return i;
  }
  return i;
}

}  // namespace vt9::logs
