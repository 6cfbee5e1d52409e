#include "reading/character_detail.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "image/last_lanes.h"
#include "image/same_bytes.h"
#include "reading/grid_products.h"
#include "segment/cut.h"

namespace morvik {

namespace {

constexpr int kN = kDetailSize;

// Overlap of source pixels [from, to), spanning [from*n, to*n), with grid cell j, spanning
// [j*len, (j+1)*len), in units of 1/n source pixel.
long Overlap(int from, int to, int j, int len, int n) {
  const long lo = std::max<long>(static_cast<long>(from) * n, static_cast<long>(j) * len);
  const long hi = std::min<long>(static_cast<long>(to) * n, static_cast<long>(j + 1) * len);
  return std::max<long>(0, hi - lo);
}

// The same for source pixel i alone.
long Overlap(int i, int j, int len, int n) {
  return Overlap(i, i + 1, j, len, n);
}

// Smooths the grid with the kernel 1 2 1 across and down (edges repeated), so that strokes a
// cell apart in two typefaces still overlap.
void Blur(std::array<std::uint8_t, kN * kN>& grid) {
  std::array<int, kN * kN> across{};
  for (int y = 0; y < kN; ++y)
    for (int x = 0; x < kN; ++x) {
      const int l = grid[y * kN + std::max(x - 1, 0)], r = grid[y * kN + std::min(x + 1, kN - 1)];
      across[y * kN + x] = l + 2 * grid[y * kN + x] + r;
    }
  for (int y = 0; y < kN; ++y)
    for (int x = 0; x < kN; ++x) {
      const int u = across[std::max(y - 1, 0) * kN + x],
                d = across[std::min(y + 1, kN - 1) * kN + x];
      grid[y * kN + x] = static_cast<std::uint8_t>((u + 2 * across[y * kN + x] + d + 8) / 16);
    }
}

}  // namespace

namespace {

// Whether source rows a and b hold the same greys.
template <int Step, typename RowOf>
bool SameRow(int w, RowOf row, int a, int b) {
  if (Step == 1) return SameBytes(row(a), row(b), static_cast<std::size_t>(w));
  const std::uint8_t *p = row(a), *q = row(b);
  for (int x = 0; x < w; ++x)
    if (p[Step * x] != q[Step * x]) return false;
  return true;
}

// sums[0 .. w) += weight x row[0 .. w) in 16 bits, sixteen pixels a step; the last step
// takes the row's last sixteen with those added already masked to 0. Cuts are a few dozen
// pixels wide, so a tail one by one would cost as much as the rest.
void AddWeighted(std::uint16_t* sums, const std::uint8_t* row, std::uint16_t weight, int w) {
  int x = 0;
#if defined(__SSE2__)
  if (w >= 16) {
    const __m128i weights = _mm_set1_epi16(static_cast<short>(weight)), zero = _mm_setzero_si128();
    const auto step = [&](int at, __m128i keep) {
      const __m128i px =
          _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + at)), keep);
      auto* s = reinterpret_cast<__m128i*>(sums + at);
      _mm_storeu_si128(s, _mm_add_epi16(_mm_loadu_si128(s),
                                        _mm_mullo_epi16(_mm_unpacklo_epi8(px, zero), weights)));
      _mm_storeu_si128(s + 1, _mm_add_epi16(_mm_loadu_si128(s + 1),
                                            _mm_mullo_epi16(_mm_unpackhi_epi8(px, zero), weights)));
    };
    for (; x + 16 <= w; x += 16) step(x, _mm_set1_epi8(-1));
    if (x < w) step(w - 16, LastLanes(w - x));
    return;
  }
#endif
  for (; x < w; ++x) sums[x] = static_cast<std::uint16_t>(sums[x] + weight * row[x]);
}

// Sums per grid row of the source rows' contributions, column by column (separable): row j
// holds the sum over source rows y of overlap(y, j) x grey. A grid row's overlaps add up to
// h, so Acc needs to hold 255 h. A run of equal source rows (an enlarged cut repeats each
// row) is added once per grid row with the run's overlaps summed: the same integers.
template <typename Acc, int Step, typename RowOf>
std::vector<Acc> GridRowSums(int w, int h, RowOf row) {
  std::vector<Acc> rows(static_cast<std::size_t>(kN) * w, 0);
  std::array<long, kN> weight{};
  for (int y = 0; y < h;) {
    int end = y + 1;
    while (end < h && SameRow<Step>(w, row, y, end)) ++end;
    const int j0 = y * kN / h, j1 = std::min(kN - 1, (end * kN - 1) / h);
    // The run's rows tile [y kN, end kN), so their overlaps with grid row j add up to that
    // span's overlap with it.
    for (int j = j0; j <= j1; ++j) weight[j] = Overlap(y, end, j, h, kN);
    const std::uint8_t* p = row(y);
    for (int j = j0; j <= j1; ++j) {
      const Acc wy = static_cast<Acc>(weight[j]);
      Acc* sums = rows.data() + static_cast<std::size_t>(j) * w;
      if constexpr (Step == 1 && std::is_same<Acc, std::uint16_t>::value) {
        AddWeighted(sums, p, wy, w);
        continue;
      }
      for (int x = 0; x < w; ++x) sums[x] = static_cast<Acc>(sums[x] + wy * p[Step * x]);
    }
    y = end;
  }
  return rows;
}

// The detail of a w x h ink box whose row y starts at row(y), one grey every Step bytes.
template <int Step, typename Acc, typename RowOf>
CharacterDetail DetailOfBox(int w, int h, RowOf row, std::uint16_t height) {
  CharacterDetail d;
  d.Height = height;
  if (w <= 0 || h <= 0) return d;
  d.Valid = true;
  d.InkWidth = static_cast<std::uint16_t>(std::min(w, 0xFFFF));
  d.InkHeight = static_cast<std::uint16_t>(std::min(h, 0xFFFF));
  const std::vector<Acc> rows = GridRowSums<Acc, Step>(w, h, row);
  // Every cell's mean by the reciprocal of the area: a division per cell costs more.
  const MeanDivisor area = MeanDivisorOf(static_cast<std::int64_t>(w) * h);
  // The columns each grid column covers and their overlaps, the same for every grid row.
  std::array<int, kN> x0, x1;
  for (int i = 0; i < kN; ++i) {
    x0[i] = i * w / kN;
    x1[i] = std::min(w - 1, ((i + 1) * w - 1) / kN);
  }
  const auto put = [&](int j, int i, std::int64_t sum) {
    d.Grid[static_cast<std::size_t>(j) * kN + i] =
        static_cast<std::uint8_t>(FlooredQuotient(static_cast<std::uint64_t>(sum), area));
  };
  if (w >= kN) {
    // A cell at least a column wide: the columns strictly inside it lie in it whole (overlap
    // kN), so they are summed as they are; only its first and last columns are weighed. The
    // same integers in another order.
    std::array<std::int64_t, kN> first, last;
    for (int i = 0; i < kN; ++i) {
      first[i] = Overlap(x0[i], i, w, kN);
      last[i] = Overlap(x1[i], i, w, kN);
    }
    for (int j = 0; j < kN; ++j) {
      const Acc* sums = rows.data() + static_cast<std::size_t>(j) * w;
      for (int i = 0; i < kN; ++i) {
        std::int64_t sum = first[i] * sums[x0[i]];
        if (x1[i] > x0[i]) {
          std::int64_t inside = 0;
          for (int x = x0[i] + 1; x < x1[i]; ++x) inside += sums[x];
          sum += last[i] * sums[x1[i]] + kN * inside;
        }
        put(j, i, sum);
      }
    }
  } else {
    std::vector<std::int64_t> weights;
    weights.reserve(static_cast<std::size_t>(w) + kN);
    for (int i = 0; i < kN; ++i)
      for (int x = x0[i]; x <= x1[i]; ++x) weights.push_back(Overlap(x, i, w, kN));
    for (int j = 0; j < kN; ++j) {
      const Acc* sums = rows.data() + static_cast<std::size_t>(j) * w;
      const std::int64_t* weight = weights.data();
      for (int i = 0; i < kN; ++i) {
        std::int64_t sum = 0;
        for (int x = x0[i]; x <= x1[i]; ++x) sum += *weight++ * std::int64_t{sums[x]};
        put(j, i, sum);
      }
    }
  }
  Blur(d.Grid);
  CompleteDetail(d);
  return d;
}

// The narrowest sums that hold 255 h, which the compiler adds the more at a time: 16 bits for
// the cuts of the reading path (at most 64 rows), whose overlaps (at most kN) times a grey
// fit 16 bits as well.
template <int Step, typename RowOf>
CharacterDetail DetailOfAnyBox(int w, int h, RowOf row, std::uint16_t height) {
  if (h <= UINT16_MAX / 255) return DetailOfBox<Step, std::uint16_t>(w, h, row, height);
  if (h <= INT32_MAX / 255) return DetailOfBox<Step, std::int32_t>(w, h, row, height);
  return DetailOfBox<Step, std::int64_t>(w, h, row, height);
}

}  // namespace

CharacterDetail DetailOf(const Bitmap& cut, std::uint16_t height) {
  // The green channel of the pixels inside the margins.
  return DetailOfAnyBox<3>(
      cut.Width() - 2 * kCutMargin, cut.Height() - 2 * kCutMargin,
      [&](int y) { return cut.Row(y + kCutMargin) + 3 * kCutMargin + 1; }, height);
}

CharacterDetail DetailOf(const GreyImage& cut, std::uint16_t height) {
  return DetailOfAnyBox<1>(
      cut.Width, cut.Height,
      [&](int y) { return cut.Pixels.data() + static_cast<std::size_t>(y) * cut.Width; }, height);
}

double DetailSimilarity(const CharacterDetail& a, const CharacterDetail& b) {
  return DetailSimilarity(a, b, DetailPenalty(a, b));
}

double DetailSimilarity(const CharacterDetail& a, const CharacterDetail& b, long double penalty) {
  return DetailLikeness(a, b, GridProducts(a.Grid, b.Grid), penalty);
}

double DetailLikeness(const CharacterDetail& a, const CharacterDetail& b, std::int32_t products,
                      long double penalty) {
  const std::int64_t n = static_cast<std::int64_t>(a.Grid.size());
  const std::int64_t cov = n * products - a.Sum * b.Sum;
  // Multiplied by the stored inverses: a division per reference would cost more than the sum.
  // Two solid boxes are alike in everything but their proportions; a solid box and a shape
  // are not.
  const bool flatA = a.InvNorm == 0, flatB = b.InvNorm == 0;
  const long double corr = flatA || flatB ? (flatA && flatB ? 1.0L : 0.0L)
                                          : static_cast<long double>(cov) * a.InvNorm * b.InvNorm;
  return static_cast<double>(corr - penalty);
}

double DetailSimilarityBound(const CharacterDetail& a, const CharacterDetail& b) {
  return DetailSimilarityBound(DetailPenalty(a, b));
}

}  // namespace morvik
