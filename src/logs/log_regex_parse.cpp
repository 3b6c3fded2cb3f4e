// Parsing an expression into a tree: recursive descent over the pattern, its depth bounded by
// the nesting allowed.
#include "logs/log_regex_impl.h"

namespace vt9::logs {

using namespace regex_detail;

bool Regex::Impl::WordValue(std::uint32_t v) const {
  if (v < 256) return cp->wordChar[v];
  if (!cp->toUtf16 || !cp->isWordChar16) return false;
  const char pair[2] = {char(v >> 8), char(v & 0xFF)};
  const std::u16string u = cp->toUtf16(std::string_view(pair, 2));
  return u.size() == 1 && cp->isWordChar16(u[0]);
}

CharSet Regex::Impl::WordSet() const {
  CharSet s;
  for (std::uint32_t b = 0; b < 256; ++b) {
    if (WordValue(b)) s.Add(b, b);
  }
  if (doubleByte) {
    for (std::uint32_t lead = 0; lead < 256; ++lead) {
      if (!cp->leadByte[lead]) continue;
      for (std::uint32_t trail = 0; trail < 256; ++trail) {
        const std::uint32_t v = lead << 8 | trail;
        if (WordValue(v)) s.Add(v, v);
      }
    }
  }
  s.Normalize();
  return s;
}

std::uint32_t Regex::Impl::NextChar() {
  std::uint32_t v = static_cast<unsigned char>(pattern[pos++]);
  if (doubleByte && cp->leadByte[v] && pos < pattern.size()) {
    v = v << 8 | static_cast<unsigned char>(pattern[pos++]);
  }
  return v;
}

bool Regex::Impl::ParseAlt(int& out) {
  if (++depth > kMaxNesting) return Fail(kTooComplex);
  Node alt;
  alt.kind = Node::Alt;
  for (;;) {
    int kid = 0;
    if (!ParseCat(kid)) return false;
    alt.kids.push_back(kid);
    if (pos < pattern.size() && pattern[pos] == '|') {
      ++pos;
      continue;
    }
    break;
  }
  --depth;
  out = alt.kids.size() == 1 ? alt.kids[0] : NewNode(std::move(alt));
  return true;
}

bool Regex::Impl::ParseCount(int& min, int& max) {
  // At '{': a count when it reads as {n}, {n,} or {n,m}; else the brace is a literal.
  std::size_t p = pos + 1;
  auto number = [&](int& v) {
    const std::size_t start = p;
    long long n = 0;
    while (p < pattern.size() && pattern[p] >= '0' && pattern[p] <= '9') {
      n = std::min<long long>(n * 10 + (pattern[p] - '0'), 1000000);
      ++p;
    }
    v = int(n);
    return p > start;
  };
  if (!number(min)) return false;
  max = min;
  if (p < pattern.size() && pattern[p] == ',') {
    ++p;
    if (!number(max)) max = -1;
  }
  if (p >= pattern.size() || pattern[p] != '}') return false;
  pos = p + 1;
  return true;
}

bool Regex::Impl::ParseCat(int& out) {
  Node cat;
  cat.kind = Node::Cat;
  bool repeated = false;  // the last item has a repeat already
  while (pos < pattern.size() && pattern[pos] != '|' && pattern[pos] != ')') {
    const char c = pattern[pos];
    int min = 0, max = 0;
    bool quantifier = false;
    if (c == '*' || c == '+' || c == '?') {
      ++pos;
      min = c == '+' ? 1 : 0;
      max = c == '?' ? 1 : -1;
      quantifier = true;
    } else if (c == '{') {
      const std::size_t at = pos;
      quantifier = ParseCount(min, max);
      if (quantifier) {
        if (max >= 0 && max < min)
          return Fail("The counts in " + std::string(pattern.substr(at, pos - at)) +
                      " are the wrong way round.");
        if (min > kMaxRepeat || max > kMaxRepeat) return Fail(kTooComplex);
      }
    }
    if (quantifier) {
      if (cat.kids.empty() || nodes[std::size_t(cat.kids.back())].kind == Node::Assert) {
        return Fail(std::string("Nothing to repeat before ") + c + ".");
      }
      if (repeated) {
        return Fail(std::string("Two repeats in a row before ") + c + "; group the first.");
      }
      if (pos < pattern.size() && pattern[pos] == '?') ++pos;  // lazy: the same for a yes/no
      Node rep;
      rep.kind = Node::Repeat;
      rep.min = min;
      rep.max = max;
      rep.kids.push_back(cat.kids.back());
      cat.kids.back() = NewNode(std::move(rep));
      repeated = true;
      continue;
    }
    repeated = false;
    int atom = 0;
    if (!ParseAtom(atom)) return false;
    cat.kids.push_back(atom);
  }
  if (cat.kids.empty()) {
    out = NewNode(Node{});
  } else {
    out = cat.kids.size() == 1 ? cat.kids[0] : NewNode(std::move(cat));
  }
  return true;
}

bool Regex::Impl::ParseEscape(CharSet& set, Op& assert, bool& isAssert, bool inClass) {
  // At the character after a backslash.
  if (pos >= pattern.size()) return Fail("The expression ends in a backslash.");
  const char c = pattern[pos];
  isAssert = false;
  auto hex = [](char h) {
    return h >= '0' && h <= '9'   ? h - '0'
           : h >= 'a' && h <= 'f' ? h - 'a' + 10
           : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                  : -1;
  };
  switch (c) {
    case 'd':
    case 'D':
    case 'w':
    case 'W':
    case 's':
    case 'S': {
      ++pos;
      CharSet s;
      const char k = char(c | 0x20);
      if (k == 'd') s.Add('0', '9');
      if (k == 's') {
        s.Add(' ', ' ');
        s.Add('\t', '\r');
      }
      if (k == 'w') s = WordSet();
      if (c != k) {
        Fold(s);
        s.Negate();
      }
      set.AddSet(s);
      return true;
    }
    case 'b':
    case 'B':
      if (inClass) return Fail("\\b cannot stand in brackets.");
      ++pos;
      isAssert = true;
      assert = c == 'b' ? Op::WordB : Op::NotWordB;
      return true;
    case 't':
      ++pos;
      set.Add('\t', '\t');
      return true;
    case 'n':
      ++pos;
      set.Add('\n', '\n');
      return true;
    case 'r':
      ++pos;
      set.Add('\r', '\r');
      return true;
    case 'f':
      ++pos;
      set.Add('\f', '\f');
      return true;
    case 'v':
      ++pos;
      set.Add('\v', '\v');
      return true;
    case 'x': {
      if (pos + 2 >= pattern.size() + 0 || hex(pattern[pos + 1]) < 0 || hex(pattern[pos + 2]) < 0) {
        return Fail("\\x needs two hexadecimal digits.");
      }
      const std::uint32_t v = std::uint32_t(hex(pattern[pos + 1]) * 16 + hex(pattern[pos + 2]));
      pos += 3;
      set.Add(v, v);
      return true;
    }
    default:
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return Fail(std::string("\\") + c + " is not known; write \\\\ for a backslash.");
      }
      {
        const std::uint32_t v = NextChar();
        set.Add(v, v);
      }
      return true;
  }
}

bool Regex::Impl::ParseClass(int& out) {
  // After '['.
  CharSet set;
  bool negate = false;
  if (pos < pattern.size() && pattern[pos] == '^') {
    negate = true;
    ++pos;
  }
  bool first = true;
  for (;;) {
    if (pos >= pattern.size()) return Fail("A [ has no closing ].");
    if (pattern[pos] == ']' && !first) {
      ++pos;
      break;
    }
    first = false;
    // One item: a character, an escape, or a range of two characters.
    CharSet item;
    bool single = false;
    std::uint32_t lo = 0;
    if (pattern[pos] == '\\') {
      ++pos;
      Op a;
      bool isAssert = false;
      if (!ParseEscape(item, a, isAssert, true)) return false;
      single = item.ranges.size() == 1 && item.ranges[0].first == item.ranges[0].second &&
               pattern[pos - 1] != 'd' && pattern[pos - 1] != 'w' && pattern[pos - 1] != 's';
      lo = single ? item.ranges[0].first : 0;
    } else {
      lo = NextChar();
      single = true;
      item.Add(lo, lo);
    }
    if (single && pos + 1 < pattern.size() && pattern[pos] == '-' && pattern[pos + 1] != ']') {
      ++pos;
      std::uint32_t hi = 0;
      if (pattern[pos] == '\\') {
        ++pos;
        CharSet h;
        Op a;
        bool isAssert = false;
        if (!ParseEscape(h, a, isAssert, true)) return false;
        if (h.ranges.size() != 1 || h.ranges[0].first != h.ranges[0].second) {
          return Fail("A range in brackets must end in one character.");
        }
        hi = h.ranges[0].first;
      } else {
        hi = NextChar();
      }
      if (hi < lo) return Fail("A range in brackets is the wrong way round.");
      item.ranges.clear();
      item.Add(lo, hi);
    }
    set.AddSet(item);
  }
  if (negate) {
    Fold(set);
    set.Negate();
  }
  Node n;
  n.kind = Node::Set;
  n.set = NewSet(std::move(set));
  out = NewNode(std::move(n));
  return true;
}

bool Regex::Impl::ParseAtom(int& out) {
  const char c = pattern[pos];
  Node n;
  if (c == '(') {
    ++pos;
    if (pos + 1 < pattern.size() && pattern[pos] == '?') {
      if (pattern[pos + 1] != ':') return Fail("Only (?: ) groups are known after (?.");
      pos += 2;
    }
    if (!ParseAlt(out)) return false;
    if (pos >= pattern.size() || pattern[pos] != ')') return Fail("A ( has no closing ).");
    ++pos;
    return true;
  }
  if (c == '[') {
    ++pos;
    return ParseClass(out);
  }
  CharSet set;
  if (c == '^' || c == '$') {
    ++pos;
    n.kind = Node::Assert;
    n.assert = c == '^' ? Op::Bol : Op::Eol;
    out = NewNode(std::move(n));
    return true;
  }
  if (c == '.') {
    ++pos;
    set.Add(0, 0xFFFF);
  } else if (c == '\\') {
    ++pos;
    bool isAssert = false;
    if (!ParseEscape(set, n.assert, isAssert, false)) return false;
    if (isAssert) {
      usesWords = true;
      n.kind = Node::Assert;
      out = NewNode(std::move(n));
      return true;
    }
  } else {
    const std::uint32_t v = NextChar();
    set.Add(v, v);
  }
  n.kind = Node::Set;
  n.set = NewSet(std::move(set));
  out = NewNode(std::move(n));
  return true;
}

}  // namespace vt9::logs
