// Whether a rich-text stream is whole: every group opened with "{" is closed again, none is
// closed that was not opened, and the text after the first group is only blank. Escaped braces
// ("\{", "\}", "\\") and the raw bytes of "\binN" do not count. The rich-edit control shows
// whatever it could make of a damaged file without saying so; the viewer asks this instead.
// The bytes may arrive in pieces of any size.
#pragma once

#include <cstddef>
#include <string>

namespace vt9 {

class RtfCheck {
 public:
  void Feed(const char* bytes, std::size_t count);
  bool Whole() const;
  // Nothing seen so far is wrong, but the document ends before its first group is closed (or
  // inside raw bytes): a log still being written, or cut short by a crash or a full disk.
  bool CutOff() const;

 private:
  enum class State { Text, Backslash, ControlWord, Parameter, Binary };
  State state_ = State::Text;
  long long depth_ = 0;
  bool opened_ = false;  // the first group has begun
  bool closed_ = false;  // ... and ended
  bool broken_ = false;
  std::string word_;  // the control word being read
  long long parameter_ = 0;
  bool negative_ = false;
  bool hasDigits_ = false;
  long long binaryLeft_ = 0;
};

}  // namespace vt9
