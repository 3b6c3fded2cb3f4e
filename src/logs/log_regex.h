// The filter's regular expressions: a small engine for what people type into a log filter,
// that runs in time linear in the text (a Thompson NFA simulated a set of states at a time,
// with the sets met turned lazily into DFA states and cached), with no recursion on the text.
//
// Syntax: literals; `.`; classes `[a-z]`, `[^...]`; `\d \w \s \D \W \S \b \B`; `^ $`;
// `* + ?` and `{n}`, `{n,}`, `{n,m}` (each also lazy with `?`, which changes nothing when only
// asking whether a line matches); `|`; groups `( )` and `(?: )`; escapes `\. \\ \t \xhh` and of
// any punctuation. A line is a sequence of characters (bytes, or lead and trail byte as one on
// a double-byte code page); `^` and `$` are its start and end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "logs/log_document.h"

namespace vt9::logs {

class Regex {
 public:
  // Null, with `error` set to a message a user understands, when the pattern is malformed or
  // too complex.
  static std::unique_ptr<Regex> Compile(std::string_view pattern, bool matchCase,
                                        const CodePage& cp, std::string* error);
  ~Regex();
  Regex(const Regex&) = delete;
  Regex& operator=(const Regex&) = delete;

  // Whether some part of `line` matches. Thread-safe only from one thread at a time (the DFA
  // cache grows as it runs); a filter run has its own.
  bool Search(std::string_view line) const;

  // The same without the DFA cache (the engine's own tests compare the two).
  bool SearchWithoutCache(std::string_view line) const;

  // Literals one of which every match contains, for skipping text that cannot match; empty
  // when there are none. Without match case they are folded through the code page's fold.
  const std::vector<std::string>& RequiredLiterals() const;

  struct Impl;

 private:
  explicit Regex(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace vt9::logs
