#include "reading/upscale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/median.h"
#include "reading/character_height.h"

namespace morvik {

namespace {

constexpr int kLobes = 3;
constexpr int kMinLetters = 20;
constexpr int kWeightBits = 14;  // weights in fixed point: one is 1 << kWeightBits

long double Lanczos(long double x) {
  if (x == 0) return 1;
  if (std::fabs(x) >= kLobes) return 0;
  const long double pi = 3.141592653589793238462643383279502884L;
  const long double px = pi * x;
  return kLobes * std::sin(px) * std::sin(px / kLobes) / (px * px);
}

// The taps of one output phase: source offsets from the output pixel's base source pixel and
// their weights, normalised to sum to one in fixed point.
struct Phase {
  int First = 0;  // offset of the first tap
  std::vector<int> Weights;
};

std::vector<Phase> Phases(int factor) {
  std::vector<Phase> phases(static_cast<std::size_t>(factor));
  for (int p = 0; p < factor; ++p) {
    // Output pixel p of a group of `factor` lies at this source position from the base pixel.
    const long double centre = (p + 0.5L) / factor - 0.5L;
    Phase& ph = phases[static_cast<std::size_t>(p)];
    ph.First = static_cast<int>(std::floor(centre)) - kLobes + 1;
    std::vector<long double> w;
    long double sum = 0;
    for (int k = 0; k < 2 * kLobes; ++k) {
      w.push_back(Lanczos(ph.First + k - centre));
      sum += w.back();
    }
    int total = 0;
    for (long double v : w) {
      ph.Weights.push_back(static_cast<int>(std::lround(v / sum * (1 << kWeightBits))));
      total += ph.Weights.back();
    }
    ph.Weights[kLobes - 1] += (1 << kWeightBits) - total;  // rounding onto the nearest tap
  }
  return phases;
}

std::uint8_t Clamped(long long v) {
  const long long half = 1LL << (kWeightBits - 1);
  return static_cast<std::uint8_t>(std::clamp<long long>((v + half) >> kWeightBits, 0, 255));
}

// One row or column of `length` greys at `from` (step `stride`) resampled into `to`.
void Resample(const std::uint8_t* from, std::ptrdiff_t stride, int length,
              const std::vector<Phase>& phases, std::uint8_t* to, std::ptrdiff_t toStride) {
  const int factor = static_cast<int>(phases.size());
  for (int i = 0; i < length; ++i)
    for (int p = 0; p < factor; ++p) {
      const Phase& ph = phases[static_cast<std::size_t>(p)];
      long long v = 0;
      for (std::size_t k = 0; k < ph.Weights.size(); ++k) {
        // Edge pixels stand in for those beyond the picture.
        const int s = std::clamp(i + ph.First + static_cast<int>(k), 0, length - 1);
        v += static_cast<long long>(ph.Weights[k]) * from[s * stride];
      }
      to[(static_cast<std::ptrdiff_t>(i) * factor + p) * toStride] = Clamped(v);
    }
}

}  // namespace

int UpscaleFactor(const std::vector<TextLine>& lines, int width, int height) {
  if (4LL * width * height > kMaxUpscaledPixels) return 1;
  std::vector<int> heights;
  int letters = 0;
  for (const TextLine& l : lines) {
    const int h = LineCapHeight(l.Chars);
    if (h <= 0) continue;
    heights.push_back(h);
    letters += static_cast<int>(l.Chars.size());
  }
  if (letters < kMinLetters) return 1;
  return UpperMedian(heights) < kSmallPrintHeight ? 2 : 1;
}

GreyImage Upscale(const GreyImage& grey, int factor) {
  if (factor <= 1 || grey.Pixels.empty()) return grey;
  const std::vector<Phase> phases = Phases(factor);
  GreyImage wide;
  wide.Width = grey.Width * factor;
  wide.Height = grey.Height;
  wide.Pixels.resize(static_cast<std::size_t>(wide.Width) * wide.Height);
  for (int y = 0; y < grey.Height; ++y)
    Resample(&grey.Pixels[static_cast<std::size_t>(y) * grey.Width], 1, grey.Width, phases,
             &wide.Pixels[static_cast<std::size_t>(y) * wide.Width], 1);
  GreyImage out;
  out.Width = wide.Width;
  out.Height = grey.Height * factor;
  out.Pixels.resize(static_cast<std::size_t>(out.Width) * out.Height);
  for (int x = 0; x < wide.Width; ++x)
    Resample(&wide.Pixels[static_cast<std::size_t>(x)], wide.Width, wide.Height, phases,
             &out.Pixels[static_cast<std::size_t>(x)], out.Width);
  return out;
}

}  // namespace morvik
