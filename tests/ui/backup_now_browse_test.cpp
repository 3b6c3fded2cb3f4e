// "Browse for Alternate Location" runs the shell's folder picker: Cancel changes nothing, OK
// replaces the location with the chosen folder and that folder is what the backup receives.
#include <gtest/gtest.h>
#include <windows.h>
// The common-control header builds on <windows.h>.
#include <commctrl.h>

#include "backupnow/backup_now_layout.h"
#include "support/win/backup_now_driver.h"

namespace vt9 {
namespace {

namespace id = backup_now_id;
using test::BackupNowDriver;

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(BackupNowBrowse, CancelKeepsAndOkReplacesTheLocation) {
  BackupNowDriver d("browse");
  d.UseDataPath();
  d.AddJob("Daily.jdf", BackupNowDriver::JobText("E:\\Save\\"));
  ASSERT_TRUE(d.Open("\\v", "Vantory 9 - Backup Now!"));

  d.Press(id::btnBrowse);
  HWND picker = d.WaitForDialog();
  ASSERT_TRUE(picker);
  EXPECT_NE(test::ChildTexts(picker).find(" Select Location for the Backup:"), std::string::npos)
      << test::ChildTexts(picker);
  Sleep(1000);  // the shell fills the folder tree after the picker appears
  BackupNowDriver::Snapshot("backup_now_browse");
  EXPECT_TRUE(BackupNowDriver::PressDialogButton(picker, IDCANCEL));
  Sleep(300);
  EXPECT_FALSE(IsWindow(picker));
  EXPECT_EQ(d.Text(id::memoLocation), "E:\\Save\\");

  d.Press(id::btnBrowse);
  picker = d.WaitForDialog();
  ASSERT_TRUE(picker);
  Sleep(1000);
  // The tree opens at the desktop, a real folder: OK is allowed there. Its last top-level item
  // is a virtual folder without a file-system path (Wine's Trash): OK is not allowed there.
  // Tree item handles are plain values, so they can be handed across processes.
  HWND tree = FindWindowExA(picker, nullptr, "SysTreeView32", nullptr);
  ASSERT_TRUE(tree);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(picker, IDOK)));
  const LPARAM root = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
  LPARAM item = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, root);
  while (LPARAM next = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, item)) item = next;
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, item);
  Sleep(300);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(picker, IDOK)));
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, root);
  Sleep(300);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(picker, IDOK)));
  ASSERT_TRUE(BackupNowDriver::PressDialogButton(picker, IDOK));
  Sleep(300);
  const std::string chosen = d.Text(id::memoLocation);
  ASSERT_FALSE(chosen.empty());
  EXPECT_EQ(chosen.back(), '\\');
  EXPECT_TRUE(IsFolder(chosen)) << chosen;
  EXPECT_NE(chosen, "E:\\Save\\");

  d.Press(id::btnDoIt);
  EXPECT_EQ(d.WaitForParameters(1),
            std::vector<std::string>{"\\Q \\BN \\J=\"Daily\" \\D=\"" + chosen + "\""});
  EXPECT_TRUE(d.EndsNormally());
}

}  // namespace
}  // namespace vt9
