// Finding bytes in a log at memory speed: line breaks for the index builder and the first
// byte of a search text for search. Uses SSE2 where the processor has it (decided once at run
// time in a 32-bit build), else eight bytes at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vt9::logs {

// The offset of the first byte in p[from, n) equal to `a` or `b`, or n.
std::size_t FindEitherByte(const std::uint8_t* p, std::size_t from, std::size_t n, std::uint8_t a,
                           std::uint8_t b);

// Whether the processor runs SSE2 (always on x86-64; asked once in a 32-bit build).
bool HaveSse2();

inline std::size_t FindLineBreak(const std::uint8_t* p, std::size_t from, std::size_t n) {
  return FindEitherByte(p, from, n, '\r', '\n');
}

}  // namespace vt9::logs
