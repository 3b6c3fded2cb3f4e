#include "backupnow/backup_now_layout.h"

#include <array>

namespace vt9 {
namespace {

using K = BackupNowControlKind;
namespace id = backup_now_id;

constexpr std::array<BackupNowControl, 14> kControls{{
    {"pnlRemind", K::MarkupPanel, nullptr, id::pnlRemind, {0, 0, 378, 73}, ""},
    {"chkNoRemind",
     K::MarkupCheckBox,
     "pnlRemind",
     id::chkNoRemind,
     {8, 38, 273, 20},
     "Do not remind me again"},
    {"pnlLocation", K::Panel, nullptr, id::pnlLocation, {0, 73, 378, 195}, ""},
    {"lstJobs", K::DropDownList, "pnlLocation", id::lstJobs, {8, 8, 363, 23}, ""},
    {"Label5", K::Label, "pnlLocation", id::Label5, {35, 46, 110, 16}, "When complete..."},
    {"lstEndAction", K::DropDownCombo, "pnlLocation", id::lstEndAction, {152, 43, 190, 23}, ""},
    {"FlatPanel2", K::FlatPanel, "pnlLocation", id::FlatPanel2, {8, 79, 361, 105}, ""},
    {"Label1", K::Label, "FlatPanel2", id::Label1, {10, 22, 110, 16}, "Backup Location:"},
    {"btnBrowse",
     K::Button,
     "FlatPanel2",
     id::btnBrowse,
     {148, 10, 201, 23},
     "Browse for &Alternate Location"},
    {"memoLocation", K::Memo, "FlatPanel2", id::memoLocation, {8, 40, 345, 57}, ""},
    {"pnlRemindBtns", K::Panel, nullptr, id::pnlRemindBtns, {0, 314, 378, 74}, ""},
    {"btnDoIt", K::Button, "pnlRemindBtns", id::btnDoIt, {79, 7, 219, 31}, "&Backup Now!"},
    {"btnCancel", K::Button, "pnlRemindBtns", id::btnCancel, {79, 44, 70, 23}, "&Cancel"},
    {"btnRunMain", K::Button, "pnlRemindBtns", id::btnRunMain, {158, 44, 140, 23}, "&Run Vantory"},
}};

}  // namespace

std::span<const BackupNowControl> BackupNowControls() { return kControls; }

const BackupNowControl* FindBackupNowControl(const std::string& name) {
  for (const auto& c : kControls)
    if (name == c.name) return &c;
  return nullptr;
}

BackupNowLayout ComputeBackupNowLayout(bool reminder) {
  const Rect96& remind = FindBackupNowControl("pnlRemind")->rect;
  const Rect96& location = FindBackupNowControl("pnlLocation")->rect;
  const Rect96& buttons = FindBackupNowControl("pnlRemindBtns")->rect;
  BackupNowLayout layout;
  layout.reminder = reminder;
  layout.remindPanelVisible = reminder;
  layout.locationTop = reminder ? location.top : 0;
  layout.buttonsTop = reminder ? remind.height + location.height : location.height;
  layout.clientWidth = location.width;
  layout.clientHeight = layout.buttonsTop + buttons.height;
  return layout;
}

bool IsReminderArgument(const std::string& firstArgument) {
  static constexpr char kCheck[] = "\\CHECK";
  if (firstArgument.size() != sizeof kCheck - 1) return false;
  for (std::size_t i = 0; i < firstArgument.size(); ++i) {
    char c = firstArgument[i];
    if (c >= 'a' && c <= 'z') c = char(c - 32);
    if (c != kCheck[i]) return false;
  }
  return true;
}

}  // namespace vt9
