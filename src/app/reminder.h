// The once-a-day backup reminder of the "\CHECK" mode.
#pragma once

#include "common/program_state.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace vt9 {

inline constexpr const char* kReminderMutexName = "VT9Backup-Check";

struct ReminderServices {
  Registry& registry;
  Clock& clock;
  InstanceGuard& guard;
  StringTable& strings;
};

// Takes the single-instance guard, passes the once-a-day gate (recording today), and decides
// whether a backup is overdue. When it is, sets state.reminderText and returns true.
// A settings value of a non-text type throws RegistryTypeError.
bool RunReminderCheck(ReminderServices& services, ProgramState& state);

// The reminder markup for an interval of the given number of days.
std::string ReminderText(StringTable& strings, int intervalDays);

}  // namespace vt9
