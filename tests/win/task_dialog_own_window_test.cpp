// Behaviour of our own task dialog window that the native dialog does not share: the expand
// control moving the buttons, Ctrl+C, Esc on the lone OK, and bad input.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
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

HWND FocusedControl() {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(DialogThread(), &info);
  return info.hwndFocus;
}

bool Checked(HWND button) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_NORMAL, 2000, &state);
  return state == BST_CHECKED;
}

// Posts Alt+F4 to the dialog, as the keyboard sends it.
void PostAltF4(HWND dialog) {
  const LPARAM lp = (static_cast<LPARAM>(MapVirtualKeyA(VK_F4, 0)) << 16) | 1 | (LPARAM{1} << 29);
  PostMessageA(dialog, WM_SYSKEYDOWN, VK_F4, lp);
  PostMessageA(dialog, WM_SYSKEYUP, VK_F4, lp | (LPARAM{3} << 30));
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
      // The dialog's thread reads the position back: wait until the move has arrived.
      for (int i = 0; i < 50; ++i) {
        POINT now{};
        GetCursorPos(&now);
        if (now.x == p.x && now.y == p.y) break;
        Sleep(10);
      }
      Sleep(50);
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

TEST_F(TaskDialogOwnWindow, FocusAloneChoosesNoRadioAndTheArrowsStayAmongThem) {
  d.Instruction = "Pick one";
  d.RadioButtons = {"first", "second", "third"};
  d.DefaultRadioButton = 201;
  d.CommonButtons = {cbOK, cbCancel};
  std::vector<int> chosen;
  d.OnDialogRadioClick = [&](TTaskDialog&, int id) { chosen.push_back(id); };
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        HWND second = FindChildByText(dialog, "second");
                        ASSERT_EQ(FocusedControl(), FindChildByText(dialog, "OK"));
                        PostKey(VK_TAB);
                        Sleep(300);
                        EXPECT_EQ(FocusedControl(), second) << "Tab enters at the checked radio";
                        EXPECT_TRUE(Checked(second));
                        EXPECT_EQ(d.RadioResult, 201) << "the focus alone chose nothing";
                        // What the system's button reports when an unchecked radio only gets
                        // the focus: a click, while it stays unchecked.
                        HWND first = FindChildByText(dialog, "first");
                        DWORD_PTR ignored = 0;
                        SendMessageTimeoutA(
                            dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(first), BN_CLICKED),
                            reinterpret_cast<LPARAM>(first), SMTO_NORMAL, 2000, &ignored);
                        EXPECT_FALSE(Checked(first));
                        EXPECT_EQ(d.RadioResult, 201) << "a click that checks nothing";
                        EXPECT_TRUE(chosen.empty());
                        // The arrow keys go round the group and never leave it.
                        for (int i = 0; i < 4; ++i) {
                          PostKey(VK_DOWN);
                          Sleep(200);
                          HWND focus = FocusedControl();
                          char text[32] = {};
                          GetWindowTextA(focus, text, sizeof text);
                          EXPECT_TRUE(std::string(text) == "first" ||
                                      std::string(text) == "second" || std::string(text) == "third")
                              << "arrow " << i << " went to \"" << text << "\"";
                        }
                        const char* names[] = {"first", "second", "third"};
                        for (int r = 0; r < 3; ++r) {
                          if (Checked(FindChildByText(dialog, names[r]))) {
                            EXPECT_EQ(d.RadioResult, 200 + r)
                                << "the result is the radio shown checked";
                          }
                        }
                        PostKey(VK_RETURN);
                      }),
            1);
  for (std::size_t i = 1; i < chosen.size(); ++i) EXPECT_NE(chosen[i], chosen[i - 1]);

  // No default push button: the first focus must not choose the first radio.
  d.Clear();
  d.Instruction = "Pick a way";
  d.RadioButtons = {"first", "second"};
  d.CustomButtons = {"Go on", "Stop"};
  d.Options = {doCommandLinks};
  chosen.clear();
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        Sleep(200);
                        EXPECT_FALSE(Checked(FindChildByText(dialog, "first")));
                        EXPECT_EQ(d.RadioResult, 0);
                        ClickText(dialog, "Stop");
                      }),
            101);
  EXPECT_EQ(d.RadioResult, 0);
  EXPECT_TRUE(chosen.empty());
}

TEST_F(TaskDialogOwnWindow, TheDetailsShowTheirWrappedLinesWhole) {
  d.Instruction = "Details";
  std::string longLine;
  for (int i = 0; i < 60; ++i) longLine += "word" + std::to_string(i) + " ";
  d.ExpandedText = longLine + "\r\nthe last line";
  d.Options = {doExpandedDefault};
  d.CommonButtons = {cbOK};
  RunDialog(d, [&](HWND dialog) {
    // The label's own text, as it wraps it, must fit its height.
    HWND label = nullptr;
    for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
      if (TextOf(w).rfind("word0 ", 0) == 0) label = w;
    ASSERT_NE(label, nullptr);
    RECT client{};
    GetClientRect(label, &client);
    HDC dc = GetDC(label);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SIZE last{};
    GetTextExtentPoint32A(dc, "the last line", 13, &last);
    SelectObject(dc, old);
    // The label's bottom line is the short last line: ink there ends where its text ends,
    // not across the width as a wrapped piece of the long line would.
    int inkRight = -1;
    for (int y = client.bottom - tm.tmHeight; y < client.bottom; ++y)
      for (int x = 0; x < client.right; ++x)
        if ((GetPixel(dc, x, y) & 0xFFFFFF) != RGB(255, 255, 255)) inkRight = std::max(inkRight, x);
    ReleaseDC(label, dc);
    EXPECT_GT(client.bottom, 3 * tm.tmHeight) << "the long line wraps";
    EXPECT_GE(inkRight, 0) << "the last line is shown";
    EXPECT_LE(inkRight, last.cx + 4) << "the bottom line is the last line";
    SaveScreenshot("task-dialog-own-long-details");
    ClickText(dialog, "OK");
  });
}

TEST_F(TaskDialogOwnWindow, DestroyedWithItsOwnerTheDialogReturns) {
  WidgetHost owner;
  samples::SaveError(d, "x.log");
  HWND form = nullptr;
  RunDialog(
      d,
      [&](HWND dialog) {
        form = dialog;
        // The owner goes away (closed from outside); its owned dialog goes with it.
        PostMessageA(owner.hwnd(), WM_CLOSE, 0, 0);
      },
      owner.hwnd(), 3000);
  EXPECT_FALSE(IsWindow(form));
}

TEST_F(TaskDialogOwnWindow, TabEnterOnAFocusedButtonAltF4AndTheCloseVeto) {
  d.Instruction = "Keys";
  d.CommonButtons = {cbYes, cbNo, cbCancel};
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        EXPECT_EQ(FocusedControl(), FindChildByText(dialog, "Yes"));
                        PostKey(VK_TAB);
                        Sleep(200);
                        EXPECT_EQ(FocusedControl(), FindChildByText(dialog, "No"));
                        PostKey(VK_RETURN);
                      }),
            7)
      << "Enter presses the focused button, not the default";

  int asked = 0;
  d.OnDialogClose = [&](TTaskDialog&, bool& canClose) { canClose = ++asked > 2; };
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        PostKey(VK_ESCAPE);
                        EXPECT_TRUE(StillOpenAfter(dialog, 300)) << "the veto holds for Esc";
                        PostAltF4(dialog);
                        EXPECT_TRUE(StillOpenAfter(dialog, 300)) << "and for Alt+F4";
                        PostAltF4(dialog);
                      }),
            2)
      << "Alt+F4 presses the Esc button, Cancel";
  EXPECT_EQ(asked, 3);

  d.OnDialogClose = nullptr;
  samples::SaveWarning(d);
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        PostAltF4(dialog);
                        EXPECT_TRUE(StillOpenAfter(dialog, 300))
                            << "without an Esc button Alt+F4 does nothing";
                        ClickText(dialog, "Cancel");
                      }),
            101);
}

// What a screen reader reads of each child window: its role and name.
std::set<std::pair<long, std::wstring>> ReadChildren(HWND dialog) {
  std::set<std::pair<long, std::wstring>> read;
  HMODULE oleacc = LoadLibraryA("oleacc.dll");
  if (!oleacc) return read;
  using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
  const auto fromWindow = reinterpret_cast<FromWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(oleacc, "AccessibleObjectFromWindow")));
  if (!fromWindow) return read;
  const GUID iidAccessible = {
      0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
  for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (!IsWindowVisible(w)) continue;
    IAccessible* acc = nullptr;
    if (FAILED(fromWindow(w, static_cast<DWORD>(OBJID_CLIENT), iidAccessible,
                          reinterpret_cast<void**>(&acc))) ||
        !acc)
      continue;
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    VariantInit(&role);
    BSTR name = nullptr;
    if (SUCCEEDED(acc->get_accRole(self, &role)) && SUCCEEDED(acc->get_accName(self, &name)))
      read.insert({role.lVal, name ? std::wstring(name) : std::wstring()});
    SysFreeString(name);
    acc->Release();
  }
  return read;
}

TEST_F(TaskDialogOwnWindow, ScreenReadersReadEveryText) {
  d.Title = "Readable";
  d.Instruction = "Save of Logs is Optional";
  d.Content = "Logs are <B>saved</B> automatically";
  d.Footer = "<A href=\"http://example.org\">Read more</A> about logs";
  d.ExpandedText = "Where the logs go";
  d.CustomButtons = {"First\\nthe description", "Second"};
  d.Options = {doHyperlinks, doCommandLinks, doExpandedDefault, doTimer};
  std::set<std::pair<long, std::wstring>> expanded, collapsed;
  int ticks = 0;
  // Read on the dialog's own thread, where its window procedures answer, once it is up.
  d.OnDialogTimer = [&](TTaskDialog& sender) {
    if (++ticks != 3) return;
    CoInitialize(nullptr);
    HWND dialog = sender.DialogWindow();
    expanded = ReadChildren(dialog);
    // The expand control is the owner-drawn button without a text.
    for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
      char cls[64] = {};
      GetClassNameA(w, cls, sizeof cls);
      if (std::string(cls) == "TTaskDialogButton" && TextOf(w).empty())
        SendMessageA(w, BM_CLICK, 0, 0);
    }
    collapsed = ReadChildren(dialog);
  };
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        for (int i = 0; i < 100 && collapsed.empty(); ++i) Sleep(50);
                        ClickText(dialog, "Second");
                      }),
            101);
  const auto has = [](const std::set<std::pair<long, std::wstring>>& read, long role,
                      const std::wstring& name) {
    return read.count({role, name}) == 1;
  };
  EXPECT_TRUE(has(expanded, ROLE_SYSTEM_STATICTEXT, L"Save of Logs is Optional"));
  EXPECT_TRUE(has(expanded, ROLE_SYSTEM_STATICTEXT, L"Logs are saved automatically"));
  EXPECT_TRUE(has(expanded, ROLE_SYSTEM_STATICTEXT, L"Read more about logs"));
  EXPECT_TRUE(has(expanded, ROLE_SYSTEM_STATICTEXT, L"Where the logs go"));
  EXPECT_TRUE(has(expanded, ROLE_SYSTEM_PUSHBUTTON, L"First")) << "the heading, without \\n";
  EXPECT_TRUE(has(expanded, ROLE_SYSTEM_PUSHBUTTON, L"Second"));
  EXPECT_TRUE(has(expanded, ROLE_SYSTEM_PUSHBUTTON, L"Hide details"));
  EXPECT_TRUE(has(collapsed, ROLE_SYSTEM_PUSHBUTTON, L"See details"));
  EXPECT_FALSE(has(collapsed, ROLE_SYSTEM_STATICTEXT, L"Where the logs go")) << "hidden";
  for (const auto& [role, name] : expanded)
    EXPECT_EQ(name.find(L"\\n"), std::wstring::npos) << role;
}

TEST_F(TaskDialogOwnWindow, AnEmptyTitleShowsTheProgramsName) {
  samples::SaveError(d, "x.log");
  d.Title.clear();
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string program = path;
  program = program.substr(program.find_last_of("\\/") + 1);
  RunDialog(d, [&](HWND dialog) {
    EXPECT_EQ(TextOf(dialog), program);
    PostKey(VK_RETURN);
  });
}

// The colours of a square of the dialog's client area, as the screen shows them.
std::vector<COLORREF> Pixels(HWND window, const RECT& r) {
  std::vector<COLORREF> out;
  HDC dc = GetDC(window);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) out.push_back(GetPixel(dc, x, y) & 0xFFFFFF);
  ReleaseDC(window, dc);
  return out;
}

// An icon drawn 16 x 16 on the band's grey, off screen.
std::vector<COLORREF> Drawn(HICON icon) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 16, 16};
  HBRUSH grey = CreateSolidBrush(RGB(240, 240, 240));
  FillRect(dc, &all, grey);
  DeleteObject(grey);
  DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  std::vector<COLORREF> out;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) out.push_back(GetPixel(dc, x, y) & 0xFFFFFF);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return out;
}

TEST_F(TaskDialogOwnWindow, FooterIconIsTheSmallPictureAndTheShieldIsDrawn) {
  d.Instruction = "Icons";
  d.Icon = tiShield;
  d.Footer = "A warning in the footer";
  d.FooterIcon = tfiWarning;
  d.CommonButtons = {cbOK};
  std::vector<COLORREF> footer, shield;
  RunDialog(d, [&](HWND dialog) {
    const TaskDialogLayout& layout = d.RunningForm()->Layout();
    const vt9::Rect f = layout.FooterRect();
    const vt9::Rect i = layout.iconRect;
    // Read once the window has been painted (the screen is black before).
    const auto painted = [](const std::vector<COLORREF>& p) {
      return std::any_of(p.begin(), p.end(), [](COLORREF c) { return c != 0; });
    };
    for (int attempt = 0; attempt < 50; ++attempt) {
      RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      footer = Pixels(dialog, {f.left, f.top, f.left + 16, f.top + 16});
      shield = Pixels(dialog, {i.left, i.top, i.right, i.bottom});
      if (painted(footer) && painted(shield)) break;
      Sleep(100);
    }
    SaveScreenshot("task-dialog-own-icons");
    ClickText(dialog, "OK");
  });
  const auto small =
      Drawn(static_cast<HICON>(LoadImageA(nullptr, IDI_WARNING, IMAGE_ICON, 16, 16, LR_SHARED)));
  const auto shrunk = Drawn(LoadIconA(nullptr, IDI_WARNING));
  EXPECT_EQ(footer, small) << "the 16-pixel picture";
  if (small != shrunk) {
    EXPECT_NE(footer, shrunk);
  }
  const auto notWhite = std::count_if(shield.begin(), shield.end(),
                                      [](COLORREF c) { return c != RGB(255, 255, 255); });
  EXPECT_GT(notWhite, 100) << "tiShield draws the shield picture";
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

RECT ClientOnScreen(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Words(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "word" + std::to_string(i) + " ";
  return text;
}

TEST_F(TaskDialogOwnWindow, LongTextsManyRadiosAndTwoHundredButtonsStayOnTheScreen) {
  d.Title = Words(300);
  d.Instruction = "Many choices";
  for (int i = 0; i < 60; ++i)
    d.RadioButtons.push_back("radio " + std::to_string(i) + " " + Words(40));
  d.VerificationText = Words(80);
  d.Footer = Words(200);
  d.CommonButtons = {cbOK};
  RunDialog(d, [&](HWND dialog) {
    const RECT work = WorkArea();
    EXPECT_TRUE(Inside(ScreenRectOf(dialog), work)) << "the whole window on the work area";
    const RECT client = ClientOnScreen(dialog);
    HWND ok = FindChildByText(dialog, "OK");
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(IsWindowVisible(ok));
    EXPECT_TRUE(Inside(ScreenRectOf(ok), client)) << "the button stays in view";
    HWND box = FindChildByText(dialog, d.VerificationText);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(Inside(ScreenRectOf(box), client));
    HWND bar = FindChildByClass(dialog, "ScrollBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(IsWindowVisible(bar)) << "the radios scroll";
    HWND last = FindChildByText(dialog, d.RadioButtons.back());
    ASSERT_NE(last, nullptr);
    EXPECT_FALSE(IsWindowVisible(last)) << "below the part that shows";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(dialog, WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(bar), SMTO_NORMAL,
                        2000, &ignored);
    Sleep(200);
    EXPECT_TRUE(IsWindowVisible(last)) << "scrolled into view";
    const RECT lastRect = ScreenRectOf(last);
    EXPECT_TRUE(Inside(lastRect, client));
    EXPECT_LE(lastRect.bottom, ScreenRectOf(ok).top) << "above the buttons";
    EXPECT_GT(lastRect.bottom - lastRect.top, 20) << "its long caption wraps";
    SaveScreenshot("task-dialog-own-many-radios");
    Click(last);
    ClickText(dialog, "OK");
  });
  EXPECT_EQ(d.RadioResult, 259);

  // The keyboard reaches the radios that are scrolled out of view, and scrolls them in.
  d.DefaultRadioButton = 259;
  d.Options = {};
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        HWND last = FindChildByText(dialog, d.RadioButtons[59]);
                        HWND before = FindChildByText(dialog, d.RadioButtons[58]);
                        ASSERT_TRUE(last && before);
                        EXPECT_FALSE(IsWindowVisible(last));
                        PostKey(VK_TAB);
                        Sleep(300);
                        EXPECT_EQ(FocusedControl(), last) << "Tab goes to the checked radio";
                        EXPECT_TRUE(IsWindowVisible(last)) << "and scrolls it into view";
                        PostKey(VK_UP);
                        Sleep(300);
                        EXPECT_EQ(FocusedControl(), before);
                        EXPECT_TRUE(IsWindowVisible(before) && Checked(before));
                        PostKey(VK_RETURN);
                      }),
            1);
  EXPECT_EQ(d.RadioResult, 258);

  d.Clear();
  for (int i = 0; i < 200; ++i) d.CustomButtons.push_back("B" + std::to_string(i));
  EXPECT_EQ(
      RunDialog(
          d,
          [&](HWND dialog) {
            const RECT work = WorkArea();
            EXPECT_TRUE(Inside(ScreenRectOf(dialog), work));
            const RECT client = ClientOnScreen(dialog);
            // One pass over the children: the texts are read from another thread.
            std::vector<std::pair<std::string, HWND>> children;
            for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
              children.push_back({TextOf(w), w});
            for (int i = 0; i < 200; ++i) {
              const std::string name = "B" + std::to_string(i);
              const auto it = std::find_if(children.begin(), children.end(),
                                           [&](const auto& c) { return c.first == name; });
              ASSERT_NE(it, children.end()) << name;
              EXPECT_TRUE(IsWindowVisible(it->second) && Inside(ScreenRectOf(it->second), client))
                  << name;
            }
            SaveScreenshot("task-dialog-own-200-buttons");
            ClickText(dialog, "B199");
          }),
      299);

  d.Clear();
  d.Instruction = "A long command link";
  d.CustomButtons = {Words(120) + "\\n" + Words(100), "Short"};
  d.Options = {doCommandLinks};
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        EXPECT_TRUE(Inside(ScreenRectOf(dialog), WorkArea()));
                        const RECT client = ClientOnScreen(dialog);
                        HWND link = FindChildByText(dialog, d.CustomButtons[0]);
                        ASSERT_NE(link, nullptr);
                        const RECT r = ScreenRectOf(link);
                        EXPECT_TRUE(Inside(r, client));
                        EXPECT_GT(r.bottom - r.top, 80) << "its lines wrap";
                        SaveScreenshot("task-dialog-own-long-link");
                        ClickText(dialog, "Short");
                      }),
            101);
}

}  // namespace
}  // namespace vt9::test
