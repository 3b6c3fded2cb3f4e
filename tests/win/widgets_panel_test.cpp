// The markup panel in a real window under Wine: links under the real mouse, targets opened
// through the shell (observed through a URL scheme whose handler is the stand-in vt9.exe),
// controls placed on the panel, and bad input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/win/paths.h"
#include "support/win/widget_host.h"
#include "widgets/win/markup_panel.h"

namespace vt9::test {
namespace {

constexpr int kPanelId = 50;
constexpr char kScheme[] = "vt9paneltest";

// Registers "vt9paneltest:" with a copy of the stand-in as its handler; the copy's
// vt9-calls.log then shows what the shell was asked to open. Written for the current user and,
// since Wine's class root does not merge the user's classes, for the machine too.
class SchemeHandler {
 public:
  SchemeHandler() {
    folder_ = MakeTempFolder("scheme");
    CopyFileA((BinFolder() + "vt9.exe").c_str(), (folder_ + "vt9.exe").c_str(), FALSE);
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) Register(root);
  }
  ~SchemeHandler() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) RegDeleteTreeA(root, Key().c_str());
  }
  // Waits up to timeoutMs for the handler's log to appear and returns it.
  std::string WaitForCalls(int timeoutMs) const {
    std::string log;
    for (int waited = 0; waited < timeoutMs; waited += 100) {
      log = ReadFile(folder_ + "vt9-calls.log");
      if (!log.empty()) break;
      Pump(100);
    }
    return log;
  }

 private:
  static std::string Key() { return std::string("Software\\Classes\\") + kScheme; }
  void Register(HKEY root) const {
    HKEY k = nullptr;
    RegCreateKeyExA(root, Key().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    const char description[] = "URL:VT9 panel test";
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(description),
                   sizeof(description));
    RegSetValueExA(k, "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    RegCloseKey(k);
    const std::string command = "\"" + folder_ + "vt9.exe\" \"%1\"";
    RegCreateKeyExA(root, (Key() + "\\shell\\open\\command").c_str(), 0, nullptr, 0, KEY_WRITE,
                    nullptr, &k, nullptr);
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(k);
  }

  std::string folder_;
};

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panel = win::CreateMarkupPanel(host.hwnd(), kPanelId, {10, 10, 390, 210});
    ASSERT_NE(panel, nullptr);
    win::MarkupPanelStyle style = win::GetMarkupPanelStyle(panel);
    style.bevelOuter = win::PanelBevel::None;
    style.color = 0xFFFFFF;
    win::SetMarkupPanelStyle(panel, style);
    win::SetMarkupPanelEvents(panel,
                              {
                                  [this](const std::string& a) { events.push_back("click " + a); },
                                  [this](const std::string& a) { events.push_back("enter " + a); },
                                  [this](const std::string& a) { events.push_back("exit " + a); },
                              });
  }
  // The links sit at the start of the first line; the text after them is plain.
  POINT OnFirstLink() const { return ClientToScreenPoint(panel, 6, 7); }
  POINT OnSecondLink(int firstLinkChars) const {
    return ClientToScreenPoint(panel, 6 * firstLinkChars + 30, 7);
  }

  WidgetHost host;
  HWND panel = nullptr;
  std::vector<std::string> events;
};

TEST_F(PanelTest, ClickOnSchemeLinkOpensItThroughTheShell) {
  SchemeHandler handler;
  win::SetMarkupPanelText(panel,
                          "<A href=\"vt9paneltest://kb/dep\">KB article on DEP</A> for more");
  Pump(50);
  ClickAt(OnFirstLink());
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), "enter vt9paneltest://kb/dep");
  const std::string calls = handler.WaitForCalls(8000);
  EXPECT_NE(calls.find("vt9paneltest://kb/dep"), std::string::npos) << calls;
  for (const std::string& e : events) EXPECT_EQ(e.rfind("click", 0), std::string::npos) << e;
}

TEST_F(PanelTest, OtherTargetsOnlyReachOnAnchorClick) {
  win::SetMarkupPanelText(panel, "<A href=\"details\">Show the details</A> of the job");
  Pump(50);
  ClickAt(OnFirstLink());
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), "click details");
  events.clear();
  ClickAt(ClientToScreenPoint(panel, 300, 150));
  for (const std::string& e : events) {
    EXPECT_EQ(e.rfind("click", 0), std::string::npos) << "a click beside the text is no link";
  }
}

TEST_F(PanelTest, EnterAndExitFollowTheMouseAcrossLinks) {
  win::SetMarkupPanelText(panel,
                          "<A href=\"first\">aaaaaaaaaa</A>  <A href=\"second\">bbbbbbbbbb</A>");
  Pump(50);
  MouseMoveTo(ClientToScreenPoint(panel, 300, 150));
  Pump(50);
  MouseMoveTo(OnFirstLink());
  Pump(50);
  POINT second = ClientToScreenPoint(panel, 0, 7);
  // Find the second link by walking right until the panel reports entering it.
  for (int x = 20; x < 370 && (events.empty() || events.back() != "enter second"); x += 4) {
    second = ClientToScreenPoint(panel, x, 7);
    MouseMoveTo(second);
    Pump(15);
  }
  MouseMoveTo(ClientToScreenPoint(panel, 300, 150));
  Pump(50);
  const std::vector<std::string> want{"enter first", "exit first", "enter second", "exit second"};
  std::vector<std::string> got = events;
  EXPECT_EQ(got, want);
}

TEST_F(PanelTest, TextAndChildNotifications) {
  win::SetMarkupPanelText(panel, "<B>markup</B> text");
  char text[64] = {};
  GetWindowTextA(panel, text, sizeof(text));
  EXPECT_STREQ(text, "<B>markup</B> text");
  EXPECT_EQ(win::GetMarkupPanelText(panel), "<B>markup</B> text");
  HWND button =
      CreateWindowExA(0, "BUTTON", "&Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 300, 170, 70, 23,
                      panel, reinterpret_cast<HMENU>(IDCANCEL), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(button, BM_CLICK, 0, 0);
  Pump(30);
  EXPECT_EQ(host.CountCommands(IDCANCEL, BN_CLICKED), 1) << "the panel hands it to its parent";
}

TEST_F(PanelTest, BadInputDrawsWithoutHarm) {
  const std::string texts[] = {
      "<B never closed",
      "<A>no target</A>",
      "<A href=\"\">empty</A>",
      "<FONT size=\"99999\">big",
      "<IMG src=\"FILE://C:\\missing.bmp\">",
      std::string(50000, 'x'),
      "<<<>>>&&&;",
      "",
  };
  win::MarkupPanelStyle style = win::GetMarkupPanelStyle(panel);
  style.colorTo = 0x00FF00;
  style.borderWidth = 300;  // wider than the panel
  style.borderShadow = true;
  style.textVAlign = VertLayout::Center;
  win::SetMarkupPanelStyle(panel, style);
  for (const std::string& t : texts) {
    win::SetMarkupPanelText(panel, t);
    RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ClickAt(OnFirstLink());
  }
  HWND empty = win::CreateMarkupPanel(host.hwnd(), 51, {0, 0, 0, 0});
  ASSERT_NE(empty, nullptr);
  win::SetMarkupPanelText(empty, "<A href=\"x://y\">link</A>");
  RedrawWindow(empty, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(IsWindow(panel));
}

}  // namespace
}  // namespace vt9::test
