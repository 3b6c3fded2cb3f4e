#include "logs/problem_words.h"

namespace vt9::logs {

std::vector<std::string> DefaultProblemWords() {
  return {"error", "failed", "warning", "cannot", "denied", "skipped"};
}

std::vector<std::string> ParseProblemWords(std::string_view setting) {
  std::vector<std::string> words;
  std::string word;
  for (char c : setting) {
    if (c == ',' || c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  if (words.empty()) return DefaultProblemWords();
  return words;
}

}  // namespace vt9::logs
