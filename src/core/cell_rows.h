// A pattern's rows as 16-byte vectors of marks and of levels, and a 16 x 16 byte transpose
// for its columns: the inner loops of span counting and scoring touch every cell of 41
// patterns for each image, so they work on whole rows at a time.
#pragma once

#include <emmintrin.h>

#include "core/pattern.h"

namespace morvik::detail {

static_assert(sizeof(TPatternCell) == 2, "a row is 32 bytes: Mark, Level, Mark, Level, ...");

// Marks and levels of row r (0-based), each position p at byte p.
inline void LoadRow(const TPattern& p, int r, __m128i& marks, __m128i& levels) {
  const auto* row = reinterpret_cast<const __m128i*>(&p.Cells[static_cast<std::size_t>(r) * 16]);
  const __m128i lo = _mm_loadu_si128(row), hi = _mm_loadu_si128(row + 1);
  const __m128i low = _mm_set1_epi16(0x00FF);
  marks = _mm_packus_epi16(_mm_and_si128(lo, low), _mm_and_si128(hi, low));
  levels = _mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8));
}

// Bit p set where byte p is not zero.
inline unsigned NonZeroBits(__m128i v) {
  return ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128()))) &
         0xFFFFu;
}

// in[r] byte c becomes out[c] byte r.
inline void Transpose16(const __m128i (&in)[16], __m128i (&out)[16]) {
  __m128i a[16], b[16], c[16];
  for (int p = 0; p < 8; ++p) {  // a[p]: columns 0..7 of rows 2p, 2p+1; a[8 + p]: columns 8..15
    a[p] = _mm_unpacklo_epi8(in[2 * p], in[2 * p + 1]);
    a[8 + p] = _mm_unpackhi_epi8(in[2 * p], in[2 * p + 1]);
  }
  for (int h = 0; h < 2; ++h)  // b[4g + q]: columns 4g..4g+3 of rows 4q..4q+3
    for (int q = 0; q < 4; ++q) {
      b[8 * h + q] = _mm_unpacklo_epi16(a[8 * h + 2 * q], a[8 * h + 2 * q + 1]);
      b[8 * h + 4 + q] = _mm_unpackhi_epi16(a[8 * h + 2 * q], a[8 * h + 2 * q + 1]);
    }
  for (int g = 0; g < 4; ++g)  // c[4g + 2w + o]: columns 4g+2w, 4g+2w+1 of rows 8o..8o+7
    for (int o = 0; o < 2; ++o) {
      c[4 * g + o] = _mm_unpacklo_epi32(b[4 * g + 2 * o], b[4 * g + 2 * o + 1]);
      c[4 * g + 2 + o] = _mm_unpackhi_epi32(b[4 * g + 2 * o], b[4 * g + 2 * o + 1]);
    }
  for (int g = 0; g < 4; ++g)
    for (int w = 0; w < 2; ++w) {
      out[4 * g + 2 * w] = _mm_unpacklo_epi64(c[4 * g + 2 * w], c[4 * g + 2 * w + 1]);
      out[4 * g + 2 * w + 1] = _mm_unpackhi_epi64(c[4 * g + 2 * w], c[4 * g + 2 * w + 1]);
    }
}

// The weighted count of the marked lines in a 16-bit mask (bit i - 1 = line i): every marked
// line counts 1, and 1 more after an unmarked line; line 0 counts as marked.
inline std::uint16_t SpanCount(unsigned mask) {
  auto bits = [](unsigned v) {
    v = v - ((v >> 1) & 0x5555u);
    v = (v & 0x3333u) + ((v >> 2) & 0x3333u);
    v = (v + (v >> 4)) & 0x0F0Fu;
    return (v + (v >> 8)) & 0x1Fu;
  };
  return static_cast<std::uint16_t>(bits(mask) + bits(mask & ~((mask << 1) | 1u) & 0xFFFFu));
}

}  // namespace morvik::detail
