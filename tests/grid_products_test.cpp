// The sum of products of two detail grids against a reference that shares no step with it
// (the polarisation identity over squares, in 64 bits), on random grids and on the extremes
// where a narrower sum would overflow or lose its sign.
#include "reading/grid_products.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace morvik {
namespace {

// 2 ab = (a + b)^2 - a^2 - b^2, summed over the cells.
std::int64_t ProductsFromSquares(const DetailGrid& a, const DetailGrid& b) {
  std::int64_t squares = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::int64_t x = a[i], y = b[i];
    squares += (x + y) * (x + y) - x * x - y * y;
  }
  return squares / 2;
}

DetailGrid Filled(std::uint8_t v) {
  DetailGrid g;
  g.fill(v);
  return g;
}

// Every way of taking the products this processor has (the fastest is the one reading takes).
std::vector<ProductsPath> Paths() {
  std::vector<ProductsPath> paths;
  for (const ProductsPath p :
       {ProductsPath::kPlain, ProductsPath::kAvx2, ProductsPath::kVnni, ProductsPath::kAvx512Vnni})
    if (HasProductsPath(p)) paths.push_back(p);
  return paths;
}

TEST(GridProductsTest, AgreesWithTheSquaresOnExtremes) {
  DetailGrid ramp, comb;
  for (std::size_t i = 0; i < ramp.size(); ++i) {
    ramp[i] = static_cast<std::uint8_t>(i * 7);
    comb[i] = i % 2 ? 255 : 0;
  }
  const DetailGrid grids[] = {Filled(0),   Filled(1), Filled(127), Filled(128),
                              Filled(255), ramp,      comb};
  for (const DetailGrid& a : grids)
    for (const DetailGrid& b : grids) EXPECT_EQ(GridProducts(a, b), ProductsFromSquares(a, b));
  EXPECT_EQ(GridProducts(Filled(255), Filled(255)), 255 * 255 * kDetailSize * kDetailSize);
  // The same extremes eight grids at a time, as the widest vectors take them.
  std::vector<const std::uint8_t*> list;
  for (const DetailGrid& b : grids) list.push_back(b.data());
  list.push_back(grids[4].data());
  const std::size_t count = list.size();
  for (const ProductsPath path : Paths())
    for (const DetailGrid& a : grids) {
      std::vector<std::int32_t> products(count);
      GridProductsWithEachBy(path, a, list.data(), count, products.data());
      for (std::size_t k = 0; k < count; ++k)
        EXPECT_EQ(products[k], ProductsFromSquares(a, k < 7 ? grids[k] : grids[4]))
            << "path " << static_cast<int>(path) << ", grid " << k;
    }
}

TEST(GridProductsTest, AgreesWithTheSquaresOnRandomGrids) {
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<int> byte(0, 255), cell(0, kDetailSize * kDetailSize - 1);
  for (int n = 0; n < 20000; ++n) {
    DetailGrid a, b;
    for (auto& v : a) v = static_cast<std::uint8_t>(byte(rng));
    for (auto& v : b) v = static_cast<std::uint8_t>(byte(rng));
    // Sparse grids too, like the strokes of a character on black.
    if (n % 3 == 0)
      for (int k = 0; k < 100; ++k) a[static_cast<std::size_t>(cell(rng))] = 0;
    ASSERT_EQ(GridProducts(a, b), ProductsFromSquares(a, b)) << "grid pair " << n;
  }
}

// Against many grids at once, the counts around the vector steps and the empty batch, the
// grids read from odd addresses and in no order.
TEST(GridProductsTest, EachOfManyGridsAgreesWithTheSquares) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(0, 255);
  DetailGrid a;
  for (auto& v : a) v = static_cast<std::uint8_t>(byte(rng));
  constexpr std::size_t kCells = kDetailSize * kDetailSize;
  for (const ProductsPath path : Paths())
    for (const std::size_t count : {0, 1, 2, 7, 8, 9, 65}) {
      std::vector<std::uint8_t> block(1 + count * kCells);
      for (auto& v : block) v = static_cast<std::uint8_t>(byte(rng));
      std::vector<const std::uint8_t*> list;
      for (std::size_t k = count; k-- > 0;) list.push_back(block.data() + 1 + k * kCells);
      std::vector<std::int32_t> products(count + 1, -1);
      GridProductsWithEachBy(path, a, list.data(), count, products.data());
      for (std::size_t k = 0; k < count; ++k) {
        DetailGrid b;
        std::copy_n(list[k], kCells, b.begin());
        ASSERT_EQ(products[k], ProductsFromSquares(a, b))
            << "path " << static_cast<int>(path) << ", " << count << " grids, grid " << k;
      }
      EXPECT_EQ(products[count], -1) << "written past " << count << " grids";
    }
}

}  // namespace
}  // namespace morvik
