// The log document: a plain-text log of any size, read a block at a time, with a line index that
// grows on a worker thread while the window is already up, a piece table for the user's edits,
// search straight over the bytes, and the text handed out as lines, ranges or rich text.
//
// Positions are characters as the rich-edit control counts them, so selections and the find
// record mean the same in both views:
//   - every line break (CR LF, LF or a lone CR) is one character;
//   - on an ANSI single-byte code page a character is a byte;
//   - on an ANSI double-byte code page a lead byte and its trail byte are one character;
//   - in a UTF-8 or UTF-16LE file (recognised by its byte-order mark, which is not part of the
//     text) a character is a UTF-16 code unit.
// A line's text as handed out (LineText16) has exactly one UTF-16 unit per character, so a
// column is an index into it. NUL and other control bytes (below 32, except tab) are handed out
// as a visible placeholder (U+00B7 in UTF-16, '?' in ANSI text), never cut a line, and count as
// one character.
//
// Threading: BuildIndex runs on a worker thread; every other member may be called from the
// window's thread at the same time. Lines already indexed can be read while the index grows;
// LineCount() is the count indexed so far. Edits and Find may wait until the index is complete
// (IndexComplete()); the window does not offer them before then.
//
// The document shows the bytes present when it was opened: a file that grows later is not
// followed. A file that shrinks or fails to read gives ReadFailed() once; the text already shown
// stays as it was (lines that cannot be read come back empty), and nothing crashes.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logs/match_set.h"
#include "platform/random_access_file.h"
#include "printing/line_source.h"

namespace vt9::logs {

enum class TextEncoding { Ansi, Utf8, Utf16LE };

// The ANSI code page as the platform defines it; Windows fills it from the system's own tables
// (IsDBCSLeadByte, CharUpperBuff, IsCharAlphaNumeric, MultiByteToWideChar), native tests from a
// fixed table.
struct CodePage {
  bool leadByte[256] = {};        // starts a double-byte character
  unsigned char upper[256] = {};  // single-byte case fold (identity where there is no case)
  bool wordChar[256] = {};        // a letter or digit, for whole-word search
  // ANSI bytes to UTF-16 and back (the back direction with the system's best fit, '?' where a
  // character has no ANSI form).
  std::function<std::u16string(std::string_view)> toUtf16;
  std::function<std::string(std::u16string_view)> fromUtf16;
  // Whether a UTF-16 unit is a letter or digit (whole words in Unicode files).
  std::function<bool(char16_t)> isWordChar16;
  // The upper-case form of a UTF-16 unit (case-insensitive search in Unicode files); empty
  // folds ASCII letters only.
  std::function<char16_t(char16_t)> upper16;
  // The code page's number, written into saved rich text (\ansicpgN) when not 0.
  unsigned number = 0;
};

struct TextRange {
  std::int64_t start = 0;
  std::int64_t end = 0;  // one past the last character
};

class LogDocument {
 public:
  // Takes the file; nothing is read yet beyond what recognising the encoding needs.
  LogDocument(std::unique_ptr<RandomAccessFile> file, CodePage codePage);
  // The same, reading and indexing `blockBytes` at a time (tests use small blocks to put
  // every kind of boundary at a block's edge).
  LogDocument(std::unique_ptr<RandomAccessFile> file, CodePage codePage, std::size_t blockBytes);
  ~LogDocument();
  LogDocument(const LogDocument&) = delete;
  LogDocument& operator=(const LogDocument&) = delete;

  TextEncoding Encoding() const;
  // The file's size when it was opened, in bytes.
  std::uint64_t FileBytes() const;

  // ---- Index (worker thread) -----------------------------------------------------------
  // Indexes the whole file block by block; returns when done, on a read failure, or soon after
  // `stop` becomes true. `progress` (may be empty) is called after each block with the bytes
  // indexed so far; it runs on the worker thread.
  void BuildIndex(const std::atomic<bool>& stop,
                  const std::function<void(std::uint64_t indexedBytes)>& progress = {});
  bool IndexComplete() const;
  std::uint64_t IndexedBytes() const;
  // Bytes the line index itself holds (for the benchmark's memory figures).
  std::size_t IndexMemoryBytes() const;

  // ---- Problem lines -----------------------------------------------------------------------
  // The lines holding one of `words` (whole words, any case) are recorded by the pass that
  // builds the index, from the same block reads. Set before BuildIndex; none are recorded
  // without words.
  void SetProblemWords(std::vector<std::string> words);
  // Read once IndexComplete() is true.
  const MatchSet& ProblemLines() const;
  // The problem lines found so far; safe at any time.
  std::int64_t ProblemLineCount() const;

  // ---- The bytes, for a filter's search over whole blocks (log_bytes.cpp) ---------------
  // Whether the text is the file's bytes, one byte a character: an unedited ANSI log on a
  // single-byte code page. Only then do the two members below describe the text.
  bool PlainBytes() const;
  // The byte where line `line` starts; LineCount() - 1 (the last line) starts after the last
  // complete line indexed so far.
  std::uint64_t LineByteStart(std::int64_t line) const;
  // The end of the text's bytes indexed so far (the whole text's once the index is complete).
  std::uint64_t TextEndByte() const;
  // Reads bytes [offset, offset + size) of the file; false when they could not be read.
  bool ReadBytes(std::uint64_t offset, std::size_t size, std::uint8_t* out) const;

  // True once the file shrank or a read failed; the window says so once.
  bool ReadFailed() const;

  // ---- Lines and positions -------------------------------------------------------------
  // Lines indexed so far (with the edits); a text without a final line break still ends in a
  // line, and an empty text has one empty line.
  std::int64_t LineCount() const;
  // Characters of the whole text, counting line breaks as one (valid once the index is
  // complete; before that, the characters of the indexed lines).
  std::int64_t Length() const;
  std::int64_t LineStart(std::int64_t line) const;   // the position of its first character
  std::int64_t LineLength(std::int64_t line) const;  // characters, without the line break
  std::int64_t LineFromPosition(std::int64_t position) const;
  // The longest line seen so far in characters (for the horizontal scroll range).
  std::int64_t LongestLine() const;

  // A line's text for painting: one UTF-16 unit per character, placeholders for control bytes.
  // `first` and `count` pick columns, so a line of any length is read only as far as visible
  // (single-byte and UTF-16 text is read from the first column asked; double-byte and UTF-8
  // text is decoded from the line's start up to the last column asked).
  std::u16string LineText16(std::int64_t line, std::int64_t first = 0,
                            std::int64_t count = INT64_MAX) const;
  // A line as 8-bit ANSI text (printing, EM_GETLINE on the A interface).
  // At most `count` characters from column `first`: a caller's buffer bounds what is read.
  std::string LineTextAnsi(std::int64_t line, std::int64_t first = 0,
                           std::int64_t count = INT64_MAX) const;

  // A range of the text with line breaks as CR LF (copy, WM_GETTEXT).
  std::u16string RangeText16(TextRange range) const;
  std::string RangeTextAnsi(TextRange range) const;
  // The same, false when part of the range could not be read (`out` is then empty): copy and
  // the like report that instead of handing out a text with holes.
  bool RangeText16(TextRange range, std::u16string& out) const;
  bool RangeTextAnsi(TextRange range, std::string& out) const;

  // ---- Editing ---------------------------------------------------------------------------
  // Replaces the range by `text` (line breaks in it as CR LF, LF or CR); one undo step. It waits
  // for the index; an index that was stopped leaves the text unchanged. Replacing nothing by
  // nothing is no step.
  void Replace(TextRange range, std::u16string_view text);
  bool CanUndo() const;
  // Undoes the last Replace: the range the restored text now covers, for the selection.
  std::optional<TextRange> Undo();
  bool Modified() const;
  void SetModified(bool modified);

  // ---- Search ----------------------------------------------------------------------------
  // The first match of `what` in [from, to), as the rich-edit control's EM_FINDTEXT with FR_DOWN
  // finds it (matchCase: FR_MATCHCASE, wholeWord: FR_WHOLEWORD). `what` is ANSI text, as the
  // find record carries it. A `to` below 0 or past the end means the end of the text. While
  // the index grows it waits for the index; an index that was stopped is searched as far as
  // it got.
  // `readFailed` (may be null) tells a search that found nothing because part of the text could
  // not be read from one that really found nothing.
  std::optional<TextRange> Find(std::int64_t from, std::int64_t to, std::string_view what,
                                bool matchCase, bool wholeWord, bool* readFailed = nullptr) const;

  // ---- Text out --------------------------------------------------------------------------
  // The whole text as rich text (\par per line, \ { } escaped, bytes above 127 as \'hh, Unicode
  // characters as \uN), handed to `write` in pieces; false when `write` refused one or the file
  // could not be read.
  bool WriteRichText(const std::function<bool(std::string_view)>& write) const;

  // The lines for the page printer, one at a time, as ANSI text.
  LineSource& Lines();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vt9::logs
