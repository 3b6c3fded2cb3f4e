#include "logs/line_filter.h"

#include <cstring>

#include "logs/log_regex.h"

namespace vt9::logs {

struct LineFilter::Term {
  std::string text;     // as typed
  std::string pattern;  // a plain term: its bytes, folded without match case
  std::unique_ptr<Regex> regex;
};

LineFilter::LineFilter(const FilterOptions& options, const CodePage& cp)
    : options_(options), cp_(cp) {
  for (bool lead : cp_.leadByte) doubleByte_ = doubleByte_ || lead;
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
      if (!options.matchCase) {
        for (std::size_t i = 0; i < term.pattern.size(); ++i) {
          const auto b = static_cast<unsigned char>(term.pattern[i]);
          if (filter->doubleByte_ && cp.leadByte[b] && i + 1 < term.pattern.size()) {
            ++i;  // the trail byte of a pair is never folded
          } else {
            term.pattern[i] = char(cp.upper[b]);
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
  const unsigned char* upper = cp_.upper;
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
        same = options_.matchCase ? t == q : upper[t] == q;
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
