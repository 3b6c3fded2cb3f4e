// Following a growing log: the index extended by appends, cut at every kind of place, is the
// index of the whole file; a file that shrank, was replaced or began a byte-order mark is told
// apart from one that grew; edits hold the appended bytes back; nothing indexed is read again.
#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

#include "logs/filter_run.h"
#include "logs/line_filter.h"
#include "logs/log_document.h"
#include "logs/match_set.h"
#include "logs/problem_words.h"
#include "support/log_document_support.h"

namespace vt9 {
namespace {

using Growth = logs::LogDocument::Growth;

struct Growing {
  std::shared_ptr<test::FileBytes> bytes = std::make_shared<test::FileBytes>();
  std::unique_ptr<logs::LogDocument> doc;

  Growing(const std::string& start, std::size_t block, logs::CodePage cp) {
    bytes->bytes = start;
    doc = std::make_unique<logs::LogDocument>(std::make_unique<test::MemoryFile>(bytes),
                                              std::move(cp), block);
    std::atomic<bool> stop{false};
    doc->BuildIndex(stop);
  }
  void Append(const std::string& more) {
    std::lock_guard<std::mutex> lock(bytes->mutex);
    bytes->bytes += more;
  }
  // Takes in everything appended, `step` bytes a call; the last result before None.
  Growth Follow(std::uint64_t step = UINT64_MAX) {
    Growth last = Growth::None;
    for (int calls = 0; calls < 100000; ++calls) {
      const Growth g = doc->CheckGrowth(step);
      if (g != Growth::Grew) return g == Growth::None ? last : g;
      last = g;
    }
    return Growth::None;
  }
};

// Every line, position and text of `doc` against a document opened on the whole of `bytes`.
void ExpectSameAsOpened(const logs::LogDocument& doc, const std::string& bytes,
                        const logs::CodePage& cp, const std::string& what) {
  const test::ReferenceText ref = test::MakeReference(bytes, cp);
  logs::LogDocument whole(test::MemoryFileOf(bytes), cp);
  std::atomic<bool> stop{false};
  whole.BuildIndex(stop);
  ASSERT_EQ(doc.LineCount(), std::int64_t(ref.lines.size())) << what;
  ASSERT_EQ(doc.LineCount(), whole.LineCount()) << what;
  EXPECT_EQ(doc.FileBytes(), bytes.size()) << what;
  std::int64_t start = 0;
  for (std::int64_t line = 0; line < doc.LineCount(); ++line) {
    const std::int64_t length = std::int64_t(ref.lines[std::size_t(line)].size());
    EXPECT_EQ(doc.LineStart(line), start) << what << " line " << line;
    EXPECT_EQ(doc.LineLength(line), length) << what << " line " << line;
    EXPECT_EQ(doc.LineFromPosition(start + length), line) << what << " line " << line;
    EXPECT_EQ(doc.LineText16(line), whole.LineText16(line)) << what << " line " << line;
    start += length + 1;
  }
  EXPECT_EQ(doc.Length(), start - 1) << what;
  // The widest line seen: a character cut by an old end counted as up to three bytes that are
  // no character while it was the last line, and the scroll range never narrows.
  EXPECT_GE(doc.LongestLine(), whole.LongestLine()) << what;
  EXPECT_LE(doc.LongestLine(), whole.LongestLine() + 3) << what;
}

std::string Utf16(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t u : text) bytes += {char(u & 0xFF), char(u >> 8)};
  return bytes;
}

TEST(LogGrowth, AppendsCutAnywhereGiveTheIndexOfTheWholeFile) {
  struct Case {
    const char* name;
    std::string bytes;
    logs::CodePage cp;
  };
  const std::vector<Case> cases = {
      // CR LF, LF, lone CR, empty lines, CR LF cut between its halves, a final CR.
      {"western", "one\r\ntwo\nthree\rfour\r\n\r\n\n\r\rlast line\r", test::WesternCodePage()},
      // Pairs (one with a backslash trail byte), a lead byte before a break and at the end.
      {"double-byte",
       "a\x82\xa0"
       "b\x95\\c\r\n\x88\x9f\x81\r\x82\xa1\n",
       test::DoubleByteCodePage()},
      // Two-, three- and four-byte characters, a bad byte, CR LF.
      {"utf-8",
       "\xEF\xBB\xBF"
       "caf\xC3\xA9\r\n\xE2\x82\xAC \xF0\x9F\x98\x80!\r\xFF"
       "x\r\n\xC3\xA9",
       test::WesternCodePage()},
      {"utf-16", Utf16(u"Gr\u00fc\u00dfe\r\n\u03a9\rend \U0001F600\r\n\n\u00e9"),
       test::WesternCodePage()},
  };
  for (const Case& c : cases) {
    const std::size_t n = c.bytes.size();
    // Opened at one cut, grown to a second, then to the end; small blocks put the block
    // edges everywhere as well.
    for (std::size_t first = 0; first <= n; ++first) {
      for (std::size_t second = first; second <= n; ++second) {
        for (std::size_t block : {std::size_t(3), std::size_t(64)}) {
          const std::string what = std::string(c.name) + " cuts " + std::to_string(first) + "," +
                                   std::to_string(second) + " block " + std::to_string(block);
          Growing g(c.bytes.substr(0, first), block, c.cp);
          g.Append(c.bytes.substr(first, second - first));
          Growth step = g.Follow();
          if (step == Growth::Restart) {
            // Opened before its byte-order mark was whole: only reading it anew can tell.
            ASSERT_LT(first, 3u) << what;
            continue;
          }
          ASSERT_EQ(step, second > first ? Growth::Grew : Growth::None) << what;
          ExpectSameAsOpened(*g.doc, c.bytes.substr(0, second), c.cp, what);
          g.Append(c.bytes.substr(second));
          step = g.Follow(2);  // two bytes a call: a cut inside every character and break
          if (step == Growth::Restart) {
            ASSERT_LT(second, 3u) << what;
            continue;
          }
          ASSERT_EQ(step, second < n ? Growth::Grew : Growth::None) << what;
          ExpectSameAsOpened(*g.doc, c.bytes, c.cp, what);
          ASSERT_FALSE(HasFailure()) << what;
        }
      }
    }
  }
}

// Many lines of every length class (one- and two-byte index numbers, lines with and without
// CR LF, so groups of lines close and index chunks fill) grown at random places.
TEST(LogGrowth, RandomGrowthOverManyLinesKeepsTheIndexWhole) {
  std::mt19937 random(7);
  const char* breaks[] = {"\r\n", "\n", "\r"};
  std::string text = "\xEF\xBB\xBF";
  for (int i = 0; i < 5000; ++i) {
    const std::size_t length = random() % 8 == 0 ? 200 + random() % 300 : random() % 40;
    for (std::size_t k = 0; k < length; ++k) text += char('a' + random() % 26);
    if (random() % 5 == 0) text += "\xC3\xA9";
    text += breaks[random() % 3];
  }
  for (const bool utf8 : {false, true}) {
    const std::string bytes = utf8 ? text : text.substr(3);
    for (int run = 0; run < 6; ++run) {
      std::size_t at = random() % 5000;
      Growing g(bytes.substr(0, at), 1 + random() % 4096, test::WesternCodePage());
      while (at < bytes.size()) {
        // Cut right after a CR now and then, so its LF comes with the next write.
        std::size_t next = std::min(bytes.size(), at + 1 + random() % 30000);
        const std::size_t cr = bytes.find('\r', next);
        if (random() % 2 && cr != std::string::npos) next = cr + 1;
        g.Append(bytes.substr(at, next - at));
        at = next;
        ASSERT_EQ(g.Follow(1 + random() % 20000), Growth::Grew);
      }
      ExpectSameAsOpened(*g.doc, bytes, test::WesternCodePage(),
                         (utf8 ? "utf-8 run " : "ansi run ") + std::to_string(run));
      ASSERT_FALSE(HasFailure());
    }
  }
}

// Reads every call makes, so a test can see what growth reads again.
class CountingFile : public RandomAccessFile {
 public:
  explicit CountingFile(std::shared_ptr<test::FileBytes> bytes) : file_(bytes) {}
  std::int64_t Size() override { return file_.Size(); }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    reads.emplace_back(offset, size);
    return file_.ReadAt(offset, buffer, size);
  }
  std::vector<std::pair<std::uint64_t, std::size_t>> reads;

 private:
  test::MemoryFile file_;
};

TEST(LogGrowth, OnlyTheUnfinishedLastLineIsReadAgainAndMemoryStaysAsOpened) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "copied file " + std::to_string(i) + "\r\n";
  const std::string partial = "copied fi";
  auto bytes = std::make_shared<test::FileBytes>();
  bytes->bytes = text + partial;
  auto counting = std::make_unique<CountingFile>(bytes);
  CountingFile* file = counting.get();
  logs::LogDocument doc(std::move(counting), test::WesternCodePage(), 64 * 1024);
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  EXPECT_EQ(doc.LineTextAnsi(100000), partial);

  std::string more = "le 100000\r\n";
  for (int i = 100001; i < 300000; ++i) more += "copied file " + std::to_string(i) + "\r\n";
  {
    std::lock_guard<std::mutex> lock(bytes->mutex);
    bytes->bytes += more;
  }
  file->reads.clear();
  int steps = 0;
  while (doc.CheckGrowth(256 * 1024) == Growth::Grew) ++steps;
  EXPECT_GT(steps, 10);
  std::uint64_t read = 0;
  for (const auto& [offset, size] : file->reads) {
    // The first bytes (to see the file was not replaced) and the last line onwards only.
    if (offset + size <= 4096) continue;
    EXPECT_GE(offset, text.size()) << "read again at " << offset;
    read += size;
  }
  EXPECT_LE(read, partial.size() + more.size() + 64 * 1024);
  EXPECT_EQ(doc.LineTextAnsi(299999), "copied file 299999");
  EXPECT_EQ(doc.LineTextAnsi(100000), "copied file 100000");
  EXPECT_EQ(doc.LineCount(), 300001);

  // The index of a log followed in many steps takes what the index of the same log opened
  // whole takes, but for the room its tables keep for more lines.
  logs::LogDocument whole(test::MemoryFileOf(text + partial + more), test::WesternCodePage());
  whole.BuildIndex(stop);
  EXPECT_LE(doc.IndexMemoryBytes(), whole.IndexMemoryBytes() + whole.IndexMemoryBytes() / 16);

  // Find reaches the appended lines, and from before them.
  const auto found = doc.Find(0, -1, "file 299998", true, true);
  ASSERT_TRUE(found);
  EXPECT_EQ(doc.LineFromPosition(found->start), 299998);
}

TEST(LogGrowth, ShrunkReplacedAndRestartedFilesAreNotTakenForGrowth) {
  const std::string text = "2026-12-09 backup started\r\ncopied a\r\ncopied b\r\n";
  {
    Growing g(text, 1 << 20, test::WesternCodePage());
    EXPECT_EQ(g.doc->CheckGrowth(), Growth::None);
    {
      std::lock_guard<std::mutex> lock(g.bytes->mutex);
      g.bytes->bytes.resize(10);
    }
    EXPECT_EQ(g.doc->CheckGrowth(), Growth::Shrunk);
    EXPECT_EQ(g.doc->LineCount(), 4);  // what was shown stays until the window reads anew
  }
  {
    // Rewritten from the start and already longer than before: not an append.
    Growing g(text, 1 << 20, test::WesternCodePage());
    {
      std::lock_guard<std::mutex> lock(g.bytes->mutex);
      g.bytes->bytes = "2026-12-10 backup started\r\ncopied a\r\ncopied b\r\ncopied c\r\n";
    }
    EXPECT_EQ(g.doc->CheckGrowth(), Growth::Replaced);
  }
  {
    // The same size, other first bytes.
    Growing g(text, 1 << 20, test::WesternCodePage());
    {
      std::lock_guard<std::mutex> lock(g.bytes->mutex);
      g.bytes->bytes[3] = '7';
    }
    EXPECT_EQ(g.doc->CheckGrowth(), Growth::Replaced);
  }
  {
    // A change past the first 4 KB of a file that was shorter at opening is seen once it grew
    // that far: the first bytes kept grow with the file.
    Growing g("x", 1 << 20, test::WesternCodePage());
    g.Append(std::string(5000, 'y'));
    EXPECT_EQ(g.Follow(), Growth::Grew);
    {
      std::lock_guard<std::mutex> lock(g.bytes->mutex);
      g.bytes->bytes[4000] = 'z';
    }
    EXPECT_EQ(g.doc->CheckGrowth(), Growth::Replaced);
  }
  {
    // Opened while its first write had only begun a byte-order mark.
    Growing g("\xEF\xBB", 1 << 20, test::WesternCodePage());
    g.Append(
        "\xBF"
        "caf\xC3\xA9\r\n");
    EXPECT_EQ(g.doc->CheckGrowth(), Growth::Restart);
    Growing h("\xFF", 1 << 20, test::WesternCodePage());
    h.Append(
        std::string("\xFE"
                    "a\0",
                    3));
    EXPECT_EQ(h.doc->CheckGrowth(), Growth::Restart);
  }
  {
    // Before the first index is done there is nothing to continue.
    auto bytes = std::make_shared<test::FileBytes>();
    bytes->bytes = text;
    logs::LogDocument doc(std::make_unique<test::MemoryFile>(bytes), test::WesternCodePage());
    bytes->bytes += "more\r\n";
    EXPECT_EQ(doc.CheckGrowth(), Growth::None);
  }
}

// The problem lines of a followed log are those of the whole file opened at once, wherever the
// writes cut it: a problem word split over two writes, a CR whose LF came later, the unfinished
// last line matched before it was complete. Byte-wise (ANSI) and line-wise (UTF-8) passes.
TEST(LogGrowth, ProblemLinesOfAFollowedLogAreThoseOfTheWholeFile) {
  const std::string body =
      "Copied a\r\nerror: disk full\r\nCopied b\rfailed\nCopied c\r\nwarning x\r\nCopied d";
  for (const std::string& bytes : {body, "\xEF\xBB\xBF" + body}) {
    const auto problemsOf = [](logs::LogDocument& doc) {
      std::vector<std::int64_t> lines;
      const logs::MatchSet& set = doc.ProblemLines();
      for (std::int64_t n = 0; n < set.Count(); ++n) lines.push_back(set.Nth(n));
      return lines;
    };
    logs::LogDocument whole(test::MemoryFileOf(bytes), test::WesternCodePage());
    whole.SetProblemWords(logs::DefaultProblemWords());
    std::atomic<bool> stop{false};
    whole.BuildIndex(stop);
    const std::vector<std::int64_t> expected = problemsOf(whole);
    ASSERT_EQ(expected.size(), 3u);
    // From the fourth byte on, so that a byte-order mark is there when the log is opened.
    for (std::size_t at = 4; at < bytes.size(); ++at) {
      for (std::size_t step : {std::size_t(1), std::size_t(7), bytes.size()}) {
        Growing g("", 4, test::WesternCodePage());
        g.Append(bytes.substr(0, at));
        g.doc = std::make_unique<logs::LogDocument>(std::make_unique<test::MemoryFile>(g.bytes),
                                                    test::WesternCodePage(), 4);
        g.doc->SetProblemWords(logs::DefaultProblemWords());
        g.doc->BuildIndex(stop);
        for (std::size_t from = at; from < bytes.size(); from += step) {
          g.Append(bytes.substr(from, step));
          ASSERT_NE(g.Follow(3), logs::LogDocument::Growth::Restart);
        }
        EXPECT_EQ(problemsOf(*g.doc), expected) << "cut at " << at << ", steps of " << step;
        EXPECT_EQ(g.doc->ProblemLineCount(), std::int64_t(expected.size()));
      }
    }
  }
}

// A filter run over a followed log takes in the appended lines, finished or still running when
// the log grew, and ends with the lines a run over the whole file finds: a line whose word
// arrived in two writes, or whose CR got its LF later, counts once and in its final form.
TEST(LogGrowth, AFilterRunTakesInAppendedLines) {
  std::string bytes;
  for (int i = 0; i < 3000; ++i) {
    bytes += i % 97 == 0 ? "copy failed " : "Copied file ";
    bytes += std::to_string(i) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
  }
  bytes += "last fail";  // "failed" only once the next write comes
  const std::string more = "ed here\r\nCopied\r\nfailed too";
  const auto compile = [] {
    std::string error;
    return logs::LineFilter::Compile({{"failed"}}, {}, test::WesternCodePage(), &error);
  };
  const auto linesOf = [](const logs::FilterRun& run) {
    std::vector<std::int64_t> lines;
    for (std::int64_t n = 0; n < run.MatchCount(); ++n) lines.push_back(run.NthMatch(n));
    return lines;
  };
  Growing whole(bytes + more, 4096, test::WesternCodePage());
  logs::FilterRun reference(*whole.doc, compile());
  reference.Start({});
  while (!reference.Done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const std::vector<std::int64_t> expected = linesOf(reference);
  ASSERT_EQ(expected.size(), 33u);
  for (bool waitForTheFirstRun : {true, false}) {
    for (std::size_t cut : {bytes.size(), bytes.size() - 5, bytes.size() + 8, bytes.size() + 9}) {
      const std::string all = bytes + more;
      Growing g(all.substr(0, cut), 4096, test::WesternCodePage());
      logs::FilterRun run(*g.doc, compile());
      run.Start({});
      if (waitForTheFirstRun) {
        while (!run.Done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      g.Append(all.substr(cut));
      ASSERT_EQ(g.Follow(), Growth::Grew);
      run.TakeInGrowth();
      while (!run.Done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      EXPECT_EQ(run.LinesDone(), g.doc->LineCount());
      EXPECT_EQ(linesOf(run), expected)
          << "cut at " << cut << (waitForTheFirstRun ? "" : ", running");
    }
  }
}

TEST(LogGrowth, EditedTextHoldsAppendsBackAndKeepsWhatWasTyped) {
  Growing g("copied a\r\ncopied b", 1 << 20, test::WesternCodePage());
  g.doc->Replace({0, 0}, u"NOTE ");
  g.Append(" done\r\ncopied c\r\n");
  EXPECT_EQ(g.doc->CheckGrowth(), Growth::Edited);
  EXPECT_EQ(g.doc->CheckGrowth(), Growth::Edited);
  EXPECT_EQ(g.doc->LineCount(), 2);
  EXPECT_EQ(g.doc->LineTextAnsi(0), "NOTE copied a");
  EXPECT_EQ(g.doc->LineTextAnsi(1), "copied b");
  EXPECT_TRUE(g.doc->Modified());
  // Every edit undone, the text is the file's again and takes in what was appended.
  g.doc->Undo();
  EXPECT_EQ(g.doc->CheckGrowth(), Growth::Grew);
  EXPECT_EQ(g.doc->LineTextAnsi(1), "copied b done");
  EXPECT_EQ(g.doc->LineCount(), 4);
}

}  // namespace
}  // namespace vt9
