#include "logs/log_document.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "logs/log_document_impl.h"
#include "logs/log_scan.h"

namespace vt9::logs {

namespace {

constexpr std::size_t kDefaultBlockBytes = 1024 * 1024;
constexpr std::size_t kCachedBlocks = 4;
// A failed read while indexing is tried again this often, after 50, 100 and 200 ms.
constexpr int kReadRetries = 3;
constexpr int kRetryPauseMs = 50;

// Stands in for a file that could not be opened: no bytes, and a read failure.
class NoFile : public RandomAccessFile {
 public:
  std::int64_t Size() override { return -1; }
  std::int64_t ReadAt(std::uint64_t, void*, std::size_t) override { return -1; }
};

}  // namespace

// ---- Opening --------------------------------------------------------------------------------

LogDocument::Impl::Impl(std::unique_ptr<RandomAccessFile> f, CodePage codePage, std::size_t block)
    : file(std::move(f)), cp(std::move(codePage)), blockBytes(std::max<std::size_t>(block, 4)) {
  if (!file) file = std::make_unique<NoFile>();
  const std::int64_t size = file->Size();
  if (size < 0) {
    readFailed = true;
  } else {
    fileBytes = std::uint64_t(size);
  }
  std::uint8_t head[3] = {};
  std::size_t got = 0;
  if (fileBytes > 0) {
    const std::int64_t n =
        file->ReadAt(0, head, std::size_t(std::min<std::uint64_t>(3, fileBytes)));
    if (n < 0) {
      readFailed = true;
    } else {
      got = std::size_t(n);
    }
  }
  if (got >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) {
    encoding = TextEncoding::Utf8;
    startByte = 3;
  } else if (got >= 2 && head[0] == 0xFF && head[1] == 0xFE) {
    encoding = TextEncoding::Utf16LE;
    startByte = 2;
  }
  codec = std::make_unique<TextCodec>(encoding, cp);
  cache = std::make_unique<BlockCache>(*file, fileBytes, blockBytes, kCachedBlocks);
  index = std::make_unique<LineIndex>(startByte, codec->SingleByte());
  nextRead = startByte;
  lineStart = startByte;
  tailEnd = startByte;
  scanEnd = startByte;
  if (nextRead >= fileBytes) {
    complete = true;
    indexedBytes = fileBytes.load();
  }
}

namespace {

// Appends characters of a document as ANSI text; Unicode text is converted a line at a time,
// since a character of the code page may need more than one UTF-16 unit to choose.
class AnsiWriter {
 public:
  AnsiWriter(const TextCodec& codec, const CodePage& cp, std::string& out)
      : codec_(codec), cp_(cp), out_(out) {}
  void Put(char16_t value) {
    if (value == kBreakValue) {
      Flush();
      out_ += "\r\n";
    } else if (codec_.Encoding() == TextEncoding::Ansi) {
      codec_.AppendAnsi(value, out_);
    } else {
      pending_ += IsControl(value) ? u'?' : value;
      if (pending_.size() >= 4096 && (pending_.back() < 0xD800 || pending_.back() > 0xDBFF))
        Flush();
    }
  }
  void Flush() {
    if (pending_.empty()) return;
    if (cp_.fromUtf16) {
      out_ += cp_.fromUtf16(pending_);
    } else {
      for (char16_t u : pending_) out_ += u < 128 ? char(u) : '?';
    }
    pending_.clear();
  }

 private:
  const TextCodec& codec_;
  const CodePage& cp_;
  std::string& out_;
  std::u16string pending_;
};

}  // namespace

class LogDocument::Impl::Source : public LineSource {
 public:
  explicit Source(LogDocument& document) : document_(document) {}
  std::uint64_t LineCount() override { return std::uint64_t(document_.LineCount()); }
  bool ReadLine(std::uint64_t index, std::string& line) override {
    line.clear();
    const Impl& d = *document_.impl_;
    std::shared_lock<std::shared_mutex> lock(d.mutex);
    if (index >= std::uint64_t(d.DLineCount())) return false;
    AnsiWriter writer(*d.codec, d.cp, line);
    if (!d.DReadLine(std::int64_t(index), 0, INT64_MAX,
                     [&](char16_t value) { writer.Put(value); })) {
      line.clear();
      return false;
    }
    writer.Flush();
    return true;
  }

 private:
  LogDocument& document_;
};

LogDocument::LogDocument(std::unique_ptr<RandomAccessFile> file, CodePage codePage)
    : LogDocument(std::move(file), std::move(codePage), kDefaultBlockBytes) {}

LogDocument::LogDocument(std::unique_ptr<RandomAccessFile> file, CodePage codePage,
                         std::size_t blockBytes)
    : impl_(std::make_unique<Impl>(std::move(file), std::move(codePage), blockBytes)) {
  impl_->lineSource = std::make_unique<Impl::Source>(*this);
}

LogDocument::~LogDocument() = default;

TextEncoding LogDocument::Encoding() const { return impl_->encoding; }
std::uint64_t LogDocument::FileBytes() const { return impl_->fileBytes; }

// ---- Index ----------------------------------------------------------------------------------

std::size_t LogDocument::Impl::FindBreak(const std::uint8_t* p, std::size_t from,
                                         std::size_t n) const {
  if (encoding == TextEncoding::Utf16LE) {
    for (std::size_t i = from; i + 1 < n; i += 2) {
      if ((p[i] == '\r' || p[i] == '\n') && p[i + 1] == 0) return i;
    }
    return n;
  }
  return FindLineBreak(p, from, n);
}

// Finds the lines ending in p[0, n) (p starts at file offset `base`); `final` says no bytes
// follow. A CR as the block's last unit waits for the next block to see whether LF follows; an
// unfinished character waits in `carry`.
void LogDocument::Impl::ScanBlock(const std::uint8_t* p, std::size_t n, std::uint64_t base,
                                  bool final,
                                  std::vector<std::pair<std::uint64_t, std::uint64_t>>& lines) {
  const std::size_t u = codec->UnitBytes();
  std::size_t i = 0;
  carry.clear();
  auto emit = [&](std::uint64_t end) {
    lines.emplace_back(end - lineStart, std::uint64_t(lineChars + 1));
    scanLongest = std::max(scanLongest, lineChars);
    lineStart = end;
    lineChars = 0;
    scanEnd = end;
  };
  if (pendingCR) {
    if (n < u && !final) {
      carry.assign(p, p + n);
      return;
    }
    if (n >= u && p[0] == '\n' && (u == 1 || p[1] == 0)) i = u;
    pendingCR = false;
    emit(base + i);
  }
  for (;;) {
    const std::size_t b = FindBreak(p, i, n);
    std::size_t consumed = 0;
    if (b == n) {
      lineChars += codec->Count(p + i, n - i, final, consumed);
      scanEnd = base + i + consumed;
      carry.assign(p + i + consumed, p + n);
      return;
    }
    lineChars += codec->Count(p + i, b - i, true, consumed);
    std::size_t term = u;
    if (p[b] == '\r') {
      if (b + 2 * u <= n) {
        if (p[b + u] == '\n' && (u == 1 || p[b + u + 1] == 0)) term = 2 * u;
      } else if (!final) {
        scanEnd = base + b;
        pendingCR = true;
        // A partial unit after the CR (UTF-16 only) is looked at with the next block.
        carry.assign(p + b + u, p + n);
        return;
      }
    }
    emit(base + b + term);
    i = b + term;
  }
}

void LogDocument::BuildIndex(const std::atomic<bool>& stop,
                             const std::function<void(std::uint64_t)>& progress) {
  Impl& d = *impl_;
  {
    std::unique_lock<std::shared_mutex> lock(d.mutex);
    if (d.complete || d.indexing) return;
    d.indexing = true;
  }
  try {
    d.IndexBlocks(*this, stop, progress);
  } catch (...) {
    // Out of memory, or any other failure on this thread: the text ends with the last block
    // published, as after a read failure, and every wait on the index ends.
    std::unique_lock<std::shared_mutex> lock(d.mutex);
    try {
      d.index->Finish();
    } catch (...) {
    }
    d.complete = true;
    d.fileBytes = d.indexedBytes.load();
    d.readFailed = true;
  }
  {
    std::unique_lock<std::shared_mutex> lock(d.mutex);
    d.indexing = false;
  }
  d.indexChanged.notify_all();
}

void LogDocument::Impl::IndexBlocks(const LogDocument& document, const std::atomic<bool>& stop,
                                    const std::function<void(std::uint64_t)>& progress) {
  Impl& d = *this;
  std::vector<std::uint8_t> buffer(d.blockBytes + 8);
  std::vector<std::pair<std::uint64_t, std::uint64_t>> lines;
  bool done = false;
  while (!done && !stop) {
    const std::size_t want =
        std::size_t(std::min<std::uint64_t>(d.blockBytes, d.fileBytes - d.nextRead));
    const std::size_t kept = d.carry.size();
    if (kept) std::memcpy(buffer.data(), d.carry.data(), kept);
    std::size_t got = 0;
    int retries = 0;
    while (got < want) {
      const std::int64_t n =
          d.file->ReadAt(d.nextRead + got, buffer.data() + kept + got, want - got);
      if (n < 0 && retries < kReadRetries && !stop) {
        // A share that drops for a moment: try again before the text is cut off for good.
        std::this_thread::sleep_for(std::chrono::milliseconds(kRetryPauseMs << retries));
        ++retries;
        continue;
      }
      if (n <= 0) break;
      got += std::size_t(n);
    }
    const bool failed = got < want;
    done = failed || d.nextRead + got >= d.fileBytes;
    lines.clear();
    const std::int64_t firstLine = d.index->Lines();  // only this thread appends
    d.ScanBlock(buffer.data(), kept + got, d.nextRead - kept, done, lines);
    d.nextRead += got;
    if (d.problemFilter && d.problemBytes) d.ProblemsFromBytes(buffer.data() + kept, got, done);
    {
      std::unique_lock<std::shared_mutex> lock(d.mutex);
      for (const auto& line : lines) d.index->Append(line.first, line.second);
      d.tailChars = d.lineChars;
      d.tailEnd = d.scanEnd;
      d.longest = std::max({d.longest, d.scanLongest, d.tailChars});
      if (done) {
        d.index->Finish();
        // What could not be read is not part of the text.
        if (failed) d.fileBytes = d.nextRead;
      }
      d.indexedBytes = done ? d.fileBytes.load() : d.nextRead;
    }
    if (failed) d.readFailed = true;
    // The problem lines are whole before the index is called complete.
    if (d.problemFilter && !d.problemBytes) {
      d.FindProblems(document, firstLine, firstLine + std::int64_t(lines.size()) + (done ? 1 : 0));
    }
    if (done) {
      std::unique_lock<std::shared_mutex> lock(d.mutex);
      d.complete = true;
    }
    d.indexChanged.notify_all();
    if (progress) progress(d.indexedBytes);
  }
}

bool LogDocument::IndexComplete() const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->complete;
}
std::uint64_t LogDocument::IndexedBytes() const { return impl_->indexedBytes; }
std::size_t LogDocument::IndexMemoryBytes() const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->index->MemoryBytes();
}
bool LogDocument::ReadFailed() const { return impl_->readFailed || impl_->cache->Failed(); }

// ---- The original text ----------------------------------------------------------------------

std::int64_t LogDocument::Impl::OLength() const { return index->EndChar() + tailChars; }
std::int64_t LogDocument::Impl::OLineCount() const { return index->Lines() + 1; }
std::int64_t LogDocument::Impl::OLineStart(std::int64_t line) const {
  return line < index->Lines() ? index->Get(line).charStart : index->EndChar();
}
std::int64_t LogDocument::Impl::OLineLength(std::int64_t line) const {
  return line < index->Lines() ? index->Get(line).chars - 1 : tailChars;
}
std::int64_t LogDocument::Impl::OLineOfChar(std::int64_t position) const {
  return index->LineOfChar(position);
}

// ---- The document ---------------------------------------------------------------------------

std::int64_t LogDocument::Impl::DLength() const { return edited ? pieceChars.back() : OLength(); }
std::int64_t LogDocument::Impl::DLineCount() const {
  return edited ? pieceBreaks.back() + 1 : OLineCount();
}
std::int64_t LogDocument::Impl::DLineStart(std::int64_t line) const {
  line = std::clamp<std::int64_t>(line, 0, DLineCount() - 1);
  if (!edited) return OLineStart(line);
  if (line == 0) return 0;
  const std::int64_t nth = line - 1;  // the break that ends the line before
  const auto it = std::upper_bound(pieceBreaks.begin(), pieceBreaks.end(), nth);
  const std::size_t i = std::size_t(it - pieceBreaks.begin()) - 1;
  return pieceChars[i] + BreakOffset(pieces[i], nth - pieceBreaks[i]) + 1;
}
std::int64_t LogDocument::Impl::DLineLength(std::int64_t line) const {
  line = std::clamp<std::int64_t>(line, 0, DLineCount() - 1);
  if (!edited) return OLineLength(line);
  const std::int64_t end = line + 1 < DLineCount() ? DLineStart(line + 1) - 1 : DLength();
  return end - DLineStart(line);
}
std::int64_t LogDocument::Impl::DLineFromPosition(std::int64_t position) const {
  position = std::clamp<std::int64_t>(position, 0, DLength());
  if (!edited) return OLineOfChar(position);
  if (position == DLength()) return pieceBreaks.back();
  const std::size_t i = PieceAt(position);
  const Piece& piece = pieces[i];
  return pieceBreaks[i] + BreaksIn(piece, piece.start, piece.start + position - pieceChars[i]);
}

// ---- Lines and positions --------------------------------------------------------------------

std::int64_t LogDocument::LineCount() const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->DLineCount();
}
std::int64_t LogDocument::Length() const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->DLength();
}
std::int64_t LogDocument::LineStart(std::int64_t line) const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->DLineStart(line);
}
std::int64_t LogDocument::LineLength(std::int64_t line) const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->DLineLength(line);
}
std::int64_t LogDocument::LineFromPosition(std::int64_t position) const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->DLineFromPosition(position);
}
std::int64_t LogDocument::LongestLine() const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->longest;
}

std::u16string LogDocument::LineText16(std::int64_t line, std::int64_t first,
                                       std::int64_t count) const {
  const Impl& d = *impl_;
  std::shared_lock<std::shared_mutex> lock(d.mutex);
  if (line < 0 || line >= d.DLineCount()) return {};
  std::u16string text;
  bool ok = true;
  if (!d.edited) {
    ok = d.OReadLine(line, first, count, [&](char16_t, char16_t unit) { text += unit; });
  } else {
    ok = d.DReadLine(line, first, count, [&](char16_t value) { text += d.codec->Display(value); });
  }
  if (!ok) text.clear();
  return text;
}

std::string LogDocument::LineTextAnsi(std::int64_t line, std::int64_t first,
                                      std::int64_t count) const {
  const Impl& d = *impl_;
  std::shared_lock<std::shared_mutex> lock(d.mutex);
  std::string text;
  if (line < 0 || line >= d.DLineCount()) return text;
  AnsiWriter writer(*d.codec, d.cp, text);
  if (!d.DReadLine(line, first, count, [&](char16_t value) { writer.Put(value); })) return {};
  writer.Flush();
  return text;
}

std::u16string LogDocument::RangeText16(TextRange range) const {
  std::u16string text;
  RangeText16(range, text);
  return text;
}

std::string LogDocument::RangeTextAnsi(TextRange range) const {
  std::string text;
  RangeTextAnsi(range, text);
  return text;
}

bool LogDocument::RangeText16(TextRange range, std::u16string& text) const {
  const Impl& d = *impl_;
  std::shared_lock<std::shared_mutex> lock(d.mutex);
  const std::int64_t length = d.DLength();
  const std::int64_t a = std::clamp<std::int64_t>(std::min(range.start, range.end), 0, length);
  const std::int64_t b = std::clamp<std::int64_t>(std::max(range.start, range.end), 0, length);
  text.clear();
  const bool ok = d.DReadChars(a, b, [&](char16_t value) {
    if (value == kBreakValue) {
      text += u"\r\n";
    } else {
      text += d.codec->Display(value);
    }
  });
  if (!ok) text.clear();
  return ok;
}

bool LogDocument::RangeTextAnsi(TextRange range, std::string& text) const {
  const Impl& d = *impl_;
  std::shared_lock<std::shared_mutex> lock(d.mutex);
  const std::int64_t length = d.DLength();
  const std::int64_t a = std::clamp<std::int64_t>(std::min(range.start, range.end), 0, length);
  const std::int64_t b = std::clamp<std::int64_t>(std::max(range.start, range.end), 0, length);
  text.clear();
  AnsiWriter writer(*d.codec, d.cp, text);
  if (!d.DReadChars(a, b, [&](char16_t value) { writer.Put(value); })) {
    text.clear();
    return false;
  }
  writer.Flush();
  return true;
}

// ---- Editing --------------------------------------------------------------------------------

void LogDocument::Replace(TextRange range, std::u16string_view text) {
  Impl& d = *impl_;
  std::unique_lock<std::shared_mutex> lock(d.mutex);
  d.indexChanged.wait(lock, [&] { return d.complete || !d.indexing; });
  if (!d.complete) return;  // edits need the whole text
  d.ReplaceLocked(range, d.codec->ValuesFromUtf16(text));
}

bool LogDocument::CanUndo() const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return !impl_->undo.empty();
}

std::optional<TextRange> LogDocument::Undo() {
  std::unique_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->UndoLocked();
}

bool LogDocument::Modified() const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->modified;
}

void LogDocument::SetModified(bool modified) {
  Impl& d = *impl_;
  std::unique_lock<std::shared_mutex> lock(d.mutex);
  d.modified = modified;
  // Not modified: this text is the saved one, and undoing back to it clears the mark again.
  d.savedDepth = d.undo.size();
  d.savedLost = modified;
}

// ---- Search and text out --------------------------------------------------------------------

std::optional<TextRange> LogDocument::Find(std::int64_t from, std::int64_t to,
                                           std::string_view what, bool matchCase, bool wholeWord,
                                           bool* readFailed) const {
  Impl& d = *impl_;
  std::shared_lock<std::shared_mutex> lock(d.mutex);
  d.indexChanged.wait(lock, [&] { return d.complete || !d.indexing; });
  const std::uint64_t failures = d.cache->Failures();
  std::optional<TextRange> found = d.FindLocked(from, to, what, matchCase, wholeWord);
  if (readFailed) *readFailed = !found && d.cache->Failures() != failures;
  return found;
}

bool LogDocument::WriteRichText(const std::function<bool(std::string_view)>& write) const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->WriteRichTextLocked(write);
}

LineSource& LogDocument::Lines() { return *impl_->lineSource; }

}  // namespace vt9::logs
