// The task dialog on both paths under Wine: the native TaskDialogIndirect and our own window.
// Each case runs once per path; where the paths deliberately differ, the case says so.
#include "dialogs/win/task_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialogs/win/task_dialog_form.h"
#include "dialogs/win/task_dialog_native.h"
#include "support/win/paths.h"
#include "support/win/task_dialog_driver.h"
#include "support/win/widget_host.h"
#include "task-dialog-demo/sample_dialogs.h"

namespace vt9::test {
namespace {

using win::TTaskDialog;

class TaskDialogPaths : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { UseOwnTaskDialogWindow(Own()); }
  bool Own() const { return GetParam(); }
  std::string Path() const { return Own() ? "own" : "native"; }
  TTaskDialog d;
};

TEST_P(TaskDialogPaths, SaveWarningReturnsTheCustomIdsAndTheTickedBox) {
  samples::SaveWarning(d);
  int result = RunDialog(d, [&](HWND dialog) {
    SaveScreenshot("task-dialog-" + Path() + "-save-warning");
    if (Own()) {
      EXPECT_EQ(GetWindowLongPtrA(dialog, GWL_STYLE) & WS_SYSMENU, 0) << "no close box";
      // What the screen shows: white above, the grey band beside the buttons, the box in it.
      HWND cont = FindChildByText(dialog, "Continue with the Save");
      HWND box = FindChildByText(dialog, "Do not show this again");
      ASSERT_TRUE(cont && box);
      RECT b{}, v{};
      GetWindowRect(cont, &b);
      GetWindowRect(box, &v);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&b), 2);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&v), 2);
      COLORREF above = 0, band = 0;
      for (int attempt = 0; attempt < 30 && band != RGB(240, 240, 240); ++attempt) {
        Sleep(100);
        HDC dc = GetDC(dialog);
        above = GetPixel(dc, 2, 2) & 0xFFFFFF;
        band = GetPixel(dc, 2, (b.top + b.bottom) / 2) & 0xFFFFFF;
        ReleaseDC(dialog, dc);
      }
      EXPECT_EQ(above, RGB(255, 255, 255));
      EXPECT_EQ(band, RGB(240, 240, 240)) << "the button row is in the grey band";
      EXPECT_GT(v.top, b.bottom) << "the box below the buttons";
      PostKey(VK_ESCAPE);
      EXPECT_TRUE(StillOpenAfter(dialog, 300)) << "no button reacts to Esc";
    }
    ClickText(dialog, "Continue with the Save");
  });
  EXPECT_EQ(result, 100);
  EXPECT_FALSE(d.VerifyResult);

  samples::SaveWarning(d);
  result = RunDialog(d, [&](HWND dialog) {
    ClickText(dialog, "Do not show this again");
    ClickText(dialog, "Cancel");
  });
  EXPECT_EQ(result, 101);
  EXPECT_TRUE(d.VerifyResult) << "ticked, whatever button closed it";

  samples::SaveWarning(d);
  result = RunDialog(d, [&](HWND) { PostKey(VK_RETURN); });
  EXPECT_EQ(result, 100) << "Enter presses the default \"Continue with the Save\"";
  EXPECT_FALSE(d.VerifyResult) << "a new run starts unticked";
}

TEST_P(TaskDialogPaths, SaveErrorAndNotFoundCloseWithOkOnEnter) {
  samples::SaveError(d, "C:\\Logs\\Backup.log");
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        SaveScreenshot("task-dialog-" + Path() + "-save-error");
                        EXPECT_EQ(TextOf(dialog), "  Vantory 9");
                        PostKey(VK_RETURN);
                      }),
            1);
  samples::NotFound(d, "Backup.log", "abc");
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        SaveScreenshot("task-dialog-" + Path() + "-not-found");
                        EXPECT_NE(FindChildByText(dialog, "\"abc\" Not Found"), nullptr);
                        PostKey(VK_RETURN);
                      }),
            1);
}

TEST_P(TaskDialogPaths, RadioDefaultsAndResults) {
  d.Instruction = "Pick one";
  d.RadioButtons = {"first", "second", "third"};
  d.DefaultRadioButton = 201;
  d.CommonButtons = {cbOK};
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        EXPECT_EQ(
                            SendMessageA(FindChildByText(dialog, "second"), BM_GETCHECK, 0, 0),
                            BST_CHECKED);
                        ClickText(dialog, "OK");
                      }),
            1);
  EXPECT_EQ(d.RadioResult, 201);

  int clicked = 0;
  d.OnDialogRadioClick = [&](TTaskDialog&, int id) { clicked = id; };
  RunDialog(d, [&](HWND dialog) {
    ClickText(dialog, "third");
    ClickText(dialog, "OK");
  });
  EXPECT_EQ(d.RadioResult, 202);
  EXPECT_EQ(clicked, 202);

  d.DefaultRadioButton = 0;
  RunDialog(d, [&](HWND dialog) {
    for (const char* r : {"first", "second", "third"})
      EXPECT_NE(SendMessageA(FindChildByText(dialog, r), BM_GETCHECK, 0, 0), BST_CHECKED) << r;
    ClickText(dialog, "OK");
  });
  EXPECT_EQ(d.RadioResult, 0) << "no radio button chosen on either path";
}

TEST_P(TaskDialogPaths, CommandLinksReportTheirIdAndBothOptionsGiveOnlyNoIcon) {
  d.Instruction = "Choose";
  d.CustomButtons = {"First", "Second"};
  d.Options = {doCommandLinks, doCommandLinksNoIcon};
  std::vector<int> clicks;
  d.OnDialogButtonClick = [&](TTaskDialog&, int id) { clicks.push_back(id); };
  EXPECT_EQ(RunDialog(d, [&](HWND dialog) { ClickText(dialog, "Second"); }), 101);
  EXPECT_EQ(clicks, std::vector<int>{101});

  win::NativeTaskDialogConfig config;
  win::BuildNativeConfig(d, nullptr, config);
  EXPECT_EQ(config.config.dwFlags & (TDF_USE_COMMAND_LINKS | TDF_USE_COMMAND_LINKS_NO_ICON),
            static_cast<unsigned>(TDF_USE_COMMAND_LINKS_NO_ICON));
}

TEST_P(TaskDialogPaths, CloseButtonIsCloseNativelyAndAbortInOurWindow) {
  d.Instruction = "Stop?";
  d.CommonButtons = {cbClose};
  std::vector<int> clicks;
  d.OnDialogButtonClick = [&](TTaskDialog&, int id) { clicks.push_back(id); };
  const int result =
      RunDialog(d, [&](HWND dialog) { ClickText(dialog, Own() ? "Abort" : "Close"); });
  EXPECT_EQ(result, Own() ? 3 : 8);
  // Natively every button reports its click; in our window only custom ones do.
  EXPECT_EQ(clicks, Own() ? std::vector<int>{} : std::vector<int>{8});
}

TEST_P(TaskDialogPaths, CloseVetoKeepsTheDialogUp) {
  d.Instruction = "Try to close me";
  d.CommonButtons = {cbOK};
  int asked = 0;
  d.OnDialogClose = [&](TTaskDialog&, bool& canClose) { canClose = ++asked > 1; };
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        ClickText(dialog, "OK");
                        EXPECT_TRUE(StillOpenAfter(dialog, 300)) << "the veto holds";
                        ClickText(dialog, "OK");
                      }),
            1);
  EXPECT_EQ(asked, 2);
}

TEST_P(TaskDialogPaths, FooterLinkOpensOnlyInOurWindowAndAlwaysFiresTheEvent) {
  const std::string folder = MakeTempFolder("td-link-" + Path());
  CopyFileA((BinFolder() + "vt9.exe").c_str(), (folder + "vt9.exe").c_str(), FALSE);
  std::string url = "file:///" + folder + "vt9.exe";
  std::replace(url.begin(), url.end(), '\\', '/');
  d.Instruction = "Footer link";
  d.Footer = "<A href=\"" + url + "\">open the program</A>";
  d.Options = {doHyperlinks};
  d.CommonButtons = {cbOK};
  std::string clicked;
  d.OnDialogHyperlinkClick = [&](TTaskDialog&, const std::string& href) { clicked = href; };
  RunDialog(d, [&](HWND dialog) {
    if (Own()) {
      const vt9::Rect r = d.RunningForm()->Layout().FooterTextRect();
      PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 4, r.top + 6));
    } else {
      HWND link = FindChildByClass(dialog, "SysLink");
      ASSERT_NE(link, nullptr);
      PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 6));
      PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(4, 6));
    }
    Sleep(1500);  // time for a started program to write its log
    ClickText(dialog, "OK");
  });
  EXPECT_EQ(clicked, url);
  const bool opened =
      GetFileAttributesA((folder + "vt9-calls.log").c_str()) != INVALID_FILE_ATTRIBUTES;
  EXPECT_EQ(opened, Own()) << "only our window opens \"://\" links itself";
}

TEST_P(TaskDialogPaths, TimerTicksWithoutABarAndMovesTheBarWhenThereIsOne) {
  d.Instruction = "Ticking";
  d.CommonButtons = {cbOK};
  d.Options = {doTimer};
  int ticks = 0;
  int progressCalls = 0;
  d.OnDialogTimer = [&](TTaskDialog&) { ++ticks; };
  d.OnDialogProgress = [&](TTaskDialog&, int& pos, TTaskDialogProgressState&) {
    ++progressCalls;
    pos += 10;
  };
  RunDialog(d, [&](HWND dialog) {
    Sleep(600);
    ClickText(dialog, "OK");
  });
  EXPECT_GE(ticks, 3);
  EXPECT_GE(progressCalls, 3) << "asked even without a bar, which is left alone";

  d.Options = {doProgressBar};
  int position = -1;
  RunDialog(d, [&](HWND dialog) {
    Sleep(600);
    HWND bar = FindChildByClass(dialog, PROGRESS_CLASSA);
    ASSERT_NE(bar, nullptr);
    DWORD_PTR pos = 0;
    SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_NORMAL, 2000, &pos);
    position = static_cast<int>(pos);
    ClickText(dialog, "OK");
  });
  EXPECT_GE(position, 20);
}

TEST_P(TaskDialogPaths, OwnerIsDisabledWhileTheDialogIsUp) {
  WidgetHost owner;
  samples::SaveError(d, "x");
  bool enabledDuring = true;
  RunDialog(
      d,
      [&](HWND) {
        enabledDuring = IsWindowEnabled(owner.hwnd()) != FALSE;
        PostKey(VK_RETURN);
      },
      owner.hwnd());
  EXPECT_FALSE(enabledDuring);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

TEST_P(TaskDialogPaths, EmptyAndHugeDialogsStayUsable) {
  EXPECT_EQ(RunDialog(d, [&](HWND) { PostKey(VK_RETURN); }), 1) << "empty: a lone OK";

  d.Title = "Huge";
  d.Instruction = std::string(100000, 'I');
  for (int i = 0; i < 10000; ++i) d.Content += "content ";
  d.Footer = "<A href=\"" + std::string(1000, 'x');  // broken markup
  d.CommonButtons = {cbOK};
  RECT rect{};
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        GetWindowRect(dialog, &rect);
                        if (Own()) {
                          HWND instruction = FindChildByClass(dialog, "Static");
                          ASSERT_NE(instruction, nullptr);
                          EXPECT_TRUE(IsWindowVisible(instruction));
                        }
                        Sleep(1000);  // a long text takes a while to paint
                        SaveScreenshot("task-dialog-" + Path() + "-huge");
                        PostKey(VK_RETURN);
                      }),
            1);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  if (Own()) {
    EXPECT_GE(rect.top, work.top);
    EXPECT_LE(rect.bottom, work.bottom) << "the buttons stay on the screen";
  }
}

TEST_P(TaskDialogPaths, EverythingAtOnce) {
  samples::Everything(d);
  d.OnDialogProgress = [](TTaskDialog&, int& pos, TTaskDialogProgressState&) { pos += 5; };
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        Sleep(300);
                        SaveScreenshot("task-dialog-" + Path() + "-everything");
                        ClickText(dialog, "No");
                      }),
            7);
  EXPECT_EQ(d.RadioResult, 200);
}

TEST_P(TaskDialogPaths, OneDefaultButtonTheOneDefaultButtonNames) {
  d.Instruction = "Go on?";
  d.CustomButtons = {"Go on", "Stop"};
  d.CommonButtons = {cbOK, cbCancel};
  d.DefaultButton = 100;
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        if (Own()) {
                          int defaults = 0;
                          bool goOn = false;
                          for (HWND w = GetWindow(dialog, GW_CHILD); w;
                               w = GetWindow(w, GW_HWNDNEXT)) {
                            char cls[16] = {};
                            GetClassNameA(w, cls, sizeof cls);
                            if (lstrcmpiA(cls, "Button") != 0 ||
                                (GetWindowLongA(w, GWL_STYLE) & 0x0F) != BS_DEFPUSHBUTTON)
                              continue;
                            ++defaults;
                            goOn = goOn || TextOf(w) == "Go on";
                          }
                          EXPECT_TRUE(goOn);
                          EXPECT_EQ(defaults, 1) << "\"Go on\" is the one default button";
                        }
                        PostKey(VK_RETURN);
                      }),
            100);
  d.DefaultButton = 101;
  EXPECT_EQ(RunDialog(d, [&](HWND) { PostKey(VK_RETURN); }), 101);
}

TEST_P(TaskDialogPaths, AFailingTimerIsReportedOnceAndStops) {
  d.Instruction = "Ticking";
  d.CommonButtons = {cbOK};
  d.Options = {doTimer};
  int ticks = 0;
  d.OnDialogTimer = [&](TTaskDialog&) {
    ++ticks;
    throw std::runtime_error("The tick failed");
  };
  int reports = 0;
  int ticksAfter = 0;
  RunDialog(
      d,
      [&](HWND dialog) {
        Sleep(1000);
        for (HWND report = WaitForTaskDialog(DialogThread(), 2000, dialog); report;
             report = WaitForTaskDialog(DialogThread(), 500, dialog)) {
          ++reports;
          EXPECT_NE(FindChildByText(report, "The tick failed"), nullptr);
          PostMessageA(report, WM_COMMAND, IDOK, 0);
          Sleep(300);
          if (reports > 5) break;
        }
        const int before = ticks;
        Sleep(500);
        ticksAfter = ticks - before;
        ClickText(dialog, "OK");
      },
      nullptr, 20000);
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(ticks, 1) << "the timer stops at the first error";
  EXPECT_EQ(ticksAfter, 0);
}

// Records the positions a progress bar is set to, on the bar's own thread.
std::vector<int> g_positions;
WNDPROC g_barProc = nullptr;
LRESULT CALLBACK RecordingBarProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == PBM_SETPOS) g_positions.push_back(static_cast<int>(wp));
  return CallWindowProcA(g_barProc, w, m, wp, lp);
}

TEST_P(TaskDialogPaths, TheProgressBarOnlyMovesForward) {
  d.Instruction = "Progress";
  d.CommonButtons = {cbOK};
  d.Options = {doProgressBar};
  d.OnDialogProgress = [](TTaskDialog&, int& pos, TTaskDialogProgressState&) { pos += 5; };
  g_positions.clear();
  RunDialog(d, [&](HWND dialog) {
    HWND bar = FindChildByClass(dialog, PROGRESS_CLASSA);
    ASSERT_NE(bar, nullptr);
    g_barProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingBarProc)));
    Sleep(800);
    SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_barProc));
    ClickText(dialog, "OK");
  });
  ASSERT_GE(g_positions.size(), 3u);
  for (std::size_t i = 1; i < g_positions.size(); ++i)
    EXPECT_GE(g_positions[i], g_positions[i - 1]) << "set back at tick " << i;
}

INSTANTIATE_TEST_SUITE_P(BothPaths, TaskDialogPaths, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? std::string("OwnWindow") : std::string("Native");
                         });

TEST(TaskDialogNativeConfig, TextsAreCutTo255AndEmptyOnesLeftOut) {
  TTaskDialog d;
  d.Content = std::string(100000, 'c');
  d.CustomButtons = {std::string(300, 'b')};
  d.Icon = tiNotUsed;
  d.FooterIcon = tfiError;
  d.DefaultRadioButton = 201;
  win::NativeTaskDialogConfig config;
  win::BuildNativeConfig(d, nullptr, config);
  const TASKDIALOGCONFIG& c = config.config;
  EXPECT_EQ(c.cbSize, sizeof(void*) == 4 ? 96u : sizeof(TASKDIALOGCONFIG))
      << "the system checks the size it knows";
  EXPECT_EQ(std::wstring(c.pszContent).size(), 255u);
  EXPECT_EQ(std::wstring(c.pButtons[0].pszButtonText).size(), 255u);
  EXPECT_EQ(c.pButtons[0].nButtonID, 100);
  EXPECT_EQ(c.pszWindowTitle, nullptr);
  EXPECT_EQ(c.pszMainInstruction, nullptr);
  EXPECT_EQ(c.pszVerificationText, nullptr);
  EXPECT_EQ(c.pszMainIcon, nullptr) << "tiNotUsed passes no icon";
  EXPECT_EQ(c.pszFooterIcon, MAKEINTRESOURCEW(98));
  EXPECT_EQ(c.nDefaultRadioButton, 201);
}

TEST(TaskDialogNativeConfig, NoDefaultRadioFlagOnlyWithoutADefaultRadio) {
  TTaskDialog d;
  d.RadioButtons = {"a", "b", "c"};
  d.DefaultRadioButton = 201;
  win::NativeTaskDialogConfig config;
  win::BuildNativeConfig(d, nullptr, config);
  EXPECT_EQ(config.config.dwFlags & TDF_NO_DEFAULT_RADIO_BUTTON, 0u)
      << "the system would leave radio 201 unchecked";
  d.DefaultRadioButton = 0;
  win::NativeTaskDialogConfig none;
  win::BuildNativeConfig(d, nullptr, none);
  EXPECT_NE(none.config.dwFlags & TDF_NO_DEFAULT_RADIO_BUTTON, 0u) << "none checked";
}

TEST(TaskDialogNativeConfig, MissingLibraryOrEntryPointGivesMinusOne) {
  TTaskDialog d;
  d.Instruction = "never shown";
  EXPECT_EQ(win::RunNativeTaskDialog(d, nullptr, "comctl32.dll", "NoSuchTaskDialogEntry"), -1);
  EXPECT_EQ(win::RunNativeTaskDialog(d, nullptr, "no-such-library-here.dll"), -1);
}

}  // namespace
}  // namespace vt9::test
