// The real platform services of the start-up modes.
#pragma once

#include <windows.h>

#include "platform/system.h"

namespace vt9::win {

class WinClock : public Clock {
 public:
  CivilDate Today() override;
};

// The handle is deliberately never closed: holding it keeps other reminder checks out until
// this process ends.
class WinInstanceGuard : public InstanceGuard {
 public:
  bool TryAcquire(const std::string& name) override;
};

// GetVersionExA with the record size of OSVERSIONINFOA (148).
class WinOsInfo : public OsInfo {
 public:
  std::optional<unsigned> MajorVersion() override;
};

class WinLauncher : public ProgramLauncher {
 public:
  // The platform may write into the command line, so it is passed in a buffer of this many
  // characters (plus the terminating NUL); a longer command line is refused, never cut.
  static constexpr std::size_t kCommandLineChars = 512;
  bool RunAndWait(const std::string& commandLine, unsigned short showMode) override;
};

class WinStringTable : public StringTable {
 public:
  std::string Load(unsigned id) override;
};

}  // namespace vt9::win
