#include "segment/cut.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "core/x86_dispatch.h"

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
// Repeats[t]: target t takes the same source pixels with the same weights as t - 1, so its
// greys are those of t - 1 (within one source pixel when enlarged); found once per size.
struct AreaSpans {
  std::vector<int> First, Start;
  std::vector<std::int32_t> Weights;
  std::vector<char> Repeats;
  // Made again into the same vectors for another size (a cut is read thousands of times a
  // page, and allocations cost more than the weights); SpansOf records which size.
  void Make(int n, int m) {
    // Sized once and written through pointers: a push per weight cost more than the weights.
    // Weights may keep spare room past the last; First has exactly m.
    First.resize(static_cast<std::size_t>(m));
    Start.resize(static_cast<std::size_t>(m) + 1);
    // A target pixel overlaps at most n / m + 2 source pixels.
    Weights.resize(std::max(Weights.size(),
                            static_cast<std::size_t>(m) * (static_cast<std::size_t>(n / m) + 2)));
    int* firsts = First.data();
    int* starts = Start.data();
    std::int32_t* weights = Weights.data();
    int count = 0;
    // lo / m stepped by n / m and n % m: no division per target pixel.
    const std::int64_t step = n / m, extra = n % m;
    std::int64_t first = 0, rest = 0;
    for (int t = 0; t < m; ++t) {
      const std::int64_t lo = std::int64_t{t} * n, hi = lo + n;
      firsts[t] = static_cast<int>(first);
      starts[t] = count;
      // at: where source pixel s starts, s x m, stepped.
      for (std::int64_t s = first, at = first * m; s < n && at < hi; ++s, at += m)
        weights[count++] = static_cast<std::int32_t>(std::min(hi, at + m) - std::max(lo, at));
      first += step;
      rest += extra;
      if (rest >= m) rest -= m, ++first;
    }
    starts[m] = count;
    Repeats.assign(static_cast<std::size_t>(m), 0);
    for (int t = 1; t < m; ++t)
      Repeats[static_cast<std::size_t>(t)] =
          firsts[t] == firsts[t - 1] && starts[t + 1] - starts[t] == starts[t] - starts[t - 1] &&
          std::equal(weights + starts[t - 1], weights + starts[t], weights + starts[t]);
  }
};

// The spans of resampling n pixels to m, made once for the thread's last kKeptSpans sizes:
// a page's cuts share a few dozen widths and heights, and making the spans of each cost more
// than scaling with them. Two asked one after the other are both kept. On the heap, made at
// the first cut: in the thread's own block they gave every process, --version too, a page
// more to fault in at start. Their sizes are kept apart, side by side: looking through the
// slots themselves read a cache line of each, about 1 % of reading a page.
const AreaSpans& SpansOf(int n, int m) {
  constexpr std::size_t kKeptSpans = 32;
  constexpr std::uint64_t kNone = ~std::uint64_t{0};  // no size made: n and m are positive
  thread_local std::vector<AreaSpans> kept(kKeptSpans);
  thread_local std::vector<std::uint64_t> sizes(kKeptSpans, kNone);
  thread_local std::size_t next = 0, last = 0;  // the one to make next, the one given last
  const std::uint64_t size =
      std::uint64_t{static_cast<std::uint32_t>(n)} << 32 | static_cast<std::uint32_t>(m);
  for (std::size_t k = 0; k < kKeptSpans; ++k)
    if (sizes[k] == size) return kept[last = k];
  if (next == last) next = (next + 1) % kKeptSpans;
  last = next;
  next = (next + 1) % kKeptSpans;
  sizes[last] = kNone;  // until made: making them may fail
  kept[last].Make(n, m);
  sizes[last] = size;
  return kept[last];
}

// One row across where every target covers one or two source pixels, in 32 bits (the caller
// holds 255 times the box's width below 2^31): from greys widened to words, whose loads a
// processor with AVX2 gathers eight at a time.
__attribute__((always_inline)) inline void TwoTapsOf(const std::int32_t* g, const int* first,
                                                     const std::int32_t* a, const std::int32_t* b,
                                                     std::size_t m, double* out) {
  for (std::size_t t = 0; t < m; ++t)
    out[t] = static_cast<double>(a[t] * g[first[t]] + b[t] * g[first[t] + 1]);
}

#ifdef MORVIK_X86_DISPATCH
__attribute__((target("avx2"))) void Avx2TwoTaps(const std::int32_t* g, const int* first,
                                                 const std::int32_t* a, const std::int32_t* b,
                                                 std::size_t m, double* out) {
  TwoTapsOf(g, first, a, b, m, out);
}
#endif

void TwoTaps(const std::int32_t* g, const int* first, const std::int32_t* a, const std::int32_t* b,
             std::size_t m, double* out) {
#ifdef MORVIK_X86_DISPATCH
  if (CPU_FEATURE_ACTIVE(AVX2)) return Avx2TwoTaps(g, first, a, b, m, out);
#endif
  TwoTapsOf(g, first, a, b, m, out);
}

// AcrossRows where every target covers one or two source pixels, in 32 bits.
void AcrossTwoTaps(const GreyImage& grey, int left, int top, int w, int h, const AreaSpans& across,
                   double* rows) {
  const std::size_t m = across.First.size();
  // Grown only, as the caller's rows.
  thread_local std::vector<std::int32_t> a, b, line;
  a.resize(std::max(a.size(), m));
  b.resize(std::max(b.size(), m));
  line.resize(std::max(line.size(), static_cast<std::size_t>(w) + 1));
  line[static_cast<std::size_t>(w)] = 0;
  for (std::size_t t = 0; t < m; ++t) {
    const int start = across.Start[t], taps = across.Start[t + 1] - start;
    a[t] = across.Weights[static_cast<std::size_t>(start)];
    b[t] = taps == 2 ? across.Weights[static_cast<std::size_t>(start) + 1] : 0;
  }
  for (int y = 0; y < h; ++y, rows += m) {
    const std::uint8_t* src =
        grey.Pixels.data() + static_cast<std::size_t>(top + y) * grey.Width + left;
    std::copy_n(src, w, line.begin());
    TwoTaps(line.data(), across.First.data(), a.data(), b.data(), m, rows);
  }
}

// The box's source rows resampled across: row y holds, for each of the m target columns, the
// sum of weight x grey over the source pixels it covers (a target's weights sum to the box's
// width, so each sum is at most 255 times that). Where the box is enlarged, every target
// covers one or two source pixels: two products with a spare 0 read past the row's end.
template <typename Acc>
void AcrossRows(const GreyImage& grey, int left, int top, int w, int h, const AreaSpans& across,
                Acc* rows) {
  const std::size_t m = across.First.size();
  const int* first = across.First.data();
  const int* start = across.Start.data();
  const std::int32_t* weights = across.Weights.data();
  bool two = true;
  for (std::size_t t = 0; t < m && two; ++t) two = start[t + 1] - start[t] <= 2;
  if constexpr (std::is_same_v<Acc, double>) {
    if (two && w < (1 << 23)) return AcrossTwoTaps(grey, left, top, w, h, across, rows);
  }
  std::vector<std::int64_t> a, b;
  if (two) {
    a.resize(m);
    b.resize(m);
    for (std::size_t t = 0; t < m; ++t) {
      a[t] = weights[start[t]];
      b[t] = start[t + 1] - start[t] == 2 ? weights[start[t] + 1] : 0;
    }
  }
  std::vector<std::uint8_t> line(static_cast<std::size_t>(w) + 1, 0);
  for (int y = 0; y < h; ++y, rows += m) {
    const std::uint8_t* src =
        grey.Pixels.data() + static_cast<std::size_t>(top + y) * grey.Width + left;
    if (two) {
      std::copy_n(src, w, line.data());
      const std::uint8_t* g = line.data();
      for (std::size_t t = 0; t < m; ++t)
        rows[t] = static_cast<Acc>(a[t] * g[first[t]] + b[t] * g[first[t] + 1]);
      continue;
    }
    for (std::size_t t = 0; t < m; ++t) {
      const std::uint8_t* s = src + first[t];
      std::int64_t sum = 0;
      for (int k = start[t], end = start[t + 1]; k < end; ++k, ++s)
        sum += std::int64_t{weights[k]} * *s;
      rows[t] = static_cast<Acc>(sum);
    }
  }
}

// Each target pixel's mean rounded half up, (sum + total / 2) / total, of the sums
// wa x a[i] + wb x b[i] of integers held exactly in doubles (total below 2^44, so every sum is
// below 2^53). The division is rounded correctly and a quotient that is not whole lies at
// least 1 / total below the next whole number, far more than half a unit in its last place
// (2^-45 at 256), so truncating it gives the integer quotient. Plain arithmetic on whole rows,
// which the compiler runs in vectors.
// Written once and inlined twice, so that a processor with AVX2 takes four pixels a step
// instead of two; without FMA the products and sums round as in the plain loop.
__attribute__((always_inline)) inline void FinishRowOf(const double* a, double wa, const double* b,
                                                       double wb, std::size_t m, std::int64_t total,
                                                       int flip, std::uint8_t* out) {
  const double t = static_cast<double>(total), half = static_cast<double>(total / 2);
  for (std::size_t i = 0; i < m; ++i)
    out[i] = static_cast<std::uint8_t>(
        static_cast<std::int32_t>((wa * a[i] + wb * b[i] + half) / t) ^ flip);
}

#ifdef MORVIK_X86_DISPATCH
__attribute__((target("avx2"))) void Avx2FinishRow(const double* a, double wa, const double* b,
                                                   double wb, std::size_t m, std::int64_t total,
                                                   int flip, std::uint8_t* out) {
  FinishRowOf(a, wa, b, wb, m, total, flip, out);
}
#endif

void FinishRow(const double* a, double wa, const double* b, double wb, std::size_t m,
               std::int64_t total, int flip, std::uint8_t* out) {
#ifdef MORVIK_X86_DISPATCH
  if (CPU_FEATURE_ACTIVE(AVX2)) return Avx2FinishRow(a, wa, b, wb, m, total, flip, out);
#endif
  FinishRowOf(a, wa, b, wb, m, total, flip, out);
}

// The same by the integer reciprocal, for boxes too large for the above.
void FinishRow(const std::int64_t* a, std::int64_t wa, const std::int64_t* b, std::int64_t wb,
               std::size_t m, std::int64_t total, int flip, std::uint8_t* out) {
  const MeanDivisor divisor = MeanDivisorOf(total);
  for (std::size_t i = 0; i < m; ++i)
    out[i] = static_cast<std::uint8_t>(RoundedMean(wa * a[i] + wb * b[i], divisor) ^ flip);
}

// Across first, on the source rows (fewer than the target's where the box is enlarged), then
// down: target row y the weighted sum of the across-rows it covers, its last two taps taken
// with the division. The sums are exact whatever the order, so each pixel is the area mean of
// its definition.
template <typename Acc>
void Resample(const GreyImage& grey, int left, int top, int w, int h, int flip, GreyImage& out) {
  const AreaSpans& across = SpansOf(w, out.Width);
  const AreaSpans& down = SpansOf(h, out.Height);
  const std::size_t m = static_cast<std::size_t>(out.Width);
  const std::int64_t total = std::int64_t{w} * h;
  // Every element is written before it is read: grown only, never cleared again for the
  // next cut.
  thread_local std::vector<Acc> rows, sums;
  rows.resize(std::max(rows.size(), m * static_cast<std::size_t>(h)));
  sums.resize(std::max(sums.size(), m));
  AcrossRows<Acc>(grey, left, top, w, h, across, rows.data());
  for (int y = 0; y < out.Height; ++y) {
    const Acc* row = rows.data() + static_cast<std::size_t>(down.First[y]) * m;
    const std::int32_t* weight = &down.Weights[static_cast<std::size_t>(down.Start[y])];
    const int taps = down.Start[y + 1] - down.Start[y];
    std::uint8_t* target = out.Pixels.data() + static_cast<std::size_t>(y) * m;
    if (down.Repeats[static_cast<std::size_t>(y)]) {
      std::copy(target - m, target, target);
      continue;
    }
    if (taps <= 2) {
      FinishRow(row, Acc(weight[0]), row + (taps == 2 ? m : 0), taps == 2 ? Acc(weight[1]) : Acc(0),
                m, total, flip, target);
      continue;
    }
    for (std::size_t t = 0; t < m; ++t) sums[t] = Acc(weight[0]) * row[t];
    for (int k = 1; k + 1 < taps; ++k) {
      row += m;
      for (std::size_t t = 0; t < m; ++t) sums[t] += Acc(weight[k]) * row[t];
    }
    FinishRow(sums.data(), Acc(1), row + m, Acc(weight[taps - 1]), m, total, flip, target);
  }
  // What a very tall cut needed is not kept for the thread's later cuts.
  if (rows.capacity() > (std::size_t{1} << 16)) std::vector<Acc>().swap(rows);
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
  const int flip = darkOnLight ? 0xFF : 0;  // 255 - g is g ^ 0xFF for a byte
  GreyImage out{tw, th, std::vector<std::uint8_t>(static_cast<std::size_t>(tw) * th)};
  if (std::int64_t{w} * h < (std::int64_t{1} << 44))
    Resample<double>(grey, left, top, w, h, flip, out);
  else
    Resample<std::int64_t>(grey, left, top, w, h, flip, out);
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
