// Search forward, as the rich-edit control's EM_FINDTEXT finds with FR_DOWN: the first match
// starting at or after `from` and ending at or before `to`; without match case both sides are
// compared through the code page's fold; a whole word needs no letter or digit right before
// and right after the match.
//
// An unedited ANSI log is searched straight over its bytes, a block at a time: the rarest byte
// of the search text (in either case) is looked for at memory speed and each hit compared in
// place. Edited and Unicode logs are searched over their character values.
#include <algorithm>
#include <cstring>

#include "logs/log_document_impl.h"
#include "logs/log_scan.h"

namespace vt9::logs {

namespace {

constexpr std::int64_t kWindowChars = 1 << 20;
constexpr std::size_t kWindowBytes = std::size_t(1) << 20;

}  // namespace

// The byte offset of original position `position` (a break position gives the break's first
// byte). Double-byte lines are walked from their start.
std::uint64_t LogDocument::Impl::OByteOfChar(std::int64_t position) const {
  const std::int64_t line = OLineOfChar(position);
  const bool complete = line < index->Lines();
  const std::uint64_t byteStart = complete ? index->Get(line).byteStart : index->EndByte();
  const std::int64_t column = std::min(position - OLineStart(line), OLineLength(line));
  if (codec->SingleByte()) return byteStart + std::uint64_t(column);
  const std::uint64_t end = complete ? byteStart + index->Get(line).bytes : tailEnd;
  std::uint64_t at = byteStart;
  for (std::int64_t seen = 0; seen < column; ++seen) {
    std::uint8_t b[2] = {};
    if (!cache->Read(at, 1, b)) return at;
    const bool pair = cp.leadByte[b[0]] && at + 1 < end && cache->Read(at + 1, 1, b + 1) &&
                      b[1] != '\r' && b[1] != '\n';
    at += pair ? 2 : 1;
  }
  return at;
}

// The original position of byte `byte`, which starts a character of a line.
std::int64_t LogDocument::Impl::OCharOfByte(std::uint64_t byte) const {
  const std::int64_t line = index->LineOfByte(byte);
  std::uint64_t byteStart = index->EndByte();
  std::int64_t charStart = index->EndChar();
  if (line < index->Lines()) {
    const LineIndex::Line l = index->Get(line);
    byteStart = l.byteStart;
    charStart = l.charStart;
  }
  if (codec->SingleByte()) return charStart + std::int64_t(byte - byteStart);
  std::int64_t chars = 0;
  std::uint64_t at = byteStart;
  while (at < byte) {
    std::uint8_t b[2];
    if (!cache->Read(at, 1, b)) break;
    const bool pair =
        cp.leadByte[b[0]] && cache->Read(at + 1, 1, b + 1) && b[1] != '\r' && b[1] != '\n';
    at += pair ? 2 : 1;
    ++chars;
  }
  return charStart + chars;
}

std::optional<TextRange> LogDocument::Impl::FindAnsiBytes(std::int64_t from, std::int64_t to,
                                                          const std::u16string& values,
                                                          bool matchCase, bool wholeWord) const {
  const TextCodec& c = *codec;
  const bool dbcs = !c.SingleByte();
  // The search text as bytes and, without match case, folded.
  std::string pattern;
  for (char16_t v : values) {
    if (v >= 256) pattern += char(v >> 8);
    pattern += char(v & 0xFF);
  }
  const std::size_t m = pattern.size();
  const auto* pat = reinterpret_cast<const std::uint8_t*>(pattern.data());
  const unsigned char* upper = cp.upper;
  // Which bytes fold to the same as each byte (at most two are looked for at once).
  auto variants = [&](std::uint8_t b, std::uint8_t& x, std::uint8_t& y) {
    x = y = b;
    if (matchCase) return 1;
    int count = 0;
    for (int k = 0; k < 256; ++k) {
      if (upper[k] == upper[b]) {
        if (count == 0) x = std::uint8_t(k);
        if (count == 1) y = std::uint8_t(k);
        ++count;
      }
    }
    return count;
  };
  const std::uint64_t fromByte = OByteOfChar(from);
  const std::uint64_t toByte = OByteOfChar(to);
  if (toByte < fromByte + m) return std::nullopt;

  std::vector<std::uint8_t> buffer(kWindowBytes + m + 2);
  // Choose the byte to look for: the rarest in the first window, among positions whose byte
  // has at most two case forms (double-byte text: the first byte, which starts a character).
  std::size_t key = 0;
  std::uint8_t keyA = 0, keyB = 0;
  {
    const std::size_t sample = std::size_t(std::min<std::uint64_t>(64 * 1024, toByte - fromByte));
    std::vector<std::uint32_t> counts(256, 0);
    if (cache->Read(fromByte, sample, buffer.data())) {
      for (std::size_t i = 0; i < sample; ++i) ++counts[buffer[i]];
    }
    std::uint64_t best = UINT64_MAX;
    for (std::size_t k = 0; k < (dbcs ? 1 : m); ++k) {
      std::uint8_t x, y;
      if (variants(pat[k], x, y) > 2) continue;
      const std::uint64_t n = counts[x] + (x != y ? counts[y] : 0);
      if (n < best) {
        best = n;
        key = k;
        keyA = x;
        keyB = y;
      }
    }
    if (best == UINT64_MAX) return std::nullopt;  // cannot happen for single-byte text
  }
  // Compares in place; the trail byte of a double-byte character is never folded.
  auto same = [&](const std::uint8_t* t) {
    if (matchCase) return std::memcmp(t, pat, m) == 0;
    for (std::size_t k = 0; k < m; ++k) {
      if (dbcs && cp.leadByte[pat[k]] && k + 1 < m) {
        if (t[k] != pat[k] || t[k + 1] != pat[k + 1]) return false;
        ++k;
      } else if (upper[t[k]] != upper[pat[k]]) {
        return false;
      }
    }
    return true;
  };
  const std::uint64_t textEnd = tailEnd;
  // Double-byte text: the character at a byte, found by walking its line from a checkpoint
  // that moves forward with the candidates (they come in order), so a long line is walked once
  // per search, not once per candidate. `aligned` says whether `byte` starts a character.
  struct Walk {
    std::int64_t line = -1;
    std::uint64_t byte = 0;    // a character start
    std::int64_t chars = 0;    // its position
    std::uint64_t before = 0;  // the start of the character before it on the line (or itself)
  };
  auto charAt = [&](Walk& w, std::uint64_t byte, bool& aligned) {
    const std::int64_t line = index->LineOfByte(byte);
    const bool complete = line < index->Lines();
    const LineIndex::Line l = complete ? index->Get(line) : LineIndex::Line{};
    const std::uint64_t end = complete ? l.byteStart + l.bytes : tailEnd;
    if (line != w.line || w.byte > byte) {
      w.line = line;
      w.byte = complete ? l.byteStart : index->EndByte();
      w.chars = complete ? l.charStart : index->EndChar();
      w.before = w.byte;
    }
    while (w.byte < byte) {
      std::uint8_t b[2] = {};
      if (!cache->Read(w.byte, 1, b)) break;
      const bool pair = cp.leadByte[b[0]] && w.byte + 1 < end &&
                        cache->Read(w.byte + 1, 1, b + 1) && b[1] != '\r' && b[1] != '\n';
      const std::uint64_t next = w.byte + (pair ? 2 : 1);
      if (next > byte) break;  // `byte` is the trail byte of a pair
      w.before = w.byte;
      w.byte = next;
      ++w.chars;
    }
    aligned = w.byte == byte;
    return w.chars;
  };
  Walk startWalk;
  // Whether the characters around a match at [s, e) leave it a whole word; `t` points at s.
  auto wordAround = [&](std::uint64_t s, std::uint64_t e, const std::uint8_t* t) {
    if (s > startByte) {
      char16_t before = t[-1];
      std::uint8_t pair[2] = {};
      if (dbcs) {
        // The character before: a pair when the walk's last step took two bytes.
        bool aligned = false;
        charAt(startWalk, s, aligned);
        if (s - startWalk.before == 2 && cache->Read(startWalk.before, 2, pair))
          before = char16_t(pair[0] << 8 | pair[1]);
      }
      if (before != '\r' && before != '\n' && c.IsWordChar(before)) return false;
    }
    if (e < textEnd) {
      char16_t after = t[m];
      if (dbcs && cp.leadByte[after]) {
        std::uint8_t pair[2] = {};
        if (e + 1 < textEnd && cache->Read(e, 2, pair) && pair[1] != '\r' && pair[1] != '\n')
          after = char16_t(pair[0] << 8 | pair[1]);
      }
      if (after != '\r' && after != '\n' && after != kBreakValue && c.IsWordChar(after)) {
        return false;
      }
    }
    return true;
  };

  // Windows [ws, we) of candidate starts, read with one byte before and m + 1 after.
  for (std::uint64_t ws = fromByte; ws + m <= toByte;) {
    const std::uint64_t we = std::min<std::uint64_t>(toByte - m + 1, ws + kWindowBytes);
    const std::uint64_t readFrom = ws > startByte ? ws - 1 : ws;
    const std::uint64_t readTo = std::min<std::uint64_t>(textEnd, we + m);
    const std::size_t count = std::size_t(readTo - readFrom);
    if (!cache->ReadThrough(readFrom, count, buffer.data())) return std::nullopt;
    const std::uint8_t* base = buffer.data() + (ws - readFrom);  // candidate ws
    const std::size_t candidates = std::size_t(we - ws);
    // Key hits at i + key for candidate i; scan the key byte's range of the buffer.
    std::size_t i = 0;
    while (i < candidates) {
      const std::size_t hit = FindEitherByte(base + key, i, candidates, keyA, keyB);
      if (hit >= candidates) break;
      const std::uint8_t* t = base + hit;
      i = hit + 1;
      if (!same(t)) continue;
      const std::uint64_t s = ws + hit;
      const std::uint64_t e = s + m;
      if (dbcs) {
        // A match must start on a character.
        bool onCharacter = false;
        charAt(startWalk, s, onCharacter);
        if (!onCharacter) continue;
        // ... and end on one (its last byte is no lead byte of a pair).
        bool aligned = true;
        for (std::size_t k = 0; k < m;) {
          if (cp.leadByte[t[k]] && s + k + 1 < textEnd && t[k + 1] != '\r' && t[k + 1] != '\n') {
            if (k + 1 >= m) aligned = false;
            k += 2;
          } else {
            k += 1;
          }
        }
        if (!aligned) continue;
      }
      if (wholeWord && !wordAround(s, e, t)) continue;
      bool aligned = false;
      const std::int64_t start = dbcs ? charAt(startWalk, s, aligned) : OCharOfByte(s);
      return TextRange{start, start + std::int64_t(values.size())};
    }
    ws = we;
  }
  return std::nullopt;
}

std::optional<TextRange> LogDocument::Impl::FindLocked(std::int64_t from, std::int64_t to,
                                                       std::string_view what, bool matchCase,
                                                       bool wholeWord) const {
  std::u16string pattern = codec->ValuesFromAnsi(what);
  if (pattern.empty()) return std::nullopt;
  const TextCodec& c = *codec;
  const std::int64_t length = DLength();
  if (to < 0 || to > length) to = length;
  from = std::max<std::int64_t>(0, from);
  const std::int64_t m = std::int64_t(pattern.size());
  if (from + m > to) return std::nullopt;
  if (!edited && encoding == TextEncoding::Ansi &&
      std::find(pattern.begin(), pattern.end(), kBreakValue) == pattern.end()) {
    return FindAnsiBytes(from, to, pattern, matchCase, wholeWord);
  }
  // Over character values: fold through a table, look for the first character's fold, then
  // compare the rest.
  const bool ansi = encoding == TextEncoding::Ansi;
  const char16_t* table16 = ansi || matchCase ? nullptr : c.FoldTable16();
  const unsigned char* upper = cp.upper;
  auto fold = [&](char16_t v) -> char16_t {
    if (matchCase) return v;
    if (table16) return table16[v];
    return v < 256 ? char16_t(upper[v]) : v;
  };
  for (char16_t& v : pattern) v = fold(v);
  const char16_t first = pattern[0];
  std::u16string window;
  for (std::int64_t pos = from; pos + m <= to;) {
    // Characters [pos - 1, windowEnd + 1): the ones around a match decide whole words.
    const std::int64_t windowEnd = std::min(to, pos + kWindowChars + m - 1);
    const std::int64_t readFrom = pos > 0 ? pos - 1 : 0;
    const std::int64_t readTo = std::min(length, windowEnd + 1);
    window.resize(std::size_t(readTo - readFrom));
    char16_t* out = window.data();
    if (!DReadChars(readFrom, readTo, [&](char16_t v) { *out++ = v; })) return std::nullopt;
    const char16_t* w0 = window.data() - readFrom;  // w0[position]
    for (std::int64_t start = pos; start + m <= windowEnd; ++start) {
      if (fold(w0[start]) != first) continue;
      const char16_t* w = w0 + start;
      std::int64_t k = 1;
      while (k < m && fold(w[k]) == pattern[std::size_t(k)]) ++k;
      if (k < m) continue;
      if (wholeWord) {
        if (start > 0 && c.IsWordChar(w[-1])) continue;
        if (start + m < length && c.IsWordChar(w[m])) continue;
      }
      return TextRange{start, start + m};
    }
    pos = windowEnd - m + 1;
  }
  return std::nullopt;
}

}  // namespace vt9::logs
