#include "reading/grid_products.h"

#include "core/x86_dispatch.h"

namespace morvik {

namespace {

static_assert(kDetailSize * kDetailSize * 255 * 255 < INT32_MAX, "products overflow 32 bits");
static_assert(kDetailSize * kDetailSize % 16 == 0, "the grid is taken 16 cells at a time");

constexpr std::size_t kCells = kDetailSize * kDetailSize;

void PlainProducts(const DetailGrid& a, const std::uint8_t* const* grids, std::size_t count,
                   std::int32_t* products) {
  for (std::size_t k = 0; k < count; ++k) {
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < kCells; ++i)
      sum += static_cast<std::int32_t>(a[i]) * static_cast<std::int32_t>(grids[k][i]);
    products[k] = sum;
  }
}

#ifdef MORVIK_X86_DISPATCH
// The eight lanes of each of eight sums added up, in order: one reduction for eight
// references instead of eight.
__attribute__((target("avx2"))) inline __m256i SumEachOfEight(const __m256i (&s)[8]) {
  const __m256i h0 =
      _mm256_hadd_epi32(_mm256_hadd_epi32(s[0], s[1]), _mm256_hadd_epi32(s[2], s[3]));
  const __m256i h1 =
      _mm256_hadd_epi32(_mm256_hadd_epi32(s[4], s[5]), _mm256_hadd_epi32(s[6], s[7]));
  return _mm256_add_epi32(_mm256_permute2x128_si256(h0, h1, 0x20),
                          _mm256_permute2x128_si256(h0, h1, 0x31));
}

__attribute__((target("avx2"))) inline __m256i Widened(const std::uint8_t* cells) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cells)));
}

__attribute__((target("avx2"))) inline std::int32_t SumOfLanes(__m256i sum) {
  __m128i s = _mm_add_epi32(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1));
  s = _mm_add_epi32(s, _mm_shuffle_epi32(s, 0x4E));
  s = _mm_add_epi32(s, _mm_shuffle_epi32(s, 0xB1));
  return _mm_cvtsi128_si32(s);
}

// Sixteen cells a step, widened to 16 bits: bytes are below 2^15, so the signed pairwise
// multiply-add gives exact 32-bit sums of two products. (Taking several references a pass
// saves nothing here: the cut's nine steps and the sums outgrow the sixteen registers.)
constexpr std::size_t kAvx2Steps = kCells / 16;

__attribute__((target("avx2"))) inline __m256i Avx2Sums(const __m256i (&wide)[kAvx2Steps],
                                                        const std::uint8_t* grid) {
  __m256i sum = _mm256_setzero_si256();
  for (std::size_t i = 0; i < kAvx2Steps; ++i)
    sum = _mm256_add_epi32(sum, _mm256_madd_epi16(wide[i], Widened(grid + 16 * i)));
  return sum;
}

// Each reference's lane sums are kept aside and reduced eight references at a time.
__attribute__((target("avx2"))) void Avx2Products(const DetailGrid& a,
                                                  const std::uint8_t* const* grids,
                                                  std::size_t count, std::int32_t* products) {
  __m256i wide[kAvx2Steps];
  for (std::size_t i = 0; i < kAvx2Steps; ++i) wide[i] = Widened(a.data() + 16 * i);
  std::size_t k = 0;
  for (; k + 8 <= count; k += 8) {
    __m256i s[8];
    for (std::size_t j = 0; j < 8; ++j) s[j] = Avx2Sums(wide, grids[k + j]);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(products + k), SumEachOfEight(s));
  }
  for (; k < count; ++k) products[k] = SumOfLanes(Avx2Sums(wide, grids[k]));
}

// Thirty-two cells a step, four byte products to each 32-bit sum. The dot product instruction
// takes one side signed, so each reference byte b is read as the signed b - 128 (its top bit
// flipped) and 128 times the sum of the cut's cells is added back: every partial sum stays
// within 32 bits, so the result is exact. The last step reads cells 112..143 with the cut's
// first half zeroed, so nothing is read past a grid.
static_assert(kCells == 144, "the steps below cover a 12 x 12 grid");

struct VnniCut {
  __m256i Steps[5];
  std::int32_t Shift;  // 128 times the sum of the cut's cells
};

__attribute__((target("avx2"))) inline VnniCut VnniCutOf(const DetailGrid& a) {
  VnniCut cut;
  std::int32_t total = 0;
  for (const std::uint8_t v : a) total += v;
  cut.Shift = 128 * total;
  for (std::size_t i = 0; i < 4; ++i)
    cut.Steps[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a.data() + 32 * i));
  cut.Steps[4] = _mm256_inserti128_si256(
      _mm256_setzero_si256(), _mm_loadu_si128(reinterpret_cast<const __m128i*>(a.data() + 128)), 1);
  return cut;
}

// The sums of one grid and the products of all, for each encoding of the dot product: VEX
// (AVX-VNNI) and EVEX on 256 bits (AVX-512 VNNI with VL, which processors without AVX-VNNI
// have). Stamped from one text, since only the target and the instruction differ and each
// must be compiled for its own target.
#define MORVIK_DOT_PRODUCTS(Name, Target, Dot)                                                     \
  __attribute__((target(Target))) inline __m256i Name##Sums(const VnniCut& cut,                    \
                                                            const std::uint8_t* grid) {            \
    static constexpr std::size_t kAt[5] = {0, 32, 64, 96, 112};                                    \
    const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80));                                \
    __m256i sum = _mm256_setzero_si256();                                                          \
    _Pragma("GCC unroll 5") for (std::size_t i = 0; i < 5; ++i) {                                  \
      const __m256i b = _mm256_xor_si256(                                                          \
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(grid + kAt[i])), flip);              \
      sum = Dot(sum, cut.Steps[i], b);                                                             \
    }                                                                                              \
    return sum;                                                                                    \
  }                                                                                                \
  __attribute__((target(Target))) void Name##Products(const DetailGrid& a,                         \
                                                      const std::uint8_t* const* grids,            \
                                                      std::size_t count, std::int32_t* products) { \
    const VnniCut cut = VnniCutOf(a);                                                              \
    const __m256i shift = _mm256_set1_epi32(cut.Shift);                                            \
    std::size_t k = 0;                                                                             \
    for (; k + 8 <= count; k += 8) {                                                               \
      __m256i s[8];                                                                                \
      _Pragma("GCC unroll 8") for (std::size_t j = 0; j < 8; ++j) s[j] =                           \
          Name##Sums(cut, grids[k + j]);                                                           \
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(products + k),                                \
                          _mm256_add_epi32(SumEachOfEight(s), shift));                             \
    }                                                                                              \
    for (; k < count; ++k) products[k] = SumOfLanes(Name##Sums(cut, grids[k])) + cut.Shift;        \
  }

MORVIK_DOT_PRODUCTS(Vnni, "avx2,avxvnni", _mm256_dpbusd_avx_epi32)
MORVIK_DOT_PRODUCTS(Avx512Vnni, "avx2,avx512f,avx512vl,avx512vnni", _mm256_dpbusd_epi32)
#undef MORVIK_DOT_PRODUCTS
#endif

}  // namespace

bool HasProductsPath(ProductsPath path) {
#ifdef MORVIK_X86_DISPATCH
  switch (path) {
    case ProductsPath::kPlain:
      return true;
    case ProductsPath::kAvx2:
      return CPU_FEATURE_ACTIVE(AVX2);
    case ProductsPath::kVnni:
      return CPU_FEATURE_ACTIVE(AVX2) && CPU_FEATURE_ACTIVE(AVX_VNNI);
    case ProductsPath::kAvx512Vnni:
      return CPU_FEATURE_ACTIVE(AVX2) && CPU_FEATURE_ACTIVE(AVX512F) &&
             CPU_FEATURE_ACTIVE(AVX512VL) && CPU_FEATURE_ACTIVE(AVX512_VNNI);
  }
  return false;
#else
  return path == ProductsPath::kPlain;
#endif
}

void GridProductsWithEachBy(ProductsPath path, const DetailGrid& a,
                            const std::uint8_t* const* grids, std::size_t count,
                            std::int32_t* products) {
#ifdef MORVIK_X86_DISPATCH
  switch (path) {
    case ProductsPath::kPlain:
      break;
    case ProductsPath::kAvx2:
      return Avx2Products(a, grids, count, products);
    case ProductsPath::kVnni:
      return VnniProducts(a, grids, count, products);
    case ProductsPath::kAvx512Vnni:
      return Avx512VnniProducts(a, grids, count, products);
  }
#else
  (void)path;
#endif
  PlainProducts(a, grids, count, products);
}

// Compared with every reference for every character read: with the widest dot products the
// processor has. The C library has asked the processor already at start (asking again costs
// a trap in a virtual machine). The sum is of integers, exact in any order.
void GridProductsWithEach(const DetailGrid& a, const std::uint8_t* const* grids, std::size_t count,
                          std::int32_t* products) {
  static const ProductsPath fastest = [] {
    for (const ProductsPath path :
         {ProductsPath::kVnni, ProductsPath::kAvx512Vnni, ProductsPath::kAvx2})
      if (HasProductsPath(path)) return path;
    return ProductsPath::kPlain;
  }();
  GridProductsWithEachBy(fastest, a, grids, count, products);
}

std::int32_t GridProducts(const DetailGrid& a, const DetailGrid& b) {
  std::int32_t products = 0;
  const std::uint8_t* grid = b.data();
  GridProductsWithEach(a, &grid, 1, &products);
  return products;
}

}  // namespace morvik
