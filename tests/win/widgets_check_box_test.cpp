// The markup check box in a real window under Wine: real mouse and keyboard input, the
// notifications its parent receives, the button messages and what assistive tools read.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "support/win/paths.h"
#include "support/win/widget_host.h"
#include "widgets/win/markup_check_box.h"

namespace vt9::test {
namespace {

using win::CreateMarkupCheckBox;

constexpr int kBoxId = 42;

class CheckBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    box = CreateMarkupCheckBox(host.hwnd(), kBoxId, {20, 20, 220, 44}, "<B>&Whole</B> Words Only");
    ASSERT_NE(box, nullptr);
    other = CreateWindowExA(
        0, "BUTTON", "Other", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 20, 200, 80, 24,
        host.hwnd(), reinterpret_cast<HMENU>(7), GetModuleHandleA(nullptr), nullptr);
    SetFocus(other);
    Pump(50, host.hwnd());
  }

  int Clicks() const { return host.CountCommands(kBoxId, BN_CLICKED); }
  bool Checked() const { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  POINT Inside(int x = 60, int y = 12) const { return ClientToScreenPoint(box, x, y); }

  WidgetHost host;
  HWND box = nullptr;
  HWND other = nullptr;
};

TEST_F(CheckBoxTest, ClickInsideTogglesAndNotifiesOnce) {
  ClickAt(Inside());
  EXPECT_TRUE(Checked());
  EXPECT_EQ(Clicks(), 1);
  EXPECT_EQ(GetFocus(), box) << "the first click also focuses the box";
  ClickAt(Inside(5, 5));
  EXPECT_FALSE(Checked());
  EXPECT_EQ(Clicks(), 2);
  ASSERT_EQ(host.commands.back().control, box);
}

TEST_F(CheckBoxTest, PressInsideReleaseOutsideDoesNothing) {
  MouseMoveTo(Inside());
  Pump(30);
  MouseDown();
  Pump(30);
  EXPECT_TRUE(SendMessageA(box, BM_GETSTATE, 0, 0) & BST_PUSHED);
  MouseMoveTo(ClientToScreenPoint(host.hwnd(), 300, 250));
  Pump(30);
  EXPECT_FALSE(SendMessageA(box, BM_GETSTATE, 0, 0) & BST_PUSHED) << "Down follows the pointer";
  MouseUp();
  Pump(60);
  EXPECT_FALSE(Checked());
  EXPECT_EQ(Clicks(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(CheckBoxTest, SpaceBarTogglesAndNotifies) {
  SetFocus(box);
  PressKey(VK_SPACE);
  Pump(60, host.hwnd());
  EXPECT_TRUE(Checked());
  EXPECT_EQ(Clicks(), 1);
  PressKey(VK_SPACE);
  Pump(60, host.hwnd());
  EXPECT_FALSE(Checked());
  EXPECT_EQ(Clicks(), 2);
}

TEST_F(CheckBoxTest, AltAcceleratorTogglesWithoutNotification) {
  PressKey('W', true);
  Pump(100, host.hwnd());
  EXPECT_TRUE(Checked());
  EXPECT_EQ(Clicks(), 0);
  EXPECT_EQ(GetFocus(), box);
  // Also when the box has the focus and nobody runs the dialog manager.
  SendMessageA(box, WM_SYSCHAR, 'w', 0);
  EXPECT_FALSE(Checked());
  EXPECT_EQ(Clicks(), 0);
  SendMessageA(box, WM_SYSCHAR, 'x', 0);
  EXPECT_FALSE(Checked());
}

TEST_F(CheckBoxTest, ReadOnlyNotifiesButKeepsState) {
  win::MarkupCheckBoxStyle style = win::GetMarkupCheckBoxStyle(box);
  style.readOnly = true;
  win::SetMarkupCheckBoxStyle(box, style);
  ClickAt(Inside());
  EXPECT_FALSE(Checked());
  EXPECT_EQ(Clicks(), 1);
  PressKey(VK_SPACE);
  Pump(60, host.hwnd());
  EXPECT_FALSE(Checked());
  EXPECT_EQ(Clicks(), 2);
}

TEST_F(CheckBoxTest, CheckedFromCodeNotifiesNothing) {
  SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_TRUE(Checked());
  win::SetMarkupCheckBoxChecked(box, false);
  EXPECT_FALSE(Checked());
  SendMessageA(box, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(win::GetMarkupCheckBoxState(box), CheckState::Grayed);
  Pump(50, host.hwnd());
  EXPECT_EQ(Clicks(), 0);
  // BM_CLICK is a click, as on a standard check box.
  SendMessageA(box, BM_CLICK, 0, 0);
  EXPECT_TRUE(Checked());
  EXPECT_EQ(Clicks(), 1);
}

TEST_F(CheckBoxTest, ReturnMovesOnLikeTabOnlyWhenAsked) {
  SetFocus(box);
  PressKey(VK_RETURN);
  Pump(60, host.hwnd());
  EXPECT_EQ(GetFocus(), box);
  win::MarkupCheckBoxStyle style = win::GetMarkupCheckBoxStyle(box);
  style.returnIsTab = true;
  win::SetMarkupCheckBoxStyle(box, style);
  PressKey(VK_RETURN);
  Pump(60, host.hwnd());
  EXPECT_EQ(GetFocus(), other);
  EXPECT_FALSE(Checked());
  EXPECT_EQ(Clicks(), 0);
}

TEST_F(CheckBoxTest, CaptionLinkOfFocusedBoxIsReportedNotToggled) {
  std::vector<std::string> anchors;
  win::SetMarkupCheckBoxEvents(box, {[&](const std::string& a) { anchors.push_back(a); }, {}, {}});
  win::SetMarkupCheckBoxCaption(box, "<A href=\"terms\">terms</A> and conditions");
  SetFocus(box);
  Pump(30, host.hwnd());
  // The caption starts 17 pixels in (themed) or 22 (pictures) and 4 down.
  ClickAt(Inside(26, 10));
  EXPECT_EQ(anchors, std::vector<std::string>{"terms"});
  EXPECT_FALSE(Checked());
  EXPECT_EQ(Clicks(), 0);
  ClickAt(Inside(150, 10));
  EXPECT_TRUE(Checked()) << "beside the link the click toggles";
}

TEST_F(CheckBoxTest, DisabledBoxIgnoresInput) {
  EnableWindow(box, FALSE);
  ClickAt(Inside());
  SendMessageA(box, BM_CLICK, 0, 0);
  EXPECT_FALSE(Checked());
  EXPECT_EQ(Clicks(), 0);
}

TEST_F(CheckBoxTest, WindowTextIsThePlainCaption) {
  char text[256] = {};
  GetWindowTextA(box, text, sizeof(text));
  EXPECT_STREQ(text, "&Whole Words Only");
  EXPECT_EQ(win::GetMarkupCheckBoxCaption(box), "<B>&Whole</B> Words Only");
  SetWindowTextA(box, "Match <I>&Case</I>");
  GetWindowTextA(box, text, sizeof(text));
  EXPECT_STREQ(text, "Match &Case");
  PressKey('C', true);
  Pump(100, host.hwnd());
  EXPECT_TRUE(Checked()) << "the new caption's accelerator works";
}

TEST_F(CheckBoxTest, AnswersAccessibilityAsACheckButton) {
  HMODULE oleacc = LoadLibraryA("oleacc.dll");
  ASSERT_NE(oleacc, nullptr);
  using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
  const auto fromWindow = reinterpret_cast<FromWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(oleacc, "AccessibleObjectFromWindow")));
  ASSERT_NE(fromWindow, nullptr);
  CoInitialize(nullptr);
  const GUID iidAccessible = {
      0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
  IAccessible* acc = nullptr;
  ASSERT_EQ(fromWindow(box, static_cast<DWORD>(OBJID_CLIENT), iidAccessible,
                       reinterpret_cast<void**>(&acc)),
            S_OK);
  ASSERT_NE(acc, nullptr);
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role;
  VariantInit(&role);
  ASSERT_EQ(acc->get_accRole(self, &role), S_OK);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_CHECKBUTTON);
  BSTR name = nullptr;
  ASSERT_EQ(acc->get_accName(self, &name), S_OK);
  EXPECT_EQ(std::wstring(name), L"Whole Words Only");
  SysFreeString(name);
  VARIANT state;
  VariantInit(&state);
  ASSERT_EQ(acc->get_accState(self, &state), S_OK);
  EXPECT_FALSE(state.lVal & STATE_SYSTEM_CHECKED);
  SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
  ASSERT_EQ(acc->get_accState(self, &state), S_OK);
  EXPECT_TRUE(state.lVal & STATE_SYSTEM_CHECKED);
  EXPECT_EQ(acc->accDoDefaultAction(self), S_OK);
  Pump(50, host.hwnd());
  EXPECT_FALSE(Checked());
  acc->Release();
  CoUninitialize();
}

TEST_F(CheckBoxTest, BadCaptionsAndSizesPaintWithoutHarm) {
  const std::string captions[] = {
      "<B unterminated",
      "<A href=\"\">empty link</A>",
      "<FONT color=\"#zz\" size=\"-99999\">x",
      std::string(20000, 'W'),
      "&",
      "<",
      "",
  };
  for (const std::string& caption : captions) {
    win::SetMarkupCheckBoxCaption(box, caption);
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  HWND tiny = CreateMarkupCheckBox(host.hwnd(), 43, {0, 0, 0, 0}, "<B>zero</B>");
  ASSERT_NE(tiny, nullptr);
  RedrawWindow(tiny, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  // A link with an empty target is just text: the click toggles.
  win::SetMarkupCheckBoxCaption(box, "<A href=\"\">empty link</A>");
  SetFocus(box);
  ClickAt(Inside(30, 12));
  EXPECT_TRUE(Checked());
}

TEST(WidgetGallery, ShowsEveryStyleAndState) {
  const std::string exe = BinFolder() + "widget-gallery.exe";
  std::string cmd = "\"" + exe + "\" /close-after 20000";
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(
      CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  HWND gallery = nullptr;
  for (int i = 0; i < 200 && !gallery; ++i) {
    Sleep(50);
    gallery = FindWindowA("VT9WidgetGallery", "Widget gallery");
  }
  ASSERT_NE(gallery, nullptr);
  Sleep(1500);
  int boxes = 0;
  for (HWND child = FindWindowExA(gallery, nullptr, "TMarkupCheckBox", nullptr); child;
       child = FindWindowExA(gallery, child, "TMarkupCheckBox", nullptr)) {
    ++boxes;
  }
  EXPECT_GE(boxes, 30);
  EXPECT_NE(FindWindowExA(gallery, nullptr, "TMarkupPanel", nullptr), nullptr);
  SaveScreenshot("widget-gallery");
  PostMessageA(gallery, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
}

}  // namespace
}  // namespace vt9::test
