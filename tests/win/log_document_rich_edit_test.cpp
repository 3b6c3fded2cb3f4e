// The log document against a real rich-edit control under Wine: its saved rich text reads back
// to the same text (ANSI bytes above 127 and a Unicode log's characters), and its search finds
// what EM_FINDTEXT finds on the same text, with every option, from every start.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h: the find flags FR_... come from the common dialogs' header.
#include <commdlg.h>
#include <richedit.h>

#include <atomic>
#include <string>
#include <thread>

#include "logs/log_document.h"
#include "logs/win/log_file.h"
#include "support/win/paths.h"
#include "support/win/rich_edit_test.h"

namespace vt9 {
namespace {

class LogDocumentRichEdit : public test::RichEditTest {
 protected:
  LogDocumentRichEdit() : RichEditTest("logdoc") {}

  std::unique_ptr<logs::LogDocument> Open(const std::string& bytes) {
    const std::string path = folder_ + "log" + std::to_string(++files_) + ".log";
    test::WriteFile(path, bytes);
    auto file = win::OpenRandomAccessFile(path);
    EXPECT_NE(file, nullptr);
    auto doc = std::make_unique<logs::LogDocument>(std::move(file), win::SystemCodePage());
    std::atomic<bool> stop{false};
    doc->BuildIndex(stop);
    return doc;
  }

  struct Stream {
    std::string bytes;
    std::size_t at = 0;
  };
  static DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* got) {
    auto* s = reinterpret_cast<Stream*>(cookie);
    const std::size_t n = std::min<std::size_t>(std::size_t(size), s->bytes.size() - s->at);
    memcpy(buffer, s->bytes.data() + s->at, n);
    s->at += n;
    *got = LONG(n);
    return 0;
  }
  void StreamIn(const std::string& bytes, UINT format) {
    Stream s{bytes, 0};
    EDITSTREAM es = {};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&s);
    es.pfnCallback = ReadStream;
    SendMessageA(edit_, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
    ASSERT_EQ(es.dwError, 0u);
  }
  std::u16string Text16() const {
    GETTEXTLENGTHEX length = {GTL_USECRLF | GTL_NUMCHARS, 1200};
    const LRESULT n = SendMessageW(edit_, EM_GETTEXTLENGTHEX, WPARAM(&length), 0);
    std::u16string text(std::size_t(n) + 1, u'\0');
    GETTEXTEX get = {};
    get.cb = DWORD(text.size() * 2);
    get.flags = GT_USECRLF;
    get.codepage = 1200;
    const LRESULT got = SendMessageW(edit_, EM_GETTEXTEX, WPARAM(&get), LPARAM(text.data()));
    text.resize(std::size_t(got));
    return text;
  }

  int files_ = 0;
};

std::string RichTextOf(const logs::LogDocument& doc) {
  std::string rtf;
  EXPECT_TRUE(doc.WriteRichText([&](std::string_view piece) {
    rtf += piece;
    return true;
  }));
  return rtf;
}

TEST_F(LogDocumentRichEdit, SavedRichTextReadsBackAsTheSameText) {
  // ANSI: escapes, a tab, bytes above 127 of the system code page, an empty line, CR LF, LF, CR.
  auto ansi = Open("Job {1} \\\\server\\share\r\n\tfile \xe9t\xe9 \xc4\xd6\xdc \xa9\n\rlast line");
  StreamIn(RichTextOf(*ansi), SF_RTF);
  EXPECT_EQ(Text16(), ansi->RangeText16({0, ansi->Length()}));
  char text[512] = {};
  GetWindowTextA(edit_, text, sizeof text);
  EXPECT_EQ(std::string(text), ansi->RangeTextAnsi({0, ansi->Length()}));

  // UTF-16LE with characters outside the ANSI code page, one beyond the first plane.
  std::u16string text16 = u"\u4e2d\u6587 {\u00e9} \u03a9\r\n\u0416\U0001F600 end";
  std::string utf16 = "\xFF\xFE";
  for (char16_t u : text16) utf16 += {char(u & 0xFF), char(u >> 8)};
  auto unicode = Open(utf16);
  ASSERT_EQ(unicode->Encoding(), logs::TextEncoding::Utf16LE);
  StreamIn(RichTextOf(*unicode), SF_RTF);
  EXPECT_EQ(Text16(), u"\u4e2d\u6587 {\u00e9} \u03a9\r\n\u0416\U0001F600 end");

  // UTF-8 the same way.
  auto utf8 = Open("\xEF\xBB\xBF\xD0\x96 caf\xC3\xA9 \xE2\x82\xAC");
  StreamIn(RichTextOf(*utf8), SF_RTF);
  EXPECT_EQ(Text16(), u"\u0416 caf\u00e9 \u20ac");
}

TEST_F(LogDocumentRichEdit, FindFindsWhatTheRichEditControlFinds) {
  const std::string corpus =
      "Error: error in ERROR.log (err 42)\r\n"
      "errors, err_x, x_err, err9 9err, \xe9t\xe9 \xc9T\xc9 \xe9t\xe9s\r\n"
      "error\terror\n"
      "-err- err. 'err' \"err\" err\r"
      "\xc4rger \xe4rger a\xe4rger\r\n"
      "aaa aa a\r\n"
      "last err";
  auto doc = Open(corpus);
  SetWindowTextA(edit_, corpus.c_str());
  ASSERT_EQ(SendMessageA(edit_, WM_GETTEXTLENGTH, 0, 0) > 0, true);
  const char* patterns[] = {"err",      "Error", "ERROR", "error",  "\xe9t\xe9", "\xc9t\xe9",
                            "\xe4rger", "a",     "aa",    "err 42", "r e",       "42)",
                            "-err-",    "x",     "err_x", "9"};
  int compared = 0;
  for (const char* p : patterns) {
    bool nonAscii = false;
    for (const char* c = p; *c; ++c) nonAscii = nonAscii || static_cast<unsigned char>(*c) >= 128;
    for (int options = 0; options < 4; ++options) {
      const bool matchCase = options & 1;
      const bool wholeWord = options & 2;
      // Wine's rich-edit control folds only ASCII letters when it ignores case ("\xe9" does not
      // find "\xc9"), where the code page's own casing, which the document uses as Windows
      // does, pairs them; those searches are checked natively instead.
      if (nonAscii && !matchCase) continue;
      const LONG length = LONG(doc->Length());
      for (LONG from = 0; from <= length; from += 3) {
        FINDTEXTA find = {};
        find.chrg.cpMin = from;
        find.chrg.cpMax = length;
        find.lpstrText = p;
        const WPARAM flags =
            FR_DOWN | (matchCase ? FR_MATCHCASE : 0) | (wholeWord ? FR_WHOLEWORD : 0);
        const LRESULT rich = SendMessageA(edit_, EM_FINDTEXT, flags, LPARAM(&find));
        const auto ours = doc->Find(from, length, p, matchCase, wholeWord);
        ASSERT_EQ(ours ? LRESULT(ours->start) : LRESULT(-1), rich)
            << "'" << p << "' case " << matchCase << " word " << wholeWord << " from " << from;
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 1000);
}

TEST_F(LogDocumentRichEdit, TheFileStaysWritableAndDeletableAndMayShrink) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "backup line " + std::to_string(i) + "\r\n";
  const std::string path = folder_ + "open.log";
  test::WriteFile(path, text);
  EXPECT_EQ(win::OpenRandomAccessFile(folder_ + "missing.log"), nullptr);
  auto file = win::OpenRandomAccessFile(path);
  ASSERT_NE(file, nullptr);
  logs::LogDocument doc(std::move(file), win::SystemCodePage(), 4096);
  std::atomic<bool> stop{false};
  doc.BuildIndex(stop);
  ASSERT_EQ(doc.LineCount(), 5001);
  EXPECT_EQ(doc.LineTextAnsi(0), "backup line 0");

  // A backup may go on writing: another handle can open it for writing and cut it short.
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE) << GetLastError();
  LARGE_INTEGER cut;
  cut.QuadPart = 100;
  ASSERT_TRUE(SetFilePointerEx(writer, cut, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(writer));
  CloseHandle(writer);
  EXPECT_FALSE(doc.ReadFailed());
  EXPECT_EQ(doc.LineTextAnsi(4999), "");  // gone from the file
  EXPECT_TRUE(doc.ReadFailed());
  EXPECT_EQ(doc.LineTextAnsi(0), "backup line 0");  // still shown as read

  // ... and delete it while the log is open.
  EXPECT_TRUE(DeleteFileA(path.c_str())) << GetLastError();
}

// Two threads reading at their own offsets get their own bytes.
TEST_F(LogDocumentRichEdit, ReadsAtOnceFromTwoThreads) {
  std::string bytes(1 << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 7 % 251);
  const std::string path = folder_ + "two.bin";
  test::WriteFile(path, bytes);
  auto file = win::OpenRandomAccessFile(path);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Size(), std::int64_t(bytes.size()));
  std::atomic<int> wrong{0};
  auto reader = [&](std::uint64_t seed) {
    char buffer[4096];
    for (int n = 0; n < 500; ++n) {
      const std::uint64_t at = (seed + std::uint64_t(n) * 7919 * 13) % (bytes.size() - 100);
      const std::int64_t got = file->ReadAt(at, buffer, sizeof buffer);
      const std::size_t want = std::min<std::size_t>(sizeof buffer, bytes.size() - at);
      if (got != std::int64_t(want) || memcmp(buffer, bytes.data() + at, want) != 0) ++wrong;
    }
  };
  std::thread a(reader, 1), b(reader, 99991);
  a.join();
  b.join();
  EXPECT_EQ(wrong, 0);
  char end[8];
  EXPECT_EQ(file->ReadAt(bytes.size(), end, sizeof end), 0);
  EXPECT_EQ(file->ReadAt(bytes.size() - 3, end, sizeof end), 3);
}

}  // namespace
}  // namespace vt9
