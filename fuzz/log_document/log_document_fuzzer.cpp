// Fuzz target: the log document over random bytes, block sizes, encodings, code pages and edits,
// checked against a plain in-memory reference: the line count, every line's text, positions
// and search results must be the same.
//
// Input: byte 0 the block size, byte 1 the options (byte-order mark, code page, search flags),
// byte 2 the number of edits, then four bytes per edit, then the search text (up to a NUL
// byte), then the file's bytes.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "logs/log_document.h"
#include "support/log_document_support.h"

namespace {

using vt9::logs::CodePage;
using vt9::logs::TextRange;

[[noreturn]] void Fail() { __builtin_trap(); }
void Check(bool ok) {
  if (!ok) Fail();
}

// The character values of ANSI bytes or UTF-16 text, as the document takes edits and patterns.
std::u16string ValuesOfAnsi(const std::string& bytes, const vt9::logs::CodePage& cp, bool unicode) {
  std::u16string values;
  if (unicode) {
    std::u16string u = cp.toUtf16(bytes);
    for (std::size_t i = 0; i < u.size(); ++i) {
      if (u[i] == u'\r' && i + 1 < u.size() && u[i + 1] == u'\n') continue;
      values += u[i] == u'\n' ? u'\r' : u[i];
    }
    return values;
  }
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    if (b == '\n' || b == '\r') {
      values += u'\r';
    } else if (cp.leadByte[b] && i + 1 < bytes.size() && bytes[i + 1] != '\r' &&
               bytes[i + 1] != '\n') {
      values += char16_t(b << 8 | static_cast<unsigned char>(bytes[i + 1]));
      ++i;
    } else {
      values += char16_t(b);
    }
  }
  return values;
}

char16_t Display(char16_t v, const vt9::logs::CodePage& cp, bool unicode) {
  if (v < 32 && v != 9) return 0xB7;
  if (unicode) return v;
  std::string bytes;
  if (v >= 256) bytes += char(v >> 8);
  bytes += char(v & 0xFF);
  const std::u16string u = cp.toUtf16(bytes);
  return u.size() == 1 ? u[0] : u'?';
}

struct Context {
  const vt9::logs::CodePage* cp;
  bool unicode;
};
char16_t Fold(char16_t v, const void* c) {
  const Context& x = *static_cast<const Context*>(c);
  if (x.unicode) return x.cp->upper16(v);
  return v < 256 ? char16_t(x.cp->upper[v]) : v;
}
bool Word(char16_t v, const void* c) {
  const Context& x = *static_cast<const Context*>(c);
  if (!x.unicode && v < 256) return x.cp->wordChar[v];
  return x.cp->isWordChar16(x.unicode ? v : Display(v, *x.cp, false));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::size_t block = 1 + data[0] % 67;
  const unsigned options = data[1];
  const std::size_t edits = data[2] % 8;
  std::size_t at = 3;
  struct Edit {
    std::uint8_t a, b, kind, extra;
  };
  std::vector<Edit> steps;
  for (std::size_t i = 0; i < edits && at + 4 <= size; ++i, at += 4) {
    steps.push_back({data[at], data[at + 1], data[at + 2], data[at + 3]});
  }
  std::string what;
  while (at < size && data[at] != 0 && what.size() < 8) what += char(data[at++]);
  if (at < size) ++at;
  std::string bytes(reinterpret_cast<const char*>(data + at), size - at);
  if ((options & 3) == 1) bytes.insert(0, "\xEF\xBB\xBF");
  if ((options & 3) == 2) bytes.insert(0, "\xFF\xFE");
  const vt9::logs::CodePage cp =
      (options & 4) ? vt9::test::DoubleByteCodePage() : vt9::test::WesternCodePage();
  const bool matchCase = options & 8;
  const bool wholeWord = options & 16;

  vt9::logs::LogDocument doc(vt9::test::MemoryFileOf(bytes), cp, block);
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  Check(doc.IndexComplete());
  const bool unicode = doc.Encoding() != vt9::logs::TextEncoding::Ansi;
  std::u16string text = vt9::test::MakeReference(bytes, cp).Whole();

  auto compare = [&] {
    std::int64_t lines = 1, start = 0;
    for (char16_t v : text) lines += v == u'\r';
    Check(doc.LineCount() == lines);
    Check(doc.Length() == std::int64_t(text.size()));
    std::int64_t line = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == u'\r') {
        Check(doc.LineStart(line) == start);
        Check(doc.LineLength(line) == std::int64_t(i) - start);
        Check(doc.LineFromPosition(start) == line);
        Check(doc.LineFromPosition(std::int64_t(i)) == line);
        std::u16string shown;
        for (std::size_t k = std::size_t(start); k < i; ++k) shown += Display(text[k], cp, unicode);
        Check(doc.LineText16(line) == shown);
        if (i - std::size_t(start) > 2) Check(doc.LineText16(line, 1, 2) == shown.substr(1, 2));
        start = std::int64_t(i) + 1;
        ++line;
      }
    }
    const Context context{&cp, unicode};
    const std::u16string pattern = ValuesOfAnsi(what, cp, unicode);
    std::int64_t from = 0;
    for (int n = 0; n < 50; ++n) {
      const auto got = doc.Find(from, -1, what, matchCase, wholeWord);
      const auto want = vt9::test::ReferenceFind(text, from, std::int64_t(text.size()), pattern,
                                                 matchCase, wholeWord, Fold, Word, &context);
      Check(got.has_value() == want.has_value());
      if (!got) break;
      Check(got->start == want->start && got->end == want->end);
      from = got->start + 1;
    }
  };
  compare();

  const char16_t* inserts[] = {u"", u"x", u"\r\n", u"\n", u"\r", u"ab\r\ncd", u"\u00e9", u"\u4e2d"};
  std::vector<std::u16string> history;
  for (const Edit& e : steps) {
    if (e.kind % 5 == 4) {
      const auto undone = doc.Undo();
      Check(undone.has_value() == !history.empty());
      if (!history.empty()) {
        text = history.back();
        history.pop_back();
      }
    } else {
      const std::int64_t length = std::int64_t(text.size());
      const std::int64_t a = length ? e.a % (length + 1) : 0;
      const std::int64_t b = std::min<std::int64_t>(length, a + e.b % 9);
      const std::u16string insert = inserts[e.extra % 8];
      std::u16string values;
      if (unicode) {
        for (std::size_t k = 0; k < insert.size(); ++k) {
          if (insert[k] == u'\r' && k + 1 < insert.size() && insert[k + 1] == u'\n') continue;
          values += insert[k] == u'\n' ? u'\r' : insert[k];
        }
      } else {
        values = ValuesOfAnsi(cp.fromUtf16(insert), cp, false);
      }
      if (a != b || !values.empty()) history.push_back(text);
      doc.Replace({a, b}, insert);
      text.replace(std::size_t(a), std::size_t(b - a), values);
    }
    compare();
  }
  return 0;
}
