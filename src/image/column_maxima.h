// Brightest greys of the columns of a picture, a row at a time: the inner loops of cropping
// and sampling a character, whose rows (64 pixels or fewer) are too short for the compiler's
// vector loops to pay before their one-by-one tails.
#pragma once

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvik {

// Raises columns[0 .. width) to the greys of row and returns the row's brightest grey.
// Sixteen at a time; the last sixteen are taken again where width is not a multiple of
// sixteen, which a maximum does not mind.
inline std::uint8_t RaiseColumns(std::uint8_t* columns, const std::uint8_t* row, int width) {
#if defined(__SSE2__)
  if (width >= 16) {
    __m128i most = _mm_setzero_si128();
    const auto step = [&](int at) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + at));
      auto* c = reinterpret_cast<__m128i*>(columns + at);
      _mm_storeu_si128(c, _mm_max_epu8(_mm_loadu_si128(c), v));
      most = _mm_max_epu8(most, v);
    };
    int x = 0;
    for (; x + 16 <= width; x += 16) step(x);
    if (x < width) step(width - 16);
    most = _mm_max_epu8(most, _mm_srli_si128(most, 8));
    most = _mm_max_epu8(most, _mm_srli_si128(most, 4));
    most = _mm_max_epu8(most, _mm_srli_si128(most, 2));
    most = _mm_max_epu8(most, _mm_srli_si128(most, 1));
    return static_cast<std::uint8_t>(_mm_cvtsi128_si32(most));
  }
#endif
  std::uint8_t most = 0;
  for (int x = 0; x < width; ++x) {
    columns[x] = std::max(columns[x], row[x]);
    most = std::max(most, row[x]);
  }
  return most;
}

// best[c] raised to the brightest of columns[4c .. 4c + 3], for c from 0 to 15.
inline void RaiseToFours(const std::uint8_t* columns, int* best) {
#if defined(__SSE2__)
  for (int q = 0; q < 4; ++q) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(columns + 16 * q));
    v = _mm_max_epu8(v, _mm_srli_epi32(v, 8));
    v = _mm_max_epu8(v, _mm_srli_epi32(v, 16));
    v = _mm_and_si128(v, _mm_set1_epi32(0xFF));  // each lane's low byte: its four's brightest
    auto* b = reinterpret_cast<__m128i*>(best + 4 * q);
    // Greys and best alike lie in 0..255: their 16-bit halves compare as the whole ints.
    _mm_storeu_si128(b, _mm_max_epi16(_mm_loadu_si128(b), v));
  }
#else
  for (int c = 0; c < 16; ++c)
    for (int x = 4 * c; x < 4 * c + 4; ++x) best[c] = std::max(best[c], int{columns[x]});
#endif
}

}  // namespace morvik
