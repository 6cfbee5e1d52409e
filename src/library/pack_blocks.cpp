#include "library/pack_blocks.h"

#include <algorithm>
#include <cstring>

#include "core/normalize.h"
#include "core/pattern.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include "core/cell_rows.h"
#endif

namespace morvik {

static_assert(kPackGridBytes % 16 == 0 && kPackCellBytes % 16 == 0, "whole blocks of 16");

std::int64_t GridSumPlain(const std::uint8_t* grid) {
  std::int64_t sum = 0;
  for (std::size_t k = 0; k < kPackGridBytes; ++k) sum += grid[k];
  return sum;
}

bool CellsValidPlain(const std::uint8_t* cells, bool& marked, CellSpans& spans) {
  bool good = true;
  for (std::size_t k = 0; k < kPackCellBytes; k += 2) {
    good = good && cells[k] <= 1 && cells[k + 1] <= 100;
    marked = marked || cells[k] != 0;
  }
  TPattern p;
  std::memcpy(p.Cells.data(), cells, kPackCellBytes);
  ComputeSpans(p);
  spans = CellSpans{p.MaxLevel, p.ColCount, p.RowCount};
  return good;
}

#if defined(__SSE2__)

std::int64_t GridSum(const std::uint8_t* grid) {
  __m128i sum = _mm_setzero_si128();
  for (std::size_t k = 0; k < kPackGridBytes; k += 16)
    sum =
        _mm_add_epi64(sum, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(grid + k)),
                                        _mm_setzero_si128()));
  return _mm_cvtsi128_si32(sum) + _mm_cvtsi128_si32(_mm_srli_si128(sum, 8));
}

bool CellsValid(const std::uint8_t* cells, bool& marked, CellSpans& spans) {
  // A byte is within its limit when the larger of it and the limit is the limit. A row is
  // two vectors of eight cells, each a mark byte then a level byte.
  const __m128i limits = _mm_set1_epi16(static_cast<short>(1 | (100 << 8)));
  const __m128i markBytes = _mm_set1_epi16(0x00FF);
  __m128i good = _mm_set1_epi8(-1), levels = _mm_setzero_si128();
  __m128i leftColumns = _mm_setzero_si128(), rightColumns = _mm_setzero_si128();
  unsigned rows = 0;
  for (std::size_t r = 0; r < kPackCellBytes / 32; ++r) {
    const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + 32 * r));
    const __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + 32 * r + 16));
    good = _mm_and_si128(good, _mm_cmpeq_epi8(_mm_max_epu8(left, limits), limits));
    good = _mm_and_si128(good, _mm_cmpeq_epi8(_mm_max_epu8(right, limits), limits));
    levels = _mm_max_epu8(levels, _mm_andnot_si128(markBytes, _mm_max_epu8(left, right)));
    const __m128i leftMarks = _mm_and_si128(left, markBytes);
    const __m128i rightMarks = _mm_and_si128(right, markBytes);
    leftColumns = _mm_or_si128(leftColumns, leftMarks);
    rightColumns = _mm_or_si128(rightColumns, rightMarks);
    if (detail::NonZeroBits(_mm_or_si128(leftMarks, rightMarks)) != 0) rows |= 1u << r;
  }
  std::uint8_t largest[16];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(largest), levels);
  spans.MaxLevel = *std::max_element(largest, largest + 16);
  spans.RowCount = detail::SpanCount(rows);
  spans.ColCount =
      detail::SpanCount(detail::NonZeroBits(_mm_packus_epi16(leftColumns, rightColumns)));
  marked = marked || rows != 0;
  return _mm_movemask_epi8(good) == 0xFFFF;
}

#else

std::int64_t GridSum(const std::uint8_t* grid) {
  return GridSumPlain(grid);
}
bool CellsValid(const std::uint8_t* cells, bool& marked, CellSpans& spans) {
  return CellsValidPlain(cells, marked, spans);
}

#endif

}  // namespace morvik
