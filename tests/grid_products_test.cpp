// The vectorised sum of products of two detail grids against the plain cell-by-cell sum, on
// random grids and on the extremes where a narrower sum would overflow or lose its sign.
#include "reading/grid_products.h"

#include <gtest/gtest.h>

#include <random>

namespace morvik {
namespace {

std::int32_t PlainProducts(const DetailGrid& a, const DetailGrid& b) {
  std::int32_t sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += a[i] * b[i];
  return sum;
}

DetailGrid Filled(std::uint8_t v) {
  DetailGrid g;
  g.fill(v);
  return g;
}

TEST(GridProductsTest, AgreesWithThePlainSumOnExtremes) {
  DetailGrid ramp, comb;
  for (std::size_t i = 0; i < ramp.size(); ++i) {
    ramp[i] = static_cast<std::uint8_t>(i * 7);
    comb[i] = i % 2 ? 255 : 0;
  }
  const DetailGrid grids[] = {Filled(0),   Filled(1), Filled(127), Filled(128),
                              Filled(255), ramp,      comb};
  for (const DetailGrid& a : grids)
    for (const DetailGrid& b : grids) EXPECT_EQ(GridProducts(a, b), PlainProducts(a, b));
  EXPECT_EQ(GridProducts(Filled(255), Filled(255)), 255 * 255 * kDetailSize * kDetailSize);
}

TEST(GridProductsTest, AgreesWithThePlainSumOnRandomGrids) {
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<int> byte(0, 255), cell(0, kDetailSize * kDetailSize - 1);
  for (int n = 0; n < 20000; ++n) {
    DetailGrid a, b;
    for (auto& v : a) v = static_cast<std::uint8_t>(byte(rng));
    for (auto& v : b) v = static_cast<std::uint8_t>(byte(rng));
    // Sparse grids too, like the strokes of a character on black.
    if (n % 3 == 0)
      for (int k = 0; k < 100; ++k) a[static_cast<std::size_t>(cell(rng))] = 0;
    ASSERT_EQ(GridProducts(a, b), PlainProducts(a, b)) << "grid pair " << n;
  }
}

}  // namespace
}  // namespace morvik
