// The log document without a window: the line index over every kind of line break and
// encoding at every block boundary, placeholders, long lines, a file that shrinks, edits with
// undo, search against a plain reference, the lines for printing and rich text out.
#include "logs/log_document.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "support/log_document_support.h"

namespace vt9 {
namespace {

using test::MakeReference;
using test::MemoryFileOf;

std::unique_ptr<logs::LogDocument> Open(const std::string& bytes, std::size_t block = 1 << 20,
                                        logs::CodePage cp = test::WesternCodePage()) {
  auto doc = std::make_unique<logs::LogDocument>(MemoryFileOf(bytes), std::move(cp), block);
  std::atomic<bool> stop{false};
  doc->BuildIndex(stop);
  return doc;
}

// Every line, position and range of the document against the reference made from the bytes.
void ExpectSameAsReference(const logs::LogDocument& doc, const std::string& bytes,
                           const logs::CodePage& cp, const std::string& what) {
  const test::ReferenceText ref = MakeReference(bytes, cp);
  ASSERT_EQ(doc.LineCount(), std::int64_t(ref.lines.size())) << what;
  std::int64_t start = 0;
  for (std::size_t i = 0; i < ref.lines.size(); ++i) {
    const auto line = std::int64_t(i);
    EXPECT_EQ(doc.LineStart(line), start) << what << " line " << i;
    EXPECT_EQ(doc.LineLength(line), std::int64_t(ref.lines[i].size())) << what << " line " << i;
    EXPECT_EQ(doc.LineFromPosition(start), line) << what;
    EXPECT_EQ(doc.LineFromPosition(start + std::int64_t(ref.lines[i].size())), line) << what;
    start += std::int64_t(ref.lines[i].size()) + 1;
  }
  EXPECT_EQ(doc.Length(), start - 1) << what;
}

TEST(LogDocumentLines, MixedBreaksAtEveryBlockBoundary) {
  const std::string text = "one\r\ntwo\nthree\rfour\r\n\r\n\n\r\rlast";
  for (std::size_t block = 1; block <= text.size() + 1; ++block) {
    auto doc = Open(text, block);
    const std::string what = "block " + std::to_string(block);
    ASSERT_TRUE(doc->IndexComplete()) << what;
    ExpectSameAsReference(*doc, text, test::WesternCodePage(), what);
    EXPECT_EQ(doc->LineCount(), 9) << what;
    EXPECT_EQ(doc->LineText16(2), u"three") << what;
    EXPECT_EQ(doc->LineStart(3), 4 + 4 + 6) << what;  // every break one character
    EXPECT_EQ(doc->RangeTextAnsi({2, 10}), "e\r\ntwo\r\nth") << what;
    EXPECT_EQ(doc->LineTextAnsi(8), "last") << what;
    EXPECT_EQ(doc->LongestLine(), 5) << what;
  }
}

TEST(LogDocumentLines, EmptyTextFinalBreakAndPositionsOutside) {
  auto empty = Open("");
  EXPECT_TRUE(empty->IndexComplete());
  EXPECT_EQ(empty->LineCount(), 1);
  EXPECT_EQ(empty->Length(), 0);
  EXPECT_EQ(empty->LineText16(0), u"");
  EXPECT_EQ(empty->LineText16(5), u"");

  auto broken = Open("a\r\n");
  EXPECT_EQ(broken->LineCount(), 2);
  EXPECT_EQ(broken->Length(), 2);
  EXPECT_EQ(broken->LineStart(1), 2);
  EXPECT_EQ(broken->LineLength(1), 0);
  EXPECT_EQ(broken->LineFromPosition(1), 0);  // the break belongs to the line it ends
  EXPECT_EQ(broken->LineFromPosition(2), 1);
  EXPECT_EQ(broken->LineFromPosition(99), 1);
  EXPECT_EQ(broken->LineFromPosition(-5), 0);
  EXPECT_EQ(broken->RangeText16({-3, 99}), u"a\r\n");
  EXPECT_EQ(broken->RangeText16({2, 0}), u"a\r\n");  // ends in either order
}

TEST(LogDocumentLines, ControlBytesAreOnePlaceholderEachAndNeverBreakALine) {
  const std::string text = std::string("a\0b\x01\tc\x1f", 7) + "\x7f\xe9\r\nz";
  auto doc = Open(text, 3);
  ASSERT_EQ(doc->LineCount(), 2);
  EXPECT_EQ(doc->LineLength(0), 9);
  EXPECT_EQ(doc->LineText16(0), u"a\u00B7b\u00B7\tc\u00B7\x7f\u00e9");
  EXPECT_EQ(doc->LineTextAnsi(0), "a?b?\tc?\x7f\xe9");
  EXPECT_EQ(doc->LineText16(0, 1, 3), u"\u00B7b\u00B7");
  EXPECT_EQ(doc->LineStart(1), 10);
}

TEST(LogDocumentEncodings, ByteOrderMarksChooseTheEncodingAndAreNoText) {
  // UTF-8: two-, three- and four-byte characters (the last is two positions), a bad byte.
  const std::string utf8 =
      "\xEF\xBB\xBF"
      "caf\xC3\xA9\r\n\xE2\x82\xAC \xF0\x9F\x98\x80!\n\xFF"
      "x";
  for (std::size_t block : {1, 2, 3, 5, 64}) {
    auto doc = Open(utf8, block);
    EXPECT_EQ(doc->Encoding(), logs::TextEncoding::Utf8);
    ExpectSameAsReference(*doc, utf8, test::WesternCodePage(), "utf8");
    EXPECT_EQ(doc->LineText16(0), u"caf\u00e9");
    EXPECT_EQ(doc->LineText16(1), u"\u20ac \U0001F600!");
    EXPECT_EQ(doc->LineLength(1), 5);
    EXPECT_EQ(doc->LineText16(1, 3, 2), u"\xDE00!");  // from the second half of the pair
    EXPECT_EQ(doc->LineText16(2), u"\uFFFDx");
    EXPECT_EQ(doc->LineTextAnsi(0), "caf\xe9");
    EXPECT_EQ(doc->LineTextAnsi(1),
              "? ?"
              "?!");  // no ANSI form: the code page's '?'
  }
  // UTF-16LE, a lone CR between lines and a surrogate pair.
  std::u16string text16 = u"Gr\u00fc\u00dfe\r\n\u03a9\rend \U0001F600";
  std::string utf16 = "\xFF\xFE";
  for (char16_t u : text16) utf16 += {char(u & 0xFF), char(u >> 8)};
  for (std::size_t block : {1, 3, 4, 7, 64}) {
    auto doc = Open(utf16, block);
    EXPECT_EQ(doc->Encoding(), logs::TextEncoding::Utf16LE);
    ExpectSameAsReference(*doc, utf16, test::WesternCodePage(), "utf16");
    EXPECT_EQ(doc->LineCount(), 3);
    EXPECT_EQ(doc->LineText16(0), u"Gr\u00fc\u00dfe");
    EXPECT_EQ(doc->LineText16(2), u"end \U0001F600");
    EXPECT_EQ(doc->Length(), 5 + 1 + 1 + 1 + 6);
    EXPECT_EQ(doc->RangeText16({0, 8}), u"Gr\u00fc\u00dfe\r\n\u03a9\r\n");
  }
  // No mark: ANSI, even when the bytes would be UTF-8.
  EXPECT_EQ(Open("caf\xC3\xA9")->LineLength(0), 5);
}

TEST(LogDocumentEncodings, DoubleByteCharactersAreOnePosition) {
  const logs::CodePage cp = test::DoubleByteCodePage();
  // A pair, a pair whose trail byte is a backslash, a single byte above 127, a lead byte right
  // before a break (stands alone) and at the very end.
  const std::string text =
      "a\x82\xa0"
      "b\x95\\c\xa5\x81\r\n\x88\x9f\x81";
  for (std::size_t block = 1; block <= text.size(); ++block) {
    auto doc = Open(text, block, cp);
    ExpectSameAsReference(*doc, text, cp, "dbcs block " + std::to_string(block));
    EXPECT_EQ(doc->LineLength(0), 7);
    EXPECT_EQ(doc->LineLength(1), 2);
    EXPECT_EQ(doc->LineStart(1), 8);
    EXPECT_EQ(doc->LineTextAnsi(0),
              "a\x82\xa0"
              "b\x95\\c\xa5\x81");
    EXPECT_EQ(doc->RangeTextAnsi({1, 4}),
              "\x82\xa0"
              "b\x95\\");
  }
  auto doc = Open(text, 4, cp);
  // Search finds whole characters only: the trail byte '\' is no backslash of its own.
  EXPECT_FALSE(doc->Find(0, -1, "\\", true, false));
  const auto pair = doc->Find(0, -1, "\x95\\c", true, false);
  ASSERT_TRUE(pair);
  EXPECT_EQ(pair->start, 3);
  EXPECT_EQ(pair->end, 5);
}

// A file whose bytes are made when read: a line of 100 MB without a break, then a short one.
class LongLineFile : public RandomAccessFile {
 public:
  static constexpr std::int64_t kLine = 100 * 1000 * 1000;
  static char At(std::uint64_t i) {
    if (std::int64_t(i) == kLine) return '\n';
    if (std::int64_t(i) > kLine) return "tail"[i - kLine - 1];
    return char('a' + i % 23);
  }
  std::int64_t Size() override { return kLine + 5; }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    const std::uint64_t end = std::min<std::uint64_t>(offset + size, std::uint64_t(Size()));
    char* out = static_cast<char*>(buffer);
    for (std::uint64_t i = offset; i < end; ++i) *out++ = At(i);
    return std::int64_t(end > offset ? end - offset : 0);
  }
};

TEST(LogDocumentLines, AHundredMegabyteLineReadsOnlyTheColumnsAsked) {
  logs::LogDocument doc(std::make_unique<LongLineFile>(), test::WesternCodePage());
  std::atomic<bool> stop{false};
  std::uint64_t firstProgress = 0;
  doc.BuildIndex(stop, [&](std::uint64_t bytes) {
    if (!firstProgress) {
      firstProgress = bytes;
      // Already readable after the first block: the line so far.
      EXPECT_EQ(doc.LineCount(), 1);
      EXPECT_EQ(doc.LineText16(0, 0, 3), u"abc");
    }
  });
  EXPECT_LE(firstProgress, 2u << 20);
  ASSERT_EQ(doc.LineCount(), 2);
  EXPECT_EQ(doc.LineLength(0), LongLineFile::kLine);
  EXPECT_EQ(doc.LongestLine(), LongLineFile::kLine);
  const std::int64_t column = LongLineFile::kLine - 7;
  std::u16string expected;
  for (int i = 0; i < 5; ++i) expected += char16_t(LongLineFile::At(std::uint64_t(column + i)));
  EXPECT_EQ(doc.LineText16(0, column, 5), expected);
  EXPECT_EQ(doc.LineText16(1), u"tail");
  EXPECT_EQ(doc.LineFromPosition(LongLineFile::kLine + 1), 1);
  // The only "w" followed by "\ntail" is at the end of the long line.
  std::string last;
  for (std::int64_t i = LongLineFile::kLine - 3; i < LongLineFile::kLine; ++i) {
    last += LongLineFile::At(std::uint64_t(i));
  }
  const auto found = doc.Find(LongLineFile::kLine - 100, -1, last + "\ntai", true, false);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->start, LongLineFile::kLine - 3);
}

TEST(LogDocumentReading, AFileThatShrinksGivesOneFailureAndKeepsWhatWasShown) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + "\r\n";
  auto bytes = std::make_shared<test::FileBytes>();
  bytes->bytes = text;
  logs::LogDocument doc(std::make_unique<test::MemoryFile>(bytes), test::WesternCodePage(), 4096);
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  EXPECT_EQ(doc.LineText16(0), u"line 0");  // its block is now cached
  EXPECT_FALSE(doc.ReadFailed());
  {
    std::lock_guard<std::mutex> lock(bytes->mutex);
    bytes->bytes.resize(100);
  }
  EXPECT_EQ(doc.LineText16(1999), u"");  // cannot be read any more
  EXPECT_TRUE(doc.ReadFailed());
  EXPECT_EQ(doc.LineText16(1), u"line 1");  // what was read stays
  EXPECT_EQ(doc.LineCount(), 2001);
  std::string line;
  EXPECT_FALSE(doc.Lines().ReadLine(1999, line));
  EXPECT_EQ(line, "");
  EXPECT_FALSE(doc.WriteRichText([](std::string_view) { return true; }));

  // Shrinking while the index is built ends the index where the file ended.
  auto growing = std::make_shared<test::FileBytes>();
  growing->bytes = text;
  logs::LogDocument early(std::make_unique<test::MemoryFile>(growing), test::WesternCodePage(),
                          4096);
  early.BuildIndex(stop, [&](std::uint64_t) {
    std::lock_guard<std::mutex> lock(growing->mutex);
    growing->bytes.resize(std::min<std::size_t>(growing->bytes.size(), 6000));
  });
  EXPECT_TRUE(early.IndexComplete());
  EXPECT_TRUE(early.ReadFailed());
  EXPECT_LT(early.LineCount(), 2000);
  EXPECT_EQ(early.LineText16(3), u"line 3");

  // No file at all, or one whose size cannot be had: an empty text and one failure.
  logs::LogDocument none(nullptr, test::WesternCodePage());
  none.BuildIndex(stop);
  EXPECT_TRUE(none.ReadFailed());
  EXPECT_EQ(none.LineCount(), 1);
  EXPECT_EQ(none.LineText16(0), u"");

  // A file that fails every read.
  auto failing = std::make_shared<test::FileBytes>();
  failing->bytes = text;
  failing->failReads = true;
  logs::LogDocument broken(std::make_unique<test::MemoryFile>(failing), test::WesternCodePage());
  broken.BuildIndex(stop);
  EXPECT_TRUE(broken.ReadFailed());
  EXPECT_TRUE(broken.IndexComplete());
  EXPECT_EQ(broken.LineCount(), 1);
}

TEST(LogDocumentReading, ReadsInBlocksNeverTheWholeFile) {
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "backup file " + std::to_string(i) + "\n";
  auto bytes = std::make_shared<test::FileBytes>();
  bytes->bytes = text;
  logs::LogDocument doc(std::make_unique<test::MemoryFile>(bytes), test::WesternCodePage());
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  EXPECT_LE(bytes->largestRead.load(), std::size_t(1) << 20);
  EXPECT_EQ(doc.LineTextAnsi(123456), "backup file 123456");
  EXPECT_LT(doc.IndexMemoryBytes(), std::size_t(200000) * 2 + 70000);
}

TEST(LogDocumentReading, LinesCanBeReadWhileTheIndexGrows) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += std::to_string(i) + "\r\n";
  logs::LogDocument doc(MemoryFileOf(text), test::WesternCodePage(), 1000);
  std::atomic<bool> stop{false};
  std::thread worker([&] { doc.BuildIndex(stop); });
  std::int64_t seen = 0;
  while (!doc.IndexComplete()) {
    const std::int64_t count = doc.LineCount();
    ASSERT_GE(count, seen);
    seen = count;
    if (count > 1) {
      ASSERT_EQ(doc.LineTextAnsi(count - 2), std::to_string(count - 2));
    }
  }
  worker.join();
  EXPECT_EQ(doc.LineCount(), 100001);

  // Stopped early, it resumes where it stopped.
  logs::LogDocument stopped(MemoryFileOf(text), test::WesternCodePage(), 1000);
  std::atomic<bool> stopNow{false};
  stopped.BuildIndex(stopNow, [&](std::uint64_t bytes) {
    if (bytes > 5000) stopNow = true;
  });
  EXPECT_FALSE(stopped.IndexComplete());
  EXPECT_LT(stopped.IndexedBytes(), 10000u);
  stopNow = false;
  stopped.BuildIndex(stopNow);
  EXPECT_TRUE(stopped.IndexComplete());
  ExpectSameAsReference(stopped, text, test::WesternCodePage(), "resumed");
}

TEST(LogDocumentEditing, EditsAndUndoKeepLinesAndPositions) {
  const std::string text = "first\r\nsecond\nthird";
  auto doc = Open(text, 4);
  std::u16string model = u"first\rsecond\rthird";  // breaks as one character
  auto expectModel = [&](const char* what) {
    std::string bytes;
    for (char16_t c : model) bytes += char(c);
    ExpectSameAsReference(*doc, bytes, test::WesternCodePage(), what);
  };
  EXPECT_FALSE(doc->Modified());
  EXPECT_FALSE(doc->CanUndo());
  doc->Replace({5, 5}, u"!");  // typing at a line's end
  model.insert(5, u"!");
  expectModel("typed");
  EXPECT_TRUE(doc->Modified());
  doc->Replace({8, 8}, u"\r\n");  // Enter inside "second"
  model.insert(8, u"\r");
  expectModel("enter");
  EXPECT_EQ(doc->LineText16(1), u"s");
  EXPECT_EQ(doc->LineText16(2), u"econd");
  doc->Replace({3, 10}, u"");  // delete across breaks
  model.erase(3, 7);
  expectModel("deleted");
  EXPECT_EQ(doc->RangeTextAnsi({0, 100}), "fircond\r\nthird");
  doc->Replace({doc->Length(), doc->Length()}, u"\nend \u00e9\u20ac");  // paste at the end
  model += u"\rend \u00e9?";
  expectModel("pasted");
  EXPECT_EQ(doc->LineTextAnsi(2), "end \xe9?");
  doc->SetModified(false);
  EXPECT_FALSE(doc->Modified());

  auto undone = doc->Undo();
  ASSERT_TRUE(undone);
  EXPECT_EQ(undone->start, 13);
  EXPECT_EQ(undone->end, 13);
  EXPECT_EQ(doc->RangeTextAnsi({0, 100}), "fircond\r\nthird");
  EXPECT_TRUE(doc->Modified());
  undone = doc->Undo();
  ASSERT_TRUE(undone);
  EXPECT_EQ(undone->start, 3);
  EXPECT_EQ(undone->end, 10);  // the restored text
  EXPECT_EQ(doc->RangeTextAnsi({0, 100}), "first!\r\ns\r\necond\r\nthird");
  doc->Undo();
  doc->Undo();
  EXPECT_EQ(doc->RangeTextAnsi({0, 100}), "first\r\nsecond\r\nthird");
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_FALSE(doc->Undo());
  ExpectSameAsReference(*doc, "first\nsecond\nthird", test::WesternCodePage(), "all undone");

  // Search, rich text and printing use the edited text.
  doc->Replace({0, 5}, u"FIRST");
  EXPECT_TRUE(doc->Find(0, -1, "FIRST", true, true));
  EXPECT_FALSE(doc->Find(0, -1, "first", true, false));
  std::string line;
  ASSERT_TRUE(doc->Lines().ReadLine(0, line));
  EXPECT_EQ(line, "FIRST");
  // An empty file can be typed into.
  auto empty = Open("");
  empty->Replace({0, 0}, u"x\r\n");
  EXPECT_EQ(empty->LineCount(), 2);
  EXPECT_EQ(empty->RangeText16({0, 9}), u"x\r\n");
}

TEST(LogDocumentEditing, ManyRandomEditsMatchAPlainString) {
  std::mt19937 random(7);
  std::string text;
  for (int i = 0; i < 300; ++i) text += "row " + std::to_string(i) + (i % 3 ? "\r\n" : "\n");
  auto doc = Open(text, 97);
  std::u16string model;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    model += text[i] == '\n' ? u'\r' : char16_t(text[i]);
  }
  std::vector<std::u16string> history;
  for (int step = 0; step < 400; ++step) {
    if (step % 5 == 4 && !history.empty()) {
      doc->Undo();
      model = history.back();
      history.pop_back();
    } else {
      const std::int64_t a = random() % (model.size() + 1);
      const std::int64_t b = std::min<std::int64_t>(model.size(), a + random() % 12);
      const char16_t* inserts[] = {u"", u"x", u"\r\n", u"ab\ncd", u"\r"};
      const std::u16string insert = inserts[random() % 5];
      if (a != b || !insert.empty()) history.push_back(model);  // nothing done, no undo step
      doc->Replace({a, b}, insert);
      std::u16string values;
      for (std::size_t k = 0; k < insert.size(); ++k) {
        if (insert[k] == u'\r' && k + 1 < insert.size() && insert[k + 1] == u'\n') continue;
        values += insert[k] == u'\n' ? u'\r' : insert[k];
      }
      model.replace(std::size_t(a), std::size_t(b - a), values);
    }
    if (step % 20 == 0) {
      std::string bytes;
      for (char16_t c : model) bytes += char(c);
      ExpectSameAsReference(*doc, bytes, test::WesternCodePage(), "step " + std::to_string(step));
    }
  }
}

char16_t FoldWestern(char16_t v, const void*) {
  return (v >= 'a' && v <= 'z') || (v >= 0xE0 && v <= 0xFE && v != 0xF7) ? char16_t(v - 32) : v;
}
bool WordWestern(char16_t v, const void*) {
  return (v >= '0' && v <= '9') || (v >= 'A' && v <= 'Z') || (v >= 'a' && v <= 'z') ||
         (v >= 0xC0 && v <= 0xFF && v != 0xD7 && v != 0xF7);
}

TEST(LogDocumentSearch, SameAsAPlainSearchForEveryOption) {
  std::mt19937 random(11);
  const char* words[] = {"Error", "error", "ERROR", "err",  "errors", "\xc9t\xe9", "\xe9t\xe9",
                         "x_err", "err9",  "(err)", "file", "\t",     "a",         "aa"};
  std::string text;
  for (int i = 0; i < 3000; ++i) {
    text += words[random() % 14];
    const int gap = int(random() % 6);
    text += gap == 0 ? "\r\n" : gap == 1 ? "\n" : gap == 2 ? "." : " ";
  }
  const test::ReferenceText ref = MakeReference(text, test::WesternCodePage());
  const std::u16string whole = ref.Whole();
  const char* patterns[] = {"err", "Error", "ERROR", "\xe9t\xe9", "a",        "aa",
                            "aaa", "r e",   "(err)", "err9",      "file\r\n", "nothing"};
  // Small blocks, one block, and the same text once edited (searched over character values).
  for (int round = 0; round < 3; ++round) {
    auto doc = Open(text, round == 0 ? 61 : 1 << 20);
    if (round == 2) {  // typed and deleted again: the same text, now in pieces
      doc->Replace({0, 0}, u"x");
      doc->Replace({0, 1}, u"");
    }
    for (const char* p : patterns) {
      std::u16string what;
      for (const char* c = p; *c; ++c) {
        if (*c == '\r') continue;
        what += *c == '\n' ? u'\r' : char16_t(static_cast<unsigned char>(*c));
      }
      for (int options = 0; options < 4; ++options) {
        const bool matchCase = options & 1;
        const bool wholeWord = options & 2;
        std::int64_t from = 0;
        int found = 0;
        for (;;) {
          const auto got = doc->Find(from, -1, p, matchCase, wholeWord);
          const auto want =
              test::ReferenceFind(whole, from, std::int64_t(whole.size()), what, matchCase,
                                  wholeWord, FoldWestern, WordWestern, nullptr);
          ASSERT_EQ(got.has_value(), want.has_value())
              << p << " options " << options << " from " << from;
          if (!got) break;
          ASSERT_EQ(got->start, want->start) << p << " options " << options;
          ASSERT_EQ(got->end, want->end);
          from = got->end;
          ++found;
        }
        if (std::string(p) == "nothing") {
          EXPECT_EQ(found, 0);
        }
      }
    }
    // A match must end before `to`.
    const auto first = doc->Find(0, -1, "err", true, false);
    ASSERT_TRUE(first);
    const auto shorter = doc->Find(first->start, first->end - 1, "err", true, false);
    EXPECT_TRUE(!shorter || shorter->start > first->start);
    EXPECT_TRUE(doc->Find(first->start, first->end, "err", true, false));
    EXPECT_FALSE(doc->Find(0, -1, "", false, false));
  }
}

TEST(LogDocumentSearch, DoubleByteTextIsSearchedByWholeCharacters) {
  // Pairs whose trail bytes are letters, digits or a backslash, and single bytes, in a
  // double-byte code page; a search must never start or end inside a pair, and a trail byte
  // is never folded.
  const logs::CodePage cp = test::DoubleByteCodePage();
  std::mt19937 random(5);
  const char* pieces[] = {"\x82\x61", "\x82\x41", "a",    "A", "\x95\\", "\\",      "\x81\x81",
                          "\x81",     "b1",       "\xa5", " ", "\r\n",   "\xe0\x62"};
  std::string text;
  for (int i = 0; i < 4000; ++i) text += pieces[random() % 13];
  const std::u16string whole = MakeReference(text, cp).Whole();
  auto fold = [](char16_t v, const void* c) -> char16_t {
    const logs::CodePage& p = *static_cast<const logs::CodePage*>(c);
    return v < 256 ? char16_t(p.upper[v]) : v;
  };
  auto word = [](char16_t v, const void* c) -> bool {
    const logs::CodePage& p = *static_cast<const logs::CodePage*>(c);
    if (v < 256) return p.wordChar[v];
    const char bytes[2] = {char(v >> 8), char(v & 0xFF)};
    const std::u16string u = p.toUtf16(std::string_view(bytes, 2));
    return p.isWordChar16(u[0]);
  };
  const char* patterns[] = {"a",    "A",        "\\", "\x82", "\x82\x61",  "\x61",
                            "\x81", "\x81\x81", "b1", "1 a",  "\x95\\\x82"};
  for (std::size_t block : {std::size_t(7), std::size_t(1) << 20}) {
    auto doc = Open(text, block, cp);
    for (const char* p : patterns) {
      std::u16string what;
      const std::string bytes = p;
      for (std::size_t k = 0; k < bytes.size(); ++k) {
        const unsigned char b = static_cast<unsigned char>(bytes[k]);
        if (cp.leadByte[b] && k + 1 < bytes.size()) {
          what += char16_t(b << 8 | static_cast<unsigned char>(bytes[k + 1]));
          ++k;
        } else {
          what += char16_t(b);
        }
      }
      for (int options = 0; options < 4; ++options) {
        std::int64_t from = 0;
        for (int n = 0; n < 40; ++n) {
          const auto got = doc->Find(from, -1, p, options & 1, options & 2);
          const auto want = test::ReferenceFind(whole, from, std::int64_t(whole.size()), what,
                                                options & 1, options & 2, fold, word, &cp);
          ASSERT_EQ(got.has_value(), want.has_value()) << p << " options " << options;
          if (!got) break;
          ASSERT_EQ(got->start, want->start) << p << " options " << options;
          from = got->start + 1 + std::int64_t(random() % 50);
        }
      }
    }
  }
}

TEST(LogDocumentSearch, UnicodeLogsAreSearchedInTheirOwnCharacters) {
  std::u16string text16 = u"\u03a9mega ERROR\r\n\u03c9mega error \u4e2d\u6587";
  std::string utf16 = "\xFF\xFE";
  for (char16_t u : text16) utf16 += {char(u & 0xFF), char(u >> 8)};
  auto doc = Open(utf16);
  const auto error = doc->Find(0, -1, "error", true, false);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->start, 18);
  const auto folded = doc->Find(0, -1, "error", false, true);
  ASSERT_TRUE(folded);
  EXPECT_EQ(folded->start, 6);
  // Latin-1 letters given as ANSI find their Unicode form.
  const std::string utf8 =
      "\xEF\xBB\xBF"
      "na\xC3\xAFve caf\xC3\xA9";
  auto doc8 = Open(utf8);
  const auto cafe = doc8->Find(0, -1, "CAF\xC9", false, true);
  ASSERT_TRUE(cafe);
  EXPECT_EQ(cafe->start, 6);
}

TEST(LogDocumentOut, LinesForPrintingOneAtATime) {
  auto doc = Open(std::string("one\r\n\ttwo\0\r\nthree", 16), 2);
  LineSource& lines = doc->Lines();
  EXPECT_EQ(lines.LineCount(), 3u);
  std::string line = "old";
  ASSERT_TRUE(lines.ReadLine(1, line));
  EXPECT_EQ(line, "\ttwo?");
  ASSERT_TRUE(lines.ReadLine(0, line));
  EXPECT_EQ(line, "one");
  EXPECT_FALSE(lines.ReadLine(3, line));
  EXPECT_EQ(line, "");
}

TEST(LogDocumentOut, RichTextEscapesAndKeepsEveryCharacter) {
  auto doc = Open(std::string("a{b}\\c\td\0\r\n\xe9", 12));
  std::string rtf;
  int pieces = 0;
  ASSERT_TRUE(doc->WriteRichText([&](std::string_view piece) {
    rtf += piece;
    ++pieces;
    return true;
  }));
  EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u) << rtf;
  EXPECT_NE(rtf.find("a\\{b\\}\\\\c\\tab d\\u183?\\par\r\n\\'e9}"), std::string::npos) << rtf;

  std::u16string text16 = u"\u4e2d{\U0001F600";
  std::string utf16 = "\xFF\xFE";
  for (char16_t u : text16) utf16 += {char(u & 0xFF), char(u >> 8)};
  std::string rtf16;
  ASSERT_TRUE(Open(utf16)->WriteRichText([&](std::string_view piece) {
    rtf16 += piece;
    return true;
  }));
  EXPECT_NE(rtf16.find("\\u20013?\\{\\u-10179?\\u-8704?}"), std::string::npos) << rtf16;

  // A writer that refuses stops the output.
  std::string big(300000, 'x');
  EXPECT_FALSE(Open(big)->WriteRichText([](std::string_view) { return false; }));
}

}  // namespace
}  // namespace vt9
