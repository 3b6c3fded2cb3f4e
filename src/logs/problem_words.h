// The words that make a log line a problem line, from the setting `ProblemWords`: words
// separated by commas or blanks; a missing or empty setting gives the defaults.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vt9::logs {

std::vector<std::string> ParseProblemWords(std::string_view setting);

// The defaults: error, failed, warning, cannot, denied, skipped.
std::vector<std::string> DefaultProblemWords();

}  // namespace vt9::logs
