#include "image/grey.h"

#include <algorithm>
#include <cmath>

#include "core/error.h"

namespace morvik {

namespace {

// The weighted channels, each product rounded to extended precision as the formula forms
// it. Looking them up gives the same sums as multiplying every time, only faster.
struct GreyTables {
  long double red[256], green[256], blue[256];
  std::uint8_t ofGrey[256];  // GreyOf of (g, g, g)
  GreyTables() {
    for (int v = 0; v < 256; ++v) {
      red[v] = static_cast<long double>(v) * 0.3L;
      green[v] = static_cast<long double>(v) * 0.6L;
      blue[v] = static_cast<long double>(v) * 0.1L;
    }
    for (int g = 0; g < 256; ++g) ofGrey[g] = static_cast<std::uint8_t>(Weighted(g, g, g));
  }
  int Weighted(int r, int g, int b) const {
    const long double sum = (red[r] + green[g]) + blue[b];
    return static_cast<int>(std::nearbyint(sum));
  }
};

const GreyTables& Tables() {
  static const GreyTables tables;
  return tables;
}

inline int GreyOfBytes(const GreyTables& t, int b, int g, int r) {
  return (r == g && g == b) ? t.ofGrey[r] : t.Weighted(r, g, b);
}

}  // namespace

int GreyOf(Colour colour) {
  return GreyOfBytes(Tables(), BlueOf(colour), GreenOf(colour), RedOf(colour));
}

void ConvertToGrey(Bitmap& bitmap, int colourItem) {
  const GreyTables& t = Tables();
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint8_t* p = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x, p += 3) {
      int g = GreyOfBytes(t, p[0], p[1], p[2]);
      if (colourItem == 1) g = 255 - g;
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(g);
    }
  }
}

void BuildHistogram(const Bitmap& bitmap, Histograms& h) {
  const GreyTables& t = Tables();
  h.Histogram.fill(0);
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* p = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x, p += 3) ++h.Histogram[GreyOfBytes(t, p[0], p[1], p[2])];
  }
}

void BuildCoarseHistogram(Histograms& h) {
  for (int i = 0; i < 16; ++i) {
    std::int32_t sum = 0;
    for (int k = 16 * i; k < 16 * i + 16; ++k) sum += h.Histogram[k];
    h.CoarseHistogram[i] = sum;
  }
}

void FindPeak(Histograms& h) {
  std::int32_t best = 0;
  h.PeakBin = 0;
  for (int i = 0; i < 16; ++i) {
    if (h.CoarseHistogram[i] > best) {
      best = h.CoarseHistogram[i];
      h.PeakBin = i;
    }
  }
}

int FindThreshold(const Histograms& h) {
  const auto& c = h.CoarseHistogram;
  auto bin = [&](int i) -> std::int64_t { return i <= 15 ? c[i] : 0; };
  const int p = h.PeakBin;
  std::int64_t m = bin(p);
  int v = p + 1;
  for (int j = p; j <= 15; ++j)
    if (c[j] < m) m = c[j], v = j;
  int q = v;
  for (int j = v + 1; j <= 15; ++j)
    if (c[j] > m) m = c[j], q = j;

  std::int64_t s1 = 0, s2 = 0;
  for (int j = p; j <= v - 1; ++j) s1 += bin(j);
  for (int j = v; j <= q; ++j) s2 += bin(j);
  if (s1 == 0)
    throw Error("the picture has no pixels to find a threshold in (invalid floating-point operation)");

  const double r = static_cast<double>(static_cast<long double>(s2) / s1);
  const long double f = std::floor(static_cast<long double>(r) * 4.0L * (q - v));
  const long double a = f + (q - p) / 4 + 1;
  const long double b = (4 * (q - p)) / 5;
  return p + static_cast<int>(std::min(a, b));
}

void AnalyseBitmap(Bitmap& bitmap, ImageState& state) {
  ConvertToGrey(bitmap, state.Settings.RadioGroupCol);
  BuildHistogram(bitmap, state.Analysis);
  BuildCoarseHistogram(state.Analysis);
  FindPeak(state.Analysis);
  if (!state.Settings.CheckBoxAuto) return;
  const int t = FindThreshold(state.Analysis);
  state.Settings.SetSpinEditTresh((t * 100) / 16 - 1);
  state.Settings.SetSpinEditInc(100 - state.Settings.SpinEditTresh());
}

}  // namespace morvik
