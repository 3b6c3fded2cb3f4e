// Loading and saving a real rich-edit control's content under Wine: rich or plain text by the
// file's first bytes, and saves that leave the old file whole whenever anything fails.
#include <gtest/gtest.h>
#include <richedit.h>
#include <windows.h>

#include <string>

#include "support/win/paths.h"
#include "support/win/rich_edit_test.h"
#include "viewer/win/rich_text_file.h"

namespace vt9 {
namespace {

using win::ContentWriter;

class RichTextFile : public test::RichEditTest {
 protected:
  RichTextFile() : RichEditTest("richtext") {}
  std::string Text() const {
    char text[4096] = {};
    GetWindowTextA(edit_, text, sizeof text);
    return text;
  }
  std::string Listing() const { return test::FileNames(folder_); }
};

TEST_F(RichTextFile, RichTextByItsHeaderElsePlainText) {
  test::WriteFile(folder_ + "a.log",
                  "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Job {\\b done}\\par}");
  ASSERT_TRUE(win::LoadRichEditFile(edit_, folder_ + "a.log"));
  EXPECT_EQ(Text(), "Job done");
  test::WriteFile(folder_ + "b.log", "{\\rt not rich\r\nline 2");
  ASSERT_TRUE(win::LoadRichEditFile(edit_, folder_ + "b.log"));
  EXPECT_EQ(Text(), "{\\rt not rich\r\nline 2");
  EXPECT_FALSE(win::LoadRichEditFile(edit_, folder_ + "missing.log"));
  test::WriteFile(folder_ + "c.log", "{\\rtf1\\ansi Job {\\b done}}}");
  EXPECT_FALSE(win::LoadRichEditFile(edit_, folder_ + "c.log")) << "damaged rich text";
}

TEST_F(RichTextFile, RichTextCutShortIsShownAndCalledIncomplete) {
  bool incomplete = false;
  test::WriteFile(folder_ + "whole.log", "{\\rtf1\\ansi Job {\\b done}}");
  ASSERT_TRUE(win::LoadRichEditFile(edit_, folder_ + "whole.log", &incomplete));
  EXPECT_FALSE(incomplete);
  test::WriteFile(folder_ + "cut.log", "{\\rtf1\\ansi Job {\\b done");
  ASSERT_TRUE(win::LoadRichEditFile(edit_, folder_ + "cut.log", &incomplete));
  EXPECT_TRUE(incomplete);
  EXPECT_EQ(Text(), "Job done");
  // Nothing the control could show: the file's bytes instead.
  const std::string header = "{\\rtf1\\ansi{\\fonttbl{\\f0 Ar";
  test::WriteFile(folder_ + "header.log", header);
  ASSERT_TRUE(win::LoadRichEditFile(edit_, folder_ + "header.log", &incomplete));
  EXPECT_TRUE(incomplete);
  EXPECT_EQ(Text(), header);
}

TEST_F(RichTextFile, NulBytesInPlainTextBecomeBlanks) {
  test::WriteFile(folder_ + "zeros.log", std::string("before\0after\r\nnext", 18));
  ASSERT_TRUE(win::LoadRichEditFile(edit_, folder_ + "zeros.log"));
  EXPECT_EQ(Text(), "before after\r\nnext");
}

TEST_F(RichTextFile, SavedRichTextLoadsBackToTheSameText) {
  SetWindowTextA(edit_, "first line\r\nsecond {brace} \\ line\r\n");
  const std::string before = Text();
  const std::string target = folder_ + "saved.log";
  ASSERT_TRUE(win::SaveFileSafely(
      target, [this](const ContentWriter& write) { return win::StreamOutRichText(edit_, write); }));
  EXPECT_EQ(test::ReadFile(target).rfind("{\\rtf", 0), 0u);
  SetWindowTextA(edit_, "");
  ASSERT_TRUE(win::LoadRichEditFile(edit_, target));
  EXPECT_EQ(Text(), before);
  EXPECT_EQ(Listing(), "saved.log;");
}

TEST_F(RichTextFile, FailureHalfWayLeavesTheOldFileAndNoTemporaryFile) {
  const std::string target = folder_ + "keep.log";
  test::WriteFile(target, "the old log");
  const bool saved = win::SaveFileSafely(target, [](const ContentWriter& write) {
    return write("{\\rtf1 half of the new", 22) && false;  // the disk fills up half-way
  });
  EXPECT_FALSE(saved);
  EXPECT_EQ(test::ReadFile(target), "the old log");
  EXPECT_EQ(Listing(), "keep.log;");
}

TEST_F(RichTextFile, WriterErrorWhileStreamingOutIsAFailure) {
  std::string big;
  for (int i = 0; i < 10000; ++i) big += "xxxxxxxxxxxx\r\n";
  SetWindowTextA(edit_, big.c_str());
  std::size_t calls = 0;
  EXPECT_FALSE(win::StreamOutRichText(edit_, [&calls](const char*, std::size_t) {
    return ++calls < 2;  // the second piece cannot be written
  }));
  EXPECT_EQ(calls, 2u) << "the control stops at the first failed piece";
  std::string all;
  EXPECT_TRUE(win::StreamOutRichText(edit_, [&all](const char* b, std::size_t n) {
    all.append(b, n);
    return true;
  }));
  EXPECT_GT(all.size(), big.size());
}

TEST_F(RichTextFile, TargetsNearThePathLimitAndInMissingFolders) {
  SetWindowTextA(edit_, "text");
  auto produce = [this](const ContentWriter& write) {
    return win::StreamOutRichText(edit_, write);
  };
  // A name that just fits: the temporary file beside it must fit as well.
  const std::string longName =
      folder_ + std::string(MAX_PATH - 1 - folder_.size() - 4, 'n') + ".log";
  ASSERT_EQ(longName.size(), static_cast<std::size_t>(MAX_PATH - 1));
  EXPECT_TRUE(win::SaveFileSafely(longName, produce));
  EXPECT_NE(GetFileAttributesA(longName.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(win::SaveFileSafely(folder_ + "no such folder\\x.log", produce));
}

}  // namespace
}  // namespace vt9
