// "Save" of the real viewer under Wine: the optional-save warning of log mode and its
// "Do not show this again", the save dialog, rich text that reopens with the same text,
// "LastLogSavePath", and failed saves that leave every file as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/win/paths.h"
#include "support/win/viewer_driver.h"
#include "support/win/widget_host.h"

namespace vt9 {
namespace {

using test::ViewerDriver;

const std::string kLog = "Backup started\r\nCopied 3 files\r\nBackup ended\r\n";

bool HasText(HWND dialog, const std::string& text) {
  return test::ChildTexts(dialog).find(text) != std::string::npos;
}

// Waits for a dialog whose child texts contain `text`.
HWND WaitForDialogWith(const ViewerDriver& viewer, const std::string& text,
                       DWORD timeoutMs = 8000) {
  const DWORD start = GetTickCount();
  do {
    if (HWND d = viewer.WaitForMessage(0))
      if (HasText(d, text) || test::WindowText(d) == text) return d;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

// Runs a host program (Wine cannot wait for one) and gives it a moment.
void RunHost(const std::string& commandLine) {
  std::string cmd = commandLine;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
}

// Drive R: of the test prefix on the host's /sys/kernel, which takes no new files even from
// root (the tests may run as root, for whom a read-only folder is no obstacle).
class ReadOnlyDrive {
 public:
  ReadOnlyDrive() {
    char prefix[MAX_PATH] = {};
    GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    link_ = std::string(prefix) + "/dosdevices/r:";
    RunHost("Z:\\bin\\ln -sfn /sys/kernel " + link_);
    for (int i = 0; i < 100 && GetFileAttributesA("R:\\") == INVALID_FILE_ATTRIBUTES; ++i)
      Sleep(50);
  }
  ~ReadOnlyDrive() { RunHost("Z:\\bin\\rm -f " + link_); }
  bool ready() const { return GetFileAttributesA("R:\\") != INVALID_FILE_ATTRIBUTES; }

 private:
  std::string link_;
};

class ViewerSave : public ::testing::Test {
 protected:
  void OpenLog(const std::string& name = "Daily.log") {
    file = viewer.WriteLog(name, kLog);
    ASSERT_TRUE(viewer.Open({file}, "Vantory 9 - Log Viewer"));
  }
  void TearDown() override { EXPECT_TRUE(viewer.CloseAndEnd()); }

  ViewerDriver viewer{"save"};
  std::string file;
};

TEST_F(ViewerSave, TickedWarningThenCancelStoresTheChoiceAndSavesNothing) {
  OpenLog();
  viewer.Press("Save");
  HWND warning = WaitForDialogWith(viewer, "Save of Logs is Optional");
  ASSERT_NE(warning, nullptr);
  EXPECT_EQ(test::WindowText(warning), "Vantory 9 - Viewer");
  EXPECT_TRUE(HasText(warning, "Note: The Vantory \"Logs\" are saved automatically."));
  EXPECT_TRUE(HasText(warning, "\"Backup Logs\" are saved until purged. "));
  EXPECT_TRUE(HasText(warning, "You may still save the log elsewhere if you wish."));
  HWND box = ViewerDriver::DialogChild(warning, "Do not show this again");
  ASSERT_NE(box, nullptr);
  PostMessageA(box, BM_CLICK, 0, 0);
  Sleep(300);
  ViewerDriver::Snapshot("viewer-save-warning");
  ASSERT_TRUE(test::ClickButton(warning, "Cancel"));
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_EQ(viewer.WaitForDialog(700), nullptr) << "no save dialog after Cancel";
  EXPECT_EQ(test::GetSetting("WarnSaveAs"), "YES");
  // From now on Save goes straight to the save dialog.
  viewer.Press("Save");
  HWND save = viewer.WaitForDialog();
  ASSERT_NE(save, nullptr);
  EXPECT_EQ(test::WindowText(save), "Save File As:");
  ViewerDriver::PressDialogButton(save, IDCANCEL);
  ASSERT_TRUE(viewer.WaitForNoDialog());
}

TEST_F(ViewerSave, LogIsSavedAsRichTextThatReopensWithTheSameText) {
  OpenLog();
  viewer.ReplaceText("Edited line one\rline two\r");  // what is saved is the edited text
  const std::string edited = viewer.LogText();
  viewer.Press("Save");
  HWND warning = WaitForDialogWith(viewer, "Save of Logs is Optional");
  ASSERT_NE(warning, nullptr);
  ASSERT_TRUE(test::ClickButton(warning, "Continue with the Save"));
  HWND save = WaitForDialogWith(viewer, "Save File As:");
  ASSERT_NE(save, nullptr);
  const std::string target = test::MakeTempFolder("saved");
  ViewerDriver::ChooseFile(save, target + "Copy");  // ".log" is added in log mode
  ASSERT_TRUE(viewer.WaitForNoDialog());
  const std::string saved = test::ReadFile(target + "Copy.log");
  EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u) << saved.substr(0, 40);
  EXPECT_EQ(test::GetSetting("LastLogSavePath"), target);
  EXPECT_EQ(test::GetSetting("WarnSaveAs"), "<absent>") << "not ticked: not written";
  EXPECT_EQ(test::FileNames(target), "Copy.log;") << "no temporary file is left";

  ViewerDriver again("save-reopen");
  ASSERT_TRUE(again.Open({target + "Copy.log"}, "Vantory 9 - Log Viewer"));
  EXPECT_EQ(again.LogText(), edited);
  EXPECT_TRUE(again.CloseAndEnd());
}

TEST_F(ViewerSave, TextFileGoesStraightToTheDialogAndAsksBeforeReplacing) {
  OpenLog("notes.txt");
  const std::string target = test::MakeTempFolder("saved-txt");
  test::WriteFile(target + "old.rtf", "old content");
  viewer.Press("Save");
  HWND save = viewer.WaitForDialog();
  ASSERT_NE(save, nullptr);
  EXPECT_EQ(test::WindowText(save), "Save File As:") << "no warning outside log mode";
  EXPECT_EQ(test::WindowText(GetDlgItem(save, 0x470)), "All Files");
  ViewerDriver::ChooseFile(save, target + "old.rtf");
  // Replacing a file is confirmed first; "No" keeps it.
  HWND ask = nullptr;
  for (int i = 0; i < 60 && !ask; ++i) {
    Sleep(100);
    HWND d = viewer.WaitForDialog(0);
    if (d && d != save) ask = d;
    if (d == save && !IsWindow(save)) break;
  }
  ASSERT_NE(ask, nullptr) << "the save dialog asks before overwriting";
  ViewerDriver::PressDialogButton(ask, IDNO);
  Sleep(300);
  HWND still = viewer.WaitForDialog(2000);
  ASSERT_NE(still, nullptr);
  // Saved under another name: a copy in rich text, and no save folder is remembered outside
  // log mode.
  ViewerDriver::ChooseFile(still, target + "new.rtf");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_EQ(test::ReadFile(target + "old.rtf"), "old content");
  EXPECT_EQ(test::ReadFile(target + "new.rtf").rfind("{\\rtf", 0), 0u);
  EXPECT_EQ(test::GetSetting("LastLogSavePath"), "<absent>");
}

TEST_F(ViewerSave, FolderThatCannotBeWrittenGivesTheErrorAndNoFile) {
  test::SetSetting("WarnSaveAs", "YES");
  OpenLog();
  viewer.Press("Save");
  HWND save = WaitForDialogWith(viewer, "Save File As:");
  ASSERT_NE(save, nullptr);
  ReadOnlyDrive drive;
  ASSERT_TRUE(drive.ready());
  const std::string target = "R:\\vt9-viewer-save.log";
  ViewerDriver::ChooseFile(save, target);
  HWND error = WaitForDialogWith(viewer, "Error saving file!");
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(test::WindowText(error), "  Vantory 9");
  EXPECT_TRUE(HasText(error, "Unable to Create/Save file: " + target)) << test::ChildTexts(error);
  Sleep(300);
  ViewerDriver::Snapshot("viewer-save-error");
  test::ClickButton(error, "OK");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(test::GetSetting("LastLogSavePath"), "<absent>") << "not written after a failure";
  EXPECT_EQ(viewer.LogText(), kLog);
}

TEST_F(ViewerSave, FailedReplaceLeavesTheOldFileAndNoTemporaryFile) {
  test::SetSetting("WarnSaveAs", "1");
  OpenLog();
  const std::string target = test::MakeTempFolder("saved-ro");
  test::WriteFile(target + "Keep.log", "the old log");
  // Another program holds the old file open (it may read, nobody may delete or replace it).
  HANDLE hold = CreateFileA((target + "Keep.log").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  viewer.Press("Save");
  HWND save = WaitForDialogWith(viewer, "Save File As:");
  ASSERT_NE(save, nullptr);
  ViewerDriver::ChooseFile(save, target + "Keep.log");
  HWND error = nullptr;
  for (int i = 0; i < 80 && !error; ++i) {
    Sleep(100);
    HWND d = viewer.WaitForMessage(0);
    if (!d) continue;
    if (HasText(d, "Error saving file!"))
      error = d;
    else if (d != save)
      ViewerDriver::PressDialogButton(d, IDYES);  // yes, replace it
  }
  ASSERT_NE(error, nullptr);
  EXPECT_TRUE(HasText(error, "Unable to Create/Save file: " + target + "Keep.log"));
  test::ClickButton(error, "OK");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  CloseHandle(hold);
  EXPECT_EQ(test::ReadFile(target + "Keep.log"), "the old log");
  EXPECT_EQ(test::FileNames(target), "Keep.log;");
}

// The same messages in the tool's own task dialog window, as on systems without the native one.
TEST(ViewerOwnMessages, WarningErrorAndNotFound) {
  ViewerDriver viewer("own-messages", test::MessagePath::OwnWindow);
  const std::string file = viewer.WriteLog("Daily.log", kLog);
  ASSERT_TRUE(viewer.Open({file}, "Vantory 9 - Log Viewer"));
  viewer.Press("Save");
  HWND warning = WaitForDialogWith(viewer, "Save of Logs is Optional");
  ASSERT_NE(warning, nullptr);
  EXPECT_EQ(test::WindowText(warning), "Vantory 9 - Viewer");
  HWND box = ViewerDriver::DialogChild(warning, "Do not show this again");
  ASSERT_NE(box, nullptr);
  PostMessageA(box, BM_CLICK, 0, 0);
  Sleep(400);
  ViewerDriver::Snapshot("viewer-own-save-warning");
  ASSERT_TRUE(test::ClickButton(warning, "Cancel"));
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_EQ(test::GetSetting("WarnSaveAs"), "YES");

  {
    ReadOnlyDrive drive;
    ASSERT_TRUE(drive.ready());
    viewer.Press("Save");
    HWND save = WaitForDialogWith(viewer, "Save File As:");
    ASSERT_NE(save, nullptr);
    ViewerDriver::ChooseFile(save, "R:\\own.log");
    HWND error = WaitForDialogWith(viewer, "Error saving file!");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(test::WindowText(error), "  Vantory 9");
    Sleep(400);
    ViewerDriver::Snapshot("viewer-own-save-error");
    test::ClickButton(error, "OK");
    ASSERT_TRUE(viewer.WaitForNoDialog());
  }

  HWND find = viewer.ShowFind();
  ASSERT_NE(find, nullptr);
  viewer.FindNext("no such text", false, false);
  HWND notFound = WaitForDialogWith(viewer, "\"no such text\" Not Found");
  ASSERT_NE(notFound, nullptr);
  EXPECT_EQ(test::WindowText(notFound), "Vantory 9 - Log Viewer");
  EXPECT_FALSE(IsWindowVisible(find));
  Sleep(400);
  ViewerDriver::Snapshot("viewer-own-not-found");
  test::ClickButton(notFound, "OK");
  ASSERT_TRUE(viewer.WaitForNoDialog());
  EXPECT_TRUE(viewer.CloseAndEnd());
}

}  // namespace
}  // namespace vt9
