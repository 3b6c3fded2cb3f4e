// What the user typed into the filter bar: terms that include ("only lines with") or exclude
// ("hide lines with"), with match case, whole words and regular expressions, compiled once.
// A line shows when it matches at least one include term (or there is none) and no exclude
// term. Lines are ANSI text as the document hands them out, without their break; on a
// double-byte code page a lead byte and its trail byte are one character, as Find sees them.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "logs/filter_scan.h"
#include "logs/log_document.h"

namespace vt9::logs {

class Regex;

struct FilterTerm {
  std::string text;  // ANSI text, as the find record carries it
  bool exclude = false;
};

struct FilterOptions {
  bool matchCase = false;
  bool wholeWord = false;
  bool regex = false;
};

class LineFilter {
 public:
  // Null, with `error` set to a message a user understands, for a malformed expression (or an
  // empty filter: no term with text).
  static std::unique_ptr<LineFilter> Compile(const std::vector<FilterTerm>& terms,
                                             const FilterOptions& options, const CodePage& cp,
                                             std::string* error);
  ~LineFilter();
  LineFilter(const LineFilter&) = delete;
  LineFilter& operator=(const LineFilter&) = delete;

  // A line's text as the document hands it out (LogDocument::LineTextAnsi), without its break.
  bool Matches(std::string_view line) const;
  // e.g. `with "error", without "retry"`, for print headers.
  std::string Describe() const;

  // The matching lines among the lines of p[0, n), a log's bytes on a single-byte code page
  // (line breaks CR LF, LF or a lone CR; control bytes as the document hands them out, '?'),
  // appended to `out` numbered from `firstLine`. Every line ends in a break, except the last
  // when `final` (the text's last line, which may be empty). Returns the lines looked at.
  // Lines that cannot hold a match are skipped unread where every include term has a literal
  // (key bytes are looked for at memory speed, and only their lines are matched).
  std::int64_t MatchLines(const std::uint8_t* p, std::size_t n, std::int64_t firstLine, bool final,
                          std::vector<std::int64_t>& out) const;

  const FilterOptions& Options() const { return options_; }
  const CodePage& Cp() const { return cp_; }

 private:
  struct Term;
  LineFilter(const FilterOptions& options, const CodePage& cp);
  bool TermMatches(const Term& term, std::string_view line) const;

  // Chooses the key bytes: each literal's rarest byte in `sample` (the first bytes searched).
  void ChooseKeys(const std::uint8_t* sample, std::size_t n);

  FilterOptions options_;
  CodePage cp_;
  bool doubleByte_ = false;
  // How a plain term compares a byte: the code page's fold without match case, and control
  // bytes as '?'.
  unsigned char fold_[256] = {};
  // Key bytes: every line a filter can show holds one (none when lines cannot be skipped).
  std::uint8_t keys_[16] = {};
  std::size_t keyCount_ = 0;
  // Or, better where every literal has two bytes in a row with at most two case forms each,
  // a pair of bytes for each literal.
  BytePair pairs_[kMaxPairs] = {};
  std::size_t pairCount_ = 0;
  // The literals (folded) and, for each key byte, which literal holds it at which offset: a
  // key hit is a candidate only when a literal is there in full.
  std::vector<std::string> literals_;
  struct KeyAt {
    std::uint16_t literal;
    std::uint16_t offset;
  };
  std::vector<KeyAt> keyAt_[256];
  mutable std::once_flag keysChosen_;
  std::vector<Term> include_;
  std::vector<Term> exclude_;
};

}  // namespace vt9::logs
