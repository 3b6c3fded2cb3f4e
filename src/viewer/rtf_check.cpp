#include "viewer/rtf_check.h"

namespace vt9 {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\0'; }

}  // namespace

void RtfCheck::Feed(const char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count && !broken_; ++i) {
    const char c = bytes[i];
    switch (state_) {
      case State::Binary:
        if (--binaryLeft_ <= 0) state_ = State::Text;
        continue;
      case State::Backslash:
        if (IsLetter(c)) {
          word_.assign(1, c);
          state_ = State::ControlWord;
        } else {
          state_ = State::Text;  // a control symbol such as \{ \} \\ \' \~
        }
        continue;
      case State::ControlWord:
        if (IsLetter(c) && word_.size() < 32) {
          word_ += c;
          continue;
        }
        parameter_ = 0;
        negative_ = false;
        hasDigits_ = false;
        if (c == '-' || IsDigit(c)) {
          negative_ = c == '-';
          hasDigits_ = IsDigit(c);
          parameter_ = IsDigit(c) ? c - '0' : 0;
          state_ = State::Parameter;
          continue;
        }
        state_ = State::Text;
        if (c == ' ') continue;  // the delimiter belongs to the word
        break;                   // anything else is text again
      case State::Parameter:
        if (IsDigit(c)) {
          hasDigits_ = true;
          if (parameter_ < 1000000000000LL) parameter_ = parameter_ * 10 + (c - '0');
          continue;
        }
        if (word_ == "bin" && hasDigits_ && !negative_ && parameter_ > 0) {
          // The raw bytes start right behind the delimiting blank (or at this byte).
          binaryLeft_ = parameter_;
          if (c == ' ') {
            state_ = State::Binary;
            continue;
          }
          state_ = State::Binary;
          if (--binaryLeft_ <= 0) state_ = State::Text;
          continue;
        }
        state_ = State::Text;
        if (c == ' ') continue;
        break;
      case State::Text:
        break;
    }
    // Text.
    if (closed_) {
      if (!IsBlank(c)) broken_ = true;
      continue;
    }
    if (c == '\\') {
      state_ = State::Backslash;
    } else if (c == '{') {
      ++depth_;
      opened_ = true;
    } else if (c == '}') {
      if (--depth_ < 0) broken_ = true;
      if (depth_ == 0) closed_ = true;
    } else if (!opened_ && !IsBlank(c)) {
      broken_ = true;
    }
  }
}

bool RtfCheck::Whole() const { return !broken_ && opened_ && closed_ && state_ != State::Binary; }

bool RtfCheck::CutOff() const { return !broken_ && opened_ && !closed_; }

}  // namespace vt9
