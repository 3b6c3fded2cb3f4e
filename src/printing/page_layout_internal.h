// Helpers shared by the parts of the page layout (page_layout.cpp, page_text.cpp, page_rows.cpp,
// page_replay.cpp); not part of the page printer's interface.
#pragma once

#include <utility>

#include "printing/page_types.h"

namespace vt9::page_detail {

template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() { f_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
};

inline bool IsBreakChar(char c) { return static_cast<unsigned char>(c) < 33; }

inline int SpacedHeight(int h, TLineSpacing spacing) {
  switch (spacing) {
    case lsHalfSpace:
      return h / 2;
    case lsSingleAndAHalf:
      return h + h / 2;
    case lsDoubleSpace:
      return 2 * h;
    default:
      return h;
  }
}

}  // namespace vt9::page_detail
