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
// whole overlap and a target pixel's weights sum to n.
struct Span {
  int First = 0;
  std::vector<std::int64_t> Weights;
};

std::vector<Span> AreaSpans(int n, int m) {
  std::vector<Span> spans(static_cast<std::size_t>(m));
  for (int t = 0; t < m; ++t) {
    const std::int64_t lo = std::int64_t{t} * n, hi = lo + n;
    Span& span = spans[static_cast<std::size_t>(t)];
    span.First = static_cast<int>(lo / m);
    for (std::int64_t s = span.First; s < n && s * m < hi; ++s)
      span.Weights.push_back(std::min(hi, (s + 1) * m) - std::max(lo, s * m));
  }
  return spans;
}

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
  const std::vector<Span> across = AreaSpans(w, tw), down = AreaSpans(h, th);

  // Rows first (sums of weight x grey, not yet divided), then columns.
  std::vector<std::int64_t> rows(static_cast<std::size_t>(h) * tw);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < tw; ++x) {
      const Span& span = across[static_cast<std::size_t>(x)];
      std::int64_t sum = 0;
      for (std::size_t k = 0; k < span.Weights.size(); ++k)
        sum += span.Weights[k] * grey.At(left + span.First + static_cast<int>(k), top + y);
      rows[static_cast<std::size_t>(y) * tw + x] = sum;
    }
  const std::int64_t total = std::int64_t{w} * h;
  Bitmap out(tw + 2 * kCutMargin, th + 2 * kCutMargin);
  for (int y = 0; y < th; ++y) {
    const Span& span = down[static_cast<std::size_t>(y)];
    std::uint8_t* p = out.Row(y + kCutMargin) + 3 * kCutMargin;
    for (int x = 0; x < tw; ++x, p += 3) {
      std::int64_t sum = 0;
      for (std::size_t k = 0; k < span.Weights.size(); ++k)
        sum += span.Weights[k] *
               rows[static_cast<std::size_t>(span.First + static_cast<int>(k)) * tw + x];
      const int g = static_cast<int>((sum + total / 2) / total);
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(darkOnLight ? 255 - g : g);
    }
  }
  return out;
}

}  // namespace morvik
