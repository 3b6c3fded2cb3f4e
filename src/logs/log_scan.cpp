#include "logs/log_scan.h"

#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define VT9_HAVE_SSE2_PATH 1
#endif

namespace vt9::logs {

namespace {

// Eight bytes at a time: a byte equal to `a` becomes zero after the xor, and the classic
// "has a zero byte" test finds it; the exact byte is then found one at a time.
std::size_t FindPortable(const std::uint8_t* p, std::size_t i, std::size_t n, std::uint8_t a,
                         std::uint8_t b) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighs = 0x8080808080808080ull;
  const std::uint64_t ma = kOnes * a;
  const std::uint64_t mb = kOnes * b;
  while (i + 8 <= n) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    const std::uint64_t xa = w ^ ma;
    const std::uint64_t xb = w ^ mb;
    if (((xa - kOnes) & ~xa & kHighs) | ((xb - kOnes) & ~xb & kHighs)) break;
    i += 8;
  }
  for (; i < n; ++i) {
    if (p[i] == a || p[i] == b) return i;
  }
  return n;
}

#ifdef VT9_HAVE_SSE2_PATH
__attribute__((target("sse2"))) std::size_t FindSse2(const std::uint8_t* p, std::size_t i,
                                                     std::size_t n, std::uint8_t a,
                                                     std::uint8_t b) {
  const __m128i va = _mm_set1_epi8(char(a));
  const __m128i vb = _mm_set1_epi8(char(b));
  while (i + 32 <= n) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16));
    const __m128i hx = _mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb));
    const __m128i hy = _mm_or_si128(_mm_cmpeq_epi8(y, va), _mm_cmpeq_epi8(y, vb));
    const unsigned mask = unsigned(_mm_movemask_epi8(hx)) | unsigned(_mm_movemask_epi8(hy)) << 16;
    if (mask) return i + std::size_t(__builtin_ctz(mask));
    i += 32;
  }
  while (i + 16 <= n) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const unsigned mask =
        unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb))));
    if (mask) return i + std::size_t(__builtin_ctz(mask));
    i += 16;
  }
  for (; i < n; ++i) {
    if (p[i] == a || p[i] == b) return i;
  }
  return n;
}

#endif

}  // namespace

bool HaveSse2() {
#if !defined(VT9_HAVE_SSE2_PATH)
  return false;
#elif defined(__x86_64__) || defined(__SSE2__)
  return true;
#else
  static const bool have = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2") != 0;
  }();
  return have;
#endif
}

std::size_t FindEitherByte(const std::uint8_t* p, std::size_t from, std::size_t n, std::uint8_t a,
                           std::uint8_t b) {
#ifdef VT9_HAVE_SSE2_PATH
  if (HaveSse2()) return FindSse2(p, from, n, a, b);
#endif
  return FindPortable(p, from, n, a, b);
}

}  // namespace vt9::logs
