// Whether two runs of bytes are equal, compared inline: the rows of a character cut are a few
// dozen bytes, and each is compared with its neighbour to find the rows an enlargement
// repeated, so a call to memcmp cost more than the comparison itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvik {

inline bool SameBytes(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
#if defined(__SSE2__)
  if (n >= 16) {
    const auto same16 = [&](std::size_t at) {
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + at));
      const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + at));
      return _mm_movemask_epi8(_mm_cmpeq_epi8(x, y)) == 0xFFFF;
    };
    for (std::size_t at = 0; at + 16 < n; at += 16)
      if (!same16(at)) return false;
    return same16(n - 16);  // the last sixteen, overlapping what was compared already
  }
#endif
  // Two words that overlap where n is not a multiple of their size.
  const auto same = [&](auto word, std::size_t at) {
    decltype(word) x, y;
    std::memcpy(&x, a + at, sizeof x);
    std::memcpy(&y, b + at, sizeof y);
    return x == y;
  };
  if (n >= 8) {
    for (std::size_t at = 0; at + 8 < n; at += 8)
      if (!same(std::uint64_t{}, at)) return false;
    return same(std::uint64_t{}, n - 8);
  }
  if (n >= 4) return same(std::uint32_t{}, 0) && same(std::uint32_t{}, n - 4);
  for (std::size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

}  // namespace morvik
