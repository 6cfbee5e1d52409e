#include "segment/bars.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "image/last_lanes.h"
#include "segment/components.h"

namespace morvik {

namespace {

constexpr int kLeastBarHeight = 10;

struct RowInk {
  int Count = 0, Start = 0, End = 0;  // ink pixels, the first one, one past the last one
};

RowInk InkOfRow(const BinaryImage& ink, int y, int left, int right) {
  RowInk r{0, right, left};
  const std::uint8_t* row = ink.Ink.data() + static_cast<std::size_t>(y) * ink.Width;
  int x = left;
#if defined(__SSE2__)
  // Sixteen pixels a step: their ink counted as bytes 0 or 1 by one sum of differences, the
  // first and last found from the bits of a compare. The row's last sixteen are taken again
  // where its width is not a multiple of sixteen, the pixels seen already masked out.
  if (right - left >= 16) {
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi8(1);
    __m128i count = zero;
    const auto step = [&](int at, __m128i keep) {
      const __m128i v =
          _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + at)), keep);
      count = _mm_add_epi64(count, _mm_sad_epu8(_mm_min_epu8(v, one), zero));
      const unsigned bits =
          ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero))) & 0xFFFFu;
      if (bits == 0) return;
      if (r.Start == right) r.Start = at + __builtin_ctz(bits);
      r.End = at + 32 - __builtin_clz(bits);
    };
    for (; x + 16 <= right; x += 16) step(x, _mm_set1_epi8(-1));
    if (x < right) step(right - 16, LastLanes(right - x));
    r.Count = _mm_cvtsi128_si32(count) + _mm_cvtsi128_si32(_mm_srli_si128(count, 8));
    return r;
  }
#endif
  for (; x < right; ++x)
    if (row[x]) ++r.Count, r.Start = std::min(r.Start, x), r.End = x + 1;
  return r;
}

// The bars within one component's box: runs of rows at least 40 % ink, kept when their first
// and last rows are solid and some row between is not.
void BarsIn(const BinaryImage& ink, const Rect& box, std::vector<Bar>& bars) {
  std::vector<RowInk> rows;
  for (int y = box.Top; y < box.Bottom(); ++y)
    rows.push_back(InkOfRow(ink, y, box.Left, box.Right()));
  const auto solid = [&](const RowInk& r) { return 100 * r.Count >= 97 * box.Width; };
  std::size_t k = 0;
  while (k < rows.size()) {
    if (10 * rows[k].Count < 4 * box.Width) {
      ++k;
      continue;
    }
    std::size_t end = k;
    while (end < rows.size() && 10 * rows[end].Count >= 4 * box.Width) ++end;
    // The run's solid rows at either end frame what lies between.
    std::size_t first = k, last = end;
    while (first < end && !solid(rows[first])) ++first;
    while (last > first && !solid(rows[last - 1])) --last;
    bool open = false;
    for (std::size_t i = first; i < last; ++i) open = open || !solid(rows[i]);
    const int height = static_cast<int>(end - k);
    if (open && height >= kLeastBarHeight && box.Width >= 2 * height) {
      Bar b;
      b.Top = box.Top + static_cast<int>(k);
      b.Bottom = box.Top + static_cast<int>(end);
      for (std::size_t i = k; i < end; ++i) {
        b.Starts.push_back(rows[i].Start);
        b.Ends.push_back(rows[i].End);
      }
      bars.push_back(std::move(b));
    }
    k = end;
  }
}

// The median grey of the given pixels (counted in a histogram).
std::uint8_t MedianGrey(const std::array<long long, 256>& counts) {
  long long total = 0, seen = 0;
  for (long long c : counts) total += c;
  for (int v = 0; v < 256; ++v)
    if (2 * (seen += counts[v]) >= total) return static_cast<std::uint8_t>(v);
  return 0;
}

}  // namespace

std::vector<Bar> FindBars(const BinaryImage& ink, const std::vector<Component>& components) {
  std::vector<Bar> bars;
  for (const Component& c : components) {
    const Rect& b = c.Box;
    if (b.Height < kLeastBarHeight || b.Width < 3 * kLeastBarHeight) continue;
    // Too little ink for ten rows of 40 %: a frame's thin lines, a stroke.
    if (10 * c.Area < 4LL * b.Width * kLeastBarHeight) continue;
    BarsIn(ink, b, bars);
  }
  return bars;
}

void FlipBars(GreyImage& grey, const Binarised& ink, const std::vector<Bar>& bars) {
  std::array<long long, 256> ground{};
  for (std::size_t i = 0; i < grey.Pixels.size(); ++i)
    if (!ink.Image.Ink[i]) ++ground[grey.Pixels[i]];
  const int page = MedianGrey(ground);
  const int darkest = ink.DarkOnLight ? 0 : 255;
  for (const Bar& bar : bars) {
    std::array<long long, 256> barInk{};
    int text = -1;  // the grey of the bar's text: the one farthest from its ink
    for (int y = bar.Top; y < bar.Bottom; ++y)
      for (int x = bar.Starts[y - bar.Top]; x < bar.Ends[y - bar.Top]; ++x)
        if (ink.Image.At(x, y)) ++barInk[grey.At(x, y)];
    const int back = MedianGrey(barInk);
    for (int y = bar.Top; y < bar.Bottom; ++y)
      for (int x = bar.Starts[y - bar.Top]; x < bar.Ends[y - bar.Top]; ++x)
        if (!ink.Image.At(x, y) &&
            (text < 0 || std::abs(grey.At(x, y) - back) > std::abs(text - back)))
          text = grey.At(x, y);
    if (text < 0 || text == back) continue;
    // back -> the page's ground, text -> the darkest ink, linearly between.
    for (int y = bar.Top; y < bar.Bottom; ++y) {
      std::uint8_t* row = grey.Pixels.data() + static_cast<std::size_t>(y) * grey.Width;
      for (int x = bar.Starts[y - bar.Top]; x < bar.Ends[y - bar.Top]; ++x) {
        const int v = page + (row[x] - back) * (darkest - page) / (text - back);
        row[x] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
      }
    }
  }
}

}  // namespace morvik
