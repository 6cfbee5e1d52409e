#include "image/grey.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "core/error.h"

namespace morvik {

namespace {

// The weighted channels, each product rounded to extended precision as the formula forms
// it. The exact value (3R + 6G + B) / 10 lies at least 0.1 from a half unless its last decimal
// is 5, and the extended sum is within 1e-16 of it, so only at those halves does the extended
// sum decide. Comparing it with the exact half (equal going to the even neighbour) is what
// rounding it to nearest does, without the cost of a rounding call per pixel.
struct GreyTables {
  long double red[256], green[256], blue[256];
  GreyTables() {
    for (int v = 0; v < 256; ++v) {
      red[v] = static_cast<long double>(v) * 0.3L;
      green[v] = static_cast<long double>(v) * 0.6L;
      blue[v] = static_cast<long double>(v) * 0.1L;
    }
  }
  int Weighted(int r, int g, int b) const {
    const int n = 3 * r + 6 * g + b, q = n / 10, d = n % 10;
    if (d != 5) return d < 5 ? q : q + 1;
    const long double sum = (red[r] + green[g]) + blue[b];
    const long double half = static_cast<long double>(q) + 0.5L;
    if (sum > half) return q + 1;
    if (sum < half) return q;
    return q % 2 == 0 ? q : q + 1;
  }
};

const GreyTables& Tables() {
  static const GreyTables tables;
  return tables;
}

inline int GreyOfBytes(const GreyTables& t, int b, int g, int r) {
  return t.Weighted(r, g, b);
}

}  // namespace

int GreyOf(Colour colour) {
  return GreyOfBytes(Tables(), BlueOf(colour), GreenOf(colour), RedOf(colour));
}

namespace {

bool IsGrey(const std::uint8_t* p) {
  return p[0] == p[1] && p[1] == p[2];
}

// The grey conversion and the histogram of the converted pixels (each is then grey, and a
// grey pixel is its own grey). Eight partial counts keep the increments of a run of
// equal greys from waiting on each other.
void Convert(Bitmap& bitmap, int colourItem, std::array<std::int32_t, 256>& histogram) {
  const GreyTables& t = Tables();
  const int w = bitmap.Width();
  const bool invert = colourItem == 1;
  std::array<std::array<std::uint32_t, 256>, 8> counts{};
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint8_t* p = bitmap.Row(y);
    int x = 0;
    // Runs of four grey pixels that keep their polarity, the usual case (the characters cut
    // from a picture, every raster), are only counted.
    if (!invert)
      for (; x + 4 <= w && IsGrey(p) && IsGrey(p + 3) && IsGrey(p + 6) && IsGrey(p + 9);
           x += 4, p += 12) {
        ++counts[0][p[0]];
        ++counts[1][p[3]];
        ++counts[2][p[6]];
        ++counts[3][p[9]];
      }
    for (; x < w; ++x, p += 3) {
      // A grey pixel that keeps its polarity needs no write.
      const bool grey = p[0] == p[1] && p[1] == p[2];
      int g = grey ? p[0] : GreyOfBytes(t, p[0], p[1], p[2]);
      if (invert) g = 255 - g;
      if (invert || !grey) p[0] = p[1] = p[2] = static_cast<std::uint8_t>(g);
      ++counts[x & 7][g];
    }
  }
  for (int g = 0; g < 256; ++g) {
    std::uint32_t sum = 0;
    for (const auto& part : counts) sum += part[g];
    histogram[g] = static_cast<std::int32_t>(sum);
  }
}

}  // namespace

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
    throw Error(
        "the picture has no pixels to find a threshold in (invalid floating-point operation)");

  const double r = static_cast<double>(static_cast<long double>(s2) / s1);
  const long double f = std::floor(static_cast<long double>(r) * 4.0L * (q - v));
  const long double a = f + (q - p) / 4 + 1;
  const long double b = (4 * (q - p)) / 5;
  return p + static_cast<int>(std::min(a, b));
}

void AnalyseBitmap(Bitmap& bitmap, bool blackCharacters, Histograms& h) {
  // The histogram of the converted bitmap is counted as it is converted.
  Convert(bitmap, blackCharacters ? 1 : 0, h.Histogram);
  BuildCoarseHistogram(h);
  FindPeak(h);
}

void ChooseThreshold(const Histograms& h, int& threshold, int& increment) {
  const int t = FindThreshold(h);
  threshold = std::clamp((t * 100) / 16 - 1, 0, 100);
  increment = std::clamp(100 - threshold, 0, 100);
}

}  // namespace morvik
