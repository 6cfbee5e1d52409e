// Area resampling of a character's box: the faster column-first pass against the plain
// definition (each target pixel the rounded, area-weighted mean of the source pixels it covers).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "segment/cut.h"

namespace morvik {
namespace {

// The definition, pixel by pixel: source pixel s spans [s m, (s + 1) m) and target pixel t
// spans [t n, (t + 1) n) in units of 1/(n m), on each axis.
Bitmap ScaledByDefinition(const GreyImage& grey, const CharBox& box, bool darkOnLight, int side) {
  const int left = std::clamp(box.Left, 0, grey.Width);
  const int top = std::clamp(box.Top, 0, grey.Height);
  const int w = std::clamp(box.Left + std::max(box.Width, 0), left, grey.Width) - left;
  const int h = std::clamp(box.Top + std::max(box.Height, 0), top, grey.Height) - top;
  if (w == 0 || h == 0 || side < 1) return Bitmap(2 * kCutMargin, 2 * kCutMargin);
  const int longer = std::max(w, h);
  const int tw = std::max(1, static_cast<int>((std::int64_t{w} * side + longer / 2) / longer));
  const int th = std::max(1, static_cast<int>((std::int64_t{h} * side + longer / 2) / longer));
  auto overlap = [](std::int64_t s, std::int64_t t, std::int64_t n, std::int64_t m) {
    return std::max<std::int64_t>(0, std::min((s + 1) * m, (t + 1) * n) - std::max(s * m, t * n));
  };
  Bitmap out(tw + 2 * kCutMargin, th + 2 * kCutMargin);
  for (int ty = 0; ty < th; ++ty)
    for (int tx = 0; tx < tw; ++tx) {
      // Only the source pixels whose spans can meet the target's (the others weigh 0).
      const int y0 = ty * h / th, y1 = std::min(h, ((ty + 1) * h + th - 1) / th);
      const int x0 = tx * w / tw, x1 = std::min(w, ((tx + 1) * w + tw - 1) / tw);
      std::int64_t sum = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
          sum += overlap(y, ty, h, th) * overlap(x, tx, w, tw) * grey.At(left + x, top + y);
      const std::int64_t total = std::int64_t{w} * h;
      const int g = static_cast<int>((sum + total / 2) / total);
      const int v = darkOnLight ? 255 - g : g;
      out.SetPixel(tx + kCutMargin, ty + kCutMargin, MakeColour(v, v, v));
    }
  return out;
}

TEST(CutScaled, EqualsTheAreaMeanOfEveryTargetPixel) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 300; ++round) {
    GreyImage g;
    g.Width = 1 + static_cast<int>(random() % 90);
    g.Height = 1 + static_cast<int>(random() % 90);
    g.Pixels.resize(static_cast<std::size_t>(g.Width) * g.Height);
    for (std::uint8_t& p : g.Pixels) p = static_cast<std::uint8_t>(random() % 256);
    // Boxes inside, across the edges and outside the picture; sides from 1 to above 64.
    const CharBox box{static_cast<int>(random() % 100) - 5,
                      static_cast<int>(random() % 100) - 5,
                      static_cast<int>(random() % 100),
                      static_cast<int>(random() % 100),
                      false,
                      false};
    const bool dark = random() % 2 == 0;
    // Each box again at the side before it and at another: the weights made for one cut are
    // kept for the next of the same sizes.
    const int first = 1 + static_cast<int>(random() % 80);
    for (const int side : {first, first, first + 1, first})
      ASSERT_EQ(CutCharacterScaled(g, box, dark, side), ScaledByDefinition(g, box, dark, side))
          << "round " << round << ": box " << box.Left << "," << box.Top << " " << box.Width << "x"
          << box.Height << " side " << side;
  }
}

// The weights made for a width are kept while cuts of ever new heights pass, as on a page of
// one typeface: making those of each new height must not overwrite the width's in use.
TEST(CutScaled, KeepsAWidthWhileNewHeightsPass) {
  std::mt19937 random(9);
  GreyImage g{120, 120, std::vector<std::uint8_t>(120 * 120)};
  for (std::uint8_t& p : g.Pixels) p = static_cast<std::uint8_t>(random() % 256);
  for (int height = 40; height <= 110; ++height) {
    const CharBox box{3, 2, 100, height, false, false};
    ASSERT_EQ(CutCharacterScaled(g, box, false, 64), ScaledByDefinition(g, box, false, 64))
        << "height " << height;
  }
}

// The mean by the reciprocal against the division, at every rounding edge (just below, at and
// above each half) of many box areas, from one pixel to pictures far larger than any cut.
TEST(CutScaledTest, RoundedMeanIsTheRoundedDivision) {
  std::mt19937_64 rng(7);
  std::vector<std::int64_t> totals = {1,    2,     3,       7,         64,
                                      4096, 65535, 1000003, 1LL << 31, 46341LL * 46341};
  std::uniform_int_distribution<std::int64_t> area(1, 1LL << 34);
  for (int n = 0; n < 2000; ++n) totals.push_back(area(rng));
  for (const std::int64_t total : totals) {
    const MeanDivisor divisor = MeanDivisorOf(total);
    for (std::int64_t q = 0; q <= 255; ++q)
      for (const std::int64_t edge : {q * total - total / 2 - 1, q * total - total / 2,
                                      q * total + total / 2 - 1, q * total + total / 2}) {
        const std::int64_t sum = std::clamp<std::int64_t>(edge, 0, 255 * total);
        ASSERT_EQ(RoundedMean(sum, divisor), (sum + total / 2) / total) << sum << " / " << total;
      }
  }
}

}  // namespace
}  // namespace morvik
