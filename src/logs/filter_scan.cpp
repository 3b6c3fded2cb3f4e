#include "logs/filter_scan.h"

#include "logs/log_scan.h"

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define VT9_FILTER_SSE2 1
#endif

namespace vt9::logs {

namespace {

#ifdef VT9_FILTER_SSE2

__attribute__((target("sse2"))) std::size_t FindAnySse2(const std::uint8_t* p, std::size_t i,
                                                        std::size_t n, const std::uint8_t* keys,
                                                        std::size_t count) {
  __m128i k[kMaxKeyBytes];
  for (std::size_t j = 0; j < count; ++j) k[j] = _mm_set1_epi8(char(keys[j]));
  while (i + 16 <= n) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    __m128i hit = _mm_cmpeq_epi8(x, k[0]);
    for (std::size_t j = 1; j < count; ++j) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(x, k[j]));
    const unsigned mask = unsigned(_mm_movemask_epi8(hit));
    if (mask) return i + std::size_t(__builtin_ctz(mask));
    i += 16;
  }
  for (; i < n; ++i) {
    for (std::size_t j = 0; j < count; ++j) {
      if (p[i] == keys[j]) return i;
    }
  }
  return n;
}

__attribute__((target("sse2"))) std::size_t FindPairSse2(const std::uint8_t* p, std::size_t i,
                                                         std::size_t n, const BytePair* pairs,
                                                         std::size_t count) {
  __m128i a1[kMaxPairs], a2[kMaxPairs], b1[kMaxPairs], b2[kMaxPairs];
  for (std::size_t j = 0; j < count; ++j) {
    a1[j] = _mm_set1_epi8(char(pairs[j].a[0]));
    a2[j] = _mm_set1_epi8(char(pairs[j].a[1]));
    b1[j] = _mm_set1_epi8(char(pairs[j].b[0]));
    b2[j] = _mm_set1_epi8(char(pairs[j].b[1]));
  }
  while (i + 17 <= n) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
    __m128i hit = _mm_setzero_si128();
    for (std::size_t j = 0; j < count; ++j) {
      const __m128i first = _mm_or_si128(_mm_cmpeq_epi8(x, a1[j]), _mm_cmpeq_epi8(x, a2[j]));
      const __m128i second = _mm_or_si128(_mm_cmpeq_epi8(y, b1[j]), _mm_cmpeq_epi8(y, b2[j]));
      hit = _mm_or_si128(hit, _mm_and_si128(first, second));
    }
    const unsigned mask = unsigned(_mm_movemask_epi8(hit));
    if (mask) return i + std::size_t(__builtin_ctz(mask));
    i += 16;
  }
  return i;
}

__attribute__((target("sse2,popcnt"))) std::int64_t CountSse2Popcnt(const std::uint8_t* p,
                                                                    std::size_t& i,
                                                                    std::size_t to) {
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  std::int64_t breaks = 0;
  // p[i + 16] is read too, so stop one short of `to`'s last block.
  while (i + 17 <= to) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
    const __m128i lone = _mm_andnot_si128(_mm_cmpeq_epi8(y, lf), _mm_cmpeq_epi8(x, cr));
    const unsigned mask = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, lf), lone)));
    breaks += __builtin_popcount(mask);
    i += 16;
  }
  return breaks;
}

bool HavePopcnt() {
  static const bool have = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt") != 0;
  }();
  return have;
}
#endif

}  // namespace

std::size_t FindAnyByte(const std::uint8_t* p, std::size_t from, std::size_t n,
                        const std::uint8_t* keys, std::size_t count) {
  if (count == 0) return n;
  if (count <= 2) return FindEitherByte(p, from, n, keys[0], keys[count - 1]);
#ifdef VT9_FILTER_SSE2
  if (HaveSse2()) return FindAnySse2(p, from, n, keys, count);
#endif
  for (std::size_t i = from; i < n; ++i) {
    for (std::size_t j = 0; j < count; ++j) {
      if (p[i] == keys[j]) return i;
    }
  }
  return n;
}

std::size_t FindAnyPair(const std::uint8_t* p, std::size_t from, std::size_t n,
                        const BytePair* pairs, std::size_t count) {
  std::size_t i = from;
#ifdef VT9_FILTER_SSE2
  if (HaveSse2()) {
    i = FindPairSse2(p, i, n, pairs, count);
    if (i + 17 <= n) return i;
  }
#endif
  for (; i + 1 < n; ++i) {
    for (std::size_t j = 0; j < count; ++j) {
      const BytePair& q = pairs[j];
      if ((p[i] == q.a[0] || p[i] == q.a[1]) && (p[i + 1] == q.b[0] || p[i + 1] == q.b[1])) {
        return i;
      }
    }
  }
  return n;
}

std::int64_t CountBreaks(const std::uint8_t* p, std::size_t from, std::size_t to, std::size_t n) {
  std::int64_t breaks = 0;
  std::size_t i = from;
#ifdef VT9_FILTER_SSE2
  if (HaveSse2() && HavePopcnt()) breaks = CountSse2Popcnt(p, i, to);
#endif
  for (; i < to; ++i) {
    if (p[i] == '\n' || (p[i] == '\r' && (i + 1 >= n || p[i + 1] != '\n'))) ++breaks;
  }
  return breaks;
}

}  // namespace vt9::logs
