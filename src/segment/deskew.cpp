#include "segment/deskew.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/x86_dispatch.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvik {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

struct Point {
  int X, Y;
};

// Ink pixels with ground below: the bottoms of strokes, most of them on the baselines. At most
// about kMostPoints, taken evenly, which fixes the cost of a page at any resolution.
constexpr std::size_t kMostPoints = 150000;
constexpr std::size_t kCoarseStep = 4;

bool NoInk8(const std::uint8_t* p) {
  std::uint64_t eight;
  std::memcpy(&eight, p, sizeof eight);
  return eight == 0;
}

// Bit k set where pixel k from row on is ink and the one below it is not, for k from 0 to 15.
unsigned LowerEdges16(const std::uint8_t* row, const std::uint8_t* below) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i ground =
      _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row)), zero);
  const __m128i groundBelow =
      _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(below)), zero);
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(ground, groundBelow)));
#else
  unsigned bits = 0;
  for (int k = 0; k < 16; ++k)
    if (row[k] && !below[k]) bits |= 1u << k;
  return bits;
#endif
}

#ifdef MORVIK_X86_DISPATCH
// The edges of a row as LowerEdges16 finds them, thirty-two pixels a step, a step of ground
// (most of a page) passed over on one test; returns where it stopped.
__attribute__((target("avx2"))) int Avx2LowerEdges(const std::uint8_t* row,
                                                   const std::uint8_t* below, int width, int y,
                                                   std::vector<Point>& points) {
  const __m256i zero = _mm256_setzero_si256();
  int x = 0;
  for (; x + 32 <= width; x += 32) {
    const __m256i ink = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x));
    if (_mm256_testz_si256(ink, ink)) continue;
    const __m256i groundBelow =
        _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(below + x)), zero);
    const __m256i edges = _mm256_andnot_si256(_mm256_cmpeq_epi8(ink, zero), groundBelow);
    for (auto bits = static_cast<unsigned>(_mm256_movemask_epi8(edges)); bits != 0;
         bits &= bits - 1)
      points.push_back({x + __builtin_ctz(bits), y});
  }
  return x;
}
#endif

std::vector<Point> LowerEdges(const BinaryImage& ink) {
#ifdef MORVIK_X86_DISPATCH
  const bool avx2 = CPU_FEATURE_ACTIVE(AVX2);
#endif
  std::vector<Point> points;
  for (int y = 0; y < ink.Height; ++y) {
    const std::uint8_t* row = ink.Ink.data() + static_cast<std::size_t>(y) * ink.Width;
    const std::uint8_t* below = y + 1 < ink.Height ? row + ink.Width : nullptr;
    int x = 0;
#ifdef MORVIK_X86_DISPATCH
    if (avx2 && below) x = Avx2LowerEdges(row, below, ink.Width, y, points);
#endif
    // Sixteen pixels a step where there is a row below, the edges among them in order.
    for (; below && x + 16 <= ink.Width; x += 16)
      for (unsigned bits = LowerEdges16(row + x, below + x); bits != 0; bits &= bits - 1)
        points.push_back({x + __builtin_ctz(bits), y});
    for (; x < ink.Width; ++x) {
      // Eight pixels of ground, most of a page, are passed over at once.
      while (x + 8 <= ink.Width && NoInk8(row + x)) x += 8;
      if (x < ink.Width && row[x] && (below == nullptr || !below[x])) points.push_back({x, y});
    }
  }
  if (points.size() > kMostPoints) {
    const std::size_t step = (points.size() + kMostPoints - 1) / kMostPoints;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < points.size(); i += step) points[kept++] = points[i];
    points.resize(kept);
  }
  return points;
}

#ifdef MORVIK_X86_DISPATCH
// Counts the rows of Gathering eight points a step, in 32 bits, where every column times the
// slope fits them: the same rows as in 64 bits. Returns how many points it took.
__attribute__((target("avx2"))) std::size_t Avx2CountRows(const std::vector<Point>& points,
                                                          int slope, int shift, int* rows) {
  static_assert(sizeof(Point) == 2 * sizeof(int), "points lie as pairs of ints");
  const __m256i times = _mm256_set1_epi32(slope), half = _mm256_set1_epi32(32768),
                past = _mm256_set1_epi32(shift);
  alignas(32) int at[8];
  std::size_t i = 0;
  for (; i + 8 <= points.size(); i += 8) {
    const __m256 a = _mm256_loadu_ps(reinterpret_cast<const float*>(points.data() + i));
    const __m256 b = _mm256_loadu_ps(reinterpret_cast<const float*>(points.data() + i + 4));
    // The columns and the rows of the eight, in the same order (not theirs: it does not
    // matter to the counts).
    const __m256i x = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m256i y = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    const __m256i drop =
        _mm256_srai_epi32(_mm256_add_epi32(_mm256_mullo_epi32(x, times), half), 16);
    _mm256_store_si256(reinterpret_cast<__m256i*>(at),
                       _mm256_add_epi32(_mm256_sub_epi32(y, drop), past));
    for (const int row : at) ++rows[row];
  }
  return i;
}

// The sum of the squares of rows[0 .. n), eight a step, each row zeroed as it is read;
// returns how many it took.
__attribute__((target("avx2"))) std::size_t Avx2TakeSquares(int* rows, std::size_t n,
                                                            long long& sum) {
  __m256i sums = _mm256_setzero_si256();
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i* at = reinterpret_cast<__m256i*>(rows + i);
    const __m256i counts = _mm256_loadu_si256(at);
    _mm256_storeu_si256(at, _mm256_setzero_si256());
    // Counts are not negative: their squares as unsigned 64-bit products, even lanes then odd.
    const __m256i odd = _mm256_srli_epi64(counts, 32);
    sums = _mm256_add_epi64(
        sums, _mm256_add_epi64(_mm256_mul_epu32(counts, counts), _mm256_mul_epu32(odd, odd)));
  }
  alignas(32) long long lanes[4];
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), sums);
  sum += lanes[0] + lanes[1] + lanes[2] + lanes[3];
  return i;
}
#endif

// The sum of the squared counts of the rows the points fall in when projected along the
// angle: the larger, the more the points gather in few rows. Slopes in 1/65536 of a pixel.
// The counts are kept in rows, which is all zero before and after (each count is zeroed as it
// is summed): no call clears it whole.
long long Gathering(const std::vector<Point>& points, long double degrees, int width, int height,
                    std::vector<int>& rows) {
  const auto slope = static_cast<long long>(std::llround(std::tan(degrees * kPi / 180) * 65536));
  const long long shift = std::llabs(slope) * width / 65536 + 1;
  const auto used = static_cast<std::size_t>(height + 2 * shift + 1);
  if (rows.size() < used) rows.resize(used);
  std::size_t i = 0;
#ifdef MORVIK_X86_DISPATCH
  if (CPU_FEATURE_ACTIVE(AVX2) && std::llabs(slope) * width < INT32_MAX - 32768)
    i = Avx2CountRows(points, static_cast<int>(slope), static_cast<int>(shift), rows.data());
#endif
  for (; i < points.size(); ++i) {
    const long long row = points[i].Y - ((points[i].X * slope + 32768) >> 16) + shift;
    ++rows[static_cast<std::size_t>(row)];
  }
  long long sum = 0;
  std::size_t k = 0;
#ifdef MORVIK_X86_DISPATCH
  if (CPU_FEATURE_ACTIVE(AVX2)) k = Avx2TakeSquares(rows.data(), used, sum);
#endif
  for (; k < used; ++k) {
    sum += static_cast<long long>(rows[k]) * rows[k];
    rows[k] = 0;
  }
  return sum;
}

}  // namespace

long double EstimateSkew(const BinaryImage& ink) {
  const std::vector<Point> points = LowerEdges(ink);
  // A few words' worth of edges cannot show a line's direction: a short line's letters end at
  // heights of their own (the bar of a 4, the bowl of a B) that some angle lines up by chance.
  if (points.size() < 1000) return 0;
  // The coarse steps look at every fourth edge, the fine ones around the best at all: the
  // coarse search is most of the angles tried, and a quarter of a page's edges still gathers
  // far better at the angle of its lines than a tenth of a degree off.
  std::vector<Point> sample;
  for (std::size_t i = 0; i < points.size(); i += kCoarseStep) sample.push_back(points[i]);
  std::vector<int> rows;
  long double best = 0;
  long long bestScore = 0;
  auto search = [&](const std::vector<Point>& at, long double from, long double to,
                    long double step) {
    for (long double a = from; a <= to + step / 2; a += step) {
      const long long s = Gathering(at, a, ink.Width, ink.Height, rows);
      if (s > bestScore) bestScore = s, best = a;
    }
  };
  bestScore = Gathering(sample, 0, ink.Width, ink.Height, rows);
  search(sample, -kMaxSkewDegrees, kMaxSkewDegrees, 0.1L);
  const long double coarse = best;
  // Around a level coarse angle (below 0.01) every fine one (at most 0.105 degrees further) is
  // below the least skew turned: the answer is 0 whatever they gather.
  static_assert(kMinSkewDegrees > 0.01L + 0.1L + 0.01L / 2, "the fine steps reach 0.105 degrees");
  if (std::fabs(coarse) < 0.01L) return 0;
  const long long level = Gathering(points, 0, ink.Width, ink.Height, rows);
  best = 0;
  bestScore = level;
  search(points, coarse - 0.1L, coarse + 0.1L, 0.01L);
  // Turned lines gather two or three times better at their angle; a gain of a few percent is
  // what some angle finds by chance on a picture of no lines.
  if (std::fabs(best) < kMinSkewDegrees || 4 * bestScore < 5 * level) return 0;
  return best;
}

void Unrotate(long double degrees, int width, int height, long double& x, long double& y) {
  const long double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
  const long double cx = (width - 1) / 2.0L, cy = (height - 1) / 2.0L;
  const long double dx = x - cx, dy = y - cy;
  x = cx + dx * c - dy * s;
  y = cy + dx * s + dy * c;
}

namespace {

// Floor and ceiling of n / d for d != 0, exact for either sign.
long long FloorDiv(long long n, long long d) {
  const long long q = n / d;
  return (n % d != 0 && (n < 0) != (d < 0)) ? q - 1 : q;
}
long long CeilDiv(long long n, long long d) {
  return -FloorDiv(-n, d);
}

// Narrows [lo, hi] to the x where 0 <= v + x * d <= most.
void KeepWithin(long long v, long long d, long long most, long long& lo, long long& hi) {
  if (d == 0) {
    if (v < 0 || v > most) lo = hi + 1;
    return;
  }
  const long long a = d > 0 ? CeilDiv(-v, d) : CeilDiv(most - v, d);
  const long long b = d > 0 ? FloorDiv(most - v, d) : FloorDiv(-v, d);
  lo = std::max(lo, a);
  hi = std::min(hi, b);
}

#if defined(__SSE2__)
// Eight pixels of a row at once, as the loop of Rotate works each out: their sources lie on one
// row of the picture, in consecutive columns, so they are loaded as they lie. fx0 and fy0 are
// the first pixel's fractions in 1/65536 pixel; along the eight the x fraction falls by
// 65536 - c a step (no column is skipped) and the y fraction moves by s (no row is crossed).
void RotateEight(const std::uint8_t* p, std::size_t w, int fx0, int fy0, int c, int s,
                 std::uint8_t* o) {
  const __m128i steps = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
  const __m128i full = _mm_set1_epi16(256);
  const __m128i zero = _mm_setzero_si128();
  const __m128i fx = _mm_srli_epi16(
      _mm_sub_epi16(_mm_set1_epi16(static_cast<short>(fx0)),
                    _mm_mullo_epi16(steps, _mm_set1_epi16(static_cast<short>(65536 - c)))),
      8);
  const __m128i fy =
      _mm_srli_epi16(_mm_add_epi16(_mm_set1_epi16(static_cast<short>(fy0)),
                                   _mm_mullo_epi16(steps, _mm_set1_epi16(static_cast<short>(s)))),
                     8);
  const auto load = [&](const std::uint8_t* at) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)), zero);
  };
  // Each product below 65536: exact in 16 bits.
  const __m128i gx = _mm_sub_epi16(full, fx);
  const __m128i top = _mm_add_epi16(_mm_mullo_epi16(load(p), gx), _mm_mullo_epi16(load(p + 1), fx));
  const __m128i bottom =
      _mm_add_epi16(_mm_mullo_epi16(load(p + w), gx), _mm_mullo_epi16(load(p + w + 1), fx));
  const __m128i gy = _mm_sub_epi16(full, fy);
  // The products by the y weights in 32 bits: low and high halves interleaved.
  const auto times = [](__m128i a, __m128i b, bool high) {
    const __m128i lo = _mm_mullo_epi16(a, b), hi = _mm_mulhi_epu16(a, b);
    return high ? _mm_unpackhi_epi16(lo, hi) : _mm_unpacklo_epi16(lo, hi);
  };
  const __m128i half = _mm_set1_epi32(32768);
  const __m128i first = _mm_srli_epi32(
      _mm_add_epi32(_mm_add_epi32(times(top, gy, false), times(bottom, fy, false)), half), 16);
  const __m128i second = _mm_srli_epi32(
      _mm_add_epi32(_mm_add_epi32(times(top, gy, true), times(bottom, fy, true)), half), 16);
  const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(first, second), zero);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(o), bytes);
}
#endif

}  // namespace

GreyImage Rotate(const GreyImage& grey, long double degrees, std::uint8_t ground) {
  GreyImage out{grey.Width, grey.Height, std::vector<std::uint8_t>(grey.Pixels.size(), ground)};
  if (grey.Width < 2 || grey.Height < 2) return out;
  const long double a = degrees * kPi / 180;
  // Source positions in 1/256 of a pixel, stepped along each row.
  const auto c = static_cast<long long>(std::llround(std::cos(a) * 65536));
  const auto s = static_cast<long long>(std::llround(std::sin(a) * 65536));
  const long long cx = static_cast<long long>(grey.Width - 1) * 32768;
  const long long cy = static_cast<long long>(grey.Height - 1) * 32768;
  // A pixel takes its four sources where they all lie inside: source x from 0 to Width - 2,
  // in 1/65536 pixel below (Width - 1) * 65536; the x of a row doing so form one run, as the
  // source steps along a line. Outside it the pixel keeps the ground.
  const long long mostX = static_cast<long long>(grey.Width - 1) * 65536 - 1;
  const long long mostY = static_cast<long long>(grey.Height - 1) * 65536 - 1;
  const std::size_t w = static_cast<std::size_t>(grey.Width);
  // Held in locals: the bytes written could otherwise alias them, and be read again each pixel.
  const std::uint8_t* const source = grey.Pixels.data();
  for (int y = 0; y < grey.Height; ++y) {
    const long long dy = y * 65536LL - cy;
    const long long sx0 = cx - cx * c / 65536 - dy * s / 65536;  // at x = 0, in 1/65536 pixel
    const long long sy0 = cy - cx * s / 65536 + dy * c / 65536;
    long long lo = 0, hi = grey.Width - 1;
    KeepWithin(sx0, c, mostX, lo, hi);
    KeepWithin(sy0, s, mostY, lo, hi);
    std::uint8_t* o = out.Pixels.data() + static_cast<std::size_t>(y) * w;
    long long sx = sx0 + lo * c, sy = sy0 + lo * s;
    const long long last = hi;
    for (long long x = lo; x <= last;) {
#if defined(__SSE2__)
      const long long column = sx >> 16, row = sy >> 16;
      if (x + 7 <= last && ((sx + 7 * c) >> 16) - column == 7 && ((sy + 7 * s) >> 16) == row) {
        RotateEight(source + static_cast<std::size_t>(row) * w + static_cast<std::size_t>(column),
                    w, static_cast<int>(sx & 65535), static_cast<int>(sy & 65535),
                    static_cast<int>(c), static_cast<int>(s), o + x);
        x += 8, sx += 8 * c, sy += 8 * s;
        continue;
      }
#endif
      const auto fx = static_cast<std::uint32_t>((sx >> 8) & 255);
      const auto fy = static_cast<std::uint32_t>((sy >> 8) & 255);
      const std::uint8_t* p =
          source + static_cast<std::size_t>(sy >> 16) * w + static_cast<std::size_t>(sx >> 16);
      const std::uint32_t top = p[0] * (256 - fx) + p[1] * fx;
      const std::uint32_t bottom = p[w] * (256 - fx) + p[w + 1] * fx;
      o[x] = static_cast<std::uint8_t>((top * (256 - fy) + bottom * fy + 32768) >> 16);
      ++x, sx += c, sy += s;
    }
  }
  return out;
}

std::uint8_t GroundGrey(const GreyImage& grey, const BinaryImage& ink) {
  std::array<long long, 256> counts{};
  for (std::size_t i = 0; i < grey.Pixels.size(); ++i)
    if (!ink.Ink[i]) ++counts[grey.Pixels[i]];
  return static_cast<std::uint8_t>(std::max_element(counts.begin(), counts.end()) - counts.begin());
}

}  // namespace morvik
