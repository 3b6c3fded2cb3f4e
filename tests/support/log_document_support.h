// Stand-ins for the log document's tests and fuzz target: a file in memory that can shrink or
// fail, two code pages (a single-byte one like Windows-1252 and a double-byte one with lead
// bytes), and a plain reference of the text: every line's characters as values, made the
// simplest way, to check the document's index, positions and search against.
#pragma once

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "logs/log_document.h"
#include "platform/random_access_file.h"

namespace vt9::test {

// The bytes of a file, shared with the test so it can change them while the document reads.
struct FileBytes {
  std::mutex mutex;
  std::string bytes;
  bool failReads = false;
  std::atomic<long> reads{0};
  std::atomic<std::size_t> largestRead{0};
};

class MemoryFile : public RandomAccessFile {
 public:
  explicit MemoryFile(std::shared_ptr<FileBytes> bytes) : bytes_(std::move(bytes)) {}
  std::int64_t Size() override {
    std::lock_guard<std::mutex> lock(bytes_->mutex);
    return std::int64_t(bytes_->bytes.size());
  }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    std::lock_guard<std::mutex> lock(bytes_->mutex);
    ++bytes_->reads;
    if (size > bytes_->largestRead) bytes_->largestRead = size;
    if (bytes_->failReads) return -1;
    if (offset >= bytes_->bytes.size()) return 0;
    const std::size_t n = std::min<std::size_t>(size, bytes_->bytes.size() - offset);
    std::memcpy(buffer, bytes_->bytes.data() + offset, n);
    return std::int64_t(n);
  }

 private:
  std::shared_ptr<FileBytes> bytes_;
};

inline std::unique_ptr<RandomAccessFile> MemoryFileOf(const std::string& bytes) {
  auto shared = std::make_shared<FileBytes>();
  shared->bytes = bytes;
  return std::make_unique<MemoryFile>(shared);
}

// Windows-1252 as far as the tests need it: Latin-1 letters fold and count as letters.
inline logs::CodePage WesternCodePage() {
  logs::CodePage cp;
  for (int b = 0; b < 256; ++b) {
    const bool lower = (b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7);
    const bool upper = (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7);
    cp.upper[b] = static_cast<unsigned char>(lower ? b - 32 : b);
    cp.wordChar[b] = lower || upper || (b >= '0' && b <= '9');
  }
  cp.toUtf16 = [](std::string_view s) {
    std::u16string u;
    for (unsigned char c : s) u += char16_t(c);
    return u;
  };
  cp.fromUtf16 = [](std::u16string_view u) {
    std::string s;
    for (char16_t c : u) s += c < 256 ? char(c) : '?';
    return s;
  };
  cp.isWordChar16 = [](char16_t u) {
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
           (u >= 0xC0 && u <= 0x24F && u != 0xD7 && u != 0xF7) || (u >= 0x391 && u <= 0x3C9) ||
           (u >= 0x4E00 && u <= 0x9FFF);
  };
  cp.upper16 = [](char16_t u) -> char16_t {
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return char16_t(u - 32);
    if (u >= 0x3B1 && u <= 0x3C9 && u != 0x3C2) return char16_t(u - 32);
    return u;
  };
  cp.number = 1252;
  return cp;
}

// A double-byte code page shaped like Shift-JIS: lead bytes 0x81-0x9F and 0xE0-0xFC; a pair
// becomes one CJK character, any other byte above 127 a Latin-1 one.
inline logs::CodePage DoubleByteCodePage() {
  logs::CodePage cp = WesternCodePage();
  for (int b = 0; b < 256; ++b) {
    cp.leadByte[b] = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (b >= 128) {
      cp.upper[b] = static_cast<unsigned char>(b);
      cp.wordChar[b] = false;
    }
  }
  cp.toUtf16 = [](std::string_view s) {
    std::u16string u;
    for (std::size_t i = 0; i < s.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(s[i]);
      const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
      if (lead && i + 1 < s.size()) {
        u += char16_t(0x4E00 + ((c << 8 | static_cast<unsigned char>(s[i + 1])) & 0x3FFF));
        ++i;
      } else {
        u += c < 128 ? char16_t(c) : char16_t(0xFF00 + c - 128);
      }
    }
    return u;
  };
  cp.number = 932;
  return cp;
}

// The text as character values (see the document's codec: ANSI bytes or lead * 256 + trail,
// else UTF-16 units), a line at a time, made straight from the bytes.
struct ReferenceText {
  std::vector<std::u16string> lines;

  std::u16string Whole() const {
    std::u16string all;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i) all += char16_t(13);
      all += lines[i];
    }
    return all;
  }
};

inline bool ReferenceUtf8(const std::string& s, std::size_t i, std::size_t& length,
                          std::uint32_t& cp) {
  const unsigned char b = static_cast<unsigned char>(s[i]);
  length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
  if (b >= 0xF8 || (b >= 0x80 && b < 0xC0) || i + length > s.size()) return false;
  cp = length == 1 ? b : b & (0xFF >> (length + 1));
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return false;
    cp = cp << 6 | (c & 0x3F);
  }
  static const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  return cp >= least[length] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
}

inline ReferenceText MakeReference(const std::string& bytes, const logs::CodePage& cp) {
  ReferenceText ref;
  ref.lines.emplace_back();
  const bool utf8 = bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
  const bool utf16 = !utf8 && bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0;
  // First split into lines of raw bytes, then decode each.
  std::vector<std::string> raw(1);
  std::size_t i = utf8 ? 3 : utf16 ? 2 : 0;
  const std::size_t u = utf16 ? 2 : 1;
  auto unit = [&](std::size_t at) -> int {
    if (at + u > bytes.size()) return -1;
    return utf16 ? (static_cast<unsigned char>(bytes[at]) |
                    static_cast<unsigned char>(bytes[at + 1]) << 8)
                 : static_cast<unsigned char>(bytes[at]);
  };
  while (i < bytes.size()) {
    const int c = unit(i);
    if (c == 13 || c == 10) {
      i += u;
      if (c == 13 && unit(i) == 10) i += u;
      raw.emplace_back();
    } else if (c < 0) {
      raw.back() += bytes.substr(i);
      break;
    } else {
      raw.back() += bytes.substr(i, u);
      i += u;
    }
  }
  ref.lines.clear();
  for (const std::string& s : raw) {
    std::u16string line;
    for (std::size_t k = 0; k < s.size();) {
      const unsigned char b = static_cast<unsigned char>(s[k]);
      if (utf16) {
        if (k + 1 < s.size()) {
          line += char16_t(b | static_cast<unsigned char>(s[k + 1]) << 8);
          k += 2;
        } else {
          line += char16_t(0xFFFD);
          ++k;
        }
      } else if (utf8) {
        std::size_t length = 1;
        std::uint32_t c = 0;
        if (ReferenceUtf8(s, k, length, c)) {
          if (c >= 0x10000) {
            line += char16_t(0xD800 + ((c - 0x10000) >> 10));
            line += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
          } else {
            line += char16_t(c);
          }
          k += length;
        } else {
          line += char16_t(0xFFFD);
          ++k;
        }
      } else if (cp.leadByte[b] && k + 1 < s.size()) {
        line += char16_t(b << 8 | static_cast<unsigned char>(s[k + 1]));
        k += 2;
      } else {
        line += char16_t(b);
        ++k;
      }
    }
    ref.lines.push_back(line);
  }
  return ref;
}

// The simplest search over the values: the first match in [from, to).
inline std::optional<logs::TextRange> ReferenceFind(const std::u16string& text, std::int64_t from,
                                                    std::int64_t to, const std::u16string& what,
                                                    bool matchCase, bool wholeWord,
                                                    char16_t (*fold)(char16_t, const void*),
                                                    bool (*word)(char16_t, const void*),
                                                    const void* context) {
  if (what.empty()) return std::nullopt;
  const std::int64_t m = std::int64_t(what.size());
  for (std::int64_t p = std::max<std::int64_t>(0, from); p + m <= to; ++p) {
    bool same = true;
    for (std::int64_t k = 0; k < m && same; ++k) {
      const char16_t a = text[std::size_t(p + k)];
      const char16_t b = what[std::size_t(k)];
      same = matchCase ? a == b : fold(a, context) == fold(b, context);
    }
    if (!same) continue;
    if (wholeWord) {
      if (p > 0 && word(text[std::size_t(p - 1)], context)) continue;
      if (p + m < std::int64_t(text.size()) && word(text[std::size_t(p + m)], context)) continue;
    }
    return logs::TextRange{p, p + m};
  }
  return std::nullopt;
}

}  // namespace vt9::test
