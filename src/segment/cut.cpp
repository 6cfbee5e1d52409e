#include "segment/cut.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace morvik {

Bitmap CutCharacter(const GreyImage& grey, const CharBox& box, bool darkOnLight) {
  const int left = std::clamp(box.Left, 0, grey.Width);
  const int top = std::clamp(box.Top, 0, grey.Height);
  const int right = std::clamp(box.Left + std::max(box.Width, 0), left, grey.Width);
  const int bottom = std::clamp(box.Top + std::max(box.Height, 0), top, grey.Height);
  Bitmap out(right - left + 2 * kCutMargin, bottom - top + 2 * kCutMargin);
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* p = out.Row(y - top + kCutMargin) + 3 * kCutMargin;
    for (int x = left; x < right; ++x, p += 3) {
      const int g = grey.At(x, y);
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(darkOnLight ? 255 - g : g);
    }
  }
  return out;
}

namespace {

// Area weights of resampling n source pixels to m: target pixel t covers source units
// [t * n, (t + 1) * n) and source pixel s covers [s * m, (s + 1) * m), so every weight is the
// whole overlap and a target pixel's weights sum to n. Target t takes the weights
// Weights[Start[t] .. Start[t + 1]) of the source pixels from First[t] on.
struct AreaSpans {
  std::vector<int> First, Start;
  std::vector<std::int32_t> Weights;
  AreaSpans(int n, int m) {
    First.reserve(static_cast<std::size_t>(m));
    Start.reserve(static_cast<std::size_t>(m) + 1);
    // A target pixel overlaps at most n / m + 2 source pixels.
    Weights.reserve(static_cast<std::size_t>(m) * (static_cast<std::size_t>(n / m) + 2));
    for (int t = 0; t < m; ++t) {
      const std::int64_t lo = std::int64_t{t} * n, hi = lo + n;
      First.push_back(static_cast<int>(lo / m));
      Start.push_back(static_cast<int>(Weights.size()));
      for (std::int64_t s = First.back(); s < n && s * m < hi; ++s)
        Weights.push_back(
            static_cast<std::int32_t>(std::min(hi, (s + 1) * m) - std::max(lo, s * m)));
    }
    Start.push_back(static_cast<int>(Weights.size()));
  }
};

// column[x] = the sum over the `taps` source rows from `row` on of weight x grey, for the w
// pixels from `left`. The first row is assigned, sparing a clearing pass.
void SumRows(const GreyImage& grey, int left, int row, int w, const std::int32_t* weights, int taps,
             std::int32_t* column) {
  const std::uint8_t* src = grey.Pixels.data() + static_cast<std::size_t>(row) * grey.Width + left;
  for (int x = 0; x < w; ++x) column[x] = weights[0] * src[x];
  for (int k = 1; k < taps; ++k) {
    src += grey.Width;
    for (int x = 0; x < w; ++x) column[x] += weights[k] * src[x];
  }
}

// The spans of an enlargement (n <= m): a target pixel, n units long, overlaps at most two
// source pixels, m units each, so every target takes A x column[First] + B x column[First + 1]
// with B = 0 where it lies within one (the column carries a spare 0 past its end for that).
// Consecutive targets within the same source pixel take the same weights, so their greys are
// equal: each run of them is worked out once (Run[k] targets from the k-th distinct one), which
// spares most of the divisions when a small box is enlarged to the matcher's size.
// Each pixel's sum in registers: adding the weights into a row of sums in memory made every
// addition wait on the one before it to the same target.
struct TwoTaps {
  bool Fit = true;
  std::vector<int> First, Run;
  std::vector<std::int32_t> A, B;
  explicit TwoTaps(const AreaSpans& spans) {
    const std::size_t m = spans.First.size();
    for (std::size_t t = 0; t < m && Fit; ++t) Fit = spans.Start[t + 1] - spans.Start[t] <= 2;
    if (!Fit) return;
    for (std::size_t t = 0; t < m; ++t) {
      const auto k = static_cast<std::size_t>(spans.Start[t]);
      const std::int32_t a = spans.Weights[k];
      const std::int32_t b = spans.Start[t + 1] - spans.Start[t] == 2 ? spans.Weights[k + 1] : 0;
      if (!First.empty() && First.back() == spans.First[t] && A.back() == a && B.back() == b) {
        ++Run.back();
        continue;
      }
      First.push_back(spans.First[t]);
      A.push_back(a);
      B.push_back(b);
      Run.push_back(1);
    }
  }
  void Row(const std::int32_t* column, const MeanDivisor& divisor, int flip,
           std::uint8_t* out) const {
    // Local pointers: the byte stores may alias anything, which would reload the vectors.
    const int *first = First.data(), *run = Run.data();
    const std::int32_t *a = A.data(), *b = B.data();
    for (std::size_t t = 0, m = First.size(); t < m; ++t) {
      const std::int32_t* c = column + first[t];
      const std::int64_t sum = std::int64_t{a[t]} * c[0] + std::int64_t{b[t]} * c[1];
      const auto grey = static_cast<std::uint8_t>(RoundedMean(sum, divisor) ^ flip);
      for (int k = 0; k < run[t]; ++k) *out++ = grey;
    }
  }
};

// A target row of a reduction: each pixel the sum over all the source pixels it overlaps.
void AnyTapsRow(const AreaSpans& spans, const std::int32_t* column, const MeanDivisor& divisor,
                int flip, std::uint8_t* out) {
  const int* first = spans.First.data();
  const int* start = spans.Start.data();
  const std::int32_t* weights = spans.Weights.data();
  for (std::size_t t = 0, m = spans.First.size(); t < m; ++t) {
    const std::int32_t* c = column + first[t];
    std::int64_t sum = 0;
    for (int k = start[t], end = start[t + 1]; k < end; ++k, ++c)
      sum += std::int64_t{weights[k]} * *c;
    out[t] = static_cast<std::uint8_t>(RoundedMean(sum, divisor) ^ flip);
  }
}

// Whether targets t and u of the spans take the same source pixels with the same weights.
bool SameTaps(const AreaSpans& spans, int t, int u) {
  const auto from = spans.Weights.begin();
  return spans.First[t] == spans.First[u] &&
         std::equal(from + spans.Start[t], from + spans.Start[t + 1], from + spans.Start[u],
                    from + spans.Start[u + 1]);
}

}  // namespace

GreyImage ScaleCharacter(const GreyImage& grey, const CharBox& box, bool darkOnLight, int side) {
  const int left = std::clamp(box.Left, 0, grey.Width);
  const int top = std::clamp(box.Top, 0, grey.Height);
  const int w = std::clamp(box.Left + std::max(box.Width, 0), left, grey.Width) - left;
  const int h = std::clamp(box.Top + std::max(box.Height, 0), top, grey.Height) - top;
  if (w == 0 || h == 0 || side < 1) return GreyImage{};
  const int longer = std::max(w, h);
  const int tw = std::max(1, static_cast<int>((std::int64_t{w} * side + longer / 2) / longer));
  const int th = std::max(1, static_cast<int>((std::int64_t{h} * side + longer / 2) / longer));
  const AreaSpans across(w, tw), down(h, th);

  // Columns first, along whole source rows (sums of weight x grey, not yet divided; a
  // column's weights sum to h, so 32 bits hold 255 h), then across each target row. The sums
  // are exact whatever the order.
  std::vector<std::int32_t> column(static_cast<std::size_t>(w) + 1, 0);  // + 1: see TwoTaps
  const MeanDivisor divisor = MeanDivisorOf(std::int64_t{w} * h);
  const int flip = darkOnLight ? 0xFF : 0;  // 255 - g is g ^ 0xFF for a byte
  const TwoTaps pairs(across);
  GreyImage out{tw, th, std::vector<std::uint8_t>(static_cast<std::size_t>(tw) * th)};
  for (int y = 0; y < th; ++y) {
    std::uint8_t* p = out.Pixels.data() + static_cast<std::size_t>(y) * tw;
    const int first = down.Start[y];
    if (y > 0 && SameTaps(down, y - 1, y)) {  // within the same source row: the same greys
      std::copy(p - tw, p, p);
      continue;
    }
    SumRows(grey, left, top + down.First[y], w, &down.Weights[first], down.Start[y + 1] - first,
            column.data());
    if (pairs.Fit)
      pairs.Row(column.data(), divisor, flip, p);
    else
      AnyTapsRow(across, column.data(), divisor, flip, p);
  }
  return out;
}

Bitmap CutCharacterScaled(const GreyImage& grey, const CharBox& box, bool darkOnLight, int side) {
  const GreyImage scaled = ScaleCharacter(grey, box, darkOnLight, side);
  Bitmap out(scaled.Width + 2 * kCutMargin, scaled.Height + 2 * kCutMargin);
  for (int y = 0; y < scaled.Height; ++y) {
    std::uint8_t* p = out.Row(y + kCutMargin) + 3 * kCutMargin;
    for (int x = 0; x < scaled.Width; ++x, p += 3) p[0] = p[1] = p[2] = scaled.At(x, y);
  }
  return out;
}

}  // namespace morvik
