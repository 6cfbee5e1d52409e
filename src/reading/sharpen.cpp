#include "reading/sharpen.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/x86_dispatch.h"
#include "segment/binarise.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvik {

namespace {

constexpr long double kSigma = 1.5L;
constexpr int kRadius = 5;       // taps either side: past 3 sigma the weights are negligible
constexpr int kWeightBits = 14;  // fixed point: one is 1 << kWeightBits

// The grey below which the given share of the pixels lies, from their histogram.
int Percentile(const std::array<long long, 256>& histogram, long long total, long double share) {
  long long seen = 0;
  for (int v = 0; v < 256; ++v) {
    seen += histogram[v];
    if (seen > share * total) return v;
  }
  return 255;
}

std::array<int, 2 * kRadius + 1> GaussianWeights() {
  std::array<long double, 2 * kRadius + 1> w{};
  long double sum = 0;
  for (int k = -kRadius; k <= kRadius; ++k)
    sum += w[k + kRadius] = std::exp(-(k * k) / (2 * kSigma * kSigma));
  std::array<int, 2 * kRadius + 1> fixed{};
  int total = 0;
  for (int k = 0; k < 2 * kRadius + 1; ++k)
    total += fixed[k] = static_cast<int>(std::lround(w[k] / sum * (1 << kWeightBits)));
  fixed[kRadius] += (1 << kWeightBits) - total;
  return fixed;
}

std::int32_t Rounded(std::int64_t v) {
  return static_cast<std::int32_t>((v + (1 << (kWeightBits - 1))) >> kWeightBits);
}

#if defined(__SSE2__)
// Eight sums of the weights times their greys, a pair of taps per multiply (every product and
// sum exact in 32 bits), rounded to bytes as Rounded does. tap(k) gives the eight greys (16
// bits each) tap k weighs.
template <typename Tap>
__m128i WeighEight(const std::array<int, 2 * kRadius + 1>& weights, Tap tap) {
  __m128i low = _mm_setzero_si128(), high = _mm_setzero_si128();
  for (int k = 0; k <= 2 * kRadius; k += 2) {
    const int next = k < 2 * kRadius ? weights[k + 1] : 0;
    const __m128i a = tap(k), b = k < 2 * kRadius ? tap(k + 1) : _mm_setzero_si128();
    const __m128i pair = _mm_set1_epi32(
        static_cast<int>((static_cast<unsigned>(next) << 16) | static_cast<unsigned>(weights[k])));
    low = _mm_add_epi32(low, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), pair));
    high = _mm_add_epi32(high, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), pair));
  }
  const __m128i half = _mm_set1_epi32(1 << (kWeightBits - 1));
  low = _mm_srai_epi32(_mm_add_epi32(low, half), kWeightBits);
  high = _mm_srai_epi32(_mm_add_epi32(high, half), kWeightBits);
  return _mm_packus_epi16(_mm_packs_epi32(low, high), _mm_setzero_si128());
}
#endif

// The picture blurred by the Gaussian: along each row (its edge greys standing in for those
// beyond it), then down the columns a whole row at a time, so that both run along memory.
// Greys a byte each: a page costs no more than twice its own size.
GreyImage Blur(const GreyImage& grey) {
  static const std::array<int, 2 * kRadius + 1> weights = GaussianWeights();
  const int width = grey.Width, height = grey.Height;
  std::vector<std::uint8_t> rows(grey.Pixels.size());
  std::vector<std::int16_t> padded(static_cast<std::size_t>(width + 2 * kRadius));
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* from = &grey.Pixels[static_cast<std::size_t>(y) * width];
    for (int i = -kRadius; i < width + kRadius; ++i)
      padded[static_cast<std::size_t>(i + kRadius)] = from[std::clamp(i, 0, width - 1)];
    std::uint8_t* to = &rows[static_cast<std::size_t>(y) * width];
    int x = 0;
#if defined(__SSE2__)
    for (; x + 8 <= width; x += 8)
      _mm_storel_epi64(
          reinterpret_cast<__m128i*>(to + x), WeighEight(weights, [&](int k) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(padded.data() + x + k));
          }));
#endif
    for (; x < width; ++x) {
      std::int32_t v = 0;
      for (int k = 0; k <= 2 * kRadius; ++k) v += weights[k] * padded[x + k];
      to[x] = static_cast<std::uint8_t>(Rounded(v));
    }
  }
  GreyImage out = grey;
  std::array<const std::uint8_t*, 2 * kRadius + 1> from{};
  for (int y = 0; y < height; ++y) {
    for (int k = -kRadius; k <= kRadius; ++k)
      from[k + kRadius] = &rows[static_cast<std::size_t>(std::clamp(y + k, 0, height - 1)) * width];
    std::uint8_t* to = &out.Pixels[static_cast<std::size_t>(y) * width];
    int x = 0;
#if defined(__SSE2__)
    for (; x + 8 <= width; x += 8)
      _mm_storel_epi64(reinterpret_cast<__m128i*>(to + x), WeighEight(weights, [&](int k) {
                         return _mm_unpacklo_epi8(
                             _mm_loadl_epi64(reinterpret_cast<const __m128i*>(from[k] + x)),
                             _mm_setzero_si128());
                       }));
#endif
    for (; x < width; ++x) {
      std::int32_t v = 0;
      for (int k = 0; k <= 2 * kRadius; ++k) v += weights[k] * from[k][x];
      to[x] = static_cast<std::uint8_t>(Rounded(v));
    }
  }
  return out;
}

#ifdef MORVIK_X86_DISPATCH
// The pairs of a row that count for CountSteps, thirty-two a step, to counted(k) in order;
// returns where it stopped.
template <typename Counted>
__attribute__((target("avx2"))) int Avx2CountedPairs(const std::uint8_t* row, int width, int low,
                                                     int high, Counted counted) {
  const __m256i lows = _mm256_set1_epi8(static_cast<char>(low));
  const __m256i highs = _mm256_set1_epi8(static_cast<char>(high));
  int x = 0;
  for (; x + 33 <= width; x += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x + 1));
    const __m256i darker = _mm256_min_epu8(a, b), lighter = _mm256_max_epu8(a, b);
    const __m256i none =
        _mm256_or_si256(_mm256_cmpeq_epi8(_mm256_max_epu8(darker, lows), darker),
                        _mm256_cmpeq_epi8(_mm256_min_epu8(lighter, highs), lighter));
    for (auto bits = ~static_cast<unsigned>(_mm256_movemask_epi8(none)); bits != 0;
         bits &= bits - 1)
      counted(x + __builtin_ctz(bits));
  }
  return x;
}
#endif

// Steps between horizontal neighbours of which one lies in the inky four fifths of the range
// and one outside its inkiest fifth, in 1/256ths of the range, counted into steps: the inside
// of solid ink (a bar, a frame) has no edge to measure. Returns how many. For either polarity
// a pair counts when the darker is below `low` and the lighter above `high`; it looks at
// every pixel of the picture, so sixteen pairs none of which counts (ground, most of a
// picture) are passed over at once.
long long CountSteps(const GreyImage& grey, int low, int high, int range,
                     std::array<long long, 257>& steps) {
  long long count = 0;
  // The step of each difference, worked out once instead of divided for every pair.
  std::array<std::uint16_t, 256> stepOf{};
  for (int d = 0; d < 256; ++d)
    stepOf[d] = static_cast<std::uint16_t>(std::min(256, d * 256 / range));
  const auto counted = [&](int a, int b) {
    ++steps[stepOf[static_cast<std::size_t>(std::abs(a - b))]];
    ++count;
  };
  const auto add = [&](int a, int b) {
    if (std::min(a, b) < low && std::max(a, b) > high) counted(a, b);
  };
#if defined(__SSE2__)
  const __m128i lows = _mm_set1_epi8(static_cast<char>(low));
  const __m128i highs = _mm_set1_epi8(static_cast<char>(high));
#endif
#ifdef MORVIK_X86_DISPATCH
  const bool avx2 = CPU_FEATURE_ACTIVE(AVX2);
#endif
  for (int y = 0; y < grey.Height; ++y) {
    const std::uint8_t* row = grey.Pixels.data() + static_cast<std::size_t>(y) * grey.Width;
    int x = 0;
#ifdef MORVIK_X86_DISPATCH
    if (avx2)
      x = Avx2CountedPairs(row, grey.Width, low, high, [&](int k) { counted(row[k], row[k + 1]); });
#endif
#if defined(__SSE2__)
    for (; x + 17 <= grey.Width; x += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x + 1));
      const __m128i darker = _mm_min_epu8(a, b), lighter = _mm_max_epu8(a, b);
      // Unsigned: darker >= low where the larger of the two is darker, and so on.
      const __m128i none = _mm_or_si128(_mm_cmpeq_epi8(_mm_max_epu8(darker, lows), darker),
                                        _mm_cmpeq_epi8(_mm_min_epu8(lighter, highs), lighter));
      // Only the pairs that count, in order.
      for (unsigned bits = ~static_cast<unsigned>(_mm_movemask_epi8(none)) & 0xFFFFu; bits != 0;
           bits &= bits - 1) {
        const int k = x + __builtin_ctz(bits);
        counted(row[k], row[k + 1]);
      }
    }
#endif
    for (; x + 1 < grey.Width; ++x) add(row[x], row[x + 1]);
  }
  return count;
}

}  // namespace

bool LooksBlurred(const GreyImage& grey) {
  return LooksBlurred(grey, GreyHistogram(grey));
}

bool LooksBlurred(const GreyImage& grey, const std::array<long long, 256>& histogram) {
  const auto total = static_cast<long long>(grey.Pixels.size());
  if (total == 0) return false;
  int ink = Percentile(histogram, total, 0.005L), ground = Percentile(histogram, total, 0.5L);
  const bool darkOnLight = ink < ground;
  if (!darkOnLight) ink = Percentile(histogram, total, 0.995L);
  const int range = std::abs(ground - ink);
  if (range < 32) return false;  // no print to speak of
  std::array<long long, 257> steps{};
  const int nearInk = darkOnLight ? ink + range * 4 / 5 : ink - range * 4 / 5;
  const int deepInk = darkOnLight ? ink + range / 5 : ink - range / 5;
  const long long count = darkOnLight ? CountSteps(grey, nearInk, deepInk, range, steps)
                                      : CountSteps(grey, deepInk, nearInk, range, steps);
  if (count < kMinEdgePixels) return false;
  long long seen = 0;
  for (int s = 0; s <= 256; ++s) {
    seen += steps[static_cast<std::size_t>(s)];
    if (seen * 10 >= count * 9) return s < kSoftEdgeStep * 256;
  }
  return false;
}

GreyImage Sharpen(const GreyImage& grey) {
  GreyImage out = Blur(grey);
  std::size_t i = 0;
#if defined(__SSE2__)
  // Twice the grey less the blur in 16 bits; packing to bytes clamps to 0-255.
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= out.Pixels.size(); i += 16) {
    const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&grey.Pixels[i]));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&out.Pixels[i]));
    const auto sharp = [&](__m128i g16, __m128i b16) {
      return _mm_sub_epi16(_mm_add_epi16(g16, g16), b16);
    };
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(&out.Pixels[i]),
        _mm_packus_epi16(sharp(_mm_unpacklo_epi8(g, zero), _mm_unpacklo_epi8(b, zero)),
                         sharp(_mm_unpackhi_epi8(g, zero), _mm_unpackhi_epi8(b, zero))));
  }
#endif
  for (; i < out.Pixels.size(); ++i)
    out.Pixels[i] =
        static_cast<std::uint8_t>(std::clamp(2 * grey.Pixels[i] - out.Pixels[i], 0, 255));
  return out;
}

}  // namespace morvik
