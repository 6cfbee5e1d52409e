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
  std::vector<std::int64_t> Weights;
  AreaSpans(int n, int m) {
    for (int t = 0; t < m; ++t) {
      const std::int64_t lo = std::int64_t{t} * n, hi = lo + n;
      First.push_back(static_cast<int>(lo / m));
      Start.push_back(static_cast<int>(Weights.size()));
      for (std::int64_t s = First.back(); s < n && s * m < hi; ++s)
        Weights.push_back(std::min(hi, (s + 1) * m) - std::max(lo, s * m));
    }
    Start.push_back(static_cast<int>(Weights.size()));
  }
};

}  // namespace

Bitmap CutCharacterScaled(const GreyImage& grey, const CharBox& box, bool darkOnLight, int side) {
  const int left = std::clamp(box.Left, 0, grey.Width);
  const int top = std::clamp(box.Top, 0, grey.Height);
  const int w = std::clamp(box.Left + std::max(box.Width, 0), left, grey.Width) - left;
  const int h = std::clamp(box.Top + std::max(box.Height, 0), top, grey.Height) - top;
  if (w == 0 || h == 0 || side < 1) return Bitmap(2 * kCutMargin, 2 * kCutMargin);
  const int longer = std::max(w, h);
  const int tw = std::max(1, static_cast<int>((std::int64_t{w} * side + longer / 2) / longer));
  const int th = std::max(1, static_cast<int>((std::int64_t{h} * side + longer / 2) / longer));
  const AreaSpans across(w, tw), down(h, th);

  // Rows first (sums of weight x grey, not yet divided), then columns.
  std::vector<std::int64_t> rows(static_cast<std::size_t>(h) * tw);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* src =
        grey.Pixels.data() + static_cast<std::size_t>(top + y) * grey.Width + left;
    std::int64_t* dst = rows.data() + static_cast<std::size_t>(y) * tw;
    for (int x = 0; x < tw; ++x) {
      const std::uint8_t* p = src + across.First[x];
      std::int64_t sum = 0;
      for (int k = across.Start[x]; k < across.Start[x + 1]; ++k) sum += across.Weights[k] * *p++;
      dst[x] = sum;
    }
  }
  const std::int64_t total = std::int64_t{w} * h;
  Bitmap out(tw + 2 * kCutMargin, th + 2 * kCutMargin);
  for (int y = 0; y < th; ++y) {
    std::uint8_t* p = out.Row(y + kCutMargin) + 3 * kCutMargin;
    const std::int64_t* first = rows.data() + static_cast<std::size_t>(down.First[y]) * tw;
    for (int x = 0; x < tw; ++x, p += 3) {
      const std::int64_t* r = first + x;
      std::int64_t sum = 0;
      for (int k = down.Start[y]; k < down.Start[y + 1]; ++k, r += tw) sum += down.Weights[k] * *r;
      const int g = static_cast<int>((sum + total / 2) / total);
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(darkOnLight ? 255 - g : g);
    }
  }
  return out;
}

}  // namespace morvik
