// The path of a loaded module, and the folder of the running program, read whole however long
// they are: a path that would arrive cut is never used.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace vt9::win {

// Reads a path through `read`, which behaves as GetModuleFileNameA: it fills the buffer of the
// given size and returns the characters written, the full size when the path did not fit (then
// possibly without a NUL), 0 on failure. Retries with more room until the path fits whole.
std::optional<std::string> ReadWholePath(const std::function<DWORD(char*, DWORD)>& read);

// The full path of `module` (the program itself for nullptr); nullopt when the system cannot
// give it complete.
std::optional<std::string> ModuleFileName(HMODULE module);

// The folder of the running program with its trailing backslash. Throws std::runtime_error when
// the path cannot be read complete, so it ends up in the standard error report.
std::string OwnFolder();

}  // namespace vt9::win
