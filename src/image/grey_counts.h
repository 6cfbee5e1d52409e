// Counting greys into a histogram. Pictures of print are mostly ground of one grey (a clean
// page's white, a character cut's dark margins), so sixteen pixels of one grey are counted
// with one addition.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvik {

// Four partial counts, summed by the caller: in a stretch of one grey that is not caught
// whole, each increment would otherwise wait on the one before.
template <typename Count>
using GreyCounts = std::array<std::array<Count, 256>, 4>;

// Adds `weight` to the counts of the greys of pixels p[0 .. n).
template <typename Count>
void AddGreys(const std::uint8_t* p, std::size_t n, Count weight, GreyCounts<Count>& parts) {
  std::size_t i = 0;
  const auto four = [&](std::size_t at) {
    parts[0][p[at]] += weight;
    parts[1][p[at + 1]] += weight;
    parts[2][p[at + 2]] += weight;
    parts[3][p[at + 3]] += weight;
  };
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(p[i])))) == 0xFFFF) {
      parts[0][p[i]] += static_cast<Count>(16 * weight);
      continue;
    }
    for (std::size_t k = 0; k < 16; k += 4) four(i + k);
  }
#endif
  for (; i + 4 <= n; i += 4) four(i);
  for (; i < n; ++i) parts[0][p[i]] += weight;
}

}  // namespace morvik
