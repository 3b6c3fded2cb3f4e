// Byte scans for the filter's search over whole blocks: any of a few key bytes, and the line
// breaks in a stretch (CR LF counting once). SSE2 where the processor has it, else a byte at a
// time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vt9::logs {

constexpr std::size_t kMaxKeyBytes = 16;

// The offset of the first byte in p[from, n) equal to one of keys[0, count), or n.
std::size_t FindAnyByte(const std::uint8_t* p, std::size_t from, std::size_t n,
                        const std::uint8_t* keys, std::size_t count);

// The line breaks ending in p[from, to): every LF, and every CR not followed by LF (a CR as
// the last byte of p[0, n) counts).
std::int64_t CountBreaks(const std::uint8_t* p, std::size_t from, std::size_t to, std::size_t n);

}  // namespace vt9::logs
