// The information window of the real VT9Now.exe under Wine: shown instead of starting the main
// program when the DEP policy conflicts, with its exact caption, size and text; Esc, "&Close"
// and the system menu end the tool with exit code 0 and vt9.exe is never started.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/dep_text.h"
#include "support/win/paths.h"
#include "support/win/tool_process.h"
#include "support/win/widget_host.h"

namespace vt9 {
namespace {

using test::ToolFolder;
const std::string kEnforcing("\x01\0\0\0\0\0\0\0", 8);
constexpr int kPanelId = 100;

class InformationWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ResetSettings();
    test::SetReportedWindows("win7");
    test::SetDepPolicy(kEnforcing);
  }
  void TearDown() override { test::SetDepPolicy(""); }

  // Starts the tool and waits for its information window.
  HWND Start(ToolFolder& tool, const std::string& args) {
    tool.Start(args);
    HWND info = test::WaitForWindow(tool.processId(), "TfVT9Info", "Vantory 9 Information", 8000);
    Sleep(1500);  // a fresh process spends a while loading fonts before its first paint
    return info;
  }
};

std::string TextOf(HWND window) {
  char text[2048] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

TEST_F(InformationWindow, ConflictOnLiuShowsTheDepTextAndEscEndsTheTool) {
  ToolFolder tool("info-liu");
  HWND info = Start(tool, "\\LIU");
  ASSERT_NE(info, nullptr);
  const int dpi = ScreenDpi();
  RECT client;
  GetClientRect(info, &client);
  EXPECT_EQ(client.right, MulDiv(465, dpi, 96));
  EXPECT_EQ(client.bottom, MulDiv(297, dpi, 96));
  HWND panel = GetDlgItem(info, kPanelId);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(test::ClassName(panel), "TMarkupPanel");
  EXPECT_EQ(TextOf(panel), DepInformationMarkup());
  HWND close = GetDlgItem(panel, IDCANCEL);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(TextOf(close), "&Close");
  test::SaveScreenshot("information-window-liu");
  // Esc reaches the window through its own message loop, as a key press would.
  PostMessageA(close, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageA(close, WM_KEYUP, VK_ESCAPE, 0xC0010001);
  EXPECT_EQ(tool.Wait(), 0u);
  EXPECT_TRUE(tool.Calls().empty()) << "vt9.exe must not be started";
}

TEST_F(InformationWindow, ConflictWithoutArgumentsAndTheCloseButton) {
  ToolFolder tool("info-noarg");
  HWND info = Start(tool, "");
  ASSERT_NE(info, nullptr);
  ASSERT_TRUE(test::ClickButton(GetDlgItem(info, kPanelId), "&Close"));
  EXPECT_EQ(tool.Wait(), 0u);
  EXPECT_TRUE(tool.Calls().empty());
}

TEST_F(InformationWindow, SystemMenuCloseEndsTheTool) {
  ToolFolder tool("info-sysmenu");
  HWND info = Start(tool, "\\LIU");
  ASSERT_NE(info, nullptr);
  PostMessageA(info, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(tool.Wait(), 0u);
  EXPECT_TRUE(tool.Calls().empty());
}

}  // namespace
}  // namespace vt9
