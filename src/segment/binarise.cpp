#include "segment/binarise.h"

#include <algorithm>
#include <array>

#include "image/grey_counts.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvik {

namespace {

// ink[i] is 1 where pixel i is dark (grey <= t, for t from 0 to 254) and darkOnLight, or light
// and not darkOnLight; 0 elsewhere.
void MarkInk(const std::uint8_t* grey, std::size_t n, int t, bool darkOnLight, std::uint8_t* ink) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i ts = _mm_set1_epi8(static_cast<char>(t)), ones = _mm_set1_epi8(1);
  const __m128i flip = darkOnLight ? _mm_setzero_si128() : ones;
  for (; i + 16 <= n; i += 16) {
    const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grey + i));
    const __m128i dark = _mm_cmpeq_epi8(_mm_min_epu8(g, ts), g);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ink + i),
                     _mm_xor_si128(_mm_and_si128(dark, ones), flip));
  }
#endif
  for (; i < n; ++i) ink[i] = (grey[i] <= t) == darkOnLight;
}

}  // namespace

std::array<long long, 256> GreyHistogram(const GreyImage& grey) {
  GreyCounts<std::uint32_t> part{};
  const std::uint8_t* p = grey.Pixels.data();
  const std::size_t n = grey.Pixels.size();
  std::array<long long, 256> h{};
  // 32-bit counts hold 2^32 - 1 pixels each; folded into the totals before they could wrap.
  constexpr std::size_t kFold = std::size_t{1} << 31;
  for (std::size_t i = 0; i < n; i += kFold) {
    AddGreys(p + i, std::min(n - i, kFold), std::uint32_t{1}, part);
    for (auto& c : part)
      for (int v = 0; v < 256; ++v) h[v] += c[v], c[v] = 0;
  }
  return h;
}

namespace {

// The share of dark pixels (grey <= t) over the whole picture and along its border.
struct DarkShares {
  long double Whole = 0, Border = 0;
};

// h is the picture's histogram.
DarkShares DarkSharesOf(const GreyImage& grey, const std::array<long long, 256>& h, int t) {
  long long dark = 0;
  for (int v = 0; v <= t; ++v) dark += h[v];
  std::size_t border = 0, borderDark = 0;
  for (int y = 0; y < grey.Height; ++y) {
    const bool edgeRow = y == 0 || y + 1 == grey.Height;
    for (int x = 0; x < grey.Width; x += edgeRow || x + 1 == grey.Width ? 1 : grey.Width - 1) {
      ++border;
      borderDark += grey.At(x, y) <= t;
    }
  }
  DarkShares s;
  if (!grey.Pixels.empty()) s.Whole = static_cast<long double>(dark) / grey.Pixels.size();
  if (border > 0) s.Border = static_cast<long double>(borderDark) / border;
  return s;
}

// Text covers less of a picture than its ground, unless the picture is cropped tight around
// heavy strokes (a bold figure cut to its ink is more ink than ground). Where neither class
// clearly outnumbers the other, the ground is the class that holds most of the border.
bool DarkOnLightByShares(const DarkShares& s) {
  if (s.Whole < 0.25L || s.Whole > 0.75L || s.Border == 0.5L) return s.Whole <= 0.5L;
  return s.Border < 0.5L;
}

// OtsuThreshold of the picture with histogram h.
int OtsuThresholdOf(const std::array<long long, 256>& h) {
  long double total = 0, sum = 0;
  for (int v = 0; v < 256; ++v) total += h[v], sum += static_cast<long double>(v) * h[v];
  long double countLow = 0, sumLow = 0, best = 0;
  int threshold = -1;
  for (int t = 0; t < 255; ++t) {
    // A grey no pixel has leaves both classes, and so the variance between them, as they
    // were: it cannot beat the best so far (a picture has few of the 256 greys).
    if (h[t] == 0) continue;
    countLow += h[t];
    sumLow += static_cast<long double>(t) * h[t];
    const long double countHigh = total - countLow;
    if (countLow == 0 || countHigh == 0) continue;
    const long double meanLow = sumLow / countLow, meanHigh = (sum - sumLow) / countHigh;
    const long double between = countLow * countHigh * (meanLow - meanHigh) * (meanLow - meanHigh);
    if (between > best) best = between, threshold = t;
  }
  return threshold;
}

}  // namespace

int OtsuThreshold(const GreyImage& grey) {
  return OtsuThresholdOf(GreyHistogram(grey));
}

Binarised Binarise(const GreyImage& grey, Polarity polarity) {
  return Binarise(grey, polarity, GreyHistogram(grey));
}

Binarised Binarise(const GreyImage& grey, Polarity polarity, const std::array<long long, 256>& h) {
  Binarised out;
  out.Image.Width = grey.Width;
  out.Image.Height = grey.Height;
  out.Image.Ink.assign(grey.Pixels.size(), 0);
  const int t = OtsuThresholdOf(h);
  out.DarkOnLight = polarity == Polarity::Auto ? DarkOnLightByShares(DarkSharesOf(grey, h, t))
                                               : polarity == Polarity::DarkOnLight;
  if (t < 0) return out;
  MarkInk(grey.Pixels.data(), grey.Pixels.size(), t, out.DarkOnLight, out.Image.Ink.data());
  return out;
}

}  // namespace morvik
