#include "reading/character_sampling.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/error.h"
#include "core/x86_dispatch.h"
#include "image/column_maxima.h"
#include "image/grey.h"
#include "image/grey_counts.h"
#include "image/picture_loading.h"
#include "image/same_bytes.h"
#include "segment/cut.h"

namespace morvik {

namespace {

// A grey picture, one byte per pixel, rows of Width bytes.
struct Plane {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Pixels;
};

// How many rows from `row` on (at least 1, at most `left`) repeat it byte for byte: an
// enlarged cut repeats each source row several times, and a repeated row adds nothing new to
// a maximum and the same counts to a histogram.
int RepeatsOf(const std::uint8_t* row, int width, int left) {
  int same = 1;
  while (same < left && SameBytes(row, row + static_cast<std::size_t>(same) * width,
                                  static_cast<std::size_t>(width)))
    ++same;
  return same;
}

// The greys of a width x height picture added to the histogram, a run of equal rows counted
// once with its length.
void Count(const std::uint8_t* p, int width, int height, std::array<std::int32_t, 256>& histogram) {
  GreyCounts<std::int32_t> parts{};
  const std::size_t n = static_cast<std::size_t>(width);
  for (int y = 0; y < height;) {
    const std::uint8_t* row = p + static_cast<std::size_t>(y) * n;
    const int same = RepeatsOf(row, width, height - y);
    AddGreys(row, n, same, parts);
    y += same;
  }
  for (int g = 0; g < 256; ++g)
    histogram[g] += parts[0][g] + parts[1][g] + parts[2][g] + parts[3][g];
}

// AnalyseBitmap's automatic threshold and increment for a histogram. A fixed threshold stays
// as given whatever the histogram, which is then not even counted.
void Analyse(Histograms& h, int& threshold, int& increment) {
  BuildCoarseHistogram(h);
  FindPeak(h);
  threshold = std::clamp((FindThreshold(h) * 100) / 16 - 1, 0, 100);
  increment = std::clamp(100 - threshold, 0, 100);
}

// The cut with its black margins, inverted for black characters as the grey conversion does.
Plane Padded(const GreyImage& cut, bool invert) {
  Plane p{cut.Width + 2 * kCutMargin, cut.Height + 2 * kCutMargin, {}};
  p.Pixels.assign(static_cast<std::size_t>(p.Width) * p.Height, 0);
  for (int y = 0; y < cut.Height; ++y)
    std::copy_n(cut.Pixels.data() + static_cast<std::size_t>(y) * cut.Width, cut.Width,
                p.Pixels.data() + static_cast<std::size_t>(y + kCutMargin) * p.Width + kCutMargin);
  if (invert)
    for (std::uint8_t& g : p.Pixels) g = static_cast<std::uint8_t>(255 - g);
  return p;
}

// Part of a grey picture: Height rows of Width bytes, Stride bytes apart.
struct Area {
  const std::uint8_t* Pixels = nullptr;
  int Width = 0, Height = 0;
  std::size_t Stride = 0;
};

// The box of the pixels brighter than `background`, as FindContentBox finds it, within the
// picture; an empty area when there are none. Found from the brightest grey of each row and
// of each column, whole rows at a time: a row or
// column is inside the box exactly when its brightest pixel is brighter than the ground. A run
// of equal rows is looked at once.
Area Cropped(const std::uint8_t* pixels, int width, int height, int background) {
  std::vector<std::uint8_t> columns(static_cast<std::size_t>(width), 0);
  int top = height, bottom = 0;
  for (int y = 0; y < height;) {
    const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * width;
    const int same = RepeatsOf(row, width, height - y);
    const std::uint8_t most = RaiseColumns(columns.data(), row, width);
    y += same;
    if (most <= background) continue;
    top = std::min(top, y - same);
    bottom = y;
  }
  if (bottom == 0) return Area{};
  int left = 0, right = width;
  while (columns[left] <= background) ++left;
  while (columns[right - 1] <= background) --right;
  return Area{pixels + static_cast<std::size_t>(top) * width + left, right - left, bottom - top,
              static_cast<std::size_t>(width)};
}

// Source index of each of n target pixels scaled from `size`: StretchDraw's x * size div n,
// stepped without a division per pixel.
std::vector<int> NearestIndices(int size, int n) {
  std::vector<int> at(static_cast<std::size_t>(n));
  const int step = size / n, rest = size % n;
  int s = 0, r = 0;
  for (int i = 0; i < n; ++i) {
    at[static_cast<std::size_t>(i)] = s;
    s += step;
    r += rest;
    if (r >= n) r -= n, ++s;
  }
  return at;
}

// A stretched row sixteen target pixels at a time, each sixteen picked by one byte shuffle
// from sixteen source pixels in a row (the last sixteen of the row taken again where w is not
// a multiple of sixteen): the shuffle of step i picks Picks[i] from the source from Base[i] on,
// for target pixels At[i] on. Empty where some sixteen spread wider (a raster narrower than
// its source) or the processor has no byte shuffle.
struct Shuffles {
  std::vector<int> At, Base;
  std::vector<std::array<std::uint8_t, 16>> Picks;
};

Shuffles ShufflesOf(const std::vector<int>& xs, int sourceWidth, int w) {
  Shuffles s;
#ifdef MORVIK_X86_DISPATCH
  if (w < 16 || sourceWidth < 16 || !CPU_FEATURE_ACTIVE(SSSE3)) return s;
  for (int x = 0;; x += 16) {
    const int at = std::min(x, w - 16);
    // Within the source row however far right its pixels lie.
    const int base = std::min(xs[static_cast<std::size_t>(at)], sourceWidth - 16);
    std::array<std::uint8_t, 16> picks;
    for (int k = 0; k < 16; ++k) {
      const int pick = xs[static_cast<std::size_t>(at + k)] - base;
      if (pick < 0 || pick > 15) return Shuffles{};
      picks[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(pick);
    }
    s.At.push_back(at);
    s.Base.push_back(base);
    s.Picks.push_back(picks);
    if (at == w - 16) break;
  }
#else
  (void)xs, (void)sourceWidth, (void)w;
#endif
  return s;
}

#ifdef MORVIK_X86_DISPATCH
__attribute__((target("ssse3"))) void ShuffledRow(const std::uint8_t* row, const Shuffles& s,
                                                  std::uint8_t* d) {
  for (std::size_t i = 0; i < s.At.size(); ++i)
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(d + s.At[i]),
        _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + s.Base[i])),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.Picks[i].data()))));
}
#endif

// StretchDraw's nearest-neighbour scaling to w x h.
Plane Stretched(const Area& p, int w, int h) {
  Plane out{w, h,
            std::vector<std::uint8_t>(static_cast<std::size_t>(std::max(w, 0)) *
                                      static_cast<std::size_t>(std::max(h, 0)))};
  if (w <= 0 || h <= 0) return out;
  const std::vector<int> xs = NearestIndices(p.Width, w), ys = NearestIndices(p.Height, h);
  const Shuffles shuffles = ShufflesOf(xs, p.Width, w);
  const std::uint8_t* previous = nullptr;  // the source row of the target row above
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row =
        p.Pixels + static_cast<std::size_t>(ys[static_cast<std::size_t>(y)]) * p.Stride;
    std::uint8_t* d = out.Pixels.data() + static_cast<std::size_t>(y) * w;
    // An enlarged cut repeats its rows: a source row equal to the one above gives its row.
    if (previous != nullptr &&
        (row == previous || SameBytes(row, previous, static_cast<std::size_t>(p.Width))))
      std::copy_n(d - w, w, d);
#ifdef MORVIK_X86_DISPATCH
    else if (!shuffles.At.empty())
      ShuffledRow(row, shuffles, d);
#endif
    else
      for (int x = 0; x < w; ++x) d[x] = row[xs[static_cast<std::size_t>(x)]];
    previous = row;
  }
  return out;
}

// The pixels of the margins a cut is analysed with, all of the darkest grey.
int MarginPixels(const GreyImage& cut) {
  return (cut.Width + 2 * kCutMargin) * (cut.Height + 2 * kCutMargin) - cut.Width * cut.Height;
}

// The picture LoadPicture scales: the cut with its margins, inverted for black characters,
// cropped where asked; threshold and increment as its analysis leaves them, `h` its
// histogram. Bright characters, the rule, need no margins drawn: they are black, so they count
// in the histogram's first bin and are never brighter than the crop's background. An area of
// the cut itself or of `made`, which holds the picture where one had to be made.
Area Source(const GreyImage& cut, const ImageOptions& options, int& threshold, int& increment,
            Plane& made, Histograms& h) {
  auto whole = [](const Plane& p) {
    return Area{p.Pixels.data(), p.Width, p.Height, static_cast<std::size_t>(p.Width)};
  };
  const bool automatic = options.AutoThreshold;
  if (options.BlackCharacters) {
    made = Padded(cut, true);
    if (automatic) {
      Count(made.Pixels.data(), made.Width, made.Height, h.Histogram);
      Analyse(h, threshold, increment);
    }
    if (!options.Crop) return whole(made);
    return Cropped(made.Pixels.data(), made.Width, made.Height,
                   ((threshold * 255) / 100 - 1) & 0xFF);
  }
  if (automatic) {
    Count(cut.Pixels.data(), cut.Width, cut.Height, h.Histogram);
    h.Histogram[0] += MarginPixels(cut);
    Analyse(h, threshold, increment);
  }
  if (!options.Crop) return whole(made = Padded(cut, false));
  return Cropped(cut.Pixels.data(), cut.Width, cut.Height, ((threshold * 255) / 100 - 1) & 0xFF);
}

// The pattern where the crop kept the whole cut and the raster is the cut's own size: the
// stretch would copy it pixel for pixel, so it is sampled in place, and its histogram is the
// first analysis's without the margins.
TPattern Unstretched(const GreyImage& cut, const Histograms& first, bool automatic, int threshold,
                     int increment) {
  if (automatic) {
    Histograms h;
    h.Histogram = first.Histogram;
    h.Histogram[0] -= MarginPixels(cut);
    Analyse(h, threshold, increment);
  }
  TPattern pattern;
  SampleGreyPattern(cut.Pixels.data(), cut.Width, cut.Height, threshold, increment, pattern);
  return pattern;
}

}  // namespace

TPattern SampleCharacter(const GreyImage& cut, const ImageOptions& options,
                         const std::string& name) {
  int threshold = std::clamp(options.Threshold, 0, 100);
  int increment = std::clamp(options.Increment, 0, 100);
  Plane made;
  Histograms first;
  const Area source = Source(cut, options, threshold, increment, made, first);
  if (source.Height == 0)
    throw FileError(name, "the picture has no pixels left to scale (division by zero)");
  const RasterSize size = ComputeRasterSize(source.Width, source.Height, options);
  if (!options.BlackCharacters && source.Pixels == cut.Pixels.data() && source.Width == cut.Width &&
      source.Height == cut.Height && size.Width == cut.Width && size.Height == cut.Height)
    return Unstretched(cut, first, options.AutoThreshold, threshold, increment);
  Plane raster = Stretched(source, size.Width, size.Height);
  const bool empty = raster.Width <= 0 || raster.Height <= 0;
  if (empty && options.AutoThreshold)
    throw FileError(name,
                    "the picture has no pixels to find a threshold in (invalid floating-point "
                    "operation)");
  // The second analysis converts the raster once more: black characters are inverted back.
  if (options.BlackCharacters)
    for (std::uint8_t& g : raster.Pixels) g = static_cast<std::uint8_t>(255 - g);
  if (!empty && options.AutoThreshold) {
    Histograms h;
    Count(raster.Pixels.data(), raster.Width, raster.Height, h.Histogram);
    Analyse(h, threshold, increment);
  }
  TPattern pattern;
  SampleGreyPattern(raster.Pixels.data(), std::max(raster.Width, 0), raster.Height, threshold,
                    increment, pattern);
  return pattern;
}

}  // namespace morvik
