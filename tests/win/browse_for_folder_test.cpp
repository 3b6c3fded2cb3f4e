// The folder picker against the real shell: preselection, the placement hook, the OK rule
// and both ways out. A helper thread plays the user while the picker runs modal.
#include "backupnow/win/browse_for_folder.h"

#include <gtest/gtest.h>
#include <windows.h>
// The common-control header builds on <windows.h>.
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace vt9 {
namespace {

using win::TBrowseForFolder;

BOOL CALLBACK MatchPicker(HWND w, LPARAM found) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[32] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(w) || std::string(cls) != "#32770")
    return TRUE;
  *reinterpret_cast<HWND*>(found) = w;
  return FALSE;
}

HWND WaitForPicker() {
  for (int i = 0; i < 200; ++i) {
    HWND found = nullptr;
    EnumWindows(MatchPicker, reinterpret_cast<LPARAM>(&found));
    if (found) return found;
    Sleep(50);
  }
  return nullptr;
}

// Runs the picker on this thread while `user` acts on it from another one.
bool RunWith(TBrowseForFolder& browser, std::function<void(HWND picker)> user) {
  std::thread actor([&] {
    HWND picker = WaitForPicker();
    if (picker) {
      Sleep(500);  // the shell fills the tree after showing the picker
      user(picker);
    }
  });
  const bool confirmed = browser.Execute(nullptr);
  actor.join();
  return confirmed;
}

struct SelChange {
  std::string path;
  bool enableOk;
};

TEST(BrowseForFolder, PreselectsPathPlacesAndConfirms) {
  // A folder the shell's tree reaches through "My Computer" on every system.
  const std::string path = "C:\\windows\\system32";
  TBrowseForFolder browser;
  browser.Title = " Select Location for the Backup:";
  browser.Path = path;
  std::vector<SelChange> changes;
  int placements = 0;
  RECT opened{};
  browser.OnSetPosition = [&](TBrowseForFolder&, int& left, int& top, int width, int height) {
    ++placements;
    opened = RECT{left, top, left + width, top + height};
    left = 20;
    top = 30;
  };
  browser.OnSelChanged = [&](TBrowseForFolder& sender, const std::string& p, bool& enableOk) {
    EXPECT_NE(sender.PickerWindow(), nullptr);
    changes.push_back({p, enableOk});
  };
  RECT placed{};
  bool okEnabled = false;
  const bool confirmed = RunWith(browser, [&](HWND picker) {
    GetWindowRect(picker, &placed);
    okEnabled = IsWindowEnabled(GetDlgItem(picker, IDOK));
    PostMessageA(GetDlgItem(picker, IDOK), BM_CLICK, 0, 0);
  });
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(placements, 1);
  EXPECT_EQ(placed.left, 20);
  EXPECT_EQ(placed.top, 30);
  EXPECT_EQ(placed.right - placed.left, opened.right - opened.left);
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back().path, path);
  EXPECT_TRUE(changes.back().enableOk);
  EXPECT_TRUE(okEnabled);
  EXPECT_EQ(browser.Path, path);
  EXPECT_EQ(browser.PickerWindow(), nullptr);
}

TEST(BrowseForFolder, CancelLeavesPathAlone) {
  TBrowseForFolder browser;
  browser.Path = "C:\\windows";
  const bool confirmed = RunWith(
      browser, [](HWND picker) { PostMessageA(GetDlgItem(picker, IDCANCEL), BM_CLICK, 0, 0); });
  EXPECT_FALSE(confirmed);
  EXPECT_EQ(browser.Path, "C:\\windows");
}

TEST(BrowseForFolder, SelectionHandlerDecidesOverOk) {
  TBrowseForFolder browser;
  browser.Path = "C:\\windows\\system32";
  int calls = 0;
  browser.OnSelChanged = [&](TBrowseForFolder&, const std::string&, bool& enableOk) {
    enableOk = false;
    ++calls;
  };
  bool okEnabled = true;
  const bool confirmed = RunWith(browser, [&](HWND picker) {
    okEnabled = IsWindowEnabled(GetDlgItem(picker, IDOK));
    PostMessageA(GetDlgItem(picker, IDCANCEL), BM_CLICK, 0, 0);
  });
  EXPECT_FALSE(confirmed);
  EXPECT_GE(calls, 1);
  EXPECT_FALSE(okEnabled);
}

TEST(BrowseForFolder, VirtualFolderCannotBeConfirmed) {
  TBrowseForFolder browser;
  std::vector<SelChange> changes;
  browser.OnSelChanged = [&](TBrowseForFolder&, const std::string& p, bool& enableOk) {
    changes.push_back({p, enableOk});
  };
  bool okOnVirtual = true;
  RunWith(browser, [&](HWND picker) {
    HWND tree = FindWindowExA(picker, nullptr, "SysTreeView32", nullptr);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    item = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    while (HTREEITEM next = reinterpret_cast<HTREEITEM>(
               SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
      item = next;
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    Sleep(500);
    okOnVirtual = IsWindowEnabled(GetDlgItem(picker, IDOK));
    PostMessageA(GetDlgItem(picker, IDCANCEL), BM_CLICK, 0, 0);
  });
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back().path, "");
  EXPECT_FALSE(changes.back().enableOk);
  EXPECT_FALSE(okOnVirtual);
}

}  // namespace
}  // namespace vt9
