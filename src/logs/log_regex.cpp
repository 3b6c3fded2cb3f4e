#include "logs/log_regex.h"

namespace vt9::logs {

struct Regex::Impl {
  std::string literal;
};

Regex::Regex(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Regex::~Regex() = default;

std::unique_ptr<Regex> Regex::Compile(std::string_view, bool, const CodePage&, std::string* error) {
  if (error) *error = "Regular expressions are not available yet.";
  return nullptr;
}

bool Regex::Search(std::string_view) const { return false; }
const std::string& Regex::RequiredLiteral() const { return impl_->literal; }

}  // namespace vt9::logs
