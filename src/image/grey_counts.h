// Counting greys into a histogram. Pictures of print are mostly ground of one grey (a clean
// page's white, a character cut's dark margins), so sixteen pixels of one grey are counted
// with one addition.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/x86_dispatch.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvik {

// Four partial counts, summed by the caller: in a stretch of one grey that is not caught
// whole, each increment would otherwise wait on the one before.
template <typename Count>
using GreyCounts = std::array<std::array<Count, 256>, 4>;

namespace detail {

// Adds `weight` for each of the pixels p[at .. at + 4), one to each part.
template <typename Count>
inline void AddFour(const std::uint8_t* p, std::size_t at, Count weight, GreyCounts<Count>& parts) {
  parts[0][p[at]] += weight;
  parts[1][p[at + 1]] += weight;
  parts[2][p[at + 2]] += weight;
  parts[3][p[at + 3]] += weight;
}

#ifdef MORVIK_X86_DISPATCH
// AddGreys thirty-two pixels a step, each half of sixteen still caught whole where the
// thirty-two are not; returns how many pixels it took.
template <typename Count>
__attribute__((target("avx2"))) std::size_t Avx2AddGreys(const std::uint8_t* p, std::size_t n,
                                                         Count weight, GreyCounts<Count>& parts) {
  std::size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
    const auto same = static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_set1_epi8(static_cast<char>(p[i])))));
    if (same == 0xFFFFFFFFu) {
      parts[0][p[i]] += static_cast<Count>(32 * weight);
      continue;
    }
    if ((same & 0xFFFFu) == 0xFFFFu)
      parts[0][p[i]] += static_cast<Count>(16 * weight);
    else
      for (std::size_t k = 0; k < 16; k += 4) AddFour(p, i + k, weight, parts);
    const __m128i high = _mm256_extracti128_si256(v, 1);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(high, _mm_set1_epi8(static_cast<char>(p[i + 16])))) ==
        0xFFFF)
      parts[0][p[i + 16]] += static_cast<Count>(16 * weight);
    else
      for (std::size_t k = 16; k < 32; k += 4) AddFour(p, i + k, weight, parts);
  }
  return i;
}
#endif

}  // namespace detail

// Adds `weight` to the counts of the greys of pixels p[0 .. n).
template <typename Count>
void AddGreys(const std::uint8_t* p, std::size_t n, Count weight, GreyCounts<Count>& parts) {
  std::size_t i = 0;
  const auto four = [&](std::size_t at) { detail::AddFour(p, at, weight, parts); };
#ifdef MORVIK_X86_DISPATCH
  // Not for the short rows of a character's cut, where the call would cost more than it saves.
  if (n >= 256 && CPU_FEATURE_ACTIVE(AVX2)) i = detail::Avx2AddGreys(p, n, weight, parts);
#endif
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
