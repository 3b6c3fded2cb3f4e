#include "dialogs/plain_text.h"

#include <algorithm>

namespace vt9 {

namespace {
constexpr TextFlags kPlain{.prefix = false, .endEllipsis = false};

int WidthOf(Canvas& canvas, std::string_view s) { return canvas.MeasureText(s, kPlain).cx; }

// Every character is at least a pixel wide, so a text of more characters than pixels never
// fits; this keeps a 100 KB word from being measured whole again and again.
bool Fits(Canvas& canvas, std::string_view s, int width) {
  return s.size() <= static_cast<std::size_t>(std::max(width, 0)) && WidthOf(canvas, s) <= width;
}

// Bytes of the character at the start of `s`: two for a lead byte with its trail byte.
std::size_t CharBytes(std::string_view s, const LeadBytes* lead) {
  if (lead && s.size() >= 2 && (*lead)[static_cast<unsigned char>(s[0])]) return 2;
  return s.empty() ? 0 : 1;
}

// The end of the last whole character at or before byte `n` of `s`; at least the first one.
std::size_t CharBoundary(std::string_view s, std::size_t n, const LeadBytes* lead) {
  if (!lead) return n;
  std::size_t at = 0;
  while (at < s.size()) {
    const std::size_t next = at + CharBytes(s.substr(at), lead);
    if (next > n) break;
    at = next;
  }
  return at > 0 ? at : CharBytes(s, lead);
}

// Length of the longest prefix of `word` that fits in `width`, at least one character, never
// ending inside a double-byte character. Every character is at least a pixel wide, so no more
// than `width` bytes need trying.
std::size_t FittingPrefix(Canvas& canvas, std::string_view word, int width, const LeadBytes* lead) {
  std::size_t lo = 1;
  std::size_t hi = std::min<std::size_t>(word.size(), static_cast<std::size_t>(std::max(width, 1)));
  while (lo < hi) {
    std::size_t mid = (lo + hi + 1) / 2;
    if (WidthOf(canvas, word.substr(0, mid)) <= width)
      lo = mid;
    else
      hi = mid - 1;
  }
  return CharBoundary(word, lo, lead);
}

// Adds `word` to the lines: on the current line when it fits, else on new lines, a word wider
// than a whole line cut into pieces that fit (one 100 KB word must not make a window that wide).
void AddWord(Canvas& canvas, std::string_view word, int width, const LeadBytes* lead,
             std::string& line, bool& lineHasWord, std::vector<std::string>& out) {
  if (lineHasWord) {
    std::string candidate = line + ' ';
    candidate.append(word);
    if (Fits(canvas, candidate, width)) {
      line = std::move(candidate);
      return;
    }
    out.push_back(std::move(line));
    line.clear();
  }
  while (word.size() > CharBytes(word, lead) && !Fits(canvas, word, width)) {
    std::size_t n = FittingPrefix(canvas, word, width, lead);
    out.emplace_back(word.substr(0, n));
    word.remove_prefix(n);
  }
  line.assign(word);
  lineHasWord = true;
}
}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

int PlainLineHeight(Canvas& canvas) { return canvas.MeasureText(" ", kPlain).cy; }

std::vector<std::string> WrapPlainText(Canvas& canvas, std::string_view text, int width,
                                       const LeadBytes* lead) {
  std::vector<std::string> out;
  for (const std::string& paragraph : SplitLines(text)) {
    std::string line;
    bool lineHasWord = false;
    std::size_t pos = 0;
    while (pos <= paragraph.size()) {
      std::size_t end = paragraph.find(' ', pos);
      if (end == std::string::npos) end = paragraph.size();
      AddWord(canvas, std::string_view(paragraph.data() + pos, end - pos), width, lead, line,
              lineHasWord, out);
      pos = end + 1;
    }
    out.push_back(std::move(line));
  }
  return out;
}

Size MeasurePlainText(Canvas& canvas, std::string_view text, int width, const LeadBytes* lead) {
  Size size;
  const std::vector<std::string> lines = WrapPlainText(canvas, text, width, lead);
  if (lines.empty()) return size;
  for (const std::string& line : lines) size.cx = std::max(size.cx, WidthOf(canvas, line));
  size.cy = static_cast<int>(lines.size()) * PlainLineHeight(canvas);
  return size;
}

}  // namespace vt9
