// Our own task dialog window on the screen: every text of a long dialog shown or reachable,
// the window within the work area of its owner's monitor, wheel steps, double-byte wrapping,
// and the default button and radio the dialog starts with.
#include "dialogs/task_dialog_screen.h"

#include <gtest/gtest.h>

#include <string>

#include "dialogs/plain_text.h"
#include "dialogs/task_dialog_layout.h"
#include "support/fake_canvas.h"

namespace vt9 {
namespace {

using test::FakeCanvas;

// 10 pixels a character, 20 a line (see task_dialog_layout_test.cpp); a work area of 700.
struct Screen {
  FakeCanvas canvas{FakeCanvas::HandCountable()};
  TaskDialogEnvironment env;
  Screen() { env.maxClientHeight = 700; }
  TaskDialogLayout Lay(const TaskDialogModel& model) {
    return LayOutTaskDialog(model, canvas, env);
  }
};

std::string Words(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "word ";
  return s;
}

// Scrolled to its end, the scrolling part's bottom is in view: all of it can be reached.
void ExpectAllReachable(TaskDialogLayout L, const TaskDialogModel& m, Canvas& canvas,
                        const Rect TaskDialogLayout::*part) {
  const int bottom = (L.*part).bottom;
  L.scrollPos = L.scrollRange;
  VerticalPass(L, m, canvas);
  EXPECT_EQ((L.*part).bottom, bottom - L.scrollRange);
  EXPECT_LE((L.*part).bottom, L.viewBottom) << "the end of the text scrolls into view";
}

TEST(TaskDialogTallTexts, EveryDetailLineAndTheWholeInstructionCanBeReached) {
  Screen s;
  TaskDialogModel m;
  for (int i = 0; i < 201; ++i) m.ExpandedText += "detail line " + std::to_string(i) + "\r\n";
  m.ExpandedText.resize(m.ExpandedText.size() - 2);
  m.Options = {doExpandedDefault};
  m.CommonButtons = {cbOK};
  TaskDialogLayout L = s.Lay(m);
  ASSERT_EQ(L.expandLines.size(), 201u);
  EXPECT_EQ(L.expandLabel.Height(), 201 * 20) << "as high as all its lines";
  EXPECT_LE(L.clientHeight, 700);
  EXPECT_GT(L.scrollRange, 0);
  ExpectAllReachable(L, m, s.canvas, &TaskDialogLayout::expandLabel);

  TaskDialogModel i;
  i.Instruction = Words(2000);  // half of a 1024 screen: 51 characters a line
  i.CommonButtons = {cbOK};
  L = s.Lay(i);
  FakeCanvas wrap(FakeCanvas::HandCountable());
  const std::size_t lines = WrapPlainText(wrap, i.Instruction, 512).size();
  EXPECT_EQ(L.instructionLines.size(), lines) << "not cut";
  EXPECT_EQ(L.instructionRect.Height(), static_cast<int>(lines) * 20);
  EXPECT_LE(L.clientHeight, 700);
  ExpectAllReachable(L, i, s.canvas, &TaskDialogLayout::instructionRect);
}

TEST(TaskDialogTallTexts, AHugeFooterOrVerificationTextKeepsTheWindowOnTheScreen) {
  Screen s;
  TaskDialogModel m;
  m.CommonButtons = {cbOK, cbCancel};
  m.Footer = Words(4000);
  TaskDialogLayout L = s.Lay(m);
  EXPECT_LE(L.clientHeight, 700);
  EXPECT_GE(L.FooterRect().top, L.pushButtons[0].rect.bottom) << "below the buttons";

  m.Footer.clear();
  m.VerificationText = Words(4000);
  L = s.Lay(m);
  EXPECT_LE(L.clientHeight, 700);
  EXPECT_LE(L.verificationRect.bottom, L.clientHeight);
  EXPECT_GE(L.verificationRect.Height(), 20);

  // Both at once, with long content and details: the buttons still show.
  m.Footer = Words(4000);
  m.Content = Words(5000);
  m.ExpandedText = Words(5000);
  m.Options = {doExpandedDefault};
  L = s.Lay(m);
  EXPECT_LE(L.clientHeight, 700);
  EXPECT_GE(L.pushButtons[0].rect.top, L.viewBottom);
  EXPECT_LE(L.pushButtons[0].rect.bottom, L.clientHeight);

  // Short texts are not touched.
  m = {};
  m.VerificationText = "Do not ask again";
  m.Footer = "A footer";
  L = s.Lay(m);
  EXPECT_EQ(L.verificationRect.Height(), 20);
  EXPECT_LE(L.footerHeight, 40);
}

TEST(TaskDialogScreen, ExpandingNearTheBottomKeepsTheButtonsOnTheWorkArea) {
  Screen s;
  const Rect work{0, 0, 1280, 740};
  TaskDialogModel m;
  m.ExpandedText = Words(300);
  m.CommonButtons = {cbOK};
  TaskDialogLayout L = s.Lay(m);
  ASSERT_FALSE(L.expanded);
  const int collapsed = L.clientHeight;
  L.expanded = true;
  VerticalPass(L, m, s.canvas);
  ASSERT_GT(L.clientHeight, collapsed);
  // Placed low (as far as the collapsed window fits), then grown by the details.
  const Rect low{300, work.bottom - collapsed - 40, 700, work.bottom};
  const Rect grown{low.left, low.top, low.right, low.top + L.clientHeight + 40};
  const Rect kept = KeepOnWorkArea(grown, work);
  EXPECT_EQ(kept.bottom, work.bottom);
  EXPECT_EQ(kept.Height(), grown.Height());
  EXPECT_EQ(kept.left, low.left) << "moved up only";
  // Taller than the work area: its top (caption) stays on it.
  EXPECT_EQ(KeepOnWorkArea({10, 500, 410, 1500}, work).top, 0);
}

TEST(TaskDialogScreen, TheOwnersMonitorGivesTheLimitsAndThePlace) {
  // A small primary monitor with a task bar at its bottom, and a tall one to its left.
  const Rect primary{0, 0, 1024, 768}, primaryWork{0, 0, 1024, 728};
  const Rect second{-1200, -400, 0, 1520}, secondWork{-1200, -400, 0, 1520};
  const Size frame{8, 30};
  TaskDialogEnvironment env;
  FitTaskDialogToMonitor(env, second, secondWork, frame);
  EXPECT_EQ(env.maxClientHeight, 1920 - 30);
  EXPECT_EQ(env.maxClientWidth, 1200 - 8);
  EXPECT_EQ(env.screenWidth, 1200);
  FitTaskDialogToMonitor(env, primary, primaryWork, frame);
  EXPECT_EQ(env.maxClientHeight, 728 - 30);

  // Centred over an owner on the second monitor, and on it, not on the primary one.
  const Rect owner{-1100, 1000, -300, 1500};
  const Rect placed = PlaceTaskDialog({400, 300}, owner, secondWork);
  EXPECT_EQ(placed, (Rect{-900, 1100, -500, 1400}));
  // An owner partly off its monitor's bottom: the dialog moves up onto the work area.
  const Rect low = PlaceTaskDialog({400, 600}, {-1100, 1300, -300, 1700}, secondWork);
  EXPECT_EQ(low.bottom, 1520);
  EXPECT_EQ(low.left, -900);
}

TEST(TaskDialogWheel, SmallStepsAddUpToANotch) {
  WheelSteps w;
  EXPECT_EQ(w.Add(30), 0);
  EXPECT_EQ(w.Add(30), 0);
  EXPECT_EQ(w.Add(30), 0);
  EXPECT_EQ(w.Add(30), 1) << "four quarter steps make one notch";
  EXPECT_EQ(w.Add(-40), 0) << "the other way starts afresh";
  EXPECT_EQ(w.Add(-80), -1);
  EXPECT_EQ(w.Add(360), 3);
  EXPECT_EQ(w.Add(-100), 0);
  EXPECT_EQ(w.Add(100), 0) << "what was left of the other way is dropped";
  EXPECT_EQ(w.Add(20), 1);
}

// A double-byte code page in miniature: 0x82 leads a character two bytes long, 20 pixels wide;
// every other byte is a character of 10.
class PairCanvas : public FakeCanvas {
 public:
  PairCanvas() : FakeCanvas(HandCountable()) {}
  Size MeasureText(std::string_view text, const TextFlags&) override {
    int w = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (static_cast<unsigned char>(text[i]) == 0x82 && i + 1 < text.size()) {
        w += 20;
        ++i;
      } else {
        w += 10;
      }
    }
    return {w, 20};
  }
};

LeadBytes ShiftLead() {
  LeadBytes lead{};
  lead[0x82] = true;
  return lead;
}

bool WholePairs(const std::string& line) {
  if (line.size() % 2) return false;
  for (std::size_t i = 0; i < line.size(); i += 2)
    if (static_cast<unsigned char>(line[i]) != 0x82) return false;
  return true;
}

TEST(TaskDialogDoubleByte, WrappingNeverSplitsACharacter) {
  PairCanvas canvas;
  const LeadBytes lead = ShiftLead();
  std::string pairs;
  for (int i = 0; i < 40; ++i) pairs += "\x82\xA0";
  for (int width : {50, 30, 25, 10, 5}) {
    const std::vector<std::string> lines = WrapPlainText(canvas, pairs, width, &lead);
    std::string joined;
    for (const std::string& line : lines) {
      EXPECT_TRUE(WholePairs(line)) << "width " << width << ": " << line.size() << " bytes";
      joined += line;
    }
    EXPECT_EQ(joined, pairs) << "nothing lost";
  }
  // A single-byte code page cuts where it fits, as before.
  EXPECT_EQ(WrapPlainText(canvas, "abcdefg", 30), (std::vector<std::string>{"abc", "def", "g"}));

  // Through the layout, with the system's lead bytes in the environment.
  TaskDialogEnvironment env;
  env.leadBytes = lead;
  TaskDialogModel m;
  m.Content = pairs + pairs + pairs + pairs + pairs;
  m.ExpandedText = m.Content;
  m.Options = {doExpandedDefault};
  const TaskDialogLayout L = LayOutTaskDialog(m, canvas, env);
  ASSERT_GT(L.contentLines.size(), 1u);
  for (const std::string& line : L.contentLines) EXPECT_TRUE(WholePairs(line));
  for (const std::string& line : L.expandLines) EXPECT_TRUE(WholePairs(line));
}

TEST(TaskDialogStart, ARadioThatDoesNotExistIsNotTheResult) {
  Screen s;
  TaskDialogModel m;
  m.RadioButtons = {"one", "two"};
  m.DefaultRadioButton = 205;
  EXPECT_EQ(s.Lay(m).InitialRadioResult(), 0);
  m.DefaultRadioButton = 201;
  EXPECT_EQ(s.Lay(m).InitialRadioResult(), 201);
  m.RadioButtons.clear();
  EXPECT_EQ(s.Lay(m).InitialRadioResult(), 0);
}

TEST(TaskDialogStart, ADefaultButtonOfYesNoOrRetryIsHonoured) {
  Screen s;
  TaskDialogModel m;
  m.CommonButtons = {cbYes, cbNo};
  m.DefaultButton = 7;  // No
  TaskDialogLayout L = s.Lay(m);
  ASSERT_GE(L.DefaultButtonIndex(), 0);
  EXPECT_EQ(L.pushButtons[static_cast<std::size_t>(L.DefaultButtonIndex())].result, 7)
      << "Enter answers No";
  m.DefaultButton = 6;
  L = s.Lay(m);
  EXPECT_EQ(L.pushButtons[static_cast<std::size_t>(L.DefaultButtonIndex())].result, 6);

  m.CommonButtons = {cbRetry, cbCancel};
  m.DefaultButton = 4;
  EXPECT_EQ(ChooseCommonButtonRoles(4, m.CommonButtons).defaultButton, cbRetry);
  m.CommonButtons = {cbOK, cbRetry, cbCancel};
  EXPECT_EQ(ChooseCommonButtonRoles(4, m.CommonButtons).defaultButton, cbRetry);
  EXPECT_EQ(ChooseCommonButtonRoles(4, m.CommonButtons).escButton, cbCancel);
  // The Close button by its id on either path.
  EXPECT_EQ(ChooseCommonButtonRoles(8, {cbOK, cbClose}).defaultButton, cbClose);
  EXPECT_EQ(ChooseCommonButtonRoles(3, {cbOK, cbClose}).defaultButton, cbClose);
  // A named button the dialog does not have: the dialog's own rule.
  EXPECT_EQ(ChooseCommonButtonRoles(7, {cbOK, cbCancel}).defaultButton, cbOK);
}

}  // namespace
}  // namespace vt9
