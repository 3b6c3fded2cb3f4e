// Behaviour of our own task dialog window that the native dialog does not share: the expand
// control moving the buttons, Ctrl+C, Esc on the lone OK, and bad input.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/win/task_dialog.h"
#include "dialogs/win/task_dialog_form.h"
#include "support/win/task_dialog_driver.h"
#include "support/win/widget_host.h"
#include "task-dialog-demo/sample_dialogs.h"

namespace vt9::test {
namespace {

using win::TTaskDialog;

class TaskDialogOwnWindow : public ::testing::Test {
 protected:
  void SetUp() override { UseOwnTaskDialogWindow(true); }
  TTaskDialog d;
};

RECT ScreenRectOf(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

void PressCtrlC(HWND dialog) {
  SetForegroundWindow(dialog);
  Sleep(100);
  KeyDown(VK_CONTROL);
  PressKey('C');
  KeyUp(VK_CONTROL);
  Sleep(300);
}

std::string ClipboardText() {
  std::string text;
  for (int attempt = 0; attempt < 20 && !OpenClipboard(nullptr); ++attempt) Sleep(50);
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      text = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

TEST_F(TaskDialogOwnWindow, ExpandAndCollapseMoveTheButtonsByTheDetailsPlusSpacing) {
  d.Title = "Details";
  d.Instruction = "Three warnings";
  d.ExpandedText = "Warning 1\r\nWarning 2\r\nWarning 3";
  d.ExpandControlText = "Hide details";
  d.CollapsControlText = "Show details";
  d.CommonButtons = {cbOK};
  RunDialog(d, [&](HWND dialog) {
    HWND ok = FindChildByText(dialog, "OK");
    HWND expand = FindChildByClass(dialog, "TTaskDialogButton");
    HWND details = FindChildByText(dialog, d.ExpandedText);
    ASSERT_TRUE(ok && expand && details);
    EXPECT_FALSE(IsWindowVisible(details)) << "collapsed unless doExpandedDefault";
    const RECT collapsed = ScreenRectOf(ok);
    const RECT collapsedWindow = ScreenRectOf(dialog);

    Click(expand);
    const TaskDialogLayout& layout = d.RunningForm()->Layout();
    const int shift = layout.expandLabel.Height() + layout.m.vertSpacing;
    EXPECT_GT(layout.expandLabel.Height(), 0);
    EXPECT_TRUE(IsWindowVisible(details));
    EXPECT_EQ(ScreenRectOf(ok).top, collapsed.top + shift);
    EXPECT_EQ(ScreenRectOf(dialog).bottom, collapsedWindow.bottom + shift) << "the window grows";
    SaveScreenshot("task-dialog-own-expanded");

    Click(expand);
    EXPECT_FALSE(IsWindowVisible(details));
    EXPECT_EQ(ScreenRectOf(ok).top, collapsed.top);
    ClickText(dialog, "OK");
  });
}

TEST_F(TaskDialogOwnWindow, CtrlCCopiesCaptionInstructionAndButtons) {
  samples::SaveWarning(d);
  RunDialog(d, [&](HWND dialog) {
    PressCtrlC(dialog);
    ClickText(dialog, "Cancel");
  });
  const std::string line = "---------------------------\r\n";
  EXPECT_EQ(ClipboardText(), line + "Vantory 9 - Viewer\r\n" + line +
                                 "Save of Logs is Optional\r\n" + line +
                                 "Continue with the Save   Cancel   \r\n" + line);
}

constexpr char kHeldEvent[] = "VT9TaskDialogTestClipboardHeld";
constexpr char kReleaseEvent[] = "VT9TaskDialogTestClipboardRelease";

// Not a test of its own: the helper process that HeldClipboard... starts from this program. It
// holds the clipboard open until it is told to let go.
TEST(ClipboardHolder, HoldsTheClipboardWhenStartedAsHelper) {
  if (GetEnvironmentVariableA("VT9_HOLD_CLIPBOARD", nullptr, 0) == 0) GTEST_SKIP();
  HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, kHeldEvent);
  HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, kReleaseEvent);
  ASSERT_TRUE(held && release);
  ASSERT_TRUE(OpenClipboard(nullptr));
  SetEvent(held);
  WaitForSingleObject(release, 20000);
  CloseClipboard();
  CloseHandle(held);
  CloseHandle(release);
}

TEST_F(TaskDialogOwnWindow, HeldClipboardReportsCannotOpenClipboardAndTheDialogStays) {
  HANDLE held = CreateEventA(nullptr, TRUE, FALSE, kHeldEvent);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, kReleaseEvent);
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string cmd = std::string("\"") + self + "\" --gtest_filter=ClipboardHolder.*";
  SetEnvironmentVariableA("VT9_HOLD_CLIPBOARD", "1");
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  const bool started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &si, &pi) != FALSE;
  SetEnvironmentVariableA("VT9_HOLD_CLIPBOARD", nullptr);
  ASSERT_TRUE(started);
  ASSERT_EQ(WaitForSingleObject(held, 20000), WAIT_OBJECT_0) << "the helper holds the clipboard";

  samples::SaveError(d, "x.log");
  const int result = RunDialog(d, [&](HWND dialog) {
    PressCtrlC(dialog);
    HWND report = WaitForTaskDialog(DialogThread(), 5000, dialog);
    SetEvent(release);
    ASSERT_NE(report, nullptr) << "an error report appears";
    EXPECT_NE(FindChildByText(report, "Cannot open clipboard"), nullptr);
    ClickText(report, "OK");
    EXPECT_TRUE(StillOpenAfter(dialog, 300));
    ClickText(dialog, "OK");
  });
  EXPECT_EQ(result, 1);
  SetEvent(release);
  WaitForSingleObject(pi.hProcess, 20000);
  DWORD exitCode = 1;
  GetExitCodeProcess(pi.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u) << "the helper ran";
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(held);
  CloseHandle(release);
}

TEST_F(TaskDialogOwnWindow, HandCursorOnlyOverALink) {
  d.Instruction = "Links";
  d.Content = "Plain <A href=\"http://not-a-link\">text</A> without doHyperlinks";
  d.Footer = "<A href=\"note\">footer link</A>";
  d.CommonButtons = {cbOK};
  RunDialog(d, [&](HWND dialog) {
    const TaskDialogLayout& layout = d.RunningForm()->Layout();
    // The cursor the dialog's thread sets when the mouse moves to a point of its client area.
    auto handAt = [&](int x, int y) {
      const POINT p = ClientToScreenPoint(dialog, x, y);
      SetCursorPos(p.x, p.y);
      DWORD_PTR ignored = 0;
      SendMessageTimeoutA(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog),
                          MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), SMTO_NORMAL, 2000, &ignored);
      CURSORINFO info{};
      info.cbSize = sizeof(info);
      GetCursorInfo(&info);
      return info.hCursor == LoadCursorA(nullptr, IDC_HAND);
    };
    const Rect footer = layout.FooterTextRect();
    EXPECT_TRUE(handAt(footer.left + 4, footer.top + 6));
    EXPECT_FALSE(handAt(footer.right - 4, footer.top + 6)) << "beside the link text";
    const Rect content = layout.contentRect;
    EXPECT_FALSE(handAt(content.left + 40, content.top + 6)) << "plain content has no links";
    ClickText(dialog, "OK");
  });
}

TEST_F(TaskDialogOwnWindow, EscPressesTheLoneOkAndTheOnlyOk) {
  EXPECT_EQ(RunDialog(d, [&](HWND) { PostKey(VK_ESCAPE); }), 1) << "no buttons: the lone OK";
  samples::NotFound(d, "Log", "abc");
  EXPECT_EQ(RunDialog(d, [&](HWND) { PostKey(VK_ESCAPE); }), 1);
  d.Clear();
  d.CommonButtons = {cbYes, cbNo};
  EXPECT_EQ(RunDialog(d, [&](HWND) { PostKey(VK_ESCAPE); }), 7) << "Esc presses No";
}

TEST_F(TaskDialogOwnWindow, ButtonEventsOnlyForCustomButtonsAndAbortIsThree) {
  for (int i = 0; i < 200; ++i) d.CustomButtons.push_back("B" + std::to_string(i));
  std::vector<int> clicks;
  d.OnDialogButtonClick = [&](TTaskDialog&, int id) { clicks.push_back(id); };
  EXPECT_EQ(RunDialog(d, [&](HWND dialog) { ClickText(dialog, "B199"); }), 299);
  EXPECT_EQ(clicks, std::vector<int>{299});

  d.Clear();
  d.CommonButtons = {cbOK, cbClose};
  clicks.clear();
  EXPECT_EQ(RunDialog(d, [&](HWND dialog) { ClickText(dialog, "Abort"); }), 3);
  EXPECT_TRUE(clicks.empty()) << "common buttons fire no event in our window";
}

}  // namespace
}  // namespace vt9::test
