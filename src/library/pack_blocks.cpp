#include "library/pack_blocks.h"

#include <algorithm>
#include <cstring>

#include "core/normalize.h"
#include "core/pattern.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include "core/cell_rows.h"
#include "core/x86_dispatch.h"
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

#ifdef MORVIK_X86_DISPATCH
namespace {

// As CellsValidSse2, a whole row of sixteen cells a step, with as little as may be done per
// row: the limits, the largest level and the marked columns gathered over mark and level
// bytes alike and told apart once at the end.
__attribute__((target("avx2"))) bool Avx2CellsValid(const std::uint8_t* cells, bool& marked,
                                                    CellSpans& spans) {
  const __m256i limits = _mm256_set1_epi16(static_cast<short>(1 | (100 << 8)));
  const __m256i markBytes = _mm256_set1_epi16(0x00FF);
  const __m256i zero = _mm256_setzero_si256();
  __m256i over = zero, largest = zero, columns = zero;
  unsigned rows = 0;
  for (std::size_t r = 0; r < kPackCellBytes / 32; ++r) {
    const __m256i row = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cells + 32 * r));
    over = _mm256_or_si256(over, _mm256_subs_epu8(row, limits));  // non-zero past a limit
    largest = _mm256_max_epu8(largest, row);
    columns = _mm256_or_si256(columns, row);
    rows |= static_cast<unsigned>(!_mm256_testz_si256(row, markBytes)) << r;
  }
  // The largest of the 32 level bytes: halves folded onto each other down to one.
  const __m256i levels = _mm256_andnot_si256(markBytes, largest);
  __m128i most = _mm_max_epu8(_mm256_castsi256_si128(levels), _mm256_extracti128_si256(levels, 1));
  most = _mm_max_epu8(most, _mm_srli_si128(most, 8));
  most = _mm_max_epu8(most, _mm_srli_si128(most, 4));
  most = _mm_max_epu8(most, _mm_srli_si128(most, 2));
  most = _mm_max_epu8(most, _mm_srli_si128(most, 1));
  spans.MaxLevel = static_cast<std::uint8_t>(_mm_cvtsi128_si32(most));
  spans.RowCount = detail::SpanCount(rows);
  const __m256i marks = _mm256_and_si256(columns, markBytes);
  spans.ColCount = detail::SpanCount(detail::NonZeroBits(
      _mm_packus_epi16(_mm256_castsi256_si128(marks), _mm256_extracti128_si256(marks, 1))));
  marked = marked || rows != 0;
  return _mm256_testz_si256(over, over);
}

}  // namespace
#endif

bool CellsValid(const std::uint8_t* cells, bool& marked, CellSpans& spans) {
#ifdef MORVIK_X86_DISPATCH
  // Run for each of the thousand references of the stock pack on every opening.
  static const bool avx2 = CPU_FEATURE_ACTIVE(AVX2);
  if (avx2) return Avx2CellsValid(cells, marked, spans);
#endif
  return CellsValidSse2(cells, marked, spans);
}

bool CellsValidSse2(const std::uint8_t* cells, bool& marked, CellSpans& spans) {
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
