// The simplest filter, to check the real one against: lines split one at a time, each term
// looked for at every position, and expressions matched by backtracking (fine on the tiny
// texts of tests and fuzzing). Single-byte code pages only.
#pragma once

#include <bitset>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "logs/line_filter.h"

namespace vt9::test {

// The lines of an ANSI single-byte text as the document hands them out: control bytes as '?'.
inline std::vector<std::string> ReferenceLines(const std::string& bytes) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c < 32 && c != '\t' ? '?' : char(c);
    }
  }
  return lines;
}

// A backtracking matcher; Parse gives false for what it does not understand.
class ReferenceRegex {
 public:
  ReferenceRegex(const logs::CodePage& cp, bool matchCase) : cp_(cp), matchCase_(matchCase) {}

  bool Parse(const std::string& pattern) {
    p_ = pattern;
    at_ = 0;
    root_ = std::make_unique<Node>();
    if (!Alt(*root_, 0) || at_ != p_.size()) return false;
    return true;
  }

  bool Search(const std::string& line) const {
    text_ = &line;
    for (std::size_t start = 0; start <= line.size(); ++start) {
      if (Match(*root_, start, [](std::size_t) { return true; })) return true;
    }
    return false;
  }

 private:
  struct Node {
    enum Kind { Set, Cat, Alt, Rep, Bol, Eol, WordB, NotWordB } kind = Cat;
    std::bitset<256> set;
    std::vector<std::unique_ptr<Node>> kids;
    int min = 0, max = 0;
  };
  using Cont = std::function<bool(std::size_t)>;

  bool Word(std::size_t i) const {
    return i < text_->size() && cp_.wordChar[static_cast<unsigned char>((*text_)[i])];
  }
  bool Match(const Node& n, std::size_t i, const Cont& k) const {
    const std::string& t = *text_;
    switch (n.kind) {
      case Node::Set:
        return i < t.size() && n.set[static_cast<unsigned char>(t[i])] && k(i + 1);
      case Node::Bol:
        return i == 0 && k(i);
      case Node::Eol:
        return i == t.size() && k(i);
      case Node::WordB:
        return (i > 0 && Word(i - 1)) != Word(i) && k(i);
      case Node::NotWordB:
        return (i > 0 && Word(i - 1)) == Word(i) && k(i);
      case Node::Alt:
        for (const auto& kid : n.kids) {
          if (Match(*kid, i, k)) return true;
        }
        return false;
      case Node::Cat:
        return MatchCat(n, 0, i, k);
      case Node::Rep:
        return MatchRep(n, 0, i, k);
    }
    return false;
  }
  bool MatchCat(const Node& n, std::size_t kid, std::size_t i, const Cont& k) const {
    if (kid == n.kids.size()) return k(i);
    return Match(*n.kids[kid], i, [&](std::size_t j) { return MatchCat(n, kid + 1, j, k); });
  }
  bool MatchRep(const Node& n, int count, std::size_t i, const Cont& k) const {
    if (n.max < 0 || count < n.max) {
      // Another round, but never an empty one (it would change nothing).
      if (Match(*n.kids[0], i, [&](std::size_t j) {
            return (j > i || count < n.min) && MatchRep(n, count + 1, j, k);
          })) {
        return true;
      }
    }
    return count >= n.min && k(i);
  }

  std::bitset<256> Folded(std::bitset<256> s) const {
    if (matchCase_) return s;
    std::bitset<256> out = s;
    for (int a = 0; a < 256; ++a) {
      for (int b = 0; b < 256; ++b) {
        if (s[std::size_t(b)] && cp_.upper[a] == cp_.upper[b]) out.set(std::size_t(a));
      }
    }
    return out;
  }
  bool Escape(std::bitset<256>& s, Node::Kind& assert, bool inClass) {
    if (at_ >= p_.size()) return false;
    const char c = p_[at_++];
    std::bitset<256> x;
    switch (c) {
      case 'd':
      case 'D':
        for (int b = '0'; b <= '9'; ++b) x.set(std::size_t(b));
        break;
      case 'w':
      case 'W':
        for (int b = 0; b < 256; ++b) x[std::size_t(b)] = cp_.wordChar[b];
        break;
      case 's':
      case 'S':
        for (int b : {' ', '\t', '\n', '\v', '\f', '\r'}) x.set(std::size_t(b));
        break;
      case 'b':
      case 'B':
        if (inClass) return false;
        assert = c == 'b' ? Node::WordB : Node::NotWordB;
        return true;
      case 't':
        x.set('\t');
        break;
      case 'n':
        x.set('\n');
        break;
      case 'r':
        x.set('\r');
        break;
      case 'f':
        x.set('\f');
        break;
      case 'v':
        x.set('\v');
        break;
      case 'x': {
        if (at_ + 2 > p_.size()) return false;
        const std::string h = p_.substr(at_, 2);
        if (!std::isxdigit(static_cast<unsigned char>(h[0])) ||
            !std::isxdigit(static_cast<unsigned char>(h[1]))) {
          return false;
        }
        x.set(std::size_t(std::stoi(h, nullptr, 16)));
        at_ += 2;
        break;
      }
      default:
        if (std::isalnum(static_cast<unsigned char>(c))) return false;
        x.set(static_cast<unsigned char>(c));
    }
    if (c == 'D' || c == 'W' || c == 'S') x = ~Folded(x);
    s |= x;
    return true;
  }
  bool Alt(Node& out, int depth) {
    if (depth > 64) return false;
    out.kind = Node::Alt;
    for (;;) {
      auto cat = std::make_unique<Node>();
      if (!Cat(*cat, depth)) return false;
      out.kids.push_back(std::move(cat));
      if (at_ < p_.size() && p_[at_] == '|') {
        ++at_;
        continue;
      }
      return true;
    }
  }
  bool Count(int& min, int& max) {
    std::size_t q = at_ + 1;
    auto num = [&](int& v) {
      const std::size_t s = q;
      v = 0;
      while (q < p_.size() && std::isdigit(static_cast<unsigned char>(p_[q]))) {
        v = std::min(v * 10 + (p_[q] - '0'), 100000);
        ++q;
      }
      return q > s;
    };
    if (!num(min)) return false;
    max = min;
    if (q < p_.size() && p_[q] == ',') {
      ++q;
      if (!num(max)) max = -1;
    }
    if (q >= p_.size() || p_[q] != '}') return false;
    at_ = q + 1;
    return true;
  }
  bool Cat(Node& out, int depth) {
    out.kind = Node::Cat;
    bool repeated = false;
    while (at_ < p_.size() && p_[at_] != '|' && p_[at_] != ')') {
      const char c = p_[at_];
      int min = 0, max = 0;
      bool q = false;
      if (c == '*' || c == '+' || c == '?') {
        ++at_;
        min = c == '+';
        max = c == '?' ? 1 : -1;
        q = true;
      } else if (c == '{') {
        q = Count(min, max);
        if (q && ((max >= 0 && max < min) || min > 1000 || max > 1000)) return false;
      }
      if (q) {
        if (out.kids.empty() || repeated) return false;
        const Node::Kind k = out.kids.back()->kind;
        if (k == Node::Bol || k == Node::Eol || k == Node::WordB || k == Node::NotWordB) {
          return false;
        }
        if (at_ < p_.size() && p_[at_] == '?') ++at_;
        auto rep = std::make_unique<Node>();
        rep->kind = Node::Rep;
        rep->min = min;
        rep->max = max;
        rep->kids.push_back(std::move(out.kids.back()));
        out.kids.back() = std::move(rep);
        repeated = true;
        continue;
      }
      repeated = false;
      auto atom = std::make_unique<Node>();
      ++at_;
      if (c == '(') {
        if (at_ + 1 < p_.size() && p_[at_] == '?') {
          if (p_[at_ + 1] != ':') return false;
          at_ += 2;
        }
        if (!Alt(*atom, depth + 1) || at_ >= p_.size() || p_[at_] != ')') return false;
        ++at_;
      } else if (c == '[') {
        atom->kind = Node::Set;
        bool negate = false;
        if (at_ < p_.size() && p_[at_] == '^') {
          negate = true;
          ++at_;
        }
        std::bitset<256> s;
        for (bool first = true;; first = false) {
          if (at_ >= p_.size()) return false;
          if (p_[at_] == ']' && !first) {
            ++at_;
            break;
          }
          std::bitset<256> item;
          int lo = -1;
          if (p_[at_] == '\\') {
            ++at_;
            Node::Kind a;
            const char e = at_ < p_.size() ? p_[at_] : 0;
            if (!Escape(item, a, true)) return false;
            if (item.count() == 1 && e != 'd' && e != 'w' && e != 's') {
              for (int b = 0; b < 256; ++b) {
                if (item[std::size_t(b)]) lo = b;
              }
            }
          } else {
            lo = static_cast<unsigned char>(p_[at_++]);
            item.set(std::size_t(lo));
          }
          if (lo >= 0 && at_ + 1 < p_.size() && p_[at_] == '-' && p_[at_ + 1] != ']') {
            ++at_;
            int hi = -1;
            if (p_[at_] == '\\') {
              ++at_;
              std::bitset<256> h;
              Node::Kind a;
              if (!Escape(h, a, true) || h.count() != 1) return false;
              for (int b = 0; b < 256; ++b) {
                if (h[std::size_t(b)]) hi = b;
              }
            } else {
              hi = static_cast<unsigned char>(p_[at_++]);
            }
            if (hi < lo) return false;
            for (int b = lo; b <= hi; ++b) item.set(std::size_t(b));
          }
          s |= item;
        }
        atom->set = negate ? ~Folded(s) : Folded(s);
      } else if (c == '^' || c == '$') {
        atom->kind = c == '^' ? Node::Bol : Node::Eol;
      } else if (c == '.') {
        atom->kind = Node::Set;
        atom->set.set();
      } else if (c == '\\') {
        atom->kind = Node::Set;
        Node::Kind a = Node::Set;
        if (!Escape(atom->set, a, false)) return false;
        if (a != Node::Set) {
          atom->kind = a;
        } else {
          atom->set = Folded(atom->set);
        }
      } else {
        atom->kind = Node::Set;
        atom->set.set(static_cast<unsigned char>(c));
        atom->set = Folded(atom->set);
      }
      out.kids.push_back(std::move(atom));
    }
    return true;
  }

  const logs::CodePage& cp_;
  bool matchCase_;
  std::string p_;
  std::size_t at_ = 0;
  std::unique_ptr<Node> root_;
  mutable const std::string* text_ = nullptr;
};

// Whether a plain term is in the line, looked for at every position.
inline bool ReferenceContains(const std::string& line, const std::string& term,
                              const logs::FilterOptions& o, const logs::CodePage& cp) {
  auto fold = [&](unsigned char c) {
    if (c < 32 && c != '\t') c = '?';
    return o.matchCase ? c : cp.upper[c];
  };
  for (std::size_t p = 0; p + term.size() <= line.size(); ++p) {
    bool same = true;
    for (std::size_t k = 0; k < term.size() && same; ++k) {
      same = fold(static_cast<unsigned char>(line[p + k])) ==
             fold(static_cast<unsigned char>(term[k]));
    }
    if (same && o.wholeWord) {
      if (p > 0 && cp.wordChar[static_cast<unsigned char>(line[p - 1])]) same = false;
      const std::size_t e = p + term.size();
      if (e < line.size() && cp.wordChar[static_cast<unsigned char>(line[e])]) same = false;
    }
    if (same) return true;
  }
  return false;
}

// The lines a filter shows, or false when the reference does not take one of the expressions.
inline bool ReferenceFilter(const std::vector<std::string>& lines,
                            const std::vector<logs::FilterTerm>& terms,
                            const logs::FilterOptions& o, const logs::CodePage& cp,
                            std::vector<std::int64_t>& out) {
  std::vector<std::unique_ptr<ReferenceRegex>> res;
  for (const auto& t : terms) {
    res.push_back(std::make_unique<ReferenceRegex>(cp, o.matchCase));
    if (o.regex && !t.text.empty() && !res.back()->Parse(t.text)) return false;
  }
  out.clear();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    bool any = false, include = false, exclude = false;
    for (std::size_t k = 0; k < terms.size(); ++k) {
      if (terms[k].text.empty()) continue;
      const bool hit =
          o.regex ? res[k]->Search(lines[i]) : ReferenceContains(lines[i], terms[k].text, o, cp);
      if (terms[k].exclude) {
        exclude = exclude || hit;
      } else {
        any = true;
        include = include || hit;
      }
    }
    if ((!any || include) && !exclude) out.push_back(std::int64_t(i));
  }
  return true;
}

}  // namespace vt9::test
