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

// Two bytes in a row: the first one of `a`, the second one of `b` (each given twice, for the
// two case forms of a letter; the same byte twice where there is one form).
struct BytePair {
  std::uint8_t a[2];
  std::uint8_t b[2];
};
constexpr std::size_t kMaxPairs = 8;

// The offset of the first i in p[from, n - 1) where p[i], p[i + 1] is one of pairs[0, count),
// or n.
std::size_t FindAnyPair(const std::uint8_t* p, std::size_t from, std::size_t n,
                        const BytePair* pairs, std::size_t count);

// The line breaks ending in p[from, to): every LF, and every CR not followed by LF (a CR as
// the last byte of p[0, n) counts).
std::int64_t CountBreaks(const std::uint8_t* p, std::size_t from, std::size_t to, std::size_t n);

}  // namespace vt9::logs
