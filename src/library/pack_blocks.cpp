#include "library/pack_blocks.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvik {

static_assert(kPackGridBytes % 16 == 0 && kPackCellBytes % 16 == 0, "whole blocks of 16");

std::int64_t GridSumPlain(const std::uint8_t* grid) {
  std::int64_t sum = 0;
  for (std::size_t k = 0; k < kPackGridBytes; ++k) sum += grid[k];
  return sum;
}

bool CellsValidPlain(const std::uint8_t* cells, bool& marked) {
  bool good = true;
  for (std::size_t k = 0; k < kPackCellBytes; k += 2) {
    good = good && cells[k] <= 1 && cells[k + 1] <= 100;
    marked = marked || cells[k] != 0;
  }
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

bool CellsValid(const std::uint8_t* cells, bool& marked) {
  // A byte is within its limit when the larger of it and the limit is the limit.
  const __m128i limits = _mm_set1_epi16(static_cast<short>(1 | (100 << 8)));
  __m128i good = _mm_set1_epi8(-1), marks = _mm_setzero_si128();
  for (std::size_t k = 0; k < kPackCellBytes; k += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + k));
    good = _mm_and_si128(good, _mm_cmpeq_epi8(_mm_max_epu8(v, limits), limits));
    marks = _mm_or_si128(marks, v);
  }
  const int markBytes = _mm_movemask_epi8(
      _mm_cmpeq_epi8(_mm_and_si128(marks, _mm_set1_epi16(0xFF)), _mm_setzero_si128()));
  marked = marked || markBytes != 0xFFFF;
  return _mm_movemask_epi8(good) == 0xFFFF;
}

#else

std::int64_t GridSum(const std::uint8_t* grid) {
  return GridSumPlain(grid);
}
bool CellsValid(const std::uint8_t* cells, bool& marked) {
  return CellsValidPlain(cells, marked);
}

#endif

}  // namespace morvik
