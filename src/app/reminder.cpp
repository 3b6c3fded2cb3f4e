#include "app/reminder.h"

#include <cstdint>

#include "common/dates.h"
#include "common/settings.h"
#include "vt9_texts.h"

namespace vt9 {
namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

// An empty interval text means the suite's default of two days; "0" (also what an absent
// value reads as) switches reminders off.
std::int32_t ReadInterval(Registry& reg) {
  const std::string text = ReadRegString(reg, kUser, kSettingsKey, "ReminderDays", "0");
  if (text.empty()) return 2;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(TextToInt(text)));
}

}  // namespace

std::string ReminderText(StringTable& strings, int intervalDays) {
  if (intervalDays == 1) return strings.Load(IDS_REMINDER_ONE_DAY);
  std::string text = strings.Load(IDS_REMINDER_DAYS);
  const auto at = text.find("xxx");
  if (at != std::string::npos) text.replace(at, 3, std::to_string(intervalDays));
  return text;
}

bool RunReminderCheck(ReminderServices& s, ProgramState& state) {
  if (!s.guard.TryAcquire(kReminderMutexName)) return false;

  const std::string lastReminder = ReadRegString(s.registry, kUser, kSettingsKey, "LastReminderDate", "");
  const double today = CivilDateToDate(s.clock.Today());
  const std::string todayText = DateToText(today, "/");
  // Date texts put the year first with two-digit month and day, so byte order is calendar
  // order; a stored date in the future keeps the check quiet until that day.
  if (lastReminder.compare(todayText) >= 0) return false;

  // Recorded before anything else is looked at: whatever follows, today's check is done.
  WriteRegString(s.registry, kUser, kSettingsKey, "LastReminderDate", todayText);

  const std::string lastBackupText = ReadRegString(s.registry, kUser, kSettingsKey, "LastBackupDate", "");
  if (lastBackupText.empty()) return false;
  const double lastBackup = TextToDate(lastBackupText, "/");

  const std::int32_t interval = ReadInterval(s.registry);
  if (interval == 0) return false;
  if (lastBackup + interval > today) return false;

  state.reminderText = ReminderText(s.strings, interval);
  return true;
}

}  // namespace vt9
