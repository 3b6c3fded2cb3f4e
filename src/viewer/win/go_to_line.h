// "Go to Line": a small modal dialog asking for a line number of the log (1 to `lineCount`),
// proposing `current`. Returns the line chosen (clamped into range), or 0 when cancelled.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vt9::win {

inline constexpr char kGoToLineTitle[] = "Go to Line";
inline constexpr int kGoToLineEditId = 1001;

std::int64_t AskGoToLine(HWND owner, std::int64_t current, std::int64_t lineCount);

}  // namespace vt9::win
