// Search forward, as the rich-edit control's EM_FINDTEXT finds with FR_DOWN: the first match
// starting at or after `from` and ending at or before `to`; without match case both sides are
// compared through the code page's fold; a whole word needs no letter or digit right before
// and right after the match.
#include <algorithm>

#include "viewer/log_document_impl.h"

namespace vt9 {

namespace {

constexpr std::int64_t kWindowChars = 1 << 20;

}  // namespace

std::optional<TextRange> LogDocument::Impl::FindLocked(std::int64_t from, std::int64_t to,
                                                       std::string_view what, bool matchCase,
                                                       bool wholeWord) const {
  std::u16string pattern = codec->ValuesFromAnsi(what);
  if (pattern.empty()) return std::nullopt;
  const logdoc::TextCodec& c = *codec;
  if (!matchCase) {
    for (char16_t& v : pattern) v = c.Fold(v);
  }
  const std::int64_t length = DLength();
  if (to < 0 || to > length) to = length;
  from = std::max<std::int64_t>(0, from);
  const std::int64_t m = std::int64_t(pattern.size());
  std::u16string window;
  for (std::int64_t pos = from; pos + m <= to;) {
    // Characters [pos - 1, windowEnd + 1): the ones around a match decide whole words.
    const std::int64_t windowEnd = std::min(to, pos + kWindowChars + m - 1);
    const std::int64_t readFrom = pos > 0 ? pos - 1 : 0;
    const std::int64_t readTo = std::min(length, windowEnd + 1);
    window.clear();
    if (!DReadChars(readFrom, readTo, [&](char16_t v) { window += v; })) return std::nullopt;
    const std::int64_t base = readFrom;
    for (std::int64_t start = pos; start + m <= windowEnd; ++start) {
      const char16_t* w = window.data() + (start - base);
      std::int64_t k = 0;
      if (matchCase) {
        while (k < m && w[k] == pattern[std::size_t(k)]) ++k;
      } else {
        while (k < m && c.Fold(w[k]) == pattern[std::size_t(k)]) ++k;
      }
      if (k < m) continue;
      if (wholeWord) {
        if (start > 0 && c.IsWordChar(w[-1])) continue;
        if (start + m < length && c.IsWordChar(w[m])) continue;
      }
      return TextRange{start, start + m};
    }
    pos = windowEnd - m + 1;
  }
  return std::nullopt;
}

}  // namespace vt9
