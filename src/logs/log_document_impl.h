// The log document's inner state, shared by the files that implement its parts: reading and
// indexing (log_document.cpp), the piece table of edits (log_pieces.cpp), search
// (log_search.cpp) and rich text out (log_rich_text.cpp).
//
// The text is the file's text (the "original", read through the line index and block cache)
// until the first edit; from then on it is a sequence of pieces, each a run of the original's
// characters or of characters added by edits.
//
// Locking: `mutex` guards the index, the tail and the pieces; readers hold it shared, the
// worker holds it exclusively only to publish a block's lines, edits hold it exclusively.
// Functions named D... and O... expect it held.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "logs/line_filter.h"
#include "logs/log_block_cache.h"
#include "logs/log_codec.h"
#include "logs/log_document.h"
#include "logs/log_line_index.h"

namespace vt9::logs {

struct LogDocument::Impl {
  Impl(std::unique_ptr<RandomAccessFile> file, CodePage codePage, std::size_t blockBytes);

  std::unique_ptr<RandomAccessFile> file;
  CodePage cp;
  TextEncoding encoding = TextEncoding::Ansi;
  // Written by the worker when a read fails, read by the window's thread at any time.
  std::atomic<std::uint64_t> fileBytes{0};
  std::uint64_t startByte = 0;  // after the byte-order mark
  std::size_t blockBytes;
  std::unique_ptr<TextCodec> codec;
  std::unique_ptr<BlockCache> cache;
  std::atomic<bool> readFailed{false};

  mutable std::shared_mutex mutex;
  std::condition_variable_any indexChanged;
  std::unique_ptr<LineIndex> index;
  // The text after the last complete line: its characters counted so far and where its counted
  // bytes end.
  std::int64_t tailChars = 0;
  std::uint64_t tailEnd = 0;
  bool complete = false;
  bool indexing = false;
  bool grown = false;  // CheckGrowth took in appended bytes
  std::atomic<std::uint64_t> indexedBytes{0};
  std::int64_t longest = 0;

  // Index builder state between blocks (worker thread only).
  std::vector<std::uint8_t> carry;  // bytes of an unfinished character at a block's end
  bool pendingCR = false;           // the last block ended in CR; an LF may follow
  std::uint64_t nextRead = 0;
  std::uint64_t lineStart = 0;
  std::int64_t lineChars = 0;
  std::uint64_t scanEnd = 0;  // where the counted bytes of the last line end
  std::int64_t scanLongest = 0;

  // The first bytes of the file as they were read (up to kHeadBytes), to tell a file that was
  // rewritten or replaced under the same name from one that grew (log_growth.cpp).
  static constexpr std::size_t kHeadBytes = 4096;
  std::vector<std::uint8_t> head;
  void KeepHead();
  bool HeadUnchanged() const;

  // ---- Edits --------------------------------------------------------------------------------
  struct Piece {
    bool added = false;
    std::int64_t start = 0;  // in the original's or the added characters
    std::int64_t length = 0;
    std::int64_t breaks = 0;
  };
  struct UndoStep {
    std::size_t first = 0;       // where the pieces were replaced
    std::vector<Piece> removed;  // the pieces before the edit
    std::size_t inserted = 0;    // how many pieces replaced them
    std::int64_t position = 0;   // where the edit began
    std::int64_t removedChars = 0;
    std::int64_t longestBefore = 0;  // the longest line before the edit
  };
  bool edited = false;
  std::vector<Piece> pieces;
  std::vector<std::int64_t> pieceChars;   // document position of each piece, and the length
  std::vector<std::int64_t> pieceBreaks;  // breaks before each piece, and the total
  std::u16string added;                   // characters typed or pasted, as values
  std::vector<std::int64_t> addedBreaks;  // positions of breaks in `added`
  std::vector<UndoStep> undo;
  bool modified = false;
  // The undo depth of the text as opened or last saved; unreachable once an edit replaced the
  // steps above it.
  std::size_t savedDepth = 0;
  bool savedLost = false;

  class Source;
  std::unique_ptr<LineSource> lineSource;

  // ---- Problem lines (log_problems.cpp) -----------------------------------------------------
  std::unique_ptr<LineFilter> problemFilter;  // none without problem words
  MatchSet problems;                          // written by the index builder only
  std::atomic<std::int64_t> problemCount{0};
  // A single-byte ANSI log: the problem lines are found in the index builder's own block
  // reads, as its bytes go by; the line begun in the last block waits in `problemPending`.
  bool problemBytes = false;
  std::string problemPending;
  bool problemSkipLF = false;  // the last block ended in CR
  std::int64_t problemLine = 0;
  std::vector<std::int64_t> problemFound;
  // The log grew: the problem lines from `line` on (its unfinished last line) are looked at
  // again with the appended bytes.
  void RewindProblems(std::int64_t line);
  void ProblemsFromBytes(const std::uint8_t* p, std::size_t n, bool final);
  // Other logs: the problem lines among the complete lines [first, end) just indexed.
  void FindProblems(const LogDocument& document, std::int64_t first, std::int64_t end);

  // ---- Checkpoints inside long lines (log_line_checkpoints.cpp) -----------------------------
  // Double-byte and UTF-8 text cannot be entered at a column without counting from the line's
  // start; a long line keeps a character start every kCheckpointBytes (built as far as asked,
  // for the few lines last read), so painting a far column or searching along the line reads
  // only near where it is.
  static constexpr std::uint64_t kCheckpointBytes = 64 * 1024;
  struct Checkpoint {
    std::uint64_t byte = 0;   // a character start in the file
    std::int64_t column = 0;  // its column on the line
  };
  struct LineCheckpoints {
    std::int64_t line = -1;
    std::vector<Checkpoint> marks;  // from the line's start on, kCheckpointBytes apart or less
  };
  mutable std::mutex checkpointMutex;
  mutable std::vector<LineCheckpoints> checkpoints;  // the most recently used first
  // The last checkpoint at or before `column` of complete original line `line`, which spans
  // bytes [byteStart, byteEnd): false when a read failed.
  bool SeekColumn(std::int64_t line, std::uint64_t byteStart, std::uint64_t byteEnd,
                  std::int64_t column, Checkpoint& at) const;

  // ---- Indexing ------------------------------------------------------------------------------
  // BuildIndex's blocks; may throw (the caller turns that into a read failure).
  void IndexBlocks(const LogDocument& document, const std::atomic<bool>& stop,
                   const std::function<void(std::uint64_t)>& progress);
  void ScanBlock(const std::uint8_t* p, std::size_t n, std::uint64_t base, bool final,
                 std::vector<std::pair<std::uint64_t, std::uint64_t>>& lines);
  std::size_t FindBreak(const std::uint8_t* p, std::size_t from, std::size_t n) const;

  // ---- The original text --------------------------------------------------------------------
  std::int64_t OLength() const;
  std::int64_t OLineCount() const;
  std::int64_t OLineStart(std::int64_t line) const;
  std::int64_t OLineLength(std::int64_t line) const;
  std::int64_t OLineOfChar(std::int64_t position) const;
  // Calls sink(value, unit16) for columns [first, first + count) of original line `line`
  // (clipped to the line); false when the file could not be read.
  template <class Sink>
  bool OReadLine(std::int64_t line, std::int64_t first, std::int64_t count, Sink&& sink) const;
  // The same for original positions [start, end), breaks as kBreakValue.
  template <class Sink>
  bool OReadChars(std::int64_t start, std::int64_t end, Sink&& sink) const;
  // Decodes bytes [byteStart, byteEnd) skipping `skip` characters, then at most `limit`.
  template <class Sink>
  bool DecodeBytes(std::uint64_t byteStart, std::uint64_t byteEnd, std::int64_t skip,
                   std::int64_t limit, Sink&& sink) const;

  // ---- The document (original or pieces) ------------------------------------------------
  std::int64_t DLength() const;
  std::int64_t DLineCount() const;
  std::int64_t DLineStart(std::int64_t line) const;
  std::int64_t DLineLength(std::int64_t line) const;
  std::int64_t DLineFromPosition(std::int64_t position) const;
  // Calls sink(value) for document positions [start, end); false on a read failure.
  template <class Sink>
  bool DReadChars(std::int64_t start, std::int64_t end, Sink&& sink) const;
  template <class Sink>
  bool DReadLine(std::int64_t line, std::int64_t first, std::int64_t count, Sink&& sink) const;

  // Pieces (log_pieces.cpp).
  std::int64_t BreaksIn(const Piece& piece, std::int64_t from, std::int64_t to) const;
  std::int64_t BreakOffset(const Piece& piece, std::int64_t nth) const;
  void Reprefix();
  void StartEditing();
  std::size_t PieceAt(std::int64_t position) const;
  void ReplaceLocked(TextRange range, const std::u16string& values);
  std::optional<TextRange> UndoLocked();

  std::uint64_t OByteOfChar(std::int64_t position) const;
  std::int64_t OCharOfByte(std::uint64_t byte) const;
  std::optional<TextRange> FindAnsiBytes(std::int64_t from, std::int64_t to,
                                         const std::u16string& values, bool matchCase,
                                         bool wholeWord) const;
  std::optional<TextRange> FindLocked(std::int64_t from, std::int64_t to, std::string_view what,
                                      bool matchCase, bool wholeWord) const;
  bool WriteRichTextLocked(const std::function<bool(std::string_view)>& write) const;
};

// ---- Templates ------------------------------------------------------------------------------

template <class Sink>
bool LogDocument::Impl::DecodeBytes(std::uint64_t byteStart, std::uint64_t byteEnd,
                                    std::int64_t skip, std::int64_t limit, Sink&& sink) const {
  constexpr std::size_t kWindow = 64 * 1024;
  constexpr std::size_t kSmall = 4096;
  if (byteEnd - byteStart <= kSmall) {
    // Most lines: one read onto the stack.
    std::uint8_t small[kSmall];
    const std::size_t n = std::size_t(byteEnd - byteStart);
    if (n && !cache->Read(byteStart, n, small)) return false;
    std::int64_t seen = 0;
    const std::int64_t stopAt = limit > INT64_MAX - skip ? INT64_MAX : skip + limit;
    codec->Decode(small, n, true, stopAt, [&](char16_t value, char16_t unit, std::size_t) {
      if (seen >= skip) sink(value, unit);
      ++seen;
    });
    return true;
  }
  std::vector<std::uint8_t> buffer;
  std::size_t kept = 0;  // bytes of an unfinished character kept from the last window
  std::int64_t seen = 0;
  const std::int64_t stopAt = limit > INT64_MAX - skip ? INT64_MAX : skip + limit;
  std::uint64_t at = byteStart;
  while (seen < stopAt) {
    if (at >= byteEnd && kept == 0) break;
    const std::size_t take = std::size_t(std::min<std::uint64_t>(kWindow, byteEnd - at));
    buffer.resize(kept + take);
    if (take && !cache->Read(at, take, buffer.data() + kept)) return false;
    at += take;
    const bool final = at >= byteEnd;
    const std::size_t used = codec->Decode(buffer.data(), buffer.size(), final, stopAt - seen,
                                           [&](char16_t value, char16_t unit, std::size_t) {
                                             if (seen >= skip) sink(value, unit);
                                             ++seen;
                                           });
    if (seen >= stopAt || final) break;
    kept = buffer.size() - used;
    std::copy(buffer.begin() + std::ptrdiff_t(used), buffer.end(), buffer.begin());
    buffer.resize(kept);
  }
  return true;
}

template <class Sink>
bool LogDocument::Impl::OReadLine(std::int64_t line, std::int64_t first, std::int64_t count,
                                  Sink&& sink) const {
  std::uint64_t byteStart = 0;
  std::uint64_t byteEnd = 0;
  std::int64_t chars = 0;
  if (line < index->Lines()) {
    const LineIndex::Line l = index->Get(line);
    byteStart = l.byteStart;
    byteEnd = l.byteStart + l.bytes;
    chars = l.chars - 1;
  } else {
    byteStart = index->EndByte();
    byteEnd = tailEnd;
    chars = tailChars;
  }
  first = std::max<std::int64_t>(0, first);
  if (first >= chars || count <= 0) return true;
  count = std::min(count, chars - first);
  if (codec->SingleByte()) {
    byteStart += std::uint64_t(first);
    byteEnd = byteStart + std::uint64_t(count);
    first = 0;
  } else if (encoding == TextEncoding::Utf16LE) {
    byteStart += std::uint64_t(first) * 2;
    byteEnd = std::min(byteEnd, byteStart + std::uint64_t(count) * 2);
    first = 0;
  } else if (first > 0 && line < index->Lines() && byteEnd - byteStart > kCheckpointBytes) {
    Checkpoint near;
    if (!SeekColumn(line, byteStart, byteEnd, first, near)) return false;
    byteStart = near.byte;
    first -= near.column;
  }
  return DecodeBytes(byteStart, byteEnd, first, count, sink);
}

template <class Sink>
bool LogDocument::Impl::OReadChars(std::int64_t start, std::int64_t end, Sink&& sink) const {
  if (start >= end) return true;
  std::int64_t line = OLineOfChar(start);
  std::int64_t column = start - OLineStart(line);
  while (start < end) {
    const std::int64_t length = OLineLength(line);
    const std::int64_t take = std::min(length - column, end - start);
    if (take > 0) {
      if (!OReadLine(line, column, take, [&](char16_t value, char16_t) { sink(value); })) {
        return false;
      }
      start += take;
    }
    if (start < end) {
      sink(kBreakValue);
      ++start;
      ++line;
      column = 0;
    }
  }
  return true;
}

template <class Sink>
bool LogDocument::Impl::DReadChars(std::int64_t start, std::int64_t end, Sink&& sink) const {
  if (!edited) return OReadChars(start, end, sink);
  if (start >= end) return true;
  for (std::size_t i = PieceAt(start); i < pieces.size() && start < end; ++i) {
    const Piece& piece = pieces[i];
    const std::int64_t from = start - pieceChars[i];
    const std::int64_t to = std::min(piece.length, end - pieceChars[i]);
    if (piece.added) {
      for (std::int64_t k = from; k < to; ++k) sink(added[std::size_t(piece.start + k)]);
    } else if (!OReadChars(piece.start + from, piece.start + to, sink)) {
      return false;
    }
    start = pieceChars[i] + to;
  }
  return true;
}

template <class Sink>
bool LogDocument::Impl::DReadLine(std::int64_t line, std::int64_t first, std::int64_t count,
                                  Sink&& sink) const {
  if (!edited) return OReadLine(line, first, count, [&](char16_t value, char16_t) { sink(value); });
  const std::int64_t length = DLineLength(line);
  first = std::max<std::int64_t>(0, first);
  if (first >= length || count <= 0) return true;
  const std::int64_t start = DLineStart(line) + first;
  return DReadChars(start, start + std::min(count, length - first), sink);
}

}  // namespace vt9::logs
