// The information window under Wine: its layout, the DEP text, and the ways it closes.
#include <gtest/gtest.h>

#include <string>

#include "app/dep_text.h"
#include "app/win/info_window.h"
#include "support/win/widget_host.h"
#include "widgets/win/markup_panel.h"

namespace vt9::test {
namespace {

// What a driver thread saw of the window while the test thread ran the window's loop, as
// start-up runs it on the main thread.
struct Observed {
  HWND window = nullptr;
  bool visible = false;
  RECT client{};
  RECT frame{};
  LONG style = 0;
  HWND panel = nullptr;
  RECT panelClient{};
  std::string panelText;
  Color panelColor = 0;
  std::string closeText;
  RECT closeRect{};
};

enum class CloseBy { Escape, CloseButton, SystemMenu };

struct Driver {
  CloseBy closeBy;
  bool screenshot;
  Observed seen;
};

std::string TextOf(HWND window) {
  char text[2048] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

DWORD WINAPI Drive(void* param) {
  auto* driver = static_cast<Driver*>(param);
  Observed& seen = driver->seen;
  for (int i = 0; i < 200 && !(seen.window && IsWindowVisible(seen.window)); ++i) {
    Sleep(25);
    seen.window = FindWindowA(win::kInfoWindowClass, win::kInfoWindowCaption);
  }
  if (!seen.window) return 0;
  Sleep(1200);  // let it paint (the first paint waits for the font cache)
  seen.visible = IsWindowVisible(seen.window);
  GetClientRect(seen.window, &seen.client);
  GetWindowRect(seen.window, &seen.frame);
  seen.style = GetWindowLongA(seen.window, GWL_STYLE);
  seen.panel = GetDlgItem(seen.window, win::kInfoPanelId);
  GetClientRect(seen.panel, &seen.panelClient);
  seen.panelText = TextOf(seen.panel);
  seen.panelColor = win::GetMarkupPanelStyle(seen.panel).color;
  HWND close = GetDlgItem(seen.panel, IDCANCEL);
  seen.closeText = TextOf(close);
  GetWindowRect(close, &seen.closeRect);
  MapWindowPoints(nullptr, seen.panel, reinterpret_cast<POINT*>(&seen.closeRect), 2);
  if (driver->screenshot) SaveScreenshot("information-window");
  switch (driver->closeBy) {
    case CloseBy::Escape:
      SetForegroundWindow(seen.window);
      Sleep(100);
      PressKey(VK_ESCAPE);
      break;
    case CloseBy::CloseButton:
      PostMessageA(close, BM_CLICK, 0, 0);
      break;
    case CloseBy::SystemMenu:
      PostMessageA(seen.window, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
  return 0;
}

// Runs the window on this thread until it closes; the driver looks at it and closes it.
int RunDriven(Driver& driver) {
  HANDLE thread = CreateThread(nullptr, 0, Drive, &driver, 0, nullptr);
  const int code = win::RunInformationWindow();
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  return code;
}

int Dpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

TEST(InformationWindow, ShowsTheDepTextInItsFixedLayout) {
  Driver driver{CloseBy::SystemMenu, true, {}};
  EXPECT_EQ(RunDriven(driver), 0);
  const Observed& seen = driver.seen;
  ASSERT_NE(seen.window, nullptr);
  EXPECT_TRUE(seen.visible);
  const int dpi = Dpi();
  EXPECT_EQ(seen.client.right, MulDiv(465, dpi, 96));
  EXPECT_EQ(seen.client.bottom, MulDiv(297, dpi, 96));
  EXPECT_TRUE(seen.style & WS_SYSMENU);
  EXPECT_TRUE(seen.style & WS_MINIMIZEBOX);
  EXPECT_FALSE(seen.style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(seen.style & WS_THICKFRAME) << "not resizable";
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(std::abs((seen.frame.left + seen.frame.right) / 2 - (work.left + work.right) / 2), 1);
  EXPECT_LE(std::abs((seen.frame.top + seen.frame.bottom) / 2 - (work.top + work.bottom) / 2), 1);

  ASSERT_NE(seen.panel, nullptr);
  EXPECT_EQ(seen.panelClient.right, seen.client.right) << "pnlMsg fills the client area";
  EXPECT_EQ(seen.panelClient.bottom, seen.client.bottom);
  EXPECT_EQ(seen.panelText, DepInformationMarkup());
  EXPECT_EQ(seen.panelColor, kDepPanelColor);
  EXPECT_EQ(seen.closeText, "&Close");
  EXPECT_EQ(seen.closeRect.left, MulDiv(385, dpi, 96));
  EXPECT_EQ(seen.closeRect.top, MulDiv(265, dpi, 96));
  EXPECT_EQ(seen.closeRect.right - seen.closeRect.left, MulDiv(70, dpi, 96));
  EXPECT_EQ(seen.closeRect.bottom - seen.closeRect.top, MulDiv(23, dpi, 96));
}

TEST(InformationWindow, EscapeClosesItAndTheLoopReturnsZero) {
  Driver driver{CloseBy::Escape, false, {}};
  EXPECT_EQ(RunDriven(driver), 0);
  ASSERT_NE(driver.seen.window, nullptr);
  EXPECT_FALSE(IsWindow(driver.seen.window));
}

TEST(InformationWindow, CloseButtonClosesIt) {
  Driver driver{CloseBy::CloseButton, false, {}};
  EXPECT_EQ(RunDriven(driver), 0);
  ASSERT_NE(driver.seen.window, nullptr);
  EXPECT_FALSE(IsWindow(driver.seen.window));
}

TEST(InformationWindow, DepModeFalseKeepsTheCreationText) {
  HWND window = win::CreateInformationWindow();
  ASSERT_NE(window, nullptr);
  HWND panel = GetDlgItem(window, win::kInfoPanelId);
  EXPECT_EQ(win::GetMarkupPanelText(panel), CreationInformationMarkup());
  EXPECT_EQ(win::GetMarkupPanelStyle(panel).color, kInfoCreationColor);
  win::SetDEPMode(window, false);
  EXPECT_EQ(win::GetMarkupPanelText(panel), CreationInformationMarkup());
  win::SetDEPMode(window, true);
  EXPECT_EQ(win::GetMarkupPanelText(panel), DepInformationMarkup());
  DestroyWindow(window);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace
}  // namespace vt9::test
