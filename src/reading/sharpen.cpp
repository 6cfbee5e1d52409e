#include "reading/sharpen.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

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

// The picture blurred by the Gaussian: along each row (its edge greys standing in for those
// beyond it), then down the columns a whole row at a time, so that both run along memory.
// Greys a byte each: a page costs no more than twice its own size.
GreyImage Blur(const GreyImage& grey) {
  static const std::array<int, 2 * kRadius + 1> weights = GaussianWeights();
  const int width = grey.Width, height = grey.Height;
  std::vector<std::uint8_t> rows(grey.Pixels.size());
  std::vector<std::int32_t> padded(width + 2 * kRadius);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* from = &grey.Pixels[static_cast<std::size_t>(y) * width];
    for (int i = -kRadius; i < width + kRadius; ++i)
      padded[static_cast<std::size_t>(i + kRadius)] = from[std::clamp(i, 0, width - 1)];
    for (int x = 0; x < width; ++x) {
      std::int32_t v = 0;
      for (int k = 0; k <= 2 * kRadius; ++k) v += weights[k] * padded[x + k];
      rows[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(Rounded(v));
    }
  }
  GreyImage out = grey;
  std::vector<std::int32_t> sums(static_cast<std::size_t>(width));
  for (int y = 0; y < height; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    for (int k = -kRadius; k <= kRadius; ++k) {
      const std::uint8_t* from =
          &rows[static_cast<std::size_t>(std::clamp(y + k, 0, height - 1)) * width];
      const std::int32_t w = weights[k + kRadius];
      for (int x = 0; x < width; ++x) sums[static_cast<std::size_t>(x)] += w * from[x];
    }
    for (int x = 0; x < width; ++x)
      out.Pixels[static_cast<std::size_t>(y) * width + x] =
          static_cast<std::uint8_t>(Rounded(sums[static_cast<std::size_t>(x)]));
  }
  return out;
}

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
  for (int y = 0; y < grey.Height; ++y) {
    const std::uint8_t* row = grey.Pixels.data() + static_cast<std::size_t>(y) * grey.Width;
    int x = 0;
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
  for (std::size_t i = 0; i < out.Pixels.size(); ++i)
    out.Pixels[i] =
        static_cast<std::uint8_t>(std::clamp(2 * grey.Pixels[i] - out.Pixels[i], 0, 255));
  return out;
}

}  // namespace morvik
