// What the user typed into the filter bar: terms that include ("only lines with") or exclude
// ("hide lines with"), with match case, whole words and regular expressions, compiled once.
// A line shows when it matches at least one include term (or there is none) and no exclude
// term. Lines are ANSI text as the document hands them out, without their break; on a
// double-byte code page a lead byte and its trail byte are one character, as Find sees them.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

  const FilterOptions& Options() const { return options_; }
  const CodePage& Cp() const { return cp_; }

 private:
  struct Term;
  LineFilter(const FilterOptions& options, const CodePage& cp);
  bool TermMatches(const Term& term, std::string_view line) const;

  FilterOptions options_;
  CodePage cp_;
  bool doubleByte_ = false;
  std::vector<Term> include_;
  std::vector<Term> exclude_;
};

}  // namespace vt9::logs
