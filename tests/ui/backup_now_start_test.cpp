// The Backup Now window starts the main backup program with the command line that matches
// the user's choices: end action, job, location and button.
#include <gtest/gtest.h>

#include "backupnow/backup_now_layout.h"
#include "support/win/backup_now_driver.h"

namespace vt9 {
namespace {

namespace id = backup_now_id;
using test::BackupNowDriver;

constexpr const char* kPlainCaption = "Vantory 9 - Backup Now!";

// A data path with the job "Daily" backing up to E:\Save\, opened in the plain layout.
HWND OpenWithDaily(BackupNowDriver& d, const std::string& args = "\\v") {
  d.UseDataPath();
  d.AddJob("Daily.jdf", BackupNowDriver::JobText("E:\\Save\\"));
  return d.Open(args, kPlainCaption);
}

TEST(BackupNowStart, EveryEndActionPutsItsSwitchFirst) {
  const char* switches[] = {"\\Q", "\\QS", "\\QL", "\\QH", "\\QR"};
  for (int action = 0; action < 5; ++action) {
    BackupNowDriver d("endaction");
    ASSERT_TRUE(OpenWithDaily(d)) << action;
    d.SelectComboItem(id::lstEndAction, action);
    d.Press(id::btnDoIt);
    EXPECT_EQ(d.WaitForParameters(1),
              std::vector<std::string>{std::string(switches[action]) +
                                       " \\BN \\J=\"Daily\" \\D=\"E:\\Save\\\""});
    EXPECT_TRUE(d.EndsNormally());
  }
}

TEST(BackupNowStart, TypedEndActionPassesBackupNowAlone) {
  BackupNowDriver d("typed");
  ASSERT_TRUE(OpenWithDaily(d));
  d.TypeIntoCombo(id::lstEndAction, "Shut Down Computer later");
  EXPECT_EQ(d.ComboSelection(id::lstEndAction), -1);
  d.Press(id::btnDoIt);
  EXPECT_EQ(d.WaitForParameters(1),
            std::vector<std::string>{" \\BN \\J=\"Daily\" \\D=\"E:\\Save\\\""});
  EXPECT_TRUE(d.EndsNormally());
}

TEST(BackupNowStart, RedoLastBackupPassesNoJob) {
  BackupNowDriver d("redo");
  test::SetSetting("LastBackupName", "E:\\Last\\Full.zip");
  ASSERT_TRUE(OpenWithDaily(d, "\\liu"));
  EXPECT_EQ(d.ComboItems(id::lstJobs),
            (std::vector<std::string>{"Redo Last Backup", "Daily Backup"}));
  EXPECT_EQ(d.Text(id::memoLocation), "E:\\Last\\");
  d.SelectComboItem(id::lstEndAction, 1);
  d.Press(id::btnDoIt);
  EXPECT_EQ(d.WaitForParameters(1), std::vector<std::string>{"\\QS \\BN \\D=\"E:\\Last\\\""});
  EXPECT_TRUE(d.EndsNormally());
}

TEST(BackupNowStart, NoJobPassOnlyAffectsRunVantory) {
  for (int button : {id::btnDoIt, id::btnRunMain}) {
    BackupNowDriver d("nojobpass");
    test::SetSetting("NoJobPass", "yes");
    ASSERT_TRUE(OpenWithDaily(d, "/unknown"));
    d.Press(button);
    EXPECT_EQ(
        d.WaitForParameters(1),
        std::vector<std::string>{button == id::btnDoIt ? "\\Q \\BN \\J=\"Daily\" \\D=\"E:\\Save\\\""
                                                       : " \\D=\"E:\\Save\\\""});
    EXPECT_TRUE(d.EndsNormally());
  }
}

TEST(BackupNowStart, RunVantoryPassesJobAndLocationWithLeadingBlank) {
  BackupNowDriver d("runmain");
  ASSERT_TRUE(OpenWithDaily(d));
  d.SelectComboItem(id::lstEndAction, 4);
  d.Press(id::btnRunMain);
  EXPECT_EQ(d.WaitForParameters(1), std::vector<std::string>{" \\J=\"Daily\" \\D=\"E:\\Save\\\""});
  EXPECT_TRUE(d.EndsNormally());
}

TEST(BackupNowStart, EmptyLocationStillPassesTheDestination) {
  BackupNowDriver d("emptyloc");
  d.UseDataPath();
  d.AddJob("My. Odd Job.jdf", "");
  ASSERT_TRUE(d.Open("\\v", kPlainCaption));
  EXPECT_EQ(d.Text(id::memoLocation), "");
  d.Press(id::btnDoIt);
  EXPECT_EQ(d.WaitForParameters(1),
            std::vector<std::string>{"\\Q \\BN \\J=\"My. Odd Job\" \\D=\"\""});
  EXPECT_TRUE(d.EndsNormally());
}

TEST(BackupNowStart, PlainLayoutListsJobsAndFollowsTheSelection) {
  BackupNowDriver d("plain");
  test::SetSetting("DefaultBackupFolder", "G:\\Default\\");
  d.UseDataPath();
  d.AddJob("Daily.jdf", BackupNowDriver::JobText("E:\\Save\\"));
  d.AddJob("Weekly.jdf", BackupNowDriver::JobText("", "F:\\Weekly\\w1.zip"));
  d.AddJob("Bare.jdf", "[Other]\r\nBackupFolder=X:\\\r\n");
  d.AddJob("notes.txt", "");
  ASSERT_TRUE(d.Open("\\liu", kPlainCaption));
  const SIZE client = d.ClientSize();
  EXPECT_EQ(client.cx, 378);
  EXPECT_EQ(client.cy, 269);
  EXPECT_FALSE(d.IsVisible(id::pnlRemind));
  const auto jobs = d.ComboItems(id::lstJobs);
  ASSERT_EQ(jobs.size(), 3u);
  EXPECT_EQ(d.ComboSelection(id::lstJobs), 0);
  EXPECT_EQ(d.ComboItems(id::lstEndAction),
            (std::vector<std::string>{"End Program Normally", "Shut Down Computer", "Logoff User",
                                      "Go To Hibernate Mode", "Reboot (Restart Machine)"}));
  EXPECT_EQ(d.ComboSelection(id::lstEndAction), 0);
  EXPECT_EQ(d.Text(id::btnDoIt), "&Backup Now!");
  EXPECT_EQ(d.Text(id::btnBrowse), "Browse for &Alternate Location");
  EXPECT_TRUE(d.IsEnabled(id::btnDoIt));
  EXPECT_TRUE(GetWindowLongA(d.Control(id::btnDoIt), GWL_STYLE) & BS_DEFPUSHBUTTON);
  BackupNowDriver::Snapshot("backup_now_plain");
  // The listing order is the platform's; each entry shows its own job's location.
  for (int i = 0; i < 3; ++i) {
    d.SelectComboItem(id::lstJobs, i);
    const std::string expected = jobs[static_cast<std::size_t>(i)] == "Daily Backup" ? "E:\\Save\\"
                                 : jobs[static_cast<std::size_t>(i)] == "Weekly Backup"
                                     ? "F:\\Weekly\\"
                                     : "G:\\Default\\";
    EXPECT_EQ(d.Text(id::memoLocation), expected) << jobs[static_cast<std::size_t>(i)];
  }
  d.Press(id::btnCancel);
  EXPECT_TRUE(d.EndsNormally());
  EXPECT_TRUE(d.tool().Calls().empty());
}

TEST(BackupNowStart, LongLocationPassesWholeOrNotAtAll) {
  const std::string fits = "C:\\" + std::string(255, 'f') + "\\";  // 259 characters
  BackupNowDriver d("longloc");
  d.UseDataPath();
  d.AddJob("Long.jdf", BackupNowDriver::JobText(fits));
  ASSERT_TRUE(d.Open("\\v", kPlainCaption));
  d.Press(id::btnDoIt);
  EXPECT_EQ(d.WaitForParameters(1),
            std::vector<std::string>{"\\Q \\BN \\J=\"Long\" \\D=\"" + fits + "\""});
  EXPECT_TRUE(d.EndsNormally());

  // 2040 characters cannot reach the main program whole: the user is told, nothing starts.
  BackupNowDriver t("toolong");
  t.UseDataPath();
  t.AddJob("Huge.jdf", BackupNowDriver::JobText("C:\\" + std::string(2036, 'h') + "\\"));
  ASSERT_TRUE(t.Open("\\v", kPlainCaption));
  t.Press(id::btnDoIt);
  HWND box = t.WaitForDialog();
  ASSERT_TRUE(box);
  EXPECT_NE(test::ChildTexts(box).find("cannot be started"), std::string::npos)
      << test::ChildTexts(box);
  EXPECT_TRUE(BackupNowDriver::PressDialogButton(box, IDOK));
  Sleep(300);
  EXPECT_TRUE(IsWindow(t.window()));
  t.Press(id::btnCancel);
  EXPECT_TRUE(t.EndsNormally());
  EXPECT_TRUE(t.tool().Calls().empty());
}

TEST(BackupNowStart, OddJobFilesNeverBreakTheWindow) {
  BackupNowDriver d("oddfiles");
  d.UseDataPath();
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
  d.AddJob("Binary.jdf", binary);
  std::string huge = "[Other]\r\n";
  while (huge.size() < 2'000'000) huge += "Key=" + std::string(200, 'v') + "\r\n";
  d.AddJob("Huge.jdf", huge + "[Parms]\r\nBackupFolder=H:\\Huge\\\r\n");
  d.AddJob("Value5000.jdf", BackupNowDriver::JobText("C:\\" + std::string(4997, 'x')));
  d.AddJob("Empty.jdf", "");
  ASSERT_TRUE(d.Open("\\v", kPlainCaption));
  const auto jobs = d.ComboItems(id::lstJobs);
  ASSERT_EQ(jobs.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    d.SelectComboItem(id::lstJobs, i);
    const std::string& job = jobs[static_cast<std::size_t>(i)];
    // Only the first 2047 characters of a value are read: the folder part is C:\.
    if (job == "Value5000 Backup") {
      EXPECT_EQ(d.Text(id::memoLocation), "C:\\");
    }
    if (job == "Huge Backup") {
      EXPECT_EQ(d.Text(id::memoLocation), "H:\\Huge\\");
    }
    if (job == "Empty Backup") {
      EXPECT_EQ(d.Text(id::memoLocation), "");
    }
  }
  EXPECT_TRUE(IsWindowVisible(d.window()));
  d.Press(id::btnCancel);
  EXPECT_TRUE(d.EndsNormally());
}

// The control that has the keyboard focus in the tool (a combo box for its typing field).
int FocusedControl(const BackupNowDriver& d) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(d.window(), nullptr), &info) || !info.hwndFocus)
    return 0;
  HWND focus = info.hwndFocus;
  if (GetDlgCtrlID(focus) == 1001 || !GetDlgCtrlID(focus))
    focus = GetParent(focus);  // combo's own edit
  return GetDlgCtrlID(focus);
}

TEST(BackupNowStart, TabWalksTheControlsInReadingOrder) {
  BackupNowDriver d("tab");
  ASSERT_TRUE(OpenWithDaily(d));
  Sleep(200);
  EXPECT_EQ(FocusedControl(d), id::lstJobs);
  const int order[] = {id::lstEndAction, id::btnBrowse,  id::memoLocation, id::btnDoIt,
                       id::btnCancel,    id::btnRunMain, id::lstJobs};
  for (int expected : order) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(d.window(), nullptr), &info);
    PostMessageA(info.hwndFocus, WM_KEYDOWN, VK_TAB, 0);
    Sleep(150);
    EXPECT_EQ(FocusedControl(d), expected);
  }
  d.Press(id::btnCancel);
  EXPECT_TRUE(d.EndsNormally());
}

TEST(BackupNowStart, WrongTypeOfNoJobPassAbortsOnlyTheClick) {
  BackupNowDriver d("wrongtype");
  test::SetSettingDword("NoJobPass", 1);
  ASSERT_TRUE(OpenWithDaily(d));
  d.Press(id::btnDoIt);
  HWND report = d.WaitForDialog();
  ASSERT_TRUE(report);
  EXPECT_NE(test::ChildTexts(report).find("NoJobPass"), std::string::npos)
      << test::ChildTexts(report);
  EXPECT_TRUE(BackupNowDriver::PressDialogButton(report, IDOK));
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(d.window()));
  d.Press(id::btnCancel);
  EXPECT_TRUE(d.EndsNormally());
  EXPECT_TRUE(d.tool().Calls().empty());
}

}  // namespace
}  // namespace vt9
