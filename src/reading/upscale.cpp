#include "reading/upscale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "core/median.h"
#include "core/x86_dispatch.h"
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

constexpr int kTaps = 2 * kLobes;

// The taps of one output phase: source offsets from the output pixel's base source pixel and
// their weights, normalised to sum to one in fixed point. A weight's size is below one, so
// the greys and weights multiply as 16-bit numbers into 32-bit sums, which the compiler
// turns into vector instructions.
struct Phase {
  int First = 0;  // offset of the first tap
  std::array<std::int16_t, kTaps> Weights{};
};

std::vector<Phase> Phases(int factor) {
  std::vector<Phase> phases(static_cast<std::size_t>(factor));
  for (int p = 0; p < factor; ++p) {
    // Output pixel p of a group of `factor` lies at this source position from the base pixel.
    const long double centre = (p + 0.5L) / factor - 0.5L;
    Phase& ph = phases[static_cast<std::size_t>(p)];
    ph.First = static_cast<int>(std::floor(centre)) - kLobes + 1;
    std::array<long double, kTaps> w{};
    long double sum = 0;
    for (int k = 0; k < kTaps; ++k) {
      w[static_cast<std::size_t>(k)] = Lanczos(ph.First + k - centre);
      sum += w[static_cast<std::size_t>(k)];
    }
    int total = 0;
    for (int k = 0; k < kTaps; ++k) {
      const auto weight = std::lround(w[static_cast<std::size_t>(k)] / sum * (1 << kWeightBits));
      ph.Weights[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(weight);
      total += ph.Weights[static_cast<std::size_t>(k)];
    }
    // Rounding onto the nearest tap.
    ph.Weights[kLobes - 1] =
        static_cast<std::int16_t>(ph.Weights[kLobes - 1] + (1 << kWeightBits) - total);
  }
  return phases;
}

std::uint8_t Clamped(std::int32_t v) {
  const std::int32_t half = 1 << (kWeightBits - 1);
  return static_cast<std::uint8_t>(std::clamp<std::int32_t>((v + half) >> kWeightBits, 0, 255));
}

// to[i] = the taps' weighted sum of rows[k][i] over n pixels: the inner loop of both passes,
// compiled for plain x86-64 and for AVX2. The sums are of integers, exact in any order.
inline __attribute__((always_inline)) void Weigh(const std::array<const std::int16_t*, kTaps>& rows,
                                                 const Phase& phase, int n, std::uint8_t* to) {
  // Copied out: a store through `to` (bytes) might otherwise change them, as the compiler
  // sees it, and they would be loaded again for every pixel.
  const std::array<const std::int16_t*, kTaps> r = rows;
  const std::array<std::int16_t, kTaps> w = phase.Weights;
  static_assert(kTaps == 6, "the taps are spelled out");
  for (int i = 0; i < n; ++i)
    to[i] = Clamped(w[0] * r[0][i] + w[1] * r[1][i] + w[2] * r[2][i] + w[3] * r[3][i] +
                    w[4] * r[4][i] + w[5] * r[5][i]);
}

void PlainWeighRows(const std::array<const std::int16_t*, kTaps>& rows, const Phase& phase, int n,
                    std::uint8_t* to) {
  Weigh(rows, phase, n, to);
}

#ifdef MORVIK_X86_DISPATCH
__attribute__((target("avx2"))) void Avx2WeighRows(
    const std::array<const std::int16_t*, kTaps>& rows, const Phase& phase, int n,
    std::uint8_t* to) {
  Weigh(rows, phase, n, to);
}
#endif

// With AVX2 where the processor has it (the C library asked it at start).
void WeighRows(const std::array<const std::int16_t*, kTaps>& rows, const Phase& phase, int n,
               std::uint8_t* to) {
#ifdef MORVIK_X86_DISPATCH
  if (CPU_FEATURE_ACTIVE(AVX2)) return Avx2WeighRows(rows, phase, n, to);
#endif
  PlainWeighRows(rows, phase, n, to);
}

// Resampling along rows and along columns reuse these rows of greys widened to 16 bits.
struct Scratch {
  std::vector<std::int16_t> Padded;
  std::vector<std::vector<std::uint8_t>> PhaseRows;
};

// One row of greys resampled along it into `to`, in 16 bits as the columns' pass takes them;
// the row is first widened by its edge greys, which stand in for those beyond the picture, so
// the taps need no bounds. Each phase is computed over the whole row, then the phases
// interleaved.
void ResampleRow(const std::uint8_t* from, int length, const std::vector<Phase>& phases,
                 Scratch& scratch, std::int16_t* to) {
  const int factor = static_cast<int>(phases.size()), pad = kTaps;
  std::vector<std::int16_t>& padded = scratch.Padded;
  padded.resize(static_cast<std::size_t>(length + 2 * pad));
  std::fill(padded.begin(), padded.begin() + pad, from[0]);
  std::copy(from, from + length, padded.begin() + pad);
  std::fill(padded.end() - pad, padded.end(), from[length - 1]);
  scratch.PhaseRows.resize(phases.size());
  for (std::size_t p = 0; p < phases.size(); ++p) {
    std::array<const std::int16_t*, kTaps> rows{};
    for (std::size_t k = 0; k < kTaps; ++k)
      rows[k] = &padded[static_cast<std::size_t>(phases[p].First + pad) + k];
    scratch.PhaseRows[p].resize(static_cast<std::size_t>(length));
    WeighRows(rows, phases[p], length, scratch.PhaseRows[p].data());
  }
  if (factor == 2) {  // the one factor reading uses, in a loop the compiler vectorises
    const std::uint8_t *even = scratch.PhaseRows[0].data(), *odd = scratch.PhaseRows[1].data();
    for (int i = 0; i < length; ++i) to[2 * i] = even[i], to[2 * i + 1] = odd[i];
    return;
  }
  for (std::size_t p = 0; p < phases.size(); ++p) {
    const std::uint8_t* row = scratch.PhaseRows[p].data();
    for (int i = 0; i < length; ++i) to[i * factor + static_cast<int>(p)] = row[i];
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
  Scratch scratch;
  // Along the rows, into greys of 16 bits, then along the columns.
  const auto width = static_cast<std::size_t>(grey.Width) * static_cast<std::size_t>(factor);
  std::vector<std::int16_t> rows(width * static_cast<std::size_t>(grey.Height));
  for (int y = 0; y < grey.Height; ++y)
    ResampleRow(&grey.Pixels[static_cast<std::size_t>(y) * grey.Width], grey.Width, phases, scratch,
                &rows[static_cast<std::size_t>(y) * width]);
  GreyImage out;
  out.Width = static_cast<int>(width);
  out.Height = grey.Height * factor;
  out.Pixels.resize(width * static_cast<std::size_t>(out.Height));
  for (int y = 0; y < out.Height; ++y) {
    const Phase& phase = phases[static_cast<std::size_t>(y % factor)];
    std::array<const std::int16_t*, kTaps> taps{};
    for (int k = 0; k < kTaps; ++k) {
      const int from = std::clamp(y / factor + phase.First + k, 0, grey.Height - 1);
      taps[static_cast<std::size_t>(k)] = &rows[static_cast<std::size_t>(from) * width];
    }
    WeighRows(taps, phase, out.Width, &out.Pixels[static_cast<std::size_t>(y) * width]);
  }
  return out;
}

}  // namespace morvik
