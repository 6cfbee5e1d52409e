#include "segment/isolated_pixels.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/x86_dispatch.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvik {

namespace {

// Whether p and q differ by more than kIsolatedPixelContrast, in one unsigned comparison.
bool FarFrom(int p, int q) {
  return static_cast<unsigned>(p - q + kIsolatedPixelContrast) > 2u * kIsolatedPixelContrast;
}

// Whether each of the eight pixels from p on equals the pixel before it.
bool SameAsLeft8(const std::uint8_t* p) {
  std::uint64_t here, left;
  std::memcpy(&here, p, sizeof here);
  std::memcpy(&left, p - 1, sizeof left);
  return here == left;
}

// How many of the sixteen pixels from p on, from the first, are each close to one of their
// neighbours to the left, to the right, above or below (all must lie inside the picture), so
// that none of them is isolated: 16 where all are. Most of a picture, its ground and the
// inside and edges of its strokes, passes sixteen pixels a step.
int QuietRun16(const std::uint8_t* p, std::ptrdiff_t width) {
#if defined(__SSE2__)
  const __m128i contrast = _mm_set1_epi8(static_cast<char>(kIsolatedPixelContrast));
  const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // Per pixel, how far beyond the contrast it lies from the neighbour (0: not far).
  const auto beyond = [&](const std::uint8_t* q) {
    const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
    return _mm_subs_epu8(_mm_or_si128(_mm_subs_epu8(here, n), _mm_subs_epu8(n, here)), contrast);
  };
  const __m128i farFromAll = _mm_min_epu8(_mm_min_epu8(beyond(p - 1), beyond(p + 1)),
                                          _mm_min_epu8(beyond(p - width), beyond(p + width)));
  const unsigned far =
      ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(farFromAll, _mm_setzero_si128())));
  return __builtin_ctz(far | 0x10000u);
#else
  (void)p;
  (void)width;
  return 0;
#endif
}

// The first pixel from x on, in a row with rows above and below it, that may be isolated, or
// one of the last sixteen of the row.
int PastQuietPixels(const std::uint8_t* row, int x, int width) {
  while (x + 17 <= width) {
    if (SameAsLeft8(row + x)) {  // cheaper still, on flat ground
      x += 8;
      continue;
    }
    const int run = QuietRun16(row + x, width);
    x += run;
    if (run < 16) break;
  }
  return x;
}

#ifdef MORVIK_X86_DISPATCH
// Per pixel, how far beyond the contrast it lies from its neighbour n (0: not far).
__attribute__((target("avx2"))) inline __m256i Beyond(__m256i here, __m256i n, __m256i contrast) {
  return _mm256_subs_epu8(_mm256_or_si256(_mm256_subs_epu8(here, n), _mm256_subs_epu8(n, here)),
                          contrast);
}

__attribute__((target("avx2"))) inline __m256i Load32(const std::uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// PastQuietPixels thirty-two pixels a step, the last of the row sixteen at a time.
__attribute__((target("avx2"))) int Avx2PastQuietPixels(const std::uint8_t* row, int x, int width) {
  const __m256i contrast = _mm256_set1_epi8(static_cast<char>(kIsolatedPixelContrast));
  const __m256i zero = _mm256_setzero_si256();
  const auto w = static_cast<std::ptrdiff_t>(width);
  while (x + 33 <= width) {
    const std::uint8_t* p = row + x;
    const __m256i here = Load32(p), left = Load32(p - 1);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(here, left)) == -1) {  // flat ground
      x += 32;
      continue;
    }
    const __m256i farFromAll = _mm256_min_epu8(
        _mm256_min_epu8(Beyond(here, left, contrast), Beyond(here, Load32(p + 1), contrast)),
        _mm256_min_epu8(Beyond(here, Load32(p - w), contrast),
                        Beyond(here, Load32(p + w), contrast)));
    const auto far =
        ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(farFromAll, zero)));
    if (far != 0) return x + __builtin_ctz(far);
    x += 32;
  }
  return PastQuietPixels(row, x, width);
}
#endif

// The fourth smallest of eight: each half sorted by a network of five exchanges, then the
// least, over the ways of taking four from the two halves' fronts, of the largest taken.
int FourthOfEight(const std::array<int, 8>& n) {
  auto sorted4 = [](int a, int b, int c, int d, std::array<int, 4>& out) {
    auto order = [](int& x, int& y) {
      const int low = std::min(x, y);
      y = std::max(x, y);
      x = low;
    };
    order(a, b);
    order(c, d);
    order(a, c);
    order(b, d);
    order(b, c);
    out = {a, b, c, d};
  };
  std::array<int, 4> a, b;
  sorted4(n[0], n[1], n[2], n[3], a);
  sorted4(n[4], n[5], n[6], n[7], b);
  return std::min(std::min(std::min(b[3], a[3]), std::max(a[0], b[2])),
                  std::min(std::max(a[1], b[1]), std::max(a[2], b[0])));
}

// The median of the pixel's neighbours inside the picture when it stands out from all of
// them; otherwise the pixel as it is.
std::uint8_t Cleaned(const GreyImage& grey, int x, int y) {
  const int p = grey.At(x, y);
  std::array<int, 8> n{};
  std::size_t count = 0;
  if (x > 0 && y > 0 && x + 1 < grey.Width && y + 1 < grey.Height) {
    // Inside the picture, as most are: all eight, without a test each.
    const auto w = static_cast<std::ptrdiff_t>(grey.Width);
    const std::uint8_t* c = grey.Pixels.data() + y * w + x;
    n = {c[-w - 1], c[-w], c[-w + 1], c[-1], c[1], c[w - 1], c[w], c[w + 1]};
    count = 8;
  } else {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const int nx = x + dx, ny = y + dy;
        if ((dx || dy) && nx >= 0 && ny >= 0 && nx < grey.Width && ny < grey.Height)
          n[count++] = grey.At(nx, ny);
      }
  }
  if (count == 0) return static_cast<std::uint8_t>(p);
  const auto [low, high] = std::minmax_element(n.begin(), n.begin() + count);
  if (p - *high <= kIsolatedPixelContrast && *low - p <= kIsolatedPixelContrast)
    return static_cast<std::uint8_t>(p);
  // A neighbour half way between the pixel and the others is the soft edge of a mark (the
  // one-pixel dot of an i at screen sizes), not noise on flat ground.
  if (*high - *low > kIsolatedPixelContrast) return static_cast<std::uint8_t>(p);
  // A sharp one-pixel dot one or two rows above a stem of its grey is the dot of an i or a j
  // (its soft lower half, when it has one, is too faint to count as a neighbour).
  auto stemAt = [&](int from) {
    return from + 1 < grey.Height && !FarFrom(p, grey.At(x, from)) &&
           !FarFrom(p, grey.At(x, from + 1));
  };
  if (stemAt(y + 2) || stemAt(y + 3)) return static_cast<std::uint8_t>(p);
  if (count == 8) return static_cast<std::uint8_t>(FourthOfEight(n));
  std::nth_element(n.begin(), n.begin() + (count - 1) / 2, n.begin() + count);
  return static_cast<std::uint8_t>(n[(count - 1) / 2]);
}

// Whether the pixel is far from its neighbours to the right, above and below, where there
// are such: a pixel close to any neighbour is kept as it is, so most pixels on the soft
// edges of print need not have all eight gathered.
bool FarFromRest(const GreyImage& grey, const std::uint8_t* row, int x, int y) {
  const auto width = static_cast<std::ptrdiff_t>(grey.Width);
  return (x + 1 >= grey.Width || FarFrom(row[x], row[x + 1])) &&
         (y == 0 || FarFrom(row[x], row[x - width])) &&
         (y + 1 >= grey.Height || FarFrom(row[x], row[x + width]));
}

}  // namespace

void RemoveIsolatedPixelsInPlace(GreyImage& grey) {
  if (grey.Width <= 0) return;
#ifdef MORVIK_X86_DISPATCH
  const auto past = CPU_FEATURE_ACTIVE(AVX2) ? Avx2PastQuietPixels : PastQuietPixels;
#else
  const auto past = PastQuietPixels;
#endif
  // A pixel is judged by its neighbours as they were, from the row above to four rows down,
  // so a row's new greys are written once the row below it is done: until then both rows
  // are read as they were.
  struct Change {
    int X;
    std::uint8_t Grey;
  };
  std::vector<Change> changes, above;
  std::uint8_t* rowAbove = nullptr;
  for (int y = 0; y < grey.Height; ++y) {
    std::uint8_t* row = grey.Pixels.data() + static_cast<std::size_t>(y) * grey.Width;
    // Most pixels have a neighbour close to them: the one to the left (for the first pixel,
    // the one to the right) decides; a pixel alone in its row has only the rows around it.
    const auto judge = [&](int x) {
      const std::uint8_t cleaned = Cleaned(grey, x, y);
      if (cleaned != row[x]) changes.push_back({x, cleaned});
    };
    if (grey.Width == 1 || FarFrom(row[0], row[1])) judge(0);
    const bool inside = y > 0 && y + 1 < grey.Height;
    for (int x = 1; x < grey.Width; ++x) {
      if (inside) x = past(row, x, grey.Width);
      // Eight pixels equal to their left neighbours (a stretch of one grey, most of a
      // picture) are passed over at once.
      while (x + 8 <= grey.Width && SameAsLeft8(row + x)) x += 8;
      if (x < grey.Width && FarFrom(row[x], row[x - 1]) && FarFromRest(grey, row, x, y)) judge(x);
    }
    for (const Change& c : above) rowAbove[c.X] = c.Grey;
    above.swap(changes);
    changes.clear();
    rowAbove = row;
  }
  for (const Change& c : above) rowAbove[c.X] = c.Grey;
}

GreyImage RemoveIsolatedPixels(const GreyImage& grey) {
  GreyImage out = grey;
  RemoveIsolatedPixelsInPlace(out);
  return out;
}

}  // namespace morvik
