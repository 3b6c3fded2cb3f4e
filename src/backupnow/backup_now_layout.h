// The Backup Now window described as data: its controls with their 96-dpi geometry relative
// to their parent, captions and control ids, and the two layouts (plain and reminder) that
// decide where the panels go and how tall the client area is. The Windows side creates the
// controls from this table and scales every rectangle in one place.
#pragma once

#include <span>
#include <string>

namespace vt9 {

enum class BackupNowControlKind {
  MarkupPanel,     // pnlRemind
  MarkupCheckBox,  // chkNoRemind
  Panel,           // plain panel without bevel
  FlatPanel,       // panel with a one-pixel border line
  DropDownList,    // combo box without typing
  DropDownCombo,   // combo box with typing
  Label,
  Memo,  // read-only multi-line text
  Button,
};

struct Rect96 {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct BackupNowControl {
  const char* name;
  BackupNowControlKind kind;
  const char* parent;  // nullptr: the form itself
  int id;              // control id; the test driver finds controls by it
  Rect96 rect;         // in the parent's client area, at 96 dpi
  const char* caption;
};

// Control ids. btnDoIt and btnCancel carry the dialog manager's IDOK and IDCANCEL, so Enter
// presses the default button and Esc cancels as in any dialog.
namespace backup_now_id {
inline constexpr int btnDoIt = 1;
inline constexpr int btnCancel = 2;
inline constexpr int pnlRemind = 100;
inline constexpr int chkNoRemind = 101;
inline constexpr int pnlLocation = 102;
inline constexpr int lstJobs = 103;
inline constexpr int Label5 = 104;
inline constexpr int lstEndAction = 105;
inline constexpr int FlatPanel2 = 106;
inline constexpr int Label1 = 107;
inline constexpr int memoLocation = 108;
inline constexpr int btnBrowse = 109;
inline constexpr int pnlRemindBtns = 110;
inline constexpr int btnRunMain = 111;
}  // namespace backup_now_id

// In creation order, which is also the tab order: parents before their children.
std::span<const BackupNowControl> BackupNowControls();
const BackupNowControl* FindBackupNowControl(const std::string& name);

inline constexpr int kBackupNowClientWidth = 378;  // the width of pnlLocation
inline constexpr const char* kEndActionHint = "Only used with \"Backup Now\"";
inline constexpr const char* kBrowseTitle = " Select Location for the Backup:";
inline constexpr int kBackupNowHelpContext = 666;

struct BackupNowLayout {
  bool reminder = false;
  bool remindPanelVisible = false;
  int locationTop = 0;  // top of pnlLocation
  int buttonsTop = 0;   // top of pnlRemindBtns
  int clientWidth = kBackupNowClientWidth;
  int clientHeight = 0;
};

// Reminder layout: the reminder panel above the location panel, the buttons below both.
// Plain layout: the reminder panel hidden and everything moved up by its height.
BackupNowLayout ComputeBackupNowLayout(bool reminder);

// The first argument asks for the reminder layout when it is "\CHECK" in any letter case.
bool IsReminderArgument(const std::string& firstArgument);

}  // namespace vt9
