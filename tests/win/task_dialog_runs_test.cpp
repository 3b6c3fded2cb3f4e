// Our own task dialog window against the real system: a second run of the one dialog object
// from a message the first run's loop dispatches (either run ending first), expanding near the
// bottom of the screen, small wheel steps, the radio it starts with, and the default button
// (on both paths, which must agree).
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "dialogs/win/task_dialog.h"
#include "dialogs/win/task_dialog_form.h"
#include "support/win/task_dialog_driver.h"
#include "support/win/widget_host.h"

namespace vt9::test {
namespace {

using win::TTaskDialog;

RECT ScreenRectOf(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

// A window of the dialog's thread whose WM_APP runs `onPosted`: the way the viewer's log view
// reports a read error while a dialog is up.
class Poster {
 public:
  explicit Poster(std::function<void()> onPosted) : onPosted_(std::move(onPosted)) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VT9TaskDialogPoster";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            wc.hInstance, nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Poster() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_APP) {
      if (auto* self = reinterpret_cast<Poster*>(GetWindowLongPtrA(w, GWLP_USERDATA)))
        self->onPosted_();
      return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
  }
  std::function<void()> onPosted_;
  HWND hwnd_ = nullptr;
};

class TaskDialogRuns : public ::testing::Test {
 protected:
  void SetUp() override { UseOwnTaskDialogWindow(true); }
  TTaskDialog d;
};

struct Inner {
  int result = -2;
  bool verify = true;
  int radio = -1;
  int outerBoxClicks = 0;  // reported to the outer run's handler
  int innerBoxClicks = 0;  // to the handler the notice's caller set
};

// The outer question with its box ticked; a posted message shows the read-error notice with the
// same dialog object while it is up. `outerFirst`: the outer question is answered while the
// notice is still up, then the notice.
void RunNested(TTaskDialog& d, bool outerFirst, Inner& inner, int& outerResult) {
  d.Instruction = "Outer question";
  d.VerificationText = "Outer box";
  d.RadioButtons = {"Outer radio"};
  d.CommonButtons = {cbOK, cbCancel};
  d.OnDialogVerifyClick = [&](TTaskDialog&, bool) { ++inner.outerBoxClicks; };
  Poster poster([&] {
    d.Clear();
    d.OnDialogVerifyClick = [&](TTaskDialog&, bool) { ++inner.innerBoxClicks; };
    d.Instruction = "Inner notice";
    d.VerificationText = "Inner box";
    d.CommonButtons = {cbOK};
    inner.result = d.Execute();
    inner.verify = d.VerifyResult;
    inner.radio = d.RadioResult;
  });
  outerResult = RunDialog(d, [&](HWND outer) {
    ClickText(outer, "Outer box");
    ClickText(outer, "Outer radio");
    PostMessageA(poster.hwnd(), WM_APP, 0, 0);
    HWND notice = WaitForTaskDialog(DialogThread(), 10000, outer);
    ASSERT_TRUE(notice) << "the notice shows";
    EXPECT_TRUE(FindChildByText(notice, "Inner notice"));
    if (outerFirst) {
      ClickText(outer, "Cancel");
      EXPECT_TRUE(StillOpenAfter(notice, 300)) << "the notice waits for its own answer";
      ClickText(notice, "OK");
      return;
    }
    ClickText(notice, "OK");
    for (int i = 0; i < 100 && IsWindow(notice) && IsWindowVisible(notice); ++i) Sleep(20);
    // The outer question shows (and copies, and lays out) its own texts again.
    EXPECT_TRUE(FindChildByText(outer, "Outer question"));
    EXPECT_FALSE(FindChildByText(outer, "Inner notice"));
    EXPECT_EQ(d.DialogWindow(), outer) << "the running window is the outer one again";
    ASSERT_TRUE(d.RunningForm());
    EXPECT_NE(d.RunningForm()->ClipboardText().find("Outer question"), std::string::npos);
    // Its box reports to its own handler still; ticked again after two clicks.
    ClickText(outer, "Outer box");
    ClickText(outer, "Outer box");
    ClickText(outer, "OK");
  });
}

TEST_F(TaskDialogRuns, ANoticeShownWhileADialogIsUpKeepsEachRunsTextsAndResults) {
  Inner inner;
  int outer = 0;
  RunNested(d, false, inner, outer);
  EXPECT_EQ(inner.result, 1);
  EXPECT_FALSE(inner.verify) << "the notice's box was not ticked";
  EXPECT_EQ(inner.radio, 0);
  EXPECT_EQ(outer, 1);
  EXPECT_TRUE(d.VerifyResult) << "the outer run's box, ticked";
  EXPECT_EQ(d.RadioResult, 200);
  EXPECT_EQ(d.DialogWindow(), nullptr);
  EXPECT_EQ(inner.outerBoxClicks, 3);
  EXPECT_EQ(inner.innerBoxClicks, 0);
}

TEST_F(TaskDialogRuns, TheOuterDialogAnsweredFirstEndsAfterTheNoticeWithItsOwnResults) {
  Inner inner;
  int outer = 0;
  RunNested(d, true, inner, outer);
  EXPECT_EQ(inner.result, 1);
  EXPECT_FALSE(inner.verify);
  EXPECT_EQ(outer, 2) << "Cancel";
  EXPECT_TRUE(d.VerifyResult);
  EXPECT_EQ(d.RadioResult, 200);
  EXPECT_EQ(d.DialogWindow(), nullptr);
  EXPECT_EQ(inner.outerBoxClicks, 1);
  EXPECT_EQ(inner.innerBoxClicks, 0);
}

TEST_F(TaskDialogRuns, ExpandingNearTheBottomOfTheScreenKeepsTheButtonsOnIt) {
  const RECT work = WorkArea();
  // The owner sits at the bottom of the work area: the dialog is centred over it, as low as it
  // fits.
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 200, work.bottom - 120,
                               600, 120, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(owner);
  d.Instruction = "Expand me";
  for (int i = 0; i < 25; ++i) d.ExpandedText += "Detail line " + std::to_string(i) + "\r\n";
  d.CommonButtons = {cbOK};
  RunDialog(
      d,
      [&](HWND dialog) {
        const RECT before = ScreenRectOf(dialog);
        EXPECT_EQ(before.bottom, work.bottom) << "placed as low as it fits";
        HWND expand = FindChildByClass(dialog, "TTaskDialogButton");
        ASSERT_TRUE(expand);
        Click(expand);
        const RECT after = ScreenRectOf(dialog);
        EXPECT_GT(after.bottom - after.top, before.bottom - before.top) << "it grew";
        EXPECT_LE(after.bottom, work.bottom);
        EXPECT_GE(after.top, work.top);
        const RECT ok = ScreenRectOf(FindChildByText(dialog, "OK"));
        EXPECT_LE(ok.bottom, work.bottom) << "the OK button is on the screen";
        SaveScreenshot("task-dialog-own-expanded-at-the-bottom");
        ClickText(dialog, "OK");
      },
      owner);
  DestroyWindow(owner);
}

TEST_F(TaskDialogRuns, AHugeFooterAndVerificationTextKeepTheWindowOnTheScreen) {
  const RECT work = WorkArea();
  d.Instruction = "Long texts below the buttons";
  for (int i = 0; i < 3000; ++i) {
    d.Footer += "footer" + std::to_string(i) + " ";
    d.VerificationText += "box" + std::to_string(i) + " ";
  }
  d.CommonButtons = {cbOK};
  RunDialog(d, [&](HWND dialog) {
    const RECT r = ScreenRectOf(dialog);
    EXPECT_GE(r.top, work.top);
    EXPECT_LE(r.bottom, work.bottom);
    const RECT ok = ScreenRectOf(FindChildByText(dialog, "OK"));
    EXPECT_LE(ok.bottom, work.bottom) << "the OK button is on the screen";
    SaveScreenshot("task-dialog-own-huge-footer-and-box");
    ClickText(dialog, "OK");
  });
}

TEST_F(TaskDialogRuns, SmallWheelStepsAddUpAndScroll) {
  d.Instruction = "Long";
  for (int i = 0; i < 400; ++i) d.ExpandedText += "Detail line " + std::to_string(i) + "\r\n";
  d.ExpandedText += "The last detail line";
  d.Options = {doExpandedDefault};
  d.CommonButtons = {cbOK};
  RunDialog(d, [&](HWND dialog) {
    ASSERT_TRUE(d.RunningForm());
    ASSERT_GT(d.RunningForm()->Layout().scrollRange, 0);
    const WPARAM down = MAKEWPARAM(0, static_cast<WORD>(-30));
    for (int i = 0; i < 3; ++i) SendMessageA(dialog, WM_MOUSEWHEEL, down, 0);
    EXPECT_EQ(d.RunningForm()->Layout().scrollPos, 0) << "three quarters of a notch";
    SendMessageA(dialog, WM_MOUSEWHEEL, down, 0);
    EXPECT_GT(d.RunningForm()->Layout().scrollPos, 0) << "the fourth makes a notch";
    // To the end: the details' last line shows above the buttons.
    SendMessageA(dialog, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120 * 200)), 0);
    const TaskDialogLayout& L = d.RunningForm()->Layout();
    EXPECT_EQ(L.scrollPos, L.scrollRange);
    EXPECT_LE(L.expandLabel.bottom, L.viewBottom);
    Sleep(500);  // the dialog paints
    SaveScreenshot("task-dialog-own-details-scrolled-to-the-end");
    ClickText(dialog, "OK");
  });
}

TEST_F(TaskDialogRuns, ADefaultRadioThatDoesNotExistGivesNoRadioResult) {
  d.Instruction = "Pick";
  d.RadioButtons = {"first", "second"};
  d.DefaultRadioButton = 205;
  d.CommonButtons = {cbOK};
  RunDialog(d, [&](HWND dialog) { ClickText(dialog, "OK"); });
  EXPECT_EQ(d.RadioResult, 0) << "no such radio, and none shown chosen";
}

class TaskDialogBothPaths : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { UseOwnTaskDialogWindow(GetParam()); }
  TTaskDialog d;
};

TEST_P(TaskDialogBothPaths, EnterAnswersTheDefaultButtonNo) {
  const auto pressEnter = [](HWND dialog) {
    SetForegroundWindow(dialog);
    Sleep(100);
    PostKey(VK_RETURN);
  };
  d.Instruction = "Delete the old logs?";
  d.CommonButtons = {cbYes, cbNo};
  d.DefaultButton = 7;
  EXPECT_EQ(RunDialog(d, pressEnter), 7);
  d.CommonButtons = {cbOK, cbRetry, cbCancel};
  d.DefaultButton = 4;
  EXPECT_EQ(RunDialog(d, pressEnter), 4);
}

INSTANTIATE_TEST_SUITE_P(Paths, TaskDialogBothPaths, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& p) {
                           return p.param ? "OwnWindow" : "Native";
                         });

}  // namespace
}  // namespace vt9::test
