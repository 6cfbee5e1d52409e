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

std::uint8_t Clamped(std::int32_t v) {
  const std::int32_t half = 1 << (kWeightBits - 1);
  return static_cast<std::uint8_t>(std::clamp<std::int32_t>((v + half) >> kWeightBits, 0, 255));
}

// One row of greys resampled along it into `to`; the row is first widened by its edge greys,
// which stand in for those beyond the picture, so the taps need no bounds.
void ResampleRow(const std::uint8_t* from, int length, const std::vector<Phase>& phases,
                 std::vector<std::int32_t>& padded, std::uint8_t* to) {
  const int factor = static_cast<int>(phases.size()), pad = 2 * kLobes;
  padded.resize(static_cast<std::size_t>(length + 2 * pad));
  for (int i = -pad; i < length + pad; ++i)
    padded[static_cast<std::size_t>(i + pad)] = from[std::clamp(i, 0, length - 1)];
  for (int i = 0; i < length; ++i)
    for (int p = 0; p < factor; ++p) {
      const Phase& ph = phases[static_cast<std::size_t>(p)];
      const std::int32_t* taps = &padded[static_cast<std::size_t>(i + ph.First + pad)];
      std::int32_t v = 0;
      for (std::size_t k = 0; k < ph.Weights.size(); ++k) v += ph.Weights[k] * taps[k];
      to[i * factor + p] = Clamped(v);
    }
}

// One output row from the source rows its phase weighs, a whole row at a time so that the
// sums run along memory.
void ResampleColumns(const GreyImage& from, int row, const Phase& phase,
                     std::vector<std::int32_t>& sums, std::uint8_t* to) {
  sums.assign(static_cast<std::size_t>(from.Width), 0);
  for (std::size_t k = 0; k < phase.Weights.size(); ++k) {
    const int y = std::clamp(row + phase.First + static_cast<int>(k), 0, from.Height - 1);
    const std::uint8_t* source = &from.Pixels[static_cast<std::size_t>(y) * from.Width];
    const std::int32_t w = phase.Weights[k];
    for (int x = 0; x < from.Width; ++x) sums[static_cast<std::size_t>(x)] += w * source[x];
  }
  for (int x = 0; x < from.Width; ++x) to[x] = Clamped(sums[static_cast<std::size_t>(x)]);
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
  std::vector<std::int32_t> work;
  GreyImage wide;
  wide.Width = grey.Width * factor;
  wide.Height = grey.Height;
  wide.Pixels.resize(static_cast<std::size_t>(wide.Width) * wide.Height);
  for (int y = 0; y < grey.Height; ++y)
    ResampleRow(&grey.Pixels[static_cast<std::size_t>(y) * grey.Width], grey.Width, phases, work,
                &wide.Pixels[static_cast<std::size_t>(y) * wide.Width]);
  GreyImage out;
  out.Width = wide.Width;
  out.Height = grey.Height * factor;
  out.Pixels.resize(static_cast<std::size_t>(out.Width) * out.Height);
  for (int y = 0; y < out.Height; ++y)
    ResampleColumns(wide, y / factor, phases[static_cast<std::size_t>(y % factor)], work,
                    &out.Pixels[static_cast<std::size_t>(y) * out.Width]);
  return out;
}

}  // namespace morvik
