// The sum of products of two detail grids, cell by cell: the one sum of the detail comparison
// that depends on both grids, taken with the widest vectors the processor has.
#pragma once

#include <cstdint>

#include "library/set_detail.h"

namespace morvik {

using DetailGrid = std::array<std::uint8_t, kDetailSize * kDetailSize>;

// Exact in 32 bits: kDetailSize^2 products of bytes stay below 2^31.
std::int32_t GridProducts(const DetailGrid& a, const DetailGrid& b);

// The same of `a` with each of the `count` grids grids[0 .. count) point at (each
// kDetailSize^2 bytes, no alignment asked), into products[0 .. count): `a` is widened once
// for all of them.
void GridProductsWithEach(const DetailGrid& a, const std::uint8_t* const* grids, std::size_t count,
                          std::int32_t* products);

// The ways of taking the products, each exact: the plain loop, and vector steps of AVX2, of
// AVX-VNNI and of AVX-512 VNNI. GridProductsWithEach takes the fastest the processor has;
// the others are there for checking each against the same references.
enum class ProductsPath { kPlain, kAvx2, kVnni, kAvx512Vnni };
bool HasProductsPath(ProductsPath path);
// GridProductsWithEach by `path`, which the processor must have.
void GridProductsWithEachBy(ProductsPath path, const DetailGrid& a,
                            const std::uint8_t* const* grids, std::size_t count,
                            std::int32_t* products);

}  // namespace morvik
