#include "dialogs/task_dialog_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "dialogs/plain_text.h"
#include "dialogs/task_dialog_paint.h"
#include "support/fake_canvas.h"

namespace vt9 {
namespace {

using test::FakeCanvas;

// Hand-countable canvas: every character 10 pixels, every text 20 high, so cx = 10, cy = 20,
// HorzMargin 20, VertMargin 20, HorzSpacing 25, VertSpacing 25, ButtonHeight 35,
// ButtonSpacing 10.
struct Fixture {
  FakeCanvas canvas{FakeCanvas::HandCountable()};
  TaskDialogEnvironment env;
  TaskDialogLayout Lay(const TaskDialogModel& model) {
    return LayOutTaskDialog(model, canvas, env);
  }
};

TaskDialogModel SaveWarning() {
  TaskDialogModel m;
  m.Title = "Vantory 9 - Viewer";
  m.Icon = tiInformation;
  m.Instruction = "Save of Logs is Optional";
  m.Content = "Note";
  m.CustomButtons = {"Continue with the Save", "Cancel"};
  m.DefaultButton = 100;
  m.VerificationText = "Do not show this again";
  return m;
}

TEST(TaskDialogMetrics, DialogUnitsOfTheFontRoundToNearest) {
  FakeCanvas canvas;  // 6 pixels per character, height |font height| + 3
  FontSpec font;
  font.height = -11;
  TaskDialogMetrics m = ComputeTaskDialogMetrics(canvas, font);
  EXPECT_EQ(m.cx, 6);
  EXPECT_EQ(m.cy, 14);
  EXPECT_EQ(m.horzMargin, 12);
  EXPECT_EQ(m.vertMargin, 14);
  EXPECT_EQ(m.horzSpacing, 15);
  EXPECT_EQ(m.vertSpacing, 18) << "10 x 14 / 8 = 17.5 rounds up";
  EXPECT_EQ(m.buttonHeight, 25) << "14 x 14 / 8 = 24.5 rounds up";
  EXPECT_EQ(m.buttonSpacing, 6);
}

TEST(TaskDialogLayout, EmptyDialogIs350WideWithALoneOkForEnterAndEsc) {
  Fixture f;
  TaskDialogLayout L = f.Lay({});
  EXPECT_EQ(L.clientWidth, 350);
  ASSERT_EQ(L.pushButtons.size(), 1u);
  const TaskDialogPushButton& ok = L.pushButtons[0];
  EXPECT_EQ(ok.caption, "OK");
  EXPECT_EQ(ok.result, 1);
  EXPECT_TRUE(ok.isDefault);
  EXPECT_TRUE(ok.isCancel);
  EXPECT_EQ(ok.rect.Width(), 60);
  EXPECT_FALSE(L.instructionVisible);
  // 20 margin + 25 (no content, no radios) = the row's top; 35 high; 20 margin below.
  EXPECT_EQ(ok.rect.top, 45);
  EXPECT_EQ(L.clientHeight, ok.rect.bottom + 20);
}

TEST(TaskDialogLayout, TitleWiderThanContentGivesTitlePlus50) {
  Fixture f;
  TaskDialogModel m;
  m.Title = std::string(60, 'T');
  m.Content = "short";
  EXPECT_EQ(f.Lay(m).clientWidth, 650);
  m.Title = std::string(20, 'T');  // 250 < 350
  EXPECT_EQ(f.Lay(m).clientWidth, 350);
}

TEST(TaskDialogLayout, InstructionStartsAtMarginWithoutIconAndAfterTheColumnWithOne) {
  Fixture f;
  TaskDialogModel m;
  m.Instruction = "Hello";
  m.Icon = tiNotUsed;
  TaskDialogLayout L = f.Lay(m);
  EXPECT_FALSE(L.hasIcon);
  EXPECT_EQ(L.instructionRect, (Rect{20, 20, 70, 40}));

  m.Icon = tiBlank;  // the white square still reserves and draws the column
  L = f.Lay(m);
  EXPECT_TRUE(L.hasIcon);
  EXPECT_EQ(L.iconRect, (Rect{20, 20, 52, 52}));
  EXPECT_EQ(L.instructionRect.left, 20 + 25 + 32);
  EXPECT_EQ(L.contentLeft, 77);

  m.Options = {doCommandLinksNoIcon};  // column reserved, no picture
  L = f.Lay(m);
  EXPECT_FALSE(L.hasIcon);
  EXPECT_EQ(L.instructionRect.left, 77);
}

TEST(TaskDialogLayout, ButtonBandStartsAtTheRowAndPaintsItsTopLine) {
  Fixture f;
  TaskDialogModel m;
  m.Icon = tiNotUsed;
  m.Instruction = "Title";
  m.Content = "abc";
  m.CommonButtons = {cbOK, cbCancel};
  TaskDialogLayout L = f.Lay(m);
  // 20 margin + 20 instruction + 25 spacing + 20 content + 25 spacing
  ASSERT_TRUE(L.bandTop.has_value());
  EXPECT_EQ(*L.bandTop, 110);
  EXPECT_EQ(L.pushButtons[0].rect.top, 110);
  EXPECT_EQ(L.clientHeight, 110 + 35 + 20);
  // Right-aligned: OK then Cancel, the row ending HorzSpacing + 4 - ButtonSpacing from the edge.
  EXPECT_EQ(L.pushButtons[1].rect.right, 350 - 25 - 4 + 10);
  EXPECT_EQ(L.pushButtons[1].rect.left, L.pushButtons[0].rect.right + 10);

  f.canvas.log.clear();
  PaintTaskDialog(f.canvas, L, m);
  const std::string log = f.canvas.Log();
  EXPECT_NE(log.find("fill 0,98,350,165 #F0F0F0"), std::string::npos) << log;
  EXPECT_NE(log.find("moveto 0,98\nlineto 350,98 pen=#DFDFDF"), std::string::npos) << log;
  EXPECT_EQ(log.find("rectangle"), std::string::npos) << "no black frame on a new system";
}

TEST(TaskDialogLayout, CommandLinksWithoutCommonButtonsLeaveNoBand) {
  Fixture f;
  TaskDialogModel m;
  m.Instruction = "Pick";
  m.CustomButtons = {"First\\nthe description", "Second"};
  m.Options = {doCommandLinks};
  TaskDialogLayout L = f.Lay(m);
  EXPECT_TRUE(L.pushButtons.empty());
  EXPECT_FALSE(L.bandTop.has_value());
  ASSERT_EQ(L.commandLinks.size(), 2u);
  EXPECT_EQ(L.commandLinks[0].result, 100);
  EXPECT_EQ(L.commandLinks[0].rect.left, L.contentLeft) << "beside the icon column";
  // heading 20 + 10, one description line 20 + 2; at least "gh" + 20 = 40.
  EXPECT_EQ(L.commandLinks[0].rect.Height(), 52);
  EXPECT_EQ(L.commandLinks[1].rect.Height(), 40);
  EXPECT_EQ(L.commandLinks[1].rect.top, L.commandLinks[0].rect.bottom + 2);
}

TEST(TaskDialogLayout, SaveWarningHasDefaultContinueNoEscAndTheBoxInsideTheBand) {
  Fixture f;
  TaskDialogLayout L = f.Lay(SaveWarning());
  ASSERT_EQ(L.pushButtons.size(), 2u);
  EXPECT_EQ(L.pushButtons[0].caption, "Continue with the Save");
  EXPECT_EQ(L.pushButtons[0].result, 100);
  EXPECT_TRUE(L.pushButtons[0].isDefault);
  EXPECT_EQ(L.pushButtons[1].result, 101);
  EXPECT_EQ(L.CancelButtonIndex(), -1) << "no button reacts to Esc";
  ASSERT_TRUE(L.hasVerification);
  EXPECT_EQ(L.verificationRect.top, L.pushButtons[0].rect.bottom + 25);
  EXPECT_GT(L.verificationRect.top, *L.bandTop);
  EXPECT_EQ(L.clientHeight, L.verificationRect.bottom + 20);
  // The button row decides: (220 + 16) + 10 + (60 + 16) + 10 = 332, + 2 x 20 margins = 372.
  EXPECT_EQ(L.clientWidth, 372);
}

TEST(TaskDialogLayout, ACustomDefaultButtonIsTheOnlyDefault) {
  Fixture f;
  TaskDialogModel m;
  m.CustomButtons = {"Go on", "Stop"};
  m.CommonButtons = {cbOK, cbCancel};
  m.DefaultButton = 101;
  TaskDialogLayout L = f.Lay(m);
  const auto defaults = std::count_if(L.pushButtons.begin(), L.pushButtons.end(),
                                      [](const TaskDialogPushButton& b) { return b.isDefault; });
  EXPECT_EQ(defaults, 1);
  ASSERT_GE(L.DefaultButtonIndex(), 0);
  EXPECT_EQ(L.pushButtons[static_cast<std::size_t>(L.DefaultButtonIndex())].result, 101);
  EXPECT_EQ(L.pushButtons[static_cast<std::size_t>(L.CancelButtonIndex())].result, 1)
      << "Esc keeps the rule's OK";

  m.DefaultButton = 105;  // no such button: the rule's OK
  L = f.Lay(m);
  EXPECT_EQ(L.pushButtons[static_cast<std::size_t>(L.DefaultButtonIndex())].result, 1);

  m.DefaultButton = 100;
  m.Options = {doCommandLinks};
  L = f.Lay(m);
  EXPECT_EQ(L.DefaultCommandLinkIndex(), 0);
  EXPECT_EQ(L.DefaultButtonIndex(), -1) << "the command link is the default, not OK";
}

TEST(TaskDialogLayout, LongDetailsLinesWrapAndCountInTheHeight) {
  Fixture f;
  TaskDialogModel m;
  m.Icon = tiNotUsed;
  m.ExpandedText = std::string(20, 'a') + " " + std::string(20, 'b') + "\r\nlast";
  m.Options = {doExpandedDefault};
  m.CommonButtons = {cbOK};
  TaskDialogLayout L = f.Lay(m);
  // 350 - 20 - 20 = 310 pixels hold 31 characters: the first line wraps after the a's.
  EXPECT_EQ(L.expandLines,
            (std::vector<std::string>{std::string(20, 'a'), std::string(20, 'b'), "last"}));
  EXPECT_EQ(L.expandLabel.Height(), 3 * 20);
}

TEST(TaskDialogLayout, ExpandingMovesTheButtonsByTheDetailsPlusSpacing) {
  Fixture f;
  TaskDialogModel m;
  m.Instruction = "Details below";
  m.ExpandedText = "line one\r\nline two\nline three";
  m.ExpandControlText = "Hide details";
  m.CollapsControlText = "Show details";
  m.CommonButtons = {cbOK};
  TaskDialogLayout L = f.Lay(m);
  ASSERT_TRUE(L.hasExpand);
  EXPECT_FALSE(L.expanded) << "collapsed unless doExpandedDefault";
  const int collapsedTop = L.pushButtons[0].rect.top;
  EXPECT_EQ(L.expandButton.top, collapsedTop);
  EXPECT_EQ(L.expandButton.left, 20) << "VertMargin used as the left offset";

  f.canvas.log.clear();
  PaintTaskDialog(f.canvas, L, m);
  EXPECT_NE(f.canvas.Log().find("\"Show details\""), std::string::npos);

  L.expanded = true;
  VerticalPass(L, m, f.canvas);
  EXPECT_EQ(L.pushButtons[0].rect.top, collapsedTop + 3 * 20 + 25);
  EXPECT_EQ(L.expandLabel.Height(), 60);
  f.canvas.log.clear();
  PaintTaskDialog(f.canvas, L, m);
  EXPECT_NE(f.canvas.Log().find("\"Hide details\""), std::string::npos);

  m.Options = {doExpandedDefault};
  EXPECT_TRUE(f.Lay(m).expanded);
}

TEST(TaskDialogLayout, RadioButtonsAndBoxKeepALineWithAnEmptyInstruction) {
  Fixture f;
  TaskDialogModel m;
  m.RadioButtons = {"a", "b", "c"};
  m.DefaultRadioButton = 201;
  m.VerificationText = "Tick";
  TaskDialogLayout L = f.Lay(m);
  ASSERT_EQ(L.radios.size(), 3u);
  EXPECT_FALSE(L.radios[0].checked);
  EXPECT_TRUE(L.radios[1].checked);
  EXPECT_EQ(L.radios[2].id, 202);
  for (const TaskDialogRadio& r : L.radios) EXPECT_EQ(r.rect.Height(), 20);
  EXPECT_EQ(L.radios[1].rect.top, L.radios[0].rect.bottom + 4);
  EXPECT_EQ(L.verificationRect.Height(), 20);
}

TEST(TaskDialogLayout, HugeContentScrollsAndTheButtonsStayOnScreen) {
  Fixture f;
  f.env.maxClientHeight = 600;
  TaskDialogModel m;
  m.Instruction = std::string(100000, 'x');
  for (int i = 0; i < 2000; ++i) m.Content += "word ";
  m.CommonButtons = {cbOK};
  m.VerificationText = "Tick";
  TaskDialogLayout L = f.Lay(m);
  EXPECT_EQ(L.clientHeight, 600);
  EXPECT_EQ(L.instructionRect.Height(), static_cast<int>(L.instructionLines.size()) * 20);
  EXPECT_GT(L.instructionRect.Height(), 600) << "whole: it is in the part that scrolls";
  EXPECT_LE(L.clientWidth, 20 + 25 + 32 + 512 + 20) << "the long word wraps in half the screen";
  // The buttons and the box below the part that scrolls, all of them inside the client area.
  const Rect ok = L.pushButtons[0].rect;
  EXPECT_GE(ok.top, L.viewBottom);
  EXPECT_LE(L.verificationRect.bottom, L.clientHeight);
  EXPECT_GT(L.scrollRange, 0);
  EXPECT_EQ(L.scrollBar, (Rect{L.clientWidth - 17, 0, L.clientWidth, L.viewBottom}));
  const int contentBottom = L.contentRect.bottom;
  EXPECT_GT(contentBottom, L.viewBottom) << "the content is whole, below what shows";

  // Scrolled to the end: the content's end shows just above the buttons, which stay put.
  L.scrollPos = 1 << 20;
  VerticalPass(L, m, f.canvas);
  EXPECT_EQ(L.scrollPos, L.scrollRange);
  EXPECT_EQ(L.pushButtons[0].rect, ok);
  EXPECT_EQ(L.contentRect.bottom, contentBottom - L.scrollRange);
  EXPECT_LE(L.contentRect.bottom, L.viewBottom);

  f.env.maxClientHeight = 0;
  L = f.Lay(m);
  EXPECT_GT(L.clientHeight, 600) << "without a limit nothing scrolls";
  EXPECT_EQ(L.scrollRange, 0);
}

TEST(TaskDialogLayout, NeverWiderThanTheScreenButtonsGoOnInMoreRows) {
  Fixture f;
  f.env.maxClientWidth = 800;
  TaskDialogModel m;
  m.Title = std::string(200, 'T');
  for (int i = 0; i < 200; ++i) m.CustomButtons.push_back("B" + std::to_string(i));
  m.RadioButtons = {std::string(30, 'r') + " " + std::string(60, 'r') + " " + std::string(30, 'r')};
  TaskDialogLayout L = f.Lay(m);
  EXPECT_EQ(L.clientWidth, 800);
  // Rows end at 800 - 25 - 4 + 10 = 781 and start after the margin: 761 pixels hold 11 buttons
  // of 60 with 10 between them.
  EXPECT_EQ(L.pushButtons[10].rect.top, L.pushButtons[0].rect.top);
  EXPECT_EQ(L.pushButtons[10].rect.right, 781);
  EXPECT_EQ(L.pushButtons[11].rect.top, L.pushButtons[0].rect.bottom + 10);
  for (const TaskDialogPushButton& b : L.pushButtons) {
    EXPECT_GE(b.rect.left, 20) << b.caption;
    EXPECT_LE(b.rect.right, 800) << b.caption;
    EXPECT_LE(b.rect.bottom, L.clientHeight) << b.caption;
  }
  // The radio's 1220-pixel caption wraps within its place.
  EXPECT_GT(L.radios[0].rect.Height(), 20);
  EXPECT_LE(L.radios[0].rect.right, 800 - 20);
}

TEST(TaskDialogLayout, BadInputGivesALayoutNotACrash) {
  Fixture f;
  TaskDialogModel m;
  for (int i = 0; i < 200; ++i) m.CustomButtons.push_back("B" + std::to_string(i));
  m.Content = "<A href=\"unterminated <B><FONT size=";
  m.Footer = "</A></A><P align=";
  m.Options = {doHyperlinks};
  TaskDialogLayout L = f.Lay(m);
  EXPECT_EQ(L.pushButtons.size(), 200u);
  EXPECT_EQ(L.pushButtons.back().result, 299);
  EXPECT_EQ(L.DefaultButtonIndex(), -1) << "DefaultButton 0 with custom buttons only";
  PaintTaskDialog(f.canvas, L, m);
  EXPECT_EQ(f.canvas.clipDepth, 0);
}

TEST(TaskDialogLayout, FooterSitsBelowItsDividerAndAnIconMovesItsText) {
  Fixture f;
  TaskDialogModel m;
  m.Instruction = "With a footer";
  m.CommonButtons = {cbOK};
  m.Footer = "note";
  TaskDialogLayout L = f.Lay(m);
  // The markup renderer measures "note" as 40 + 2 wide and 20 + 2 high.
  EXPECT_EQ(L.footerHeight, 22);
  const int withoutIcon = L.clientHeight;
  EXPECT_EQ(withoutIcon, L.pushButtons[0].rect.bottom + 22 + 25 + 20);
  EXPECT_EQ(L.FooterRect(), (Rect{20, withoutIcon - 22 - 10, 330, withoutIcon}));
  EXPECT_EQ(L.FooterTextRect().left, 20);

  f.canvas.log.clear();
  f.env.oldSystem = true;
  L = f.Lay(m);
  PaintTaskDialog(f.canvas, L, m);
  const std::string log = f.canvas.Log();
  const int lineY = L.FooterRect().top - 25;
  EXPECT_NE(log.find("moveto 2," + std::to_string(lineY) + "\nlineto 347," + std::to_string(lineY) +
                     " pen=#DFDFDF"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("lineto 347," + std::to_string(lineY + 1) + " pen=#FFFFFF"),
            std::string::npos);
  EXPECT_NE(log.find("rectangle 0,0,350," + std::to_string(L.clientHeight) + " pen=#000000"),
            std::string::npos)
      << "a black frame on a system older than 6";

  m.FooterIcon = tfiWarning;
  L = f.Lay(m);
  EXPECT_EQ(L.FooterTextRect().left, 40);
  EXPECT_EQ(L.clientHeight, withoutIcon) << "22 is already at least the icon's 20";
}

TEST(TaskDialogLinks, FooterLinksAlwaysContentLinksOnlyWithHyperlinks) {
  Fixture f;
  TaskDialogModel m;
  m.Content = "<A href=\"http://content\">click</A>";
  m.Footer = "<A href=\"note\">footer</A>";
  TaskDialogLayout L = f.Lay(m);
  const Rect footer = L.FooterTextRect();
  EXPECT_EQ(TaskDialogLinkAt(f.canvas, L, m, footer.left + 5, footer.top + 5), "note");
  const Rect c = L.contentRect;
  EXPECT_EQ(TaskDialogLinkAt(f.canvas, L, m, c.left + 5, c.top + 5), "")
      << "a plain content never opens a link";
  m.Options = {doHyperlinks};
  L = f.Lay(m);
  EXPECT_EQ(TaskDialogLinkAt(f.canvas, L, m, L.contentRect.left + 5, L.contentRect.top + 5),
            "http://content");
  EXPECT_TRUE(TaskDialogOpensLink("http://x"));
  EXPECT_TRUE(TaskDialogOpensLink("mailto:a@b"));
  EXPECT_FALSE(TaskDialogOpensLink("note"));
}

TEST(TaskDialogRoles, DefaultAndEscFollowTheDefaultButtonRule) {
  struct Case {
    int defaultButton;
    TCommonButtons set;
    std::optional<TCommonButton> def, esc;
  };
  const Case cases[] = {
      {0, {cbOK, cbCancel}, cbOK, cbCancel},          {0, {cbYes, cbNo}, cbYes, cbNo},
      {0, {cbRetry, cbClose}, cbRetry, std::nullopt}, {0, {cbOK}, cbOK, cbOK},
      {1, {cbYes, cbNo}, cbYes, std::nullopt},        {2, {cbOK, cbCancel}, cbCancel, cbOK},
      {2, {cbYes, cbNo}, cbNo, std::nullopt},         {100, {cbOK, cbCancel}, cbOK, cbOK},
      {100, {cbCancel}, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    CommonButtonRoles r = ChooseCommonButtonRoles(c.defaultButton, c.set);
    EXPECT_EQ(r.defaultButton, c.def) << c.defaultButton;
    EXPECT_EQ(r.escButton, c.esc) << c.defaultButton;
  }
}

TEST(TaskDialogCommandLinks, TextSplitsAtBackslashNAndCarriageReturn) {
  EXPECT_EQ(SplitCommandLinkText("  Head \\n one \r\n two  "),
            (std::vector<std::string>{"Head", "one", "two"}));
  EXPECT_EQ(SplitCommandLinkText("Only a heading"), (std::vector<std::string>{"Only a heading"}));
  FakeCanvas canvas(FakeCanvas::HandCountable());
  FontSpec heading, desc;
  EXPECT_EQ(MeasureCommandLinkText(canvas, "Head\\nlonger line", heading, desc),
            (Size{110 + 8, 20 + 10 + 22}));
}

TEST(TaskDialogClipboard, CaptionInstructionAndButtonsBetweenDividers) {
  const std::string d = "---------------------------\r\n";
  EXPECT_EQ(TaskDialogClipboardText("Vantory 9 - Viewer", "Save of Logs is Optional",
                                    {"Continue with the Save", "&Cancel"}),
            d + "Vantory 9 - Viewer\r\n" + d + "Save of Logs is Optional\r\n" + d +
                "Continue with the Save   Cancel   \r\n" + d);
}

TEST(TaskDialogModelTest, ClearKeepsTheProgressRange) {
  TaskDialogModel m = SaveWarning();
  m.ProgressBarMin = 5;
  m.ProgressBarMax = 50;
  m.Options = {doTimer};
  m.DefaultRadioButton = 201;
  m.Footer = "f";
  m.Clear();
  EXPECT_TRUE(m.CustomButtons.empty());
  EXPECT_TRUE(m.Options.Empty());
  EXPECT_EQ(m.Icon, tiBlank);
  EXPECT_EQ(m.DefaultButton, 0);
  EXPECT_EQ(m.DefaultRadioButton, 0);
  EXPECT_TRUE(m.Title.empty() && m.Footer.empty() && m.VerificationText.empty());
  EXPECT_EQ(m.ProgressBarMin, 5);
  EXPECT_EQ(m.ProgressBarMax, 50);
  EXPECT_STREQ(TaskDialogModel::Version(), "1.0.5.8");
}

TEST(TaskDialogNative, FlagsInTheirOrderWithCommandLinkOptionsAssigning) {
  EXPECT_EQ(NativeDialogFlags({doCommandLinks, doCommandLinksNoIcon}), 0x20u | 0x4000u);
  EXPECT_EQ(NativeDialogFlags({doCommandLinks, doHyperlinks}), 0x11u | 0x4000u);
  EXPECT_EQ(NativeDialogFlags({}), 0x4000u) << "never a radio button the caller did not choose";
  EXPECT_EQ(NativeDialogFlags({}, 201), 0u) << "else the system ignores DefaultRadioButton";
  EXPECT_EQ(NativeDialogFlags({doTimer}), 0x800u | 0x4000u);
  EXPECT_EQ(NativeDialogFlags({doProgressBarMarquee}), 0x400u | 0x800u | 0x4000u);
  EXPECT_EQ(NativeDialogFlags({doExpandedDefault, doExpandedFooter, doAllowMinimize,
                               doVerifyChecked, doProgressBar}),
            0x80u | 0x40u | 0x8000u | 0x100u | 0x200u | 0x800u | 0x4000u);
  EXPECT_EQ(NativeCommonButtonFlags({cbOK, cbYes, cbNo, cbCancel, cbRetry, cbClose}), 0x3Fu);
  EXPECT_EQ(NativeCommonButtonFlags({cbRetry}), 0x10u);
}

TEST(TaskDialogNative, IconIdsAndTheCloseButtonDifference) {
  EXPECT_EQ(NativeMainIconId(tiBlank), 17);
  EXPECT_EQ(NativeMainIconId(tiWarning), 84);
  EXPECT_EQ(NativeMainIconId(tiQuestion), 99);
  EXPECT_EQ(NativeMainIconId(tiError), 98);
  EXPECT_EQ(NativeMainIconId(tiInformation), 81);
  EXPECT_EQ(NativeMainIconId(tiShield), 78);
  EXPECT_EQ(NativeMainIconId(tiNotUsed), 0);
  EXPECT_EQ(NativeFooterIconId(tfiBlank), 0);
  EXPECT_EQ(NativeFooterIconId(tfiError), 98);
  EXPECT_EQ(OwnWindowButtonResult(cbClose), 3);
  EXPECT_EQ(NativeButtonResult(cbClose), 8);
  EXPECT_EQ(NativeButtonResult(cbRetry), 4);
}

}  // namespace
}  // namespace vt9

namespace vt9 {
namespace {

TEST(PlainTextWrap, BreaksBetweenWordsAtItsOwnBreaksAndCutsOverlongWords) {
  test::FakeCanvas canvas(test::FakeCanvas::HandCountable());
  EXPECT_EQ(WrapPlainText(canvas, "aaa bbb ccc", 70), (std::vector<std::string>{"aaa bbb", "ccc"}));
  EXPECT_EQ(WrapPlainText(canvas, "a\r\nb\nc\rd", 100),
            (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(WrapPlainText(canvas, "xy abcdefgh", 30),
            (std::vector<std::string>{"xy", "abc", "def", "gh"}));
  EXPECT_EQ(MeasurePlainText(canvas, "", 100), (Size{0, 0}));
  EXPECT_EQ(MeasurePlainText(canvas, "ab\r\n", 100), (Size{20, 40}));
}

}  // namespace
}  // namespace vt9
