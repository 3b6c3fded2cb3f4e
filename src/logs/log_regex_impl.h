// The inner state of a compiled expression, shared by its parser (log_regex_parse.cpp) and
// its compiler and runner (log_regex.cpp).
#pragma once

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "logs/log_regex.h"

namespace vt9::logs {

namespace regex_detail {

inline constexpr std::size_t kMaxPatternBytes = 4096;
inline constexpr int kMaxNesting = 64;
inline constexpr int kMaxRepeat = 1000;
inline constexpr std::size_t kMaxProgram = 20000;
inline constexpr std::size_t kMaxDfaBytes = std::size_t(4) << 20;
inline constexpr char kTooComplex[] = "The expression is too complex.";

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

}  // namespace regex_detail

using regex_detail::CharSet;
using regex_detail::Inst;
using regex_detail::Node;
using regex_detail::Op;

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

}  // namespace vt9::logs
