// The log viewer's rules without a window: command-line plan, find record, save flow, search
// range and flags, button bar and the find dialog's first place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "common/dates.h"
#include "viewer/find_request.h"
#include "viewer/rtf_check.h"
#include "viewer/viewer_rules.h"
#include "viewer/viewer_setup.h"

namespace vt9 {
namespace {

TEST(ViewerOpenMask, FollowsTheLastTwoDotsOnlyWithAnOpenFolder) {
  struct Case {
    const char* file;
    const char* folder;
    const char* mask;
  } cases[] = {
      {"C:\\Logs\\Job.Full.log", "C:\\Logs", "*.Full.log"},
      {"C:\\Logs\\Job.Full.log", "", "*.*"},  // no folder: no filter
      {"C:\\Logs\\Job.log", "C:\\Logs", "*.*"},
      {"C:\\Logs\\Job", "C:\\Logs", "*.*"},
      {"", "C:\\Logs", "*.*"},
      // Dots in folder names are field separators as well.
      {"C:\\My.Logs\\Job.log", "C:\\", "*.Logs\\Job.log"},
      {"C:\\a.b\\Job.Full.Daily.log", "x", "*.Daily.log"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OpenFileMask(c.file, c.folder), c.mask) << c.file;
  }
  EXPECT_EQ(OpenFileFilter("*.Full.log"), "(*.Full.log)|*.Full.log");
}

TEST(ViewerLogMode, ExtensionLogInAnyLetterCaseOnly) {
  EXPECT_TRUE(IsLogFile("C:\\Logs\\Job.log"));
  EXPECT_TRUE(IsLogFile("C:\\Logs\\Job.LoG"));
  EXPECT_TRUE(IsLogFile("Job.Full.LOG"));
  EXPECT_FALSE(IsLogFile("C:\\Logs\\Job.txt"));
  EXPECT_FALSE(IsLogFile("C:\\Logs\\Job.log.txt"));
  EXPECT_FALSE(IsLogFile("C:\\Logs\\Job.logs"));
  EXPECT_FALSE(IsLogFile("C:\\x.log\\Job"));  // a dot in a folder is no extension
  EXPECT_FALSE(IsLogFile("C:\\Logs\\log"));
  EXPECT_FALSE(IsLogFile(""));
}

TEST(ViewerStartPlan, ArgumentsDecideCaptionTitleModeAndOpen) {
  const ViewerStart none = PlanViewerStart(ViewerArgumentsFrom({}));
  EXPECT_EQ(none.caption, "Vantory 9 - Log Viewer");
  EXPECT_EQ(none.applicationTitle, "");
  EXPECT_FALSE(none.isLog);
  EXPECT_FALSE(none.loadFile);
  EXPECT_FALSE(none.openVisible);
  EXPECT_EQ(none.fileMask, "*.*");

  const ViewerStart log = PlanViewerStart(ViewerArgumentsFrom({"C:\\L\\Job.Full.log"}));
  EXPECT_TRUE(log.isLog);
  EXPECT_TRUE(log.loadFile);
  EXPECT_EQ(log.applicationTitle, "");  // a log keeps "Vantory 9 - Viewer"
  EXPECT_EQ(log.caption, "Vantory 9 - Log Viewer");
  EXPECT_EQ(log.fileMask, "*.*");

  const ViewerStart text =
      PlanViewerStart(ViewerArgumentsFrom({"C:\\L\\notes.txt", "My caption", "C:\\L\\", "extra"}));
  EXPECT_FALSE(text.isLog);
  EXPECT_EQ(text.applicationTitle, "Vantory 9 Viewer");
  EXPECT_EQ(text.caption, "My caption");
  EXPECT_TRUE(text.openVisible);
  EXPECT_EQ(text.openFolder, "C:\\L\\");

  // An empty caption argument keeps the default; an empty folder keeps "Open" hidden.
  const ViewerStart blanks = PlanViewerStart(ViewerArgumentsFrom({"a.b.log", "", ""}));
  EXPECT_EQ(blanks.caption, "Vantory 9 - Log Viewer");
  EXPECT_FALSE(blanks.openVisible);
  EXPECT_EQ(blanks.fileMask, "*.*");
}

TEST(FindRecord, EncodesTheFixedLayout) {
  const FindRequestBytes bytes = EncodeFindRequest(MakeFindNext("Error", true, true));
  ASSERT_EQ(bytes.size(), 264u);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes[1] | bytes[2] | bytes[3], 0);
  EXPECT_EQ(bytes[4], 3);
  EXPECT_EQ(bytes[8], 5);
  EXPECT_EQ(std::memcmp(bytes.data() + 9, "Error", 5), 0);
  EXPECT_EQ(bytes[14], 0);
  EXPECT_EQ(EncodeFindRequest(MakeFindNext("x", false, true))[4], 2);
  EXPECT_EQ(EncodeFindRequest(MakeFindNext("x", true, false))[4], 1);
  EXPECT_EQ(EncodeFindRequest(MakeFindNext("x", false, false))[4], 0);
}

TEST(FindRecord, CutsLongTextsTo255) {
  const std::string longText(300, 'a');
  EXPECT_EQ(MakeFindNext(longText, false, false).text.size(), 255u);
  FindRequest raw;
  raw.text = longText + "b";  // not made by MakeFindNext: encoding still cuts
  const FindRequestBytes bytes = EncodeFindRequest(raw);
  EXPECT_EQ(bytes[8], 255);
  EXPECT_EQ(bytes[263], 'a');
}

TEST(FindRecord, RoundTripsAndRejectsForgedBlocks) {
  const FindRequestBytes bytes = EncodeFindRequest(MakeFindNext("Job 2", true, false));
  const auto request = DecodeFindRequest(0, bytes.data(), bytes.size());
  ASSERT_TRUE(request);
  EXPECT_EQ(request->command, 1);
  EXPECT_EQ(request->options, 1u);
  EXPECT_EQ(request->text, "Job 2");

  EXPECT_FALSE(DecodeFindRequest(1, bytes.data(), bytes.size()));
  EXPECT_FALSE(DecodeFindRequest(0, bytes.data(), 263));
  EXPECT_FALSE(DecodeFindRequest(0, bytes.data(), 0));
  EXPECT_FALSE(DecodeFindRequest(0, nullptr, 264));
  unsigned char big[300] = {1};
  EXPECT_FALSE(DecodeFindRequest(0, big, sizeof big));

  // Text bytes behind the length are ignored; NUL bytes inside it are kept.
  FindRequestBytes odd = bytes;
  odd[8] = 3;
  odd[10] = '\0';
  const auto cut = DecodeFindRequest(0, odd.data(), odd.size());
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->text, std::string("J\0b", 3));
  odd[0] = 2;
  EXPECT_EQ(DecodeFindRequest(0, odd.data(), odd.size())->command, 2);
}

TEST(ViewerSaveFlow, WarningOnlyForLogsUntilSwitchedOff) {
  EXPECT_TRUE(NeedsSaveWarning(true, false));
  EXPECT_FALSE(NeedsSaveWarning(true, true));
  EXPECT_FALSE(NeedsSaveWarning(false, false));
  EXPECT_FALSE(NeedsSaveWarning(false, true));
}

TEST(ViewerSaveFlow, TickedBoxIsRememberedWhateverTheButton) {
  const SaveWarningAnswer cancel = AnswerSaveWarning(101, true);
  EXPECT_TRUE(cancel.rememberNoWarning);
  EXPECT_FALSE(cancel.proceed);
  const SaveWarningAnswer go = AnswerSaveWarning(100, false);
  EXPECT_FALSE(go.rememberNoWarning);
  EXPECT_TRUE(go.proceed);
  EXPECT_FALSE(AnswerSaveWarning(2, false).proceed);   // closed with Esc / the close box
  EXPECT_FALSE(AnswerSaveWarning(-1, false).proceed);  // no dialog could be shown
}

TEST(ViewerSaveFlow, DialogDependsOnLogMode) {
  const SaveDialogPlan log = PlanSaveDialog(true, "D:\\Saved\\");
  EXPECT_EQ(log.title, "Save File As:");
  EXPECT_EQ(log.filter, "(*.log)|*.log");
  EXPECT_EQ(log.defaultExtension, "log");
  EXPECT_EQ(log.initialFolder, "D:\\Saved\\");
  const SaveDialogPlan other = PlanSaveDialog(false, "C:\\Docs\\");
  EXPECT_EQ(other.filter, "All Files|*.*");
  EXPECT_EQ(other.defaultExtension, "");
}

TEST(ViewerSaveFlow, FileNameParts) {
  EXPECT_EQ(FolderOfFile("D:\\Saved\\Job.log"), "D:\\Saved\\");
  EXPECT_EQ(FolderOfFile("D:Job.log"), "D:");
  EXPECT_EQ(FolderOfFile("Job.log"), "");
  EXPECT_EQ(NameOfFile("D:\\Saved\\Job.log"), "Job.log");
  EXPECT_EQ(NameOfFile("Job.log"), "Job.log");
  EXPECT_EQ(SaveErrorContent("D:\\x.log"), "Unable to Create/Save file: D:\\x.log");
}

TEST(ViewerSearch, StartsBehindTheSelectionOrAtTheTop) {
  EXPECT_EQ(SearchRangeFor(7, 7, 100).start, 0);  // a caret is no selection
  EXPECT_EQ(SearchRangeFor(7, 7, 100).length, 100);
  EXPECT_EQ(SearchRangeFor(10, 15, 100).start, 15);
  EXPECT_EQ(SearchRangeFor(10, 15, 100).length, 85);
  EXPECT_EQ(SearchRangeFor(90, 100, 100).length, 0);
  EXPECT_EQ(SearchRangeFor(0, 120, 100).length, 0);  // never a negative length
}

TEST(ViewerSearch, FlagsAlwaysSearchDownward) {
  EXPECT_EQ(FindTextFlags(0), 1u);
  EXPECT_EQ(FindTextFlags(kFindMatchCase), 1u | 4u);
  EXPECT_EQ(FindTextFlags(kFindWholeWord), 1u | 2u);
  EXPECT_EQ(FindTextFlags(kFindMatchCase | kFindWholeWord | 8u), 7u);
  EXPECT_EQ(NotFoundInstruction("abc"), "\"abc\" Not Found");
}

TEST(ViewerLayout, ButtonsFromTheRightWithDpiSpacing) {
  EXPECT_EQ(ButtonSpacing(96), 5);
  EXPECT_EQ(ButtonSpacing(120), 6);
  EXPECT_EQ(ButtonSpacing(144), 7);
  const ButtonBarLefts l = LayOutButtonBar(500, 5, {75, 75, 75, 80});
  EXPECT_EQ(l.open, 5);
  EXPECT_EQ(l.ok, 415);
  EXPECT_EQ(l.print, 335);
  EXPECT_EQ(l.save, 255);
  EXPECT_EQ(l.find, 175);
}

TEST(FindPlacement, AboveTheViewerWhenItFitsElseDesigned) {
  const ScreenPoint above = PlaceFindDialog(120, 200, 300);
  EXPECT_EQ(above.left, 200);
  EXPECT_EQ(above.top, 180);
  const ScreenPoint top = PlaceFindDialog(120, 200, 120);  // not smaller: designed place
  EXPECT_EQ(top.left, 422);
  EXPECT_EQ(top.top, 183);
  EXPECT_EQ(PlaceFindDialog(120, 200, 121).top, 1);
}

bool WholeRtf(const std::string& text, std::size_t piece = 0) {
  RtfCheck check;
  if (piece == 0) piece = text.size();
  for (std::size_t at = 0; at < text.size(); at += piece)
    check.Feed(text.data() + at, std::min(piece, text.size() - at));
  return check.Whole();
}

TEST(RtfCheck, WholeDocumentsInAnyPieces) {
  const std::string doc =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 a \\{ brace \\} and \\\\ {\\b bold}\\par}\r\n";
  for (std::size_t piece : {0u, 1u, 2u, 7u}) EXPECT_TRUE(WholeRtf(doc, piece)) << piece;
  // Raw bytes of \bin may hold braces.
  EXPECT_TRUE(WholeRtf("{\\rtf1 {\\*\\x\\bin3 }}{}text}", 1));
}

TEST(RtfCheck, DamagedDocuments) {
  EXPECT_FALSE(WholeRtf("{\\rtf1 text {\\b bold"));   // never closed
  EXPECT_FALSE(WholeRtf("{\\rtf1 text}}"));           // closed once too often
  EXPECT_FALSE(WholeRtf("{\\rtf1 text} more text"));  // text behind the document
  EXPECT_FALSE(WholeRtf("{\\rtf1 text \\}"));         // the last brace is escaped
  EXPECT_FALSE(WholeRtf("{\\rtf1 \\bin99999 abc}"));  // raw bytes cut short
  EXPECT_FALSE(WholeRtf(""));
  // NUL bytes behind the document (a file padded after a crash) are blank, not text.
  EXPECT_TRUE(WholeRtf(std::string("{\\rtf1 text}\r\n\0\0", 16)));
}

bool CutOffRtf(const std::string& text) {
  RtfCheck check;
  check.Feed(text.data(), text.size());
  return check.CutOff();
}

TEST(RtfCheck, CutOffIsTheDocumentThatEndsTooEarlyOnly) {
  EXPECT_TRUE(CutOffRtf("{\\rtf1 text {\\b bold"));               // still being written
  EXPECT_TRUE(CutOffRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Ari"));     // cut in the header
  EXPECT_TRUE(CutOffRtf("{\\rtf1 \\bin99999 abc"));               // inside raw bytes
  EXPECT_TRUE(CutOffRtf(std::string("{\\rtf1 text\0\0\0", 14)));  // zeros after a crash
  EXPECT_FALSE(CutOffRtf("{\\rtf1 text}"));                       // whole
  EXPECT_FALSE(CutOffRtf("{\\rtf1 text}}"));                      // damaged, not cut off
  EXPECT_FALSE(CutOffRtf("{\\rtf1 text} more text"));
  EXPECT_FALSE(CutOffRtf("text {\\rtf1"));  // no rich text at all
  EXPECT_FALSE(CutOffRtf(""));
}

}  // namespace
}  // namespace vt9
