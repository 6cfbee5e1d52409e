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

std::int32_t PlainProducts(const DetailGrid& a, const DetailGrid& b) {
  std::int32_t products = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    products += static_cast<std::int32_t>(a[i]) * static_cast<std::int32_t>(b[i]);
  return products;
}

#ifdef MORVIK_GRID_AVX2
// Sixteen cells a step, widened to 16 bits: bytes are below 2^15, so the signed pairwise
// multiply-add gives exact 32-bit sums of two products.
__attribute__((target("avx2"))) std::int32_t Avx2Products(const DetailGrid& a,
                                                          const DetailGrid& b) {
  __m256i sum = _mm256_setzero_si256();
  for (std::size_t i = 0; i < a.size(); i += 16) {
    const __m256i x =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a.data() + i)));
    const __m256i y =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b.data() + i)));
    sum = _mm256_add_epi32(sum, _mm256_madd_epi16(x, y));
  }
  __m128i s = _mm_add_epi32(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1));
  s = _mm_add_epi32(s, _mm_shuffle_epi32(s, 0x4E));
  s = _mm_add_epi32(s, _mm_shuffle_epi32(s, 0xB1));
  return _mm_cvtsi128_si32(s);
}
#endif

}  // namespace

// Compared with every reference for every character read: with AVX2 where the processor has
// it. The C library has asked the processor already at start (asking again costs a trap in a
// virtual machine). The sum is of integers, exact in any order.
std::int32_t GridProducts(const DetailGrid& a, const DetailGrid& b) {
#ifdef MORVIK_GRID_AVX2
  if (CPU_FEATURE_ACTIVE(AVX2)) return Avx2Products(a, b);
#endif
  return PlainProducts(a, b);
}

}  // namespace morvik
