// The log document at its limits: a log past 4 GB (positions beyond 32 bits in bytes and in
// characters), undo back to the saved text, and failures on the indexing thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

#include "logs/log_document.h"
#include "support/log_document_support.h"

namespace vt9 {
namespace {

// A 4.3 GB log made when read: lines of 1,000,000 bytes (dots, then CR LF), with a unique word
// just past byte 2^31 and one just past byte 2^32.
class HugeLogFile : public RandomAccessFile {
 public:
  static constexpr std::uint64_t kLineBytes = 1000000;
  static constexpr std::uint64_t kSize = 4300000000;
  static constexpr std::uint64_t kWord31 = (std::uint64_t(1) << 31) + 100;
  static constexpr std::uint64_t kWord32 = (std::uint64_t(1) << 32) + 100;
  static constexpr char kText31[] = "needle31";
  static constexpr char kText32[] = "needle32";

  std::int64_t Size() override { return std::int64_t(kSize); }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset >= kSize) return 0;
    const std::uint64_t end = std::min<std::uint64_t>(offset + size, kSize);
    char* out = static_cast<char*>(buffer);
    for (std::uint64_t at = offset; at < end;) {
      const std::uint64_t inLine = at % kLineBytes;
      const std::uint64_t run = std::min(kLineBytes - inLine, end - at);
      for (std::uint64_t k = 0; k < run; ++k) {
        const std::uint64_t o = inLine + k;
        out[k] = o == kLineBytes - 2 ? '\r' : o == kLineBytes - 1 ? '\n' : '.';
      }
      out += run;
      at += run;
    }
    Place(offset, end, kWord31, kText31, static_cast<char*>(buffer));
    Place(offset, end, kWord32, kText32, static_cast<char*>(buffer));
    return std::int64_t(end - offset);
  }
  // Characters count CR LF as one.
  static std::int64_t CharOfByte(std::uint64_t byte) {
    return std::int64_t(byte - byte / kLineBytes);
  }

 private:
  static void Place(std::uint64_t from, std::uint64_t to, std::uint64_t at, const char* word,
                    char* out) {
    for (std::uint64_t i = 0; word[i]; ++i)
      if (at + i >= from && at + i < to) out[at + i - from] = word[i];
  }
};

TEST(LogDocumentLimits, PositionsPastTwoAndFourGigabytes) {
  logs::LogDocument doc(std::make_unique<HugeLogFile>(), test::WesternCodePage());
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  ASSERT_TRUE(doc.IndexComplete());
  ASSERT_FALSE(doc.ReadFailed());
  constexpr std::int64_t kChars = HugeLogFile::kLineBytes - 1;  // a line with its break
  const std::int64_t lines = std::int64_t(HugeLogFile::kSize / HugeLogFile::kLineBytes);
  EXPECT_EQ(doc.LineCount(), lines + 1);  // the empty line after the last break
  EXPECT_EQ(doc.Length(), lines * kChars);

  for (const std::uint64_t edge : {std::uint64_t(1) << 31, std::uint64_t(1) << 32}) {
    // The line straddling the edge in bytes, and the one straddling it in characters.
    const auto byteLine = std::int64_t(edge / HugeLogFile::kLineBytes);
    EXPECT_EQ(doc.LineStart(byteLine), byteLine * kChars) << edge;
    EXPECT_EQ(doc.LineFromPosition(HugeLogFile::CharOfByte(edge)), byteLine) << edge;
    EXPECT_EQ(doc.LineLength(byteLine), kChars - 1) << edge;
    const auto charLine = std::int64_t(edge / std::uint64_t(kChars));
    EXPECT_EQ(doc.LineFromPosition(std::int64_t(edge)), charLine) << edge;
    EXPECT_EQ(doc.LineFromPosition(doc.LineStart(charLine + 1) - 1), charLine) << edge;
    const std::int64_t column = std::int64_t(edge) - doc.LineStart(charLine);
    EXPECT_EQ(doc.RangeTextAnsi({std::int64_t(edge) - 1, std::int64_t(edge) + 1}).size(), 2u);
    EXPECT_EQ(doc.LineText16(charLine, column, 2).size(), 2u) << edge;
  }
  // The words, by line text and by search, in characters.
  const std::int64_t at31 = HugeLogFile::CharOfByte(HugeLogFile::kWord31);
  const std::int64_t at32 = HugeLogFile::CharOfByte(HugeLogFile::kWord32);
  const std::int64_t line31 = doc.LineFromPosition(at31);
  EXPECT_EQ(doc.LineText16(line31, at31 - doc.LineStart(line31), 8), u"needle31");
  const auto found31 = doc.Find(0, -1, "NEEDLE31", false, true);
  ASSERT_TRUE(found31);
  EXPECT_EQ(found31->start, at31);
  EXPECT_EQ(found31->end, at31 + 8);
  const auto found32 = doc.Find(found31->end, -1, "needle32", true, false);
  ASSERT_TRUE(found32);
  EXPECT_EQ(found32->start, at32);
  EXPECT_FALSE(doc.Find(found32->end, -1, "needle", false, false));
}

TEST(LogDocumentLimits, UndoingEveryEditLeavesTheSavedText) {
  auto doc = std::make_unique<logs::LogDocument>(test::MemoryFileOf("short\nlines\n"),
                                                 test::WesternCodePage());
  std::atomic<bool> stop{false};
  doc->BuildIndex(stop);
  ASSERT_EQ(doc->LongestLine(), 5);
  doc->Replace({0, 0}, u"a much longer first line ");
  doc->Replace({0, 0}, u"x");
  EXPECT_TRUE(doc->Modified());
  EXPECT_EQ(doc->LongestLine(), 31);
  doc->Undo();
  EXPECT_TRUE(doc->Modified());
  doc->Undo();
  EXPECT_FALSE(doc->Modified()) << "back at the text as opened";
  EXPECT_EQ(doc->LongestLine(), 5) << "the long line is gone";

  // Saved in between: undoing to the saved text clears the mark, undoing past it sets it again.
  doc->Replace({0, 0}, u"1");
  doc->SetModified(false);
  doc->Replace({0, 0}, u"2");
  EXPECT_TRUE(doc->Modified());
  doc->Undo();
  EXPECT_FALSE(doc->Modified());
  doc->Undo();
  EXPECT_TRUE(doc->Modified());
}

TEST(LogDocumentLimits, DoubleByteTextIsIndexedWithoutConvertingItsCharacters) {
  // 64 MB of Shift-JIS-shaped text: pairs, single bytes and breaks, with a lead byte before a
  // break (a character of its own) and pairs across every block edge.
  std::string text;
  const std::string line = "\x82\xa0\x82\xa2 backup \x93\xfa\x96\x7b\xe0\r\n";
  while (text.size() < (64u << 20)) text += line;
  std::atomic<long> conversions{0};
  logs::CodePage cp = test::DoubleByteCodePage();
  const auto convert = cp.toUtf16;
  cp.toUtf16 = [&conversions, convert](std::string_view s) {
    ++conversions;
    return convert(s);
  };
  logs::LogDocument doc(test::MemoryFileOf(text), cp, 1000003);
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  EXPECT_LT(conversions.load(), 1000) << "indexing converts no characters";
  const std::int64_t lines = std::int64_t(text.size() / line.size());
  ASSERT_EQ(doc.LineCount(), lines + 1);
  // Per line: 2 pairs, " backup ", 2 pairs, a lone lead byte before the break.
  EXPECT_EQ(doc.LineLength(lines / 2), 2 + 8 + 2 + 1);
  EXPECT_EQ(doc.LineStart(lines - 1), (lines - 1) * 14);
  EXPECT_EQ(doc.LongestLine(), 13);
}

TEST(LogDocumentLimits, WholeWordsOnALongDoubleByteLine) {
  // 256 KB of words that hold "ab" only inside them, and pairs whose trail byte is 'a' (0x82 'a'
  // is one character): none is a whole-word "ab". The one real word is near the end.
  std::string line;
  while (line.size() < 256 * 1024)
    line +=
        "xaby \x82"
        "ab ";
  line += "\x82\xa0 ab.";
  auto doc = std::make_unique<logs::LogDocument>(test::MemoryFileOf(line + "\r\nab"),
                                                 test::DoubleByteCodePage(), 4096);
  std::atomic<bool> stop{false};
  doc->BuildIndex(stop);
  const std::int64_t lineChars = doc->LineLength(0);
  const auto found = doc->Find(0, -1, "ab", false, true);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->start, lineChars - 3);
  const auto next = doc->Find(found->end, -1, "ab", false, true);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->start, lineChars + 1) << "the next line";
  // Not whole words: the first "ab" inside "xaby"; the pair 0x82 'a' is skipped.
  const auto inner = doc->Find(0, -1, "ab", true, false);
  ASSERT_TRUE(inner);
  EXPECT_EQ(inner->start, 1);
  const auto second = doc->Find(2, -1, "ab", true, false);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->start, 9) << "after \"xaby \", the pair and \"b \": the next \"xaby\"";
}

// A file whose one read throws: an allocation failure (or any exception) on the indexing thread.
class ThrowingFile : public RandomAccessFile {
 public:
  explicit ThrowingFile(int goodReads) : goodReads_(goodReads) {}
  std::int64_t Size() override { return 3 * 4096; }
  std::int64_t ReadAt(std::uint64_t, void* buffer, std::size_t size) override {
    if (goodReads_-- == 0) throw std::bad_alloc();
    std::memset(buffer, 'x', size);
    static_cast<char*>(buffer)[size - 1] = '\n';
    return std::int64_t(size);
  }

 private:
  int goodReads_;
};

TEST(LogDocumentLimits, AFailureOnTheIndexingThreadIsAReadError) {
  // Opening reads the first bytes (the byte-order mark); the first block is read whole, then the
  // second read throws.
  logs::LogDocument doc(std::make_unique<ThrowingFile>(2), test::WesternCodePage(), 4096);
  std::atomic<bool> stop{false};
  std::thread worker([&] { doc.BuildIndex(stop); });
  worker.join();  // the exception did not end the program
  EXPECT_TRUE(doc.ReadFailed());
  EXPECT_TRUE(doc.IndexComplete()) << "a wait on the index must not hang";
  EXPECT_EQ(doc.LineCount(), 2);
  EXPECT_FALSE(doc.Find(0, -1, "y", false, false));  // returns instead of waiting for ever
  EXPECT_EQ(doc.FileBytes(), 4096u);
}

// Reads fail for a while (a share that drops for a moment), or from a byte on for good.
class FlakyFile : public RandomAccessFile {
 public:
  FlakyFile(std::string bytes, int failures) : bytes_(std::move(bytes)), failures_(failures) {}
  std::int64_t Size() override { return std::int64_t(bytes_.size()); }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset >= brokenFrom && offset > 0) return -1;
    if (offset > 0 && failures_ > 0) {
      --failures_;
      return -1;
    }
    if (offset >= bytes_.size()) return 0;
    const std::uint64_t end = std::min<std::uint64_t>(bytes_.size(), brokenFrom);
    const std::size_t n = std::size_t(std::min<std::uint64_t>(size, end - offset));
    std::memcpy(buffer, bytes_.data() + offset, n);
    return std::int64_t(n);
  }
  std::atomic<std::uint64_t> brokenFrom{UINT64_MAX};

 private:
  std::string bytes_;
  std::atomic<int> failures_;
};

std::string Lines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

TEST(LogDocumentLimits, ATransientReadFailureWhileIndexingIsRetried) {
  const std::string text = Lines(3000);
  logs::LogDocument doc(std::make_unique<FlakyFile>(text, 2), test::WesternCodePage(), 4096);
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  EXPECT_FALSE(doc.ReadFailed());
  EXPECT_EQ(doc.LineCount(), 3001);
  EXPECT_EQ(doc.FileBytes(), text.size());
  EXPECT_EQ(doc.LineTextAnsi(2999), "line 2999");

  // One that does not come back still ends the text where it could be read.
  logs::LogDocument gone(std::make_unique<FlakyFile>(text, 1000), test::WesternCodePage(), 4096);
  gone.BuildIndex(stop);
  EXPECT_TRUE(gone.ReadFailed());
  EXPECT_LT(gone.LineCount(), 3001);
}

TEST(LogDocumentLimits, ReadFailuresAfterIndexingAreErrorsNotEmptyText) {
  const std::string text = Lines(3000) + "the last word";
  auto file = std::make_unique<FlakyFile>(text, 0);
  FlakyFile& flaky = *file;
  logs::LogDocument doc(std::move(file), test::WesternCodePage(), 4096);
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  ASSERT_FALSE(doc.ReadFailed());
  std::string ansi;
  ASSERT_TRUE(doc.RangeTextAnsi({0, 20}, ansi));
  EXPECT_EQ(ansi, "line 0\r\nline 1\r\nline 2");
  flaky.brokenFrom = 8192;  // the file is cut: everything from the third block on is gone
  EXPECT_FALSE(doc.RangeTextAnsi({0, doc.Length()}, ansi));
  EXPECT_EQ(ansi, "");
  std::u16string wide;
  EXPECT_FALSE(doc.RangeText16({doc.Length() - 5, doc.Length()}, wide));
  EXPECT_TRUE(doc.RangeText16({0, 6}, wide)) << "the first block is still there";
  EXPECT_EQ(wide, u"line 0");
  bool readFailed = false;
  EXPECT_FALSE(doc.Find(0, -1, "last word", false, false, &readFailed));
  EXPECT_TRUE(readFailed) << "not a plain \"Not Found\"";
  EXPECT_TRUE(doc.Find(0, 100, "line 1", false, false, &readFailed));
  EXPECT_FALSE(readFailed);
  EXPECT_FALSE(doc.Find(0, 100, "absent", false, false, &readFailed));
  EXPECT_FALSE(readFailed) << "nothing unread in the range";
  EXPECT_FALSE(doc.WriteRichText([](std::string_view) { return true; }));
  // A line is read no further than asked (EM_GETLINE's buffer).
  EXPECT_EQ(doc.LineTextAnsi(1, 0, 4), "line");
}

// One thread reads through every const member while another indexes a file that shrinks
// (ThreadSanitizer in the sanitized build reports any unguarded access).
TEST(LogDocumentLimits, ReadingWhileAShrinkingFileIsIndexed) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i) + "\r\n";
  auto bytes = std::make_shared<test::FileBytes>();
  bytes->bytes = text;
  logs::LogDocument doc(std::make_unique<test::MemoryFile>(bytes), test::WesternCodePage(), 2048);
  std::atomic<bool> stop{false};
  std::atomic<bool> done{false};
  std::thread worker([&] {
    doc.BuildIndex(stop, [&](std::uint64_t indexed) {
      if (indexed > 50000) {
        std::lock_guard<std::mutex> lock(bytes->mutex);
        bytes->bytes.resize(60000);
      }
    });
    done = true;
  });
  // As the window's progress does: the size and the bytes indexed, without any other call.
  std::thread progress([&] {
    do {
      const std::uint64_t size = doc.FileBytes();
      if (size > 0) {
        EXPECT_LE(doc.IndexedBytes() * 100 / size, 100u);
      }
    } while (!done);
  });
  std::uint64_t reads = 0;
  do {  // at least once, also when the index is done before this thread gets going
    const std::uint64_t size = doc.FileBytes();
    EXPECT_LE(doc.IndexedBytes(), std::max<std::uint64_t>(size, text.size()));
    const std::int64_t lines = doc.LineCount();
    (void)doc.LineText16(lines / 2);
    (void)doc.LineTextAnsi(lines - 1);
    (void)doc.RangeTextAnsi({0, 100});
    (void)doc.RangeText16({0, 100});
    (void)doc.LongestLine();
    (void)doc.Length();
    (void)doc.LineStart(lines - 1);
    (void)doc.LineLength(lines - 1);
    (void)doc.LineFromPosition(50);
    (void)doc.ReadFailed();
    (void)doc.IndexComplete();
    (void)doc.IndexMemoryBytes();
    (void)doc.Modified();
    (void)doc.CanUndo();
    (void)doc.Encoding();
    ++reads;
  } while (!done);
  worker.join();
  progress.join();
  EXPECT_GT(reads, 0u);
  EXPECT_TRUE(doc.ReadFailed());
  EXPECT_EQ(doc.FileBytes(), 60000u);
}

}  // namespace
}  // namespace vt9
