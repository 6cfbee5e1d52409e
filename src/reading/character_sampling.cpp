#include "reading/character_sampling.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/error.h"
#include "image/grey.h"
#include "image/picture_loading.h"
#include "segment/cut.h"

namespace morvik {

namespace {

// A grey picture, one byte per pixel, rows of Width bytes.
struct Plane {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Pixels;
};

// The greys of n pixels added to the histogram. Four partial counts: in the long runs of one
// grey (black ground, the margins) each increment would otherwise wait on the one before.
void Count(const std::uint8_t* p, std::size_t n, std::array<std::int32_t, 256>& histogram) {
  std::array<std::array<std::int32_t, 256>, 4> parts{};
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    ++parts[0][p[i]];
    ++parts[1][p[i + 1]];
    ++parts[2][p[i + 2]];
    ++parts[3][p[i + 3]];
  }
  for (; i < n; ++i) ++parts[0][p[i]];
  for (int g = 0; g < 256; ++g)
    histogram[g] += parts[0][g] + parts[1][g] + parts[2][g] + parts[3][g];
}

// AnalyseBitmap's threshold and increment for a histogram: with automatic threshold, those it
// finds; otherwise as given.
void Analyse(Histograms& h, bool automatic, int& threshold, int& increment) {
  BuildCoarseHistogram(h);
  FindPeak(h);
  if (!automatic) return;
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

// The box of the pixels brighter than `background`, as FindContentBox finds it, cut out; an
// empty plane when there are none.
Plane Cropped(const std::uint8_t* pixels, int width, int height, int background) {
  int top = height, bottom = 0, left = width, right = 0;
  // Each row from both ends: only its first and last bright pixel can move the box.
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * width;
    int first = 0;
    while (first < width && row[first] <= background) ++first;
    if (first == width) continue;
    int last = width - 1;
    while (row[last] <= background) --last;
    top = std::min(top, y);
    bottom = y + 1;
    left = std::min(left, first);
    right = std::max(right, last + 1);
  }
  if (bottom == 0) return Plane{};
  Plane out{right - left, bottom - top, {}};
  out.Pixels.reserve(static_cast<std::size_t>(out.Width) * out.Height);
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * width;
    out.Pixels.insert(out.Pixels.end(), row + left, row + right);
  }
  return out;
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

// StretchDraw's nearest-neighbour scaling to w x h.
Plane Stretched(const Plane& p, int w, int h) {
  Plane out{w, h,
            std::vector<std::uint8_t>(static_cast<std::size_t>(std::max(w, 0)) *
                                      static_cast<std::size_t>(std::max(h, 0)))};
  if (w <= 0 || h <= 0) return out;
  const std::vector<int> xs = NearestIndices(p.Width, w), ys = NearestIndices(p.Height, h);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row =
        p.Pixels.data() + static_cast<std::size_t>(ys[static_cast<std::size_t>(y)]) * p.Width;
    std::uint8_t* d = out.Pixels.data() + static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w; ++x) d[x] = row[xs[static_cast<std::size_t>(x)]];
  }
  return out;
}

// The picture LoadPicture scales: the cut with its margins, inverted for black characters,
// cropped where asked; threshold and increment as its analysis leaves them. Bright
// characters, the rule, need no margins drawn: they are black, so they count in the
// histogram's first bin and are never brighter than the crop's background.
Plane Source(const GreyImage& cut, const ImageOptions& options, int& threshold, int& increment) {
  Histograms h;
  if (options.BlackCharacters) {
    Plane padded = Padded(cut, true);
    Count(padded.Pixels.data(), padded.Pixels.size(), h.Histogram);
    Analyse(h, options.AutoThreshold, threshold, increment);
    if (!options.Crop) return padded;
    return Cropped(padded.Pixels.data(), padded.Width, padded.Height,
                   ((threshold * 255) / 100 - 1) & 0xFF);
  }
  Count(cut.Pixels.data(), cut.Pixels.size(), h.Histogram);
  h.Histogram[0] +=
      (cut.Width + 2 * kCutMargin) * (cut.Height + 2 * kCutMargin) - cut.Width * cut.Height;
  Analyse(h, options.AutoThreshold, threshold, increment);
  if (!options.Crop) return Padded(cut, false);
  return Cropped(cut.Pixels.data(), cut.Width, cut.Height, ((threshold * 255) / 100 - 1) & 0xFF);
}

}  // namespace

TPattern SampleCharacter(const GreyImage& cut, const ImageOptions& options,
                         const std::string& name) {
  int threshold = std::clamp(options.Threshold, 0, 100);
  int increment = std::clamp(options.Increment, 0, 100);
  const Plane source = Source(cut, options, threshold, increment);
  if (source.Height == 0)
    throw FileError(name, "the picture has no pixels left to scale (division by zero)");
  const RasterSize size = ComputeRasterSize(source.Width, source.Height, options);
  Plane raster = Stretched(source, size.Width, size.Height);
  const bool empty = raster.Width <= 0 || raster.Height <= 0;
  if (empty && options.AutoThreshold)
    throw FileError(name,
                    "the picture has no pixels to find a threshold in (invalid floating-point "
                    "operation)");
  // The second analysis converts the raster once more: black characters are inverted back.
  if (options.BlackCharacters)
    for (std::uint8_t& g : raster.Pixels) g = static_cast<std::uint8_t>(255 - g);
  if (!empty) {
    Histograms h;
    Count(raster.Pixels.data(), raster.Pixels.size(), h.Histogram);
    Analyse(h, options.AutoThreshold, threshold, increment);
  }
  TPattern pattern;
  SampleGreyPattern(raster.Pixels.data(), std::max(raster.Width, 0), raster.Height, threshold,
                    increment, pattern);
  return pattern;
}

}  // namespace morvik
