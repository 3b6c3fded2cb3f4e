// Small platform services of the start-up modes: the local date, the single-instance
// guard, the Windows version, the launcher, and the tool's string resources.
#pragma once

#include <optional>
#include <string>

namespace vt9 {

struct CivilDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual CivilDate Today() = 0;  // local date
};

class InstanceGuard {
 public:
  virtual ~InstanceGuard() = default;
  // Creates or opens the named mutex and takes it without waiting. False only when another
  // process holds it; ownership is never released before the process ends.
  virtual bool TryAcquire(const std::string& name) = 0;
};

class OsInfo {
 public:
  virtual ~OsInfo() = default;
  // The major version the platform reports, or nullopt when the query fails.
  virtual std::optional<unsigned> MajorVersion() = 0;
};

class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  // Starts the command line and blocks until the program ends. True when it was started and
  // ended with a non-zero exit code.
  virtual bool RunAndWait(const std::string& commandLine, unsigned short showMode) = 0;
};

class StringTable {
 public:
  virtual ~StringTable() = default;
  virtual std::string Load(unsigned id) = 0;
};

}  // namespace vt9
