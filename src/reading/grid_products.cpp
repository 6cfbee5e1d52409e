#include "reading/grid_products.h"

// Not under clang: glibc's <sys/platform/x86.h> uses C's _Bool, which clang refuses in C++.
#if defined(__x86_64__) && defined(__GNUC__) && defined(__GLIBC__) && !defined(__clang__)
#include <immintrin.h>
#include <sys/platform/x86.h>
#define MORVIK_GRID_AVX2 1
#endif

namespace morvik {

namespace {

static_assert(kDetailSize * kDetailSize * 255 * 255 < INT32_MAX, "products overflow 32 bits");
static_assert(kDetailSize * kDetailSize % 16 == 0, "the grid is taken 16 cells at a time");

constexpr std::size_t kCells = kDetailSize * kDetailSize;

void PlainProducts(const DetailGrid& a, const std::uint8_t* grids, std::size_t count,
                   std::int32_t* products) {
  for (std::size_t k = 0; k < count; ++k, grids += kCells) {
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < kCells; ++i)
      sum += static_cast<std::int32_t>(a[i]) * static_cast<std::int32_t>(grids[i]);
    products[k] = sum;
  }
}

#ifdef MORVIK_GRID_AVX2
// Sixteen cells a step, widened to 16 bits: bytes are below 2^15, so the signed pairwise
// multiply-add gives exact 32-bit sums of two products.
__attribute__((target("avx2"))) void Avx2Products(const DetailGrid& a, const std::uint8_t* grids,
                                                  std::size_t count, std::int32_t* products) {
  constexpr std::size_t kSteps = kCells / 16;
  __m256i wide[kSteps];
  for (std::size_t i = 0; i < kSteps; ++i)
    wide[i] =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a.data() + 16 * i)));
  for (std::size_t k = 0; k < count; ++k, grids += kCells) {
    __m256i sum = _mm256_setzero_si256();
    for (std::size_t i = 0; i < kSteps; ++i) {
      const __m256i y =
          _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(grids + 16 * i)));
      sum = _mm256_add_epi32(sum, _mm256_madd_epi16(wide[i], y));
    }
    __m128i s = _mm_add_epi32(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1));
    s = _mm_add_epi32(s, _mm_shuffle_epi32(s, 0x4E));
    s = _mm_add_epi32(s, _mm_shuffle_epi32(s, 0xB1));
    products[k] = _mm_cvtsi128_si32(s);
  }
}
#endif

}  // namespace

// Compared with every reference for every character read: with AVX2 where the processor has
// it. The C library has asked the processor already at start (asking again costs a trap in a
// virtual machine). The sum is of integers, exact in any order.
void GridProductsWithEach(const DetailGrid& a, const std::uint8_t* grids, std::size_t count,
                          std::int32_t* products) {
#ifdef MORVIK_GRID_AVX2
  if (CPU_FEATURE_ACTIVE(AVX2)) return Avx2Products(a, grids, count, products);
#endif
  PlainProducts(a, grids, count, products);
}

std::int32_t GridProducts(const DetailGrid& a, const DetailGrid& b) {
  std::int32_t products = 0;
  GridProductsWithEach(a, b.data(), 1, &products);
  return products;
}

}  // namespace morvik
