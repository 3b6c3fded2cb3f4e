// The expression is parsed into a tree (recursion bounded by the nesting allowed), the tree
// compiled into a Thompson program, and the program run over a line as a set of states, each
// character once. The sets met are cached as DFA states with their transitions over classes of
// characters (characters no part of the pattern tells apart share a class), built as they are
// needed, so a line costs a table look-up a character once the cache is warm.
#include "logs/log_regex.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

namespace vt9::logs {

namespace {

constexpr std::size_t kMaxPatternBytes = 4096;
constexpr int kMaxNesting = 64;
constexpr int kMaxRepeat = 1000;
constexpr std::size_t kMaxProgram = 20000;
constexpr std::size_t kMaxDfaBytes = std::size_t(4) << 20;
constexpr char kTooComplex[] = "The expression is too complex.";

// A set of characters as sorted, disjoint, inclusive ranges of values (bytes, or a lead byte
// times 256 plus its trail byte).
struct CharSet {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;

  void Add(std::uint32_t lo, std::uint32_t hi) { ranges.emplace_back(lo, hi); }
  void Normalize() {
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<std::uint32_t, std::uint32_t>> merged;
    for (const auto& r : ranges) {
      if (!merged.empty() && r.first <= merged.back().second + 1) {
        merged.back().second = std::max(merged.back().second, r.second);
      } else {
        merged.push_back(r);
      }
    }
    ranges.swap(merged);
  }
  void Negate() {
    Normalize();
    std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
    std::uint32_t next = 0;
    for (const auto& r : ranges) {
      if (r.first > next) out.emplace_back(next, r.first - 1);
      next = r.second + 1;
    }
    if (next <= 0xFFFF) out.emplace_back(next, 0xFFFF);
    ranges.swap(out);
  }
  void AddSet(const CharSet& other) {
    ranges.insert(ranges.end(), other.ranges.begin(), other.ranges.end());
  }
  bool Contains(std::uint32_t v) const {
    for (const auto& r : ranges) {
      if (v >= r.first && v <= r.second) return true;
    }
    return false;
  }
};

enum class Op : std::uint8_t { Char, Split, Jmp, Bol, Eol, WordB, NotWordB, Match };

struct Inst {
  Op op = Op::Match;
  int set = 0;  // Char: the set's index
  int x = 0;    // Char, Jmp, assertions: next; Split: first choice
  int y = 0;    // Split: second choice
};

struct Node {
  enum Kind { Empty, Set, Cat, Alt, Repeat, Assert } kind = Empty;
  int set = 0;
  Op assert = Op::Bol;
  int min = 0, max = 0;  // Repeat; max -1 for no limit
  std::vector<int> kids;
};

}  // namespace

struct Regex::Impl {
  const CodePage* cp = nullptr;
  bool matchCase = false;
  bool doubleByte = false;
  std::vector<CharSet> sets;
  std::vector<Node> nodes;
  std::vector<Inst> program;
  std::vector<std::string> literals;

  // Character classes.
  std::vector<std::uint16_t> classOf;  // 256 or 65536 entries
  int classes = 0;
  std::vector<std::uint8_t> classWord;    // per class
  std::vector<std::uint8_t> setHasClass;  // [set * classes + class]
  bool usesWords = false;

  // The DFA cache.
  struct State {
    std::vector<int> kernel;
    bool atStart = false;
    bool prevWord = false;
    int acceptsAtEnd = -1;
  };
  mutable std::mutex cacheMutex;
  mutable std::vector<State> states;
  mutable std::map<std::pair<int, std::vector<int>>, int> stateIds;
  mutable std::vector<int> trans;  // [state * classes + class]: -1 unknown, -2 a match

  // ---- Parsing ----
  std::string_view pattern;
  std::size_t pos = 0;
  std::string error;
  int depth = 0;

  bool Fail(const std::string& why) {
    if (error.empty()) error = why;
    return false;
  }
  int NewNode(Node n) {
    nodes.push_back(std::move(n));
    return int(nodes.size()) - 1;
  }
  int NewSet(CharSet s) {
    Fold(s);
    sets.push_back(std::move(s));
    return int(sets.size()) - 1;
  }
  bool WordValue(std::uint32_t v) const;
  CharSet WordSet() const;
  std::uint32_t NextChar();  // a literal character of the pattern at pos
  bool ParseAlt(int& out);
  bool ParseCat(int& out);
  bool ParseAtom(int& out);
  bool ParseClass(int& out);
  bool ParseEscape(CharSet& set, Op& assert, bool& isAssert, bool inClass);
  bool ParseCount(int& min, int& max);

  // ---- Compiling ----
  bool Emit(int node);
  void BuildClasses();
  // Without match case, adds to a set every character with the same fold as one in it (before
  // a set is negated, so [^x] leaves out X too).
  void Fold(CharSet& set) const;

  // ---- Running ----
  void Closure(const std::vector<int>& kernel, bool atStart, bool atEnd, bool prevWord,
               bool nextWord, std::vector<int>& chars, bool& matched,
               std::vector<std::uint32_t>& seen, std::uint32_t& mark) const;
  // The next state's kernel from `kernel` on class c; false when a match ends before c.
  bool Step(const std::vector<int>& kernel, bool atStart, bool prevWord, int c,
            std::vector<int>& next) const;
  bool EndMatches(const std::vector<int>& kernel, bool atStart, bool prevWord) const;
  int StateOf(std::vector<int> kernel, bool atStart, bool prevWord) const;
  bool SearchNfa(std::string_view line) const;
  bool SearchDfa(std::string_view line) const;
  mutable std::vector<std::uint32_t> seenDfa;
  mutable std::uint32_t markDfa = 0;

  template <class F>
  void ForEachChar(std::string_view line, F&& f) const {
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t n = line.size();
    if (!doubleByte) {
      for (std::size_t i = 0; i < n; ++i) {
        if (!f(p[i])) return;
      }
      return;
    }
    for (std::size_t i = 0; i < n;) {
      std::uint32_t v = p[i];
      if (cp->leadByte[v] && i + 1 < n) {
        v = v << 8 | p[i + 1];
        i += 2;
      } else {
        ++i;
      }
      if (!f(v)) return;
    }
  }
};

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

// ---- Compiling ------------------------------------------------------------------------------

bool Regex::Impl::Emit(int index) {
  const Node& n = nodes[std::size_t(index)];
  auto add = [&](Inst inst) {
    program.push_back(inst);
    return program.size() <= kMaxProgram || Fail(kTooComplex);
  };
  auto here = [&] { return int(program.size()); };
  switch (n.kind) {
    case Node::Empty:
      return true;
    case Node::Set:
      return add({Op::Char, n.set, here() + 1, 0});
    case Node::Assert:
      return add({n.assert, 0, here() + 1, 0});
    case Node::Cat:
      for (int kid : n.kids) {
        if (!Emit(kid)) return false;
      }
      return true;
    case Node::Alt: {
      std::vector<int> jumps;
      for (std::size_t k = 0; k < n.kids.size(); ++k) {
        int split = -1;
        if (k + 1 < n.kids.size()) {
          split = here();
          if (!add({Op::Split, 0, here() + 1, 0})) return false;
        }
        if (!Emit(n.kids[k])) return false;
        if (k + 1 < n.kids.size()) {
          jumps.push_back(here());
          if (!add({Op::Jmp, 0, 0, 0})) return false;
          program[std::size_t(split)].y = here();
        }
      }
      for (int j : jumps) program[std::size_t(j)].x = here();
      return true;
    }
    case Node::Repeat: {
      const int kid = n.kids[0];
      for (int k = 0; k < n.min; ++k) {
        if (!Emit(kid)) return false;
      }
      if (n.max < 0) {
        const int loop = here();
        if (!add({Op::Split, 0, loop + 1, 0})) return false;
        if (!Emit(kid)) return false;
        if (!add({Op::Jmp, 0, loop, 0})) return false;
        program[std::size_t(loop)].y = here();
        return true;
      }
      std::vector<int> splits;
      for (int k = n.min; k < n.max; ++k) {
        splits.push_back(here());
        if (!add({Op::Split, 0, here() + 1, 0})) return false;
        if (!Emit(kid)) return false;
      }
      for (int sp : splits) program[std::size_t(sp)].y = here();
      return true;
    }
  }
  return true;
}

void Regex::Impl::Fold(CharSet& set) const {
  if (matchCase) {
    set.Normalize();
    return;
  }
  const unsigned char* upper = cp->upper;
  bool folded[256] = {};
  for (const auto& r : set.ranges) {
    for (std::uint32_t v = r.first; v <= std::min<std::uint32_t>(r.second, 255); ++v) {
      folded[upper[v]] = true;
    }
  }
  for (std::uint32_t b = 0; b < 256; ++b) {
    if (folded[upper[b]]) set.Add(b, b);
  }
  set.Normalize();
}

void Regex::Impl::BuildClasses() {
  const std::uint32_t alphabet = doubleByte ? 0x10000 : 0x100;
  CharSet word;
  if (usesWords) word = WordSet();
  std::vector<std::uint32_t> cuts = {0, alphabet};
  auto cutsOf = [&](const CharSet& s) {
    for (const auto& r : s.ranges) {
      if (r.first < alphabet) cuts.push_back(r.first);
      if (r.second + 1 < alphabet) cuts.push_back(r.second + 1);
    }
  };
  for (const CharSet& s : sets) cutsOf(s);
  cutsOf(word);
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  classOf.assign(alphabet, 0);
  std::map<std::vector<bool>, int> ids;
  std::vector<std::vector<bool>> signatures;
  // Each set's ranges are walked with a cursor as the intervals go up.
  std::vector<std::size_t> cursor(sets.size() + 1, 0);
  auto inSet = [&](const CharSet& s, std::size_t& at, std::uint32_t v) {
    while (at < s.ranges.size() && s.ranges[at].second < v) ++at;
    return at < s.ranges.size() && s.ranges[at].first <= v;
  };
  for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
    std::vector<bool> sig(sets.size() + 1);
    for (std::size_t i = 0; i < sets.size(); ++i) sig[i] = inSet(sets[i], cursor[i], cuts[k]);
    sig[sets.size()] = inSet(word, cursor[sets.size()], cuts[k]);
    auto it = ids.find(sig);
    if (it == ids.end()) {
      it = ids.emplace(sig, int(signatures.size())).first;
      signatures.push_back(sig);
    }
    std::fill(classOf.begin() + cuts[k], classOf.begin() + cuts[k + 1], std::uint16_t(it->second));
  }
  // Control characters reach a filter as '?', as the document hands out a line's text.
  for (std::uint32_t b = 0; b < 32; ++b) {
    if (b != '\t') classOf[b] = classOf['?'];
  }
  classes = int(signatures.size());
  classWord.assign(std::size_t(classes), 0);
  setHasClass.assign(sets.size() * std::size_t(classes), 0);
  for (int c = 0; c < classes; ++c) {
    const std::vector<bool>& sig = signatures[std::size_t(c)];
    classWord[std::size_t(c)] = sig[sets.size()];
    for (std::size_t i = 0; i < sets.size(); ++i) {
      setHasClass[i * std::size_t(classes) + std::size_t(c)] = sig[i];
    }
  }
}

// ---- Running --------------------------------------------------------------------------------

void Regex::Impl::Closure(const std::vector<int>& kernel, bool atStart, bool atEnd, bool prevWord,
                          bool nextWord, std::vector<int>& chars, bool& matched,
                          std::vector<std::uint32_t>& seen, std::uint32_t& mark) const {
  if (seen.size() != program.size()) {
    seen.assign(program.size(), 0);
    mark = 0;
  }
  if (++mark == 0) {
    std::fill(seen.begin(), seen.end(), 0);
    mark = 1;
  }
  chars.clear();
  matched = false;
  std::vector<int> stack(kernel.rbegin(), kernel.rend());
  stack.push_back(0);  // a match may start at any character
  while (!stack.empty()) {
    const int pc = stack.back();
    stack.pop_back();
    if (seen[std::size_t(pc)] == mark) continue;
    seen[std::size_t(pc)] = mark;
    const Inst& inst = program[std::size_t(pc)];
    switch (inst.op) {
      case Op::Char:
        chars.push_back(pc);
        break;
      case Op::Match:
        matched = true;
        break;
      case Op::Jmp:
        stack.push_back(inst.x);
        break;
      case Op::Split:
        stack.push_back(inst.y);
        stack.push_back(inst.x);
        break;
      case Op::Bol:
        if (atStart) stack.push_back(inst.x);
        break;
      case Op::Eol:
        if (atEnd) stack.push_back(inst.x);
        break;
      case Op::WordB:
        if (prevWord != nextWord) stack.push_back(inst.x);
        break;
      case Op::NotWordB:
        if (prevWord == nextWord) stack.push_back(inst.x);
        break;
    }
  }
}

bool Regex::Impl::Step(const std::vector<int>& kernel, bool atStart, bool prevWord, int c,
                       std::vector<int>& next) const {
  std::vector<int> chars;
  bool matched = false;
  thread_local std::vector<std::uint32_t> seen;
  thread_local std::uint32_t mark = 0;
  Closure(kernel, atStart, false, prevWord, classWord[std::size_t(c)] != 0, chars, matched, seen,
          mark);
  if (matched) return false;
  next.clear();
  for (int pc : chars) {
    const Inst& inst = program[std::size_t(pc)];
    if (setHasClass[std::size_t(inst.set) * std::size_t(classes) + std::size_t(c)]) {
      next.push_back(inst.x);
    }
  }
  std::sort(next.begin(), next.end());
  next.erase(std::unique(next.begin(), next.end()), next.end());
  return true;
}

bool Regex::Impl::EndMatches(const std::vector<int>& kernel, bool atStart, bool prevWord) const {
  std::vector<int> chars;
  bool matched = false;
  thread_local std::vector<std::uint32_t> seen;
  thread_local std::uint32_t mark = 0;
  Closure(kernel, atStart, true, prevWord, false, chars, matched, seen, mark);
  return matched;
}

bool Regex::Impl::SearchNfa(std::string_view line) const {
  std::vector<int> kernel, next;
  bool atStart = true;
  bool prevWord = false;
  bool found = false;
  ForEachChar(line, [&](std::uint32_t v) {
    const int c = classOf[v];
    if (!Step(kernel, atStart, prevWord, c, next)) {
      found = true;
      return false;
    }
    kernel.swap(next);
    atStart = false;
    prevWord = classWord[std::size_t(c)] != 0;
    return true;
  });
  return found || EndMatches(kernel, atStart, prevWord);
}

int Regex::Impl::StateOf(std::vector<int> kernel, bool atStart, bool prevWord) const {
  const int flags = (atStart ? 1 : 0) | (prevWord ? 2 : 0);
  auto key = std::make_pair(flags, std::move(kernel));
  const auto it = stateIds.find(key);
  if (it != stateIds.end()) return it->second;
  const int id = int(states.size());
  states.push_back(State{key.second, atStart, prevWord, -1});
  trans.resize(states.size() * std::size_t(classes), -1);
  stateIds.emplace(std::move(key), id);
  return id;
}

bool Regex::Impl::SearchDfa(std::string_view line) const {
  // A cache grown past its limit starts again; the line goes on from the state it was in.
  auto cacheFull = [&] { return trans.size() * sizeof(int) + states.size() * 64 > kMaxDfaBytes; };
  if (states.empty()) StateOf({}, true, false);
  int s = 0;
  std::vector<int> next;
  bool found = false;
  ForEachChar(line, [&](std::uint32_t v) {
    const int c = classOf[v];
    int t = trans[std::size_t(s) * std::size_t(classes) + std::size_t(c)];
    if (t == -1) {
      const State& st = states[std::size_t(s)];
      if (!Step(st.kernel, st.atStart, st.prevWord, c, next)) {
        t = -2;
      } else {
        if (cacheFull()) {
          const State keep = states[std::size_t(s)];
          states.clear();
          stateIds.clear();
          trans.clear();
          StateOf({}, true, false);
          s = StateOf(keep.kernel, keep.atStart, keep.prevWord);
        }
        t = StateOf(next, false, classWord[std::size_t(c)] != 0);
      }
      trans[std::size_t(s) * std::size_t(classes) + std::size_t(c)] = t;
    }
    if (t == -2) {
      found = true;
      return false;
    }
    s = t;
    return true;
  });
  if (found) return true;
  State& st = states[std::size_t(s)];
  if (st.acceptsAtEnd < 0) st.acceptsAtEnd = EndMatches(st.kernel, st.atStart, st.prevWord);
  return st.acceptsAtEnd != 0;
}

// ---- Literals every match holds -------------------------------------------------------------

namespace {

constexpr std::size_t kMaxLiterals = 16;
constexpr std::size_t kMaxLiteralBytes = 64;

struct Literals {
  bool exact = false;     // `strings` are all the node matches
  bool required = false;  // one of `strings` is in every match
  std::vector<std::string> strings;
};

std::size_t Shortest(const std::vector<std::string>& s) {
  std::size_t m = SIZE_MAX;
  for (const auto& x : s) m = std::min(m, x.size());
  return s.empty() ? 0 : m;
}

bool Better(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (Shortest(a) != Shortest(b)) return Shortest(a) > Shortest(b);
  return a.size() < b.size();
}

bool Product(const std::vector<std::string>& a, const std::vector<std::string>& b,
             std::vector<std::string>& out) {
  if (a.size() * b.size() > kMaxLiterals) return false;
  out.clear();
  for (const auto& x : a) {
    for (const auto& y : b) {
      if (x.size() + y.size() > kMaxLiteralBytes) return false;
      out.push_back(x + y);
    }
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return true;
}

}  // namespace

struct LiteralFinder {
  const Regex::Impl& re;
  // The one character a set stands for (its fold without match case), or none.
  bool Single(const CharSet& set, std::string& out) const {
    std::uint32_t first = 0;
    bool have = false;
    for (const auto& r : set.ranges) {
      for (std::uint32_t v = r.first; v <= r.second; ++v) {
        std::uint32_t f = v;
        if (v < 256 && !re.matchCase) f = re.cp->upper[v];
        if (have && f != first) return false;
        first = f;
        have = true;
        if (r.second - r.first > 256) return false;
      }
    }
    if (!have || first < 32) return false;  // control characters reach a filter as '?'
    out = first < 256 ? std::string(1, char(first))
                      : std::string{char(first >> 8), char(first & 0xFF)};
    return true;
  }
  Literals Of(int index) const {
    const Node& n = re.nodes[std::size_t(index)];
    Literals out;
    switch (n.kind) {
      case Node::Empty:
      case Node::Assert:
        out.exact = true;
        out.strings = {""};
        return out;
      case Node::Set: {
        std::string c;
        if (Single(re.sets[std::size_t(n.set)], c)) {
          out.exact = true;
          out.strings = {c};
        }
        return out;
      }
      case Node::Alt: {
        out.exact = out.required = true;
        for (int kid : n.kids) {
          Literals k = Of(kid);
          out.exact = out.exact && k.exact;
          const bool useful = (k.exact || k.required) && Shortest(k.strings) > 0;
          out.required = out.required && useful;
          out.strings.insert(out.strings.end(), k.strings.begin(), k.strings.end());
          if (out.strings.size() > kMaxLiterals) return Literals{};
        }
        if (!out.exact && !out.required) out.strings.clear();
        if (out.exact && Shortest(out.strings) > 0) out.required = true;
        return out;
      }
      case Node::Cat: {
        std::vector<std::string> run = {""};
        bool allExact = true;
        std::vector<std::string> best;
        auto consider = [&](const std::vector<std::string>& c) {
          if (Shortest(c) > 0 && (best.empty() || Better(c, best))) best = c;
        };
        for (int kid : n.kids) {
          Literals k = Of(kid);
          std::vector<std::string> joined;
          if (k.exact && Product(run, k.strings, joined)) {
            run = joined;
            continue;
          }
          consider(run);
          if (k.required) consider(k.strings);
          allExact = false;
          run = k.exact ? k.strings : std::vector<std::string>{""};
        }
        consider(run);
        if (allExact && run.size() <= kMaxLiterals) {
          // Every kid joined into one run.
          out.exact = true;
          out.strings = run;
          out.required = Shortest(run) > 0;
          return out;
        }
        out.required = !best.empty();
        out.strings = best;
        return out;
      }
      case Node::Repeat: {
        if (n.min == 0) {
          if (n.max == 0) {
            out.exact = true;
            out.strings = {""};
          }
          return out;
        }
        Literals k = Of(n.kids[0]);
        if (k.exact || k.required) {
          out.required = Shortest(k.strings) > 0;
          if (out.required) out.strings = k.strings;
        }
        return out;
      }
    }
    return out;
  }
};

// ---- The expression -------------------------------------------------------------------------

Regex::Regex(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Regex::~Regex() = default;

std::unique_ptr<Regex> Regex::Compile(std::string_view pattern, bool matchCase, const CodePage& cp,
                                      std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return nullptr;
  };
  if (pattern.size() > kMaxPatternBytes) return fail(kTooComplex);
  auto impl = std::make_unique<Impl>();
  Impl& re = *impl;
  re.cp = &cp;
  re.matchCase = matchCase;
  for (bool lead : cp.leadByte) re.doubleByte = re.doubleByte || lead;
  re.pattern = pattern;
  int root = 0;
  if (!re.ParseAlt(root)) return fail(re.error);
  if (re.pos < pattern.size()) return fail("A ) has no opening (.");
  if (!re.Emit(root)) return fail(re.error);
  re.program.push_back({Op::Match, 0, 0, 0});
  re.BuildClasses();
  const Literals lits = LiteralFinder{re}.Of(root);
  if ((lits.exact || lits.required) && Shortest(lits.strings) > 0) re.literals = lits.strings;
  re.pattern = {};
  return std::unique_ptr<Regex>(new Regex(std::move(impl)));
}

bool Regex::Search(std::string_view line) const {
  std::unique_lock<std::mutex> lock(impl_->cacheMutex, std::try_to_lock);
  // Another thread has the cache: run without it, in linear time all the same.
  if (!lock.owns_lock()) return impl_->SearchNfa(line);
  return impl_->SearchDfa(line);
}

bool Regex::SearchWithoutCache(std::string_view line) const { return impl_->SearchNfa(line); }

const std::vector<std::string>& Regex::RequiredLiterals() const { return impl_->literals; }

}  // namespace vt9::logs
