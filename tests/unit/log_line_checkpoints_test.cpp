// Far columns of a very long UTF-8 or double-byte line: painting them reads the file only near
// them, once the line has been entered, and the text there is the line's.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "logs/log_document.h"
#include "support/log_document_support.h"

namespace vt9 {
namespace {

// One line of `units` repeats of a 3-byte unit of two characters (an ASCII letter and a
// two-byte character), behind `prefix` and ended by CR LF, made when read; counts the bytes
// read.
class LongLineFile : public RandomAccessFile {
 public:
  LongLineFile(std::string prefix, std::string unit, std::uint64_t units,
               std::atomic<std::uint64_t>& bytesRead)
      : prefix_(std::move(prefix)), unit_(std::move(unit)), units_(units), read_(bytesRead) {}
  std::uint64_t LineEnd() const { return prefix_.size() + unit_.size() * units_; }
  std::int64_t Size() override { return std::int64_t(LineEnd() + 2); }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    const std::uint64_t total = LineEnd() + 2;
    if (offset >= total) return 0;
    const std::uint64_t end = std::min<std::uint64_t>(offset + size, total);
    char* out = static_cast<char*>(buffer);
    for (std::uint64_t at = offset; at < end; ++at) {
      if (at < prefix_.size())
        *out++ = prefix_[at];
      else if (at < LineEnd())
        *out++ = unit_[(at - prefix_.size()) % unit_.size()];
      else
        *out++ = at == LineEnd() ? '\r' : '\n';
    }
    read_ += end - offset;
    return std::int64_t(end - offset);
  }

 private:
  std::string prefix_, unit_;
  std::uint64_t units_;
  std::atomic<std::uint64_t>& read_;
};

constexpr std::size_t kBlock = 64 * 1024;
constexpr std::uint64_t kUnits = 33'333'334;  // a line of 100 MB, 66,666,668 characters

// Columns [first, first + 10) of the line as the unit's two characters alternate.
std::u16string Expected(std::int64_t first, char16_t even, char16_t odd) {
  std::u16string text;
  for (std::int64_t c = first; c < first + 10; ++c) text += c % 2 == 0 ? even : odd;
  return text;
}

void CheckFarColumns(const std::string& prefix, const std::string& unit, logs::CodePage cp,
                     char16_t even, char16_t odd) {
  std::atomic<std::uint64_t> bytesRead{0};
  logs::LogDocument doc(std::make_unique<LongLineFile>(prefix, unit, kUnits, bytesRead), cp,
                        kBlock);
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  ASSERT_EQ(doc.LineLength(0), std::int64_t(2 * kUnits));
  // The first time in, the line is counted up to the column.
  EXPECT_EQ(doc.LineText16(0, 50'000'000, 10), Expected(50'000'000, even, odd));
  // From then on a column anywhere before it, or just beyond, reads about a checkpoint's
  // spacing and the columns asked (the block cache rounds to its blocks at both ends).
  const std::uint64_t bound = 3 * kBlock + 4 * 10;
  for (const std::int64_t column :
       {50'000'001LL, 49'999'990LL, 20'000'003LL, 131'073LL, 50'000'000LL + 70'000}) {
    bytesRead = 0;
    EXPECT_EQ(doc.LineText16(0, column, 10), Expected(column, even, odd)) << column;
    EXPECT_LE(bytesRead.load(), bound) << "column " << column;
  }
  // The line's last columns: counted on to there once, then near them again.
  EXPECT_EQ(doc.LineText16(0, 66'666'658, 10), Expected(66'666'658, even, odd));
  bytesRead = 0;
  EXPECT_EQ(doc.LineText16(0, 66'666'657, 10), Expected(66'666'657, even, odd));
  EXPECT_LE(bytesRead.load(), bound);
  // A column past the end of the line gives nothing, its last columns what is there.
  EXPECT_EQ(doc.LineText16(0, 2 * kUnits, 10), u"");
  EXPECT_EQ(doc.LineText16(0, 2 * kUnits - 1, 10), std::u16string(1, odd));
}

TEST(LogLineCheckpoints, FarColumnsOfALongUtf8LineReadOnlyNearThem) {
  CheckFarColumns("\xEF\xBB\xBF", "a\xC3\xA9", test::WesternCodePage(), u'a', u'\u00E9');
}

TEST(LogLineCheckpoints, FarColumnsOfALongDoubleByteLineReadOnlyNearThem) {
  // The pair's trail byte is an ASCII letter: only counting from a character start tells it
  // from the letter.
  const logs::CodePage cp = test::DoubleByteCodePage();
  const std::u16string pair = cp.toUtf16("\x82\x61");
  ASSERT_EQ(pair.size(), 1u);
  CheckFarColumns("", "a\x82\x61", cp, u'a', pair[0]);
}

}  // namespace
}  // namespace vt9
