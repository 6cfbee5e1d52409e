#include "image/bitmap_to_pattern.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "image/column_maxima.h"
#include "image/grey.h"
#include "image/picture_loading.h"

namespace morvik {

namespace {

// Pixels first..last of block k (1..16) of a side of `size` pixels, clipped to the side; empty
// (last < first) when the block holds no pixel (Trunc(v0 + block - 1) < v0, as for blocks
// below one pixel), or none inside the raster.
struct Span {
  int first, last;
};
Span BlockSpan(double block, int k, int size) {
  // Converting to int truncates toward zero, as Trunc does.
  const int v0 = static_cast<int>((k - 1) * block);
  const int v1 = static_cast<int>(v0 + block - 1);
  return {v0, std::min(v1, size - 1)};
}

// The same block size serves both directions.
double BlockSize(int width, int height) {
  return std::max(width / 16.0, height / 16.0);
}

// Grey rasters are the rule; GreyOf of a grey pixel is its own value.
inline int PixelGrey(const std::uint8_t* px) {
  return (px[0] == px[1] && px[1] == px[2]) ? px[0] : GreyOf(MakeColour(px[2], px[1], px[0]));
}

// Raises best to the greys of the pixels xs of row p.
inline void RowMax(const std::uint8_t* p, Span xs, int& best) {
  for (int x = xs.first; x <= xs.last; ++x) best = std::max(best, PixelGrey(p + 3 * x));
}

// A band's cells from their brightest greys (0..255) as GreyToLevel makes them, for a threshold
// and increment from 0 to 100 (false for others, left to the caller): eight cells a step, the
// level the sum of its steps LevelValues[k] - LevelValues[k - 1] over the indices k the grey
// reaches, (11 g) / 510 >= k where g >= ceil(510 k / 11).
bool SetCells(const int* best, int t, int inc, TPatternCell* cells) {
#if defined(__SSE2__)
  static_assert(sizeof(TPatternCell) == 2 && LevelValues.size() == 6, "Mark, then Level");
  if (t < 0 || t > 100 || inc < 0 || inc > 100) return false;
  const __m128i dark = _mm_set1_epi16(static_cast<short>(255 * t));
  const __m128i raise = _mm_set1_epi16(static_cast<short>((255 * inc) / 100));
  const __m128i white = _mm_set1_epi16(255), hundred = _mm_set1_epi16(100);
  for (int h = 0; h < kGridSize; h += 8) {
    const __m128i g =
        _mm_packs_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(best + h)),
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(best + h + 4)));
    const __m128i lit = _mm_min_epi16(_mm_add_epi16(g, raise), white);
    __m128i level = _mm_setzero_si128();
    for (int k = 1; k <= 5; ++k) {
      const __m128i reaches =
          _mm_cmpgt_epi16(lit, _mm_set1_epi16(static_cast<short>((510 * k + 10) / 11 - 1)));
      level = _mm_add_epi16(
          level, _mm_and_si128(reaches, _mm_set1_epi16(LevelValues[k] - LevelValues[k - 1])));
    }
    level = _mm_andnot_si128(_mm_cmplt_epi16(_mm_mullo_epi16(g, hundred), dark), level);
    const __m128i mark = _mm_srli_epi16(_mm_cmpgt_epi16(level, _mm_setzero_si128()), 15);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(cells + h),
                     _mm_or_si128(mark, _mm_slli_epi16(level, 8)));
  }
  return true;
#else
  (void)best, (void)t, (void)inc, (void)cells;
  return false;
#endif
}

// Every cell's brightest grey, a band of rows at a time so each pixel row is read once, then
// its level. bandMax(ys, xs, best) raises best[c] to the greys of pixels xs[c] of rows ys.
template <typename BandMaxOf>
void SampleBlocks(int width, int height, int t, int inc, BandMaxOf bandMax, TPattern& target) {
  const double block = BlockSize(width, height);
  Span xs[kGridSize];
  for (int c = 1; c <= kGridSize; ++c) xs[c - 1] = BlockSpan(block, c, width);
  for (int r = 1; r <= kGridSize; ++r) {
    int best[kGridSize] = {};
    bandMax(BlockSpan(block, r, height), xs, best);
    if (SetCells(best, t, inc, &target.At(r, 1))) continue;
    for (int c = 1; c <= kGridSize; ++c) {
      const std::uint8_t level = GreyToLevel(best[c - 1], t, inc);
      target.At(r, c) = TPatternCell{static_cast<std::uint8_t>(level > 0 ? 1 : 0), level};
    }
  }
  target.MaxLevel = ComputeMaxLevel(target);
}

}  // namespace

std::uint8_t GreyToLevel(int g, int threshold, int increment) {
  if (100 * g < 255 * threshold) return LevelValues[0];
  AddClamped(g, (255 * increment) / 100, 0, 255);
  return LevelValues[(11 * g) / 510];
}

void SamplePattern(const Bitmap& raster, int t, int inc, TPattern& target) {
  if (raster.Width() == 0) return;
  SampleBlocks(
      raster.Width(), raster.Height(), t, inc,
      [&](Span ys, const Span* xs, int* best) {
        for (int y = ys.first; y <= ys.last; ++y)
          for (int c = 0; c < kGridSize; ++c) RowMax(raster.Row(y), xs[c], best[c]);
      },
      target);
}

void SampleGreyPattern(const std::uint8_t* pixels, int width, int height, int t, int inc,
                       TPattern& target) {
  if (width == 0) return;
  // The band's brightest grey of each column first, whole rows at a time, then of each cell's
  // columns: the same maxima in any order. A character's raster is 64 pixels on its longer
  // side, so its cells are four columns wide, the last ones clipped or empty: its columns are
  // taken in fours, the columns past its width dark.
  static_assert(kGridSize == 16, "sixteen cells of four columns");
  const bool fours = BlockSize(width, height) == 4.0;  // so width is 64 at most
  std::vector<std::uint8_t> columns(static_cast<std::size_t>(fours ? 4 * kGridSize : width));
  SampleBlocks(
      width, height, t, inc,
      [&](Span ys, const Span* xs, int* best) {
        std::fill(columns.begin(), columns.end(), std::uint8_t{0});
        for (int y = ys.first; y <= ys.last; ++y)
          RaiseColumns(columns.data(), pixels + static_cast<std::size_t>(y) * width, width);
        if (fours) return RaiseToFours(columns.data(), best);
        for (int c = 0; c < kGridSize; ++c)
          for (int x = xs[c].first; x <= xs[c].last; ++x)
            best[c] = std::max(best[c], static_cast<int>(columns[x]));
      },
      target);
}

}  // namespace morvik
