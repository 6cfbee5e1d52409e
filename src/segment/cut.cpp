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
  // column's weights sum to h, so 32 bits hold 255 h), then across each target row. The
  // sums are exact whatever the order.
  std::vector<std::int32_t> column(static_cast<std::size_t>(w));
  // The row pass over the weights laid out flat: entry k adds Weights[k] x the column sum of
  // source From[k] to target To[k].
  std::vector<int> from, to;
  from.reserve(across.Weights.size());
  to.reserve(across.Weights.size());
  for (int x = 0; x < tw; ++x)
    for (int k = across.Start[x]; k < across.Start[x + 1]; ++k) {
      from.push_back(across.First[x] + k - across.Start[x]);
      to.push_back(x);
    }
  std::vector<std::int64_t> sums(static_cast<std::size_t>(tw));
  const std::int64_t total = std::int64_t{w} * h;
  const MeanDivisor divisor = MeanDivisorOf(total);
  const int flip = darkOnLight ? 0xFF : 0;  // 255 - g is g ^ 0xFF for a byte
  GreyImage out{tw, th, std::vector<std::uint8_t>(static_cast<std::size_t>(tw) * th)};
  for (int y = 0; y < th; ++y) {
    std::fill(column.begin(), column.end(), 0);
    const std::uint8_t* src =
        grey.Pixels.data() + static_cast<std::size_t>(top + down.First[y]) * grey.Width + left;
    for (int k = down.Start[y]; k < down.Start[y + 1]; ++k, src += grey.Width) {
      const std::int32_t weight = down.Weights[static_cast<std::size_t>(k)];
      std::int32_t* c = column.data();
      for (int x = 0; x < w; ++x) c[x] += weight * src[x];
    }
    std::fill(sums.begin(), sums.end(), 0);
    for (std::size_t k = 0; k < from.size(); ++k)
      sums[static_cast<std::size_t>(to[k])] +=
          std::int64_t{across.Weights[k]} * column[static_cast<std::size_t>(from[k])];
    std::uint8_t* p = out.Pixels.data() + static_cast<std::size_t>(y) * tw;
    for (int x = 0; x < tw; ++x)
      p[x] =
          static_cast<std::uint8_t>(RoundedMean(sums[static_cast<std::size_t>(x)], divisor) ^ flip);
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
