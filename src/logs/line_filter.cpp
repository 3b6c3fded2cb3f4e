#include "logs/line_filter.h"

#include <cstring>

#include "logs/filter_scan.h"
#include "logs/log_regex.h"
#include "logs/log_scan.h"

namespace vt9::logs {

struct LineFilter::Term {
  std::string text;     // as typed
  std::string pattern;  // a plain term: its bytes, folded without match case
  std::unique_ptr<Regex> regex;
};

LineFilter::LineFilter(const FilterOptions& options, const CodePage& cp)
    : options_(options), cp_(cp) {
  for (bool lead : cp_.leadByte) doubleByte_ = doubleByte_ || lead;
  for (int b = 0; b < 256; ++b) {
    const bool control = b < 32 && b != '\t';
    fold_[b] = control ? '?' : options_.matchCase ? static_cast<unsigned char>(b) : cp_.upper[b];
  }
}

LineFilter::~LineFilter() = default;

std::unique_ptr<LineFilter> LineFilter::Compile(const std::vector<FilterTerm>& terms,
                                                const FilterOptions& options, const CodePage& cp,
                                                std::string* error) {
  std::unique_ptr<LineFilter> filter(new LineFilter(options, cp));
  for (const FilterTerm& t : terms) {
    if (t.text.empty()) continue;
    Term term;
    term.text = t.text;
    if (options.regex) {
      std::string why;
      term.regex = Regex::Compile(t.text, options.matchCase, filter->cp_, &why);
      if (!term.regex) {
        if (error) *error = "\"" + t.text + "\": " + why;
        return nullptr;
      }
    } else {
      term.pattern = t.text;
      {
        for (std::size_t i = 0; i < term.pattern.size(); ++i) {
          const auto b = static_cast<unsigned char>(term.pattern[i]);
          if (filter->doubleByte_ && cp.leadByte[b] && i + 1 < term.pattern.size()) {
            ++i;  // the trail byte of a pair is never folded
          } else {
            term.pattern[i] = char(filter->fold_[b]);
          }
        }
      }
    }
    (t.exclude ? filter->exclude_ : filter->include_).push_back(std::move(term));
  }
  if (filter->include_.empty() && filter->exclude_.empty()) {
    if (error) *error = "Type a word to look for.";
    return nullptr;
  }
  return filter;
}

namespace {

// Whether the character at line[i] (a byte, or a double-byte pair) is a letter or digit.
bool WordAt(const CodePage& cp, bool doubleByte, std::string_view line, std::size_t i) {
  const auto b = static_cast<unsigned char>(line[i]);
  if (doubleByte && cp.leadByte[b] && i + 1 < line.size()) {
    if (!cp.toUtf16 || !cp.isWordChar16) return false;
    const std::u16string u = cp.toUtf16(line.substr(i, 2));
    return u.size() == 1 && cp.isWordChar16(u[0]);
  }
  return cp.wordChar[b];
}

}  // namespace

bool LineFilter::TermMatches(const Term& term, std::string_view line) const {
  if (term.regex) return term.regex->Search(line);
  const std::string& p = term.pattern;
  const std::size_t m = p.size();
  std::size_t prev = std::string_view::npos;  // the start of the character before i
  for (std::size_t i = 0; i + m <= line.size();) {
    const auto b = static_cast<unsigned char>(line[i]);
    const std::size_t width = doubleByte_ && cp_.leadByte[b] && i + 1 < line.size() ? 2 : 1;
    bool same = true;
    std::size_t k = 0;
    while (same && k < m) {
      const auto t = static_cast<unsigned char>(line[i + k]);
      const auto q = static_cast<unsigned char>(p[k]);
      if (doubleByte_ && cp_.leadByte[t] && i + k + 1 < line.size()) {
        // A pair: both bytes as they are, and the term must hold the whole pair.
        same = k + 1 < m && t == q && line[i + k + 1] == p[k + 1];
        k += 2;
      } else {
        same = fold_[t] == q;
        ++k;
      }
    }
    if (same && options_.wholeWord) {
      if (prev != std::string_view::npos && WordAt(cp_, doubleByte_, line, prev)) same = false;
      if (i + m < line.size() && WordAt(cp_, doubleByte_, line, i + m)) same = false;
    }
    if (same) return true;
    prev = i;
    i += width;
  }
  return false;
}

bool LineFilter::Matches(std::string_view line) const {
  for (const Term& t : exclude_) {
    if (TermMatches(t, line)) return false;
  }
  if (include_.empty()) return true;
  for (const Term& t : include_) {
    if (TermMatches(t, line)) return true;
  }
  return false;
}

namespace {

// How often a byte turns up in a log, roughly (letters as in English text, digits and the
// punctuation of times and paths often): the key of a literal is its rarest byte.
double ByteCost(int b) {
  static const double letters[26] = {8.2,  1.5, 2.8, 4.3, 12.7, 2.2,  2.0, 6.1, 7.0,
                                     0.15, 0.8, 4.0, 2.4, 6.7,  7.5,  1.9, 0.1, 6.0,
                                     6.3,  9.1, 2.8, 1.0, 2.4,  0.15, 2.0, 0.07};
  if (b == ' ') return 15;
  if (b >= 'a' && b <= 'z') return letters[b - 'a'];
  if (b >= 'A' && b <= 'Z') return letters[b - 'A'] / 8;
  if (b >= '0' && b <= '9') return 5;
  if (b == '.' || b == ':' || b == '-' || b == '/' || b == '\\' || b == '_') return 3;
  if (b >= 128) return 0.2;
  return 0.5;
}

}  // namespace

void LineFilter::ChooseKeys(const std::uint8_t* sample, std::size_t n) {
  keyCount_ = 0;
  if (include_.empty() || doubleByte_) return;
  // How often each byte is in the sample, a little of the rough guess mixed in for bytes the
  // sample happens not to hold.
  double costs[256];
  {
    std::size_t counts[256] = {};
    for (std::size_t i = 0; i < n; ++i) ++counts[sample[i]];
    for (int x = 0; x < 256; ++x) {
      costs[x] = n ? double(counts[x]) * 100.0 / double(n) + ByteCost(x) / 100 : ByteCost(x);
    }
  }
  bool key[256] = {};
  std::size_t count = 0;
  std::vector<std::string> literals;
  std::vector<std::size_t> offsets;
  for (const Term& t : include_) {
    const std::vector<std::string> plain = {t.pattern};
    const std::vector<std::string>& lits = t.regex ? t.regex->RequiredLiterals() : plain;
    if (lits.empty()) return;  // this term may match any line
    for (const std::string& lit : lits) {
      if (lit.size() > 0xFFFF) return;
      std::string folded;
      for (char ch : lit) folded += char(fold_[static_cast<unsigned char>(ch)]);
      int best = -1;
      std::size_t bestAt = 0;
      double bestCost = 1e300;
      for (std::size_t k = 0; k < folded.size(); ++k) {
        const auto c = static_cast<unsigned char>(folded[k]);
        if (c == '?') continue;  // control bytes would need looking for too
        double cost = 0;
        for (int x = 0; x < 256; ++x) {
          // A byte already looked for costs nothing more.
          if (fold_[x] == c && !key[x]) cost += costs[x];
        }
        if (cost < bestCost) {
          bestCost = cost;
          best = c;
          bestAt = k;
        }
      }
      if (best < 0) return;
      for (int x = 0; x < 256; ++x) {
        if (fold_[x] == best && !key[x]) {
          key[x] = true;
          ++count;
        }
      }
      literals.push_back(folded);
      offsets.push_back(bestAt);
    }
  }
  if (literals.size() > 0xFFFF) return;
  // Pairs: for each literal the two bytes in a row least often together (as far as the
  // sample's single-byte counts tell).
  std::vector<std::uint32_t> bigrams(65536, 0);
  for (std::size_t i = 0; i + 1 < n; ++i) ++bigrams[std::size_t(sample[i]) << 8 | sample[i + 1]];
  std::vector<std::size_t> pairAt;
  std::vector<BytePair> pairs;
  auto forms = [&](unsigned char c, std::uint8_t out[2]) {
    int found = 0;
    for (int x = 0; x < 256; ++x) {
      if (fold_[x] != c) continue;
      if (found < 2) out[found] = std::uint8_t(x);
      ++found;
    }
    if (found == 1) out[1] = out[0];
    return found >= 1 && found <= 2 && c != '?';
  };
  for (const std::string& lit : literals) {
    double best = 1e300;
    std::size_t at = 0;
    BytePair pair{};
    for (std::size_t k = 0; k + 1 < lit.size(); ++k) {
      BytePair q{};
      const auto a = static_cast<unsigned char>(lit[k]);
      const auto b = static_cast<unsigned char>(lit[k + 1]);
      if (!forms(a, q.a) || !forms(b, q.b)) continue;
      // How often the pair is in the sample, the single bytes' guess breaking ties.
      double cost = (costs[q.a[0]] + costs[q.a[1]]) * (costs[q.b[0]] + costs[q.b[1]]) / 1e4;
      for (std::uint8_t x : {q.a[0], q.a[1]}) {
        for (std::uint8_t y : {q.b[0], q.b[1]}) cost += bigrams[std::size_t(x) << 8 | y];
        if (q.a[1] == q.a[0]) break;
      }
      if (cost < best) {
        best = cost;
        at = k;
        pair = q;
      }
    }
    if (best == 1e300) break;
    pairs.push_back(pair);
    pairAt.push_back(at);
  }
  if (pairs.size() == literals.size() && pairs.size() <= kMaxPairs) {
    literals_ = literals;
    pairCount_ = pairs.size();
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      pairs_[i] = pairs[i];
      keyAt_[pairs[i].a[0]].push_back({std::uint16_t(i), std::uint16_t(pairAt[i])});
      if (pairs[i].a[1] != pairs[i].a[0]) {
        keyAt_[pairs[i].a[1]].push_back({std::uint16_t(i), std::uint16_t(pairAt[i])});
      }
    }
    return;
  }
  if (count > kMaxKeyBytes) return;
  for (int x = 0; x < 256; ++x) {
    if (key[x]) keys_[keyCount_++] = std::uint8_t(x);
  }
  literals_ = literals;
  for (std::size_t i = 0; i < literals.size(); ++i) {
    const auto c = static_cast<unsigned char>(literals[i][offsets[i]]);
    for (int x = 0; x < 256; ++x) {
      if (fold_[x] == c) keyAt_[x].push_back({std::uint16_t(i), std::uint16_t(offsets[i])});
    }
  }
}

std::int64_t LineFilter::MatchLines(const std::uint8_t* p, std::size_t n, std::int64_t firstLine,
                                    bool final, std::vector<std::int64_t>& out) const {
  std::call_once(keysChosen_, [&] {
    const_cast<LineFilter*>(this)->ChooseKeys(p, std::min<std::size_t>(n, 256 * 1024));
  });
  std::int64_t line = firstLine;
  auto matchLine = [&](std::size_t s, std::size_t e) {
    if (Matches(std::string_view(reinterpret_cast<const char*>(p) + s, e - s))) {
      out.push_back(line);
    }
  };
  auto afterBreak = [&](std::size_t b) {
    return b + (p[b] == '\r' && b + 1 < n && p[b + 1] == '\n' ? 2 : 1);
  };
  if (keyCount_ == 0 && pairCount_ == 0) {
    for (std::size_t s = 0;;) {
      const std::size_t b = FindLineBreak(p, s, n);
      if (b == n) {
        if (final) {
          matchLine(s, n);
          ++line;
        }
        return line - firstLine;
      }
      matchLine(s, b);
      ++line;
      s = afterBreak(b);
    }
  }
  std::size_t pos = 0;   // always a line's start
  std::size_t from = 0;  // where to look for the next key byte
  for (;;) {
    const std::size_t h = pairCount_ ? FindAnyPair(p, from, n, pairs_, pairCount_)
                                     : FindAnyByte(p, from, n, keys_, keyCount_);
    if (h == n) break;
    // A candidate only where one of the literals is there in full.
    bool literal = false;
    for (const KeyAt& at : keyAt_[p[h]]) {
      const std::string& lit = literals_[at.literal];
      if (h < at.offset || h - at.offset + lit.size() > n) continue;
      const std::uint8_t* t = p + (h - at.offset);
      std::size_t k = 0;
      while (k < lit.size() && fold_[t[k]] == static_cast<unsigned char>(lit[k]) && t[k] != '\r' &&
             t[k] != '\n') {
        ++k;
      }
      if (k == lit.size()) {
        literal = true;
        break;
      }
    }
    if (!literal) {
      from = h + 1;
      continue;
    }
    line += CountBreaks(p, pos, h, n);
    std::size_t s = h;
    while (s > pos && p[s - 1] != '\r' && p[s - 1] != '\n') --s;
    const std::size_t b = FindLineBreak(p, h, n);
    matchLine(s, b);
    if (b == n) return line + (final ? 1 : 0) - firstLine;
    ++line;
    pos = from = afterBreak(b);
  }
  line += CountBreaks(p, pos, n, n);
  if (final) ++line;  // the text's last line, after its last break
  return line - firstLine;
}

std::string LineFilter::Describe() const {
  std::string out;
  auto list = [&](const char* word, const std::vector<Term>& terms) {
    if (terms.empty()) return;
    if (!out.empty()) out += ", ";
    out += word;
    for (std::size_t i = 0; i < terms.size(); ++i) {
      if (i) out += i + 1 == terms.size() ? " or" : ",";
      out += " \"" + terms[i].text + "\"";
    }
  };
  list("with", include_);
  list("without", exclude_);
  std::string how;
  if (options_.matchCase) how += "match case";
  if (options_.wholeWord) how += std::string(how.empty() ? "" : ", ") + "whole words";
  if (options_.regex) how += std::string(how.empty() ? "" : ", ") + "regular expressions";
  if (!how.empty()) out += " (" + how + ")";
  return out;
}

}  // namespace vt9::logs
