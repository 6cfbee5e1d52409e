#include "reading/character_detail.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "segment/cut.h"

namespace morvik {

namespace {

constexpr int kN = kDetailSize;

// Weight of a proportion ratio: a box twice as wide for its height as the other costs 0.35,
// about what tells 'I' from 'l' with a serif or '0' from 'O' apart.
constexpr long double kAspectWeight = 0.5L;

// Overlap of source pixel i, spanning [i*n, (i+1)*n), with grid cell j, spanning
// [j*len, (j+1)*len), in units of 1/n source pixel.
long Overlap(int i, int j, int len, int n) {
  const long lo = std::max<long>(static_cast<long>(i) * n, static_cast<long>(j) * len);
  const long hi = std::min<long>(static_cast<long>(i + 1) * n, static_cast<long>(j + 1) * len);
  return std::max<long>(0, hi - lo);
}

}  // namespace

CharacterDetail DetailOf(const Bitmap& cut) {
  CharacterDetail d;
  const int w = cut.Width() - 2 * kCutMargin, h = cut.Height() - 2 * kCutMargin;
  if (w <= 0 || h <= 0) return d;
  d.Valid = true;
  d.InkWidth = static_cast<std::uint16_t>(std::min(w, 0xFFFF));
  d.InkHeight = static_cast<std::uint16_t>(std::min(h, 0xFFFF));
  // Sums per grid row of the source rows' contributions, column by column (separable).
  std::vector<std::int64_t> rows(static_cast<std::size_t>(kN) * w, 0);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* p = cut.Row(y + kCutMargin) + 3 * kCutMargin;
    const int j0 = y * kN / h, j1 = std::min(kN - 1, ((y + 1) * kN - 1) / h);
    for (int j = j0; j <= j1; ++j) {
      const long wy = Overlap(y, j, h, kN);
      for (int x = 0; x < w; ++x) rows[static_cast<std::size_t>(j) * w + x] += wy * p[3 * x + 1];
    }
  }
  const std::int64_t area = static_cast<std::int64_t>(w) * h;
  for (int j = 0; j < kN; ++j)
    for (int i = 0; i < kN; ++i) {
      std::int64_t sum = 0;
      const int x0 = i * w / kN, x1 = std::min(w - 1, ((i + 1) * w - 1) / kN);
      for (int x = x0; x <= x1; ++x)
        sum += Overlap(x, i, w, kN) * rows[static_cast<std::size_t>(j) * w + x];
      d.Grid[static_cast<std::size_t>(j) * kN + i] = static_cast<std::uint8_t>(sum / area);
    }
  return d;
}

double DetailSimilarity(const CharacterDetail& a, const CharacterDetail& b) {
  std::int64_t sa = 0, sb = 0, sab = 0, saa = 0, sbb = 0;
  for (std::size_t i = 0; i < a.Grid.size(); ++i) {
    const std::int64_t x = a.Grid[i], y = b.Grid[i];
    sa += x;
    sb += y;
    sab += x * y;
    saa += x * x;
    sbb += y * y;
  }
  const std::int64_t n = static_cast<std::int64_t>(a.Grid.size());
  const std::int64_t cov = n * sab - sa * sb, va = n * saa - sa * sa, vb = n * sbb - sb * sb;
  long double corr = 0;
  if (va > 0 && vb > 0)
    corr = static_cast<long double>(cov) /
           (std::sqrt(static_cast<long double>(va)) * std::sqrt(static_cast<long double>(vb)));
  const long double ra = static_cast<long double>(a.InkWidth) * b.InkHeight;
  const long double rb = static_cast<long double>(b.InkWidth) * a.InkHeight;
  const long double aspect = (ra > 0 && rb > 0) ? std::fabs(std::log(ra / rb)) : 0.0L;
  return static_cast<double>(corr - kAspectWeight * aspect);
}

}  // namespace morvik
