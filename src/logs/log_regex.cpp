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

#include "logs/log_regex_impl.h"

namespace vt9::logs {

using namespace regex_detail;

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
