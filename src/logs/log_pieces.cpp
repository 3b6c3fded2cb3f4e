// The piece table: the edited text as runs of the original's characters and of added ones.
// An edit replaces the pieces it touches by at most three (what is left of the first, the added
// text, what is left of the last), so an undo step keeps only those few pieces.
#include <algorithm>

#include "logs/log_document_impl.h"

namespace vt9::logs {

std::int64_t LogDocument::Impl::BreaksIn(const Piece& piece, std::int64_t from,
                                         std::int64_t to) const {
  if (from >= to) return 0;
  if (piece.added) {
    const auto a = std::lower_bound(addedBreaks.begin(), addedBreaks.end(), from);
    const auto b = std::lower_bound(addedBreaks.begin(), addedBreaks.end(), to);
    return std::int64_t(b - a);
  }
  return OLineOfChar(to) - OLineOfChar(from);
}

// The offset within the piece of its `nth` break (from 0).
std::int64_t LogDocument::Impl::BreakOffset(const Piece& piece, std::int64_t nth) const {
  if (piece.added) {
    const auto a = std::lower_bound(addedBreaks.begin(), addedBreaks.end(), piece.start);
    return a[nth] - piece.start;
  }
  const std::int64_t line = OLineOfChar(piece.start) + nth;
  return OLineStart(line) + OLineLength(line) - piece.start;
}

void LogDocument::Impl::Reprefix() {
  pieceChars.assign(pieces.size() + 1, 0);
  pieceBreaks.assign(pieces.size() + 1, 0);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    pieceChars[i + 1] = pieceChars[i] + pieces[i].length;
    pieceBreaks[i + 1] = pieceBreaks[i] + pieces[i].breaks;
  }
}

void LogDocument::Impl::StartEditing() {
  if (edited) return;
  const std::int64_t length = OLength();
  if (length > 0) pieces.push_back(Piece{false, 0, length, OLineCount() - 1});
  edited = true;
  Reprefix();
}

// The piece holding `position` (< the length).
std::size_t LogDocument::Impl::PieceAt(std::int64_t position) const {
  const auto it = std::upper_bound(pieceChars.begin(), pieceChars.end(), position);
  return std::size_t(it - pieceChars.begin()) - 1;
}

void LogDocument::Impl::ReplaceLocked(TextRange range, const std::u16string& values) {
  const std::int64_t length = DLength();
  const std::int64_t a = std::clamp<std::int64_t>(std::min(range.start, range.end), 0, length);
  const std::int64_t b = std::clamp<std::int64_t>(std::max(range.start, range.end), 0, length);
  if (a == b && values.empty()) return;
  StartEditing();

  // Pieces [first, last) are touched: the one holding a, up to the last starting before b.
  const std::size_t first = a < length ? PieceAt(a) : pieces.size();
  std::size_t last = first;
  while (last < pieces.size() &&
         (pieceChars[last] < b || (last == first && pieceChars[last] < a))) {
    ++last;
  }
  std::vector<Piece> replacement;
  auto part = [&](const Piece& p, std::int64_t from, std::int64_t to) {  // offsets in p
    Piece q{p.added, p.start + from, to - from, 0};
    q.breaks = BreaksIn(q, q.start, q.start + q.length);
    replacement.push_back(q);
  };
  if (first < pieces.size() && pieceChars[first] < a) part(pieces[first], 0, a - pieceChars[first]);
  if (!values.empty()) {
    const std::int64_t start = std::int64_t(added.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
      if (values[k] == kBreakValue) addedBreaks.push_back(start + std::int64_t(k));
    }
    added += values;
    Piece q{true, start, std::int64_t(values.size()), 0};
    q.breaks = BreaksIn(q, q.start, q.start + q.length);
    replacement.push_back(q);
  }
  if (last > first && pieceChars[last] > b) {
    const Piece& p = pieces[last - 1];
    part(p, b - pieceChars[last - 1], p.length);
  }
  UndoStep step;
  step.first = first;
  step.removed.assign(pieces.begin() + std::ptrdiff_t(first),
                      pieces.begin() + std::ptrdiff_t(last));
  step.inserted = replacement.size();
  step.position = a;
  step.removedChars = b - a;
  step.longestBefore = longest;
  pieces.erase(pieces.begin() + std::ptrdiff_t(first), pieces.begin() + std::ptrdiff_t(last));
  pieces.insert(pieces.begin() + std::ptrdiff_t(first), replacement.begin(), replacement.end());
  if (undo.size() < savedDepth) savedLost = true;
  undo.push_back(std::move(step));
  modified = true;
  Reprefix();
  // The lines the new text touches may now be the longest.
  const std::int64_t lastLine = DLineFromPosition(a + std::int64_t(values.size()));
  for (std::int64_t line = DLineFromPosition(a); line <= lastLine; ++line) {
    longest = std::max(longest, DLineLength(line));
  }
}

std::optional<TextRange> LogDocument::Impl::UndoLocked() {
  if (undo.empty()) return std::nullopt;
  UndoStep step = std::move(undo.back());
  undo.pop_back();
  pieces.erase(pieces.begin() + std::ptrdiff_t(step.first),
               pieces.begin() + std::ptrdiff_t(step.first + step.inserted));
  pieces.insert(pieces.begin() + std::ptrdiff_t(step.first), step.removed.begin(),
                step.removed.end());
  modified = savedLost || undo.size() != savedDepth;
  longest = step.longestBefore;
  if (undo.empty()) {
    // Every edit undone: the text is the file's again, read straight through the index.
    pieces.clear();
    edited = false;
  } else {
    Reprefix();
  }
  return TextRange{step.position, step.position + step.removedChars};
}

}  // namespace vt9::logs
